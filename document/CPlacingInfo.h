#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

class CDesign;
class CEditSession;
class CPrintJob;

// The placing information of a design: a text report of every component's reference, type,
// shape, position, rotation and side, written beside the design and opened in the desktop's
// text editor, and the same list printed 68 components to a page. Lengths are in the session's
// unit; `designName` is the file title of the design, `designFolder` its folder.
class CPlacingInfo {
public:
    static constexpr int32_t rowsPerPage = 68;

    // The design's folder, then its file title and " Placing Info.TXT", the name upper-cased.
    static std::filesystem::path FilePath(const std::string& designFolder,
                                          const std::string& designName);
    // The report, lines ended by CR LF, with the time stamp text given.
    static std::string Text(const CDesign& design, const CEditSession& session,
                            const std::string& designName, const std::string& timeStamp);
    // Writes the report (through a temporary file, so an old report survives a failed write)
    // and opens it in the text editor. A report that cannot be written is reported to the user
    // and opened nowhere; returns whether it was written.
    static bool Write(const CDesign& design, const CEditSession& session,
                      const std::string& designFolder, const std::string& designName);

    // "Monday, March 04, 2024  09:05:07": English names whatever the desktop's language.
    static std::string FormatTimeStamp(const std::tm& time);
    static std::string CurrentTimeStamp();

    // Pages for a printed list of that many components: at least one.
    static int32_t PageCount(int32_t components);
    // Paints page `number` (from 1) of the printed list on the job's open page: its
    // rowsPerPage components under the page's header, the time stamp and the program's
    // version.
    static void PrintPage(const CDesign& design, const CEditSession& session,
                          const std::string& designName, CPrintJob& job, int32_t number,
                          const std::string& timeStamp, const std::string& productVersion);
};
