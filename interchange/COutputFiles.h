#pragma once

#include <filesystem>
#include <string>
#include <vector>

class COutput;

// Where an output job writes and under which names, as the Gerber and drill writers name
// their files, so that one job can tell which files of the folder another job of the design
// wrote.
class COutputFiles {
public:
    // The job's device writes files: a Gerber format or the drill program.
    static bool IsGerberDevice(const std::string& device);
    static bool IsDrillDevice(const std::string& device);

    // The folder the job writes into (not created), for the design of that title and folder.
    static std::filesystem::path Folder(const COutput& job, const std::string& designTitle,
                                        const std::filesystem::path& designFolder);
    // The same for a job of that stored folder text, whatever its device.
    static std::filesystem::path Folder(const std::string& directory,
                                        const std::string& designTitle,
                                        const std::filesystem::path& designFolder);
    // The names of the files the job writes into its folder; none for a device that writes no
    // file.
    static std::vector<std::string> Names(const COutput& job, const std::string& designTitle);
    // The files in `folder` whose names the job gives its files but which it does not write now:
    // those an earlier run left of a set since renamed, dropped or switched off, in name order.
    // A photoplot named like a set's counts only when its header gives the design's title, so
    // that a design whose title starts alike keeps its files.
    static std::vector<std::filesystem::path>
    Stale(const COutput& job, const std::string& designTitle, const std::filesystem::path& folder);

    // The message for an output of several files that could not write `file` (for `why`): it
    // replaced none of them, and says so.
    static std::string NotWrittenText(const std::filesystem::path& file, const std::string& why);

    // The file title of a Gerber job's files, and of a drill job's.
    static std::string GerberTitle(const std::string& designTitle);
    static std::string DrillTitle(const std::string& designTitle);
    // The name of the design's own folder below a job folder given with a drive: the title as
    // typed, for every device, so that the photoplots and the drill program of one folder meet
    // in one place on case-sensitive disks as on case-blind ones.
    static std::string FolderTitle(const std::string& designTitle);
};
