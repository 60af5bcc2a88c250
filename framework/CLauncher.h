#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Starts other programs and never waits for them: the schematic application, the text editor
// for the reports the program writes, and the browser for the help pages.
class CLauncher {
public:
    virtual ~CLauncher();

    // Arguments are passed as they are, without a shell. True when the program started.
    virtual bool StartProgram(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments) = 0;
    // Opens a text file in the desktop's text editor. True when the request was accepted.
    virtual bool OpenTextFile(const std::filesystem::path& file) = 0;
    // Opens a page (HTML) in the desktop's browser. True when the request was accepted; a
    // launcher without a desktop accepts none.
    virtual bool OpenInBrowser(const std::filesystem::path& /*page*/) { return false; }

    // Shows a text file in a window of the program itself. True when it is shown; a launcher
    // without windows of its own shows none.
    virtual bool ShowInOwnWindow(const std::filesystem::path& /*file*/) { return false; }

    // As OpenTextFile and OpenInBrowser, but a file that is missing or that the desktop would
    // not open is named to the user in a message; an error only on the terminal goes unseen.
    // A text file the desktop has no viewer for is shown in the program's own window first.
    bool ShowTextFile(const std::filesystem::path& file);
    bool ShowPage(const std::filesystem::path& page);
};
