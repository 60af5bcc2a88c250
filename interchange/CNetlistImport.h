#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "interchange/CNameIndex.h"
#include "interchange/CNetlistLines.h"
#include "interchange/CNetlistReport.h"
#include "interchange/NetlistFormat.h"

struct CComponentRecord;
class CImportProgress;
class CNetlistDocument;

// Brings a netlist into a design. A board without components gets the netlist's components
// (placed above and right of the origin) and its nets; a board with components is brought in
// line with the netlist instead (forward annotation): components it no longer names are
// deleted, new ones added, shapes and types replaced, each under the component's locks, and
// the nets read again. Every step is written to the design's message list and to a report
// beside the netlist, which is opened in the desktop's text editor when the run completed.
//
// A netlist is a ".NET" file with, by dialect, a component list of the same base name (".CMP"
// for Calay and Mentor, ".PLC" for MultiSim; Protel 2.0 and Tango carry their components in
// the ".NET" itself). Sibling files are found whatever the case of their extensions. The
// dialect is told from the ".NET" alone.
//
// A run that lasts longer than half a second shows its progress; Cancel puts the design back as
// it was before the run.
//
// One object serves one run.
class CNetlistImport {
public:
    CNetlistImport();
    ~CNetlistImport();
    CNetlistImport(const CNetlistImport&) = delete;
    CNetlistImport& operator=(const CNetlistImport&) = delete;

    // Error flags of a run.
    static constexpr uint32_t errorUnknownShape = 1;
    // A pin named no component or no pad of it.
    static constexpr uint32_t errorPin = 2;
    // A line that should hold a component or a pin could not be read.
    static constexpr uint32_t errorUnreadableLine = 4;

    // Components the netlist adds are placed from here.
    static constexpr int32_t placeX = 0;
    static constexpr int32_t placeY = -25600;
    // Detection looks at no more than this many non-blank lines.
    static constexpr int32_t detectionLineLimit = 200;

    // Imports or forward-annotates the netlist `path` names (its folder and base name). True
    // when the run completed; after a forward annotation only when no pin or line error was
    // reported. A run that changed nothing (a report that cannot be written, a missing file, a
    // file of no known kind, a component list that names no component) is false; the user has
    // seen why.
    bool Run(CNetlistDocument& document, const std::filesystem::path& path);

    // For each pin the netlist places in a net, "," + the net's name is appended to the
    // matching entry "REFERENCE,PIN,..." of the alias list. The design is not changed and no
    // message or report is written. False when the net file cannot be read. A progress, when
    // given, moves from `from` to `to` of its units over the file; once it is cancelled the
    // rest of the file is passed over.
    bool LoadNetsOnly(CNetlistDocument& document, const std::filesystem::path& path,
                      std::vector<std::string>& aliases, CImportProgress* progress = nullptr,
                      int64_t from = 0, int64_t to = 0);
    // The first entry whose reference field and pin field equal the reference and pin (both
    // without blanks around them, the reference in upper case) gets "," + the net name (trimmed,
    // upper case) appended; nothing when no entry matches.
    static void AddNetAlias(const std::string& netName, const std::string& reference,
                            const std::string& pin, std::vector<std::string>& aliases);

    // The dialect of the ".NET" beside the path. NETLIST_NONE, after telling the user, when it
    // cannot be read or when no line of it is one of any dialect (an empty, zeroed or foreign
    // file, which no reader could take a component or a net from).
    NetlistFormat DetectFormat(const std::filesystem::path& path);
    // The dialect of a net file's lines: the first 200 non-blank lines vote, the Protel and
    // MultiSim headers decide at once, ties go to the lower code, no votes give Calay.
    // `dialectLines`, when given, receives the number of lines examined that a dialect knows.
    static NetlistFormat DetectFormatOfLines(CNetlistLines& lines, int32_t* dialectLines = nullptr);

    // The sibling of the path with that extension (".NET", ".CMP", ".PLC"): the path's folder
    // and base name (up to the last dot of the file name), the extension matched without
    // regard to case.
    static std::filesystem::path SiblingPath(const std::filesystem::path& path,
                                             const std::string& extension);

    // How long a run goes before its progress window opens (0: at once).
    void SetProgressDelay(std::chrono::milliseconds delay) { m_progressDelay = delay; }
    // Whether the user cancelled the last run (which then changed nothing).
    bool WasCancelled() const { return m_cancelled; }

    NetlistFormat GetFormat() const { return m_format; }
    // Whether the last run changed the design: false for a run refused before its first change.
    bool ChangedDesign() const { return m_changed; }
    uint32_t GetErrorFlags() const { return m_errorFlags; }
    const CNetlistReport& GetReport() const { return m_report; }

private:
    bool Import(const std::filesystem::path& path);
    bool Annotate(const std::filesystem::path& path);
    // The steps both share: report, undo point, components, nets, and the views afterwards.
    bool RunSteps(const std::filesystem::path& path, bool forward);
    bool OpenReport(const std::filesystem::path& path, const std::string& kind);
    // Writes the report and opens it, when the run completed; the result of the run.
    bool FinishRun(bool completed, bool result);
    // After Cancel: the design as it was, the report saying so; false.
    bool CancelRun(const std::string& kind);

    bool ImportComponents(const std::filesystem::path& path);
    bool LoadNets(const std::filesystem::path& path);
    bool ForwardAnnotate(const std::filesystem::path& path);
    bool ReloadNets(const std::filesystem::path& path);
    // Detection, the dialect's name and its component list; false with the report's error
    // line when the net file is missing or holds no netlist of a known kind.
    bool DetectForRun(const std::filesystem::path& path);
    // False, after telling the user, when a net file of a block dialect ends inside a block.
    bool RefuseUnclosedBlock(const std::filesystem::path& netPath);
    // What the files of the run hold that no netlist means, found before anything changes:
    // false after telling the user of a line refused (a damaged file) or after a No to the
    // question for a file whose last line has no end (one cut short); characters of a UTF-8
    // file that the design cannot hold are named.
    bool CheckRunFiles(const std::filesystem::path& path);
    // Asks before a forward annotation that would delete more than a quarter of the placed
    // components or take more than a quarter of the pads in nets out of them; true to go on.
    // `listed` holds the references the component list names.
    bool ConfirmRemovals(const std::filesystem::path& path, const CNameIndex& listed);
    // Names each pad of a component that stays which would lose its net (to no net or to
    // another) while copper of that net touches it, and asks before going on when there is
    // one (default No); true to go on. `newNet` gives, per component and pad, the name of the
    // net the netlist gives the pad ("" for none).
    bool ConfirmPadsLeavingCopper(const std::filesystem::path& netPath, const CNameIndex& listed,
                                  const std::function<std::string(int32_t, size_t)>& newNet);
    // Names every reference the records list more than once, with both lines, and asks before
    // the run goes on (default No); `consequence` says what the second record would do. True
    // when no reference is listed twice or the user goes on.
    bool ConfirmTwiceListed(const std::filesystem::path& listPath,
                            const std::vector<CComponentRecord>& records,
                            const std::string& consequence);
    std::string ComponentListExtension() const;
    // Opens a file of the run; a file read before in the run is not read again. False, with
    // why when `reason` is given, when it cannot be read.
    bool OpenLines(const std::filesystem::path& path, CNetlistLines& lines,
                   std::string* reason = nullptr);
    void ForgetReadFile();
    // Opens the component list; false, after telling the user, when it cannot be read.
    bool OpenComponentList(const std::filesystem::path& listPath, CNetlistLines& lines);
    // Opens the net file, stores it as the design's netlist, reads it into the pads and
    // stamps the design with the file's time.
    bool ReadNetFile(const std::filesystem::path& path);
    int32_t FindOrImportShape(const std::string& name);
    void ForwardDeletions(const CNameIndex& listed);
    // For each net with tracks, the pads ("R3-2") of the components marked for deletion in it.
    std::map<int32_t, std::vector<std::string>> PadsLeavingTracks();
    void ForwardRecord(const CComponentRecord& record);
    // A record the component list at `listPath` holds that cannot be placed, with its line.
    void ReportUnreadable(const std::filesystem::path& listPath, const CComponentRecord& record);

    void SectionMessage(const std::string& text);
    void ItemMessage(const std::string& text);
    // A warning line when the stroke font draws a component name the netlist gives otherwise.
    void FontMessage(const std::string& what, const std::string& name);
    // "<text> File not found" with the missing file's path, in an exclamation box.
    static void ShowNotFound(const std::string& text, const std::string& caption,
                             const std::filesystem::path& path);
    // Why a netlist file of the kind ("NET", "CMP", "PLC") could not be read: "'NET' File not
    // found" for a file that is not there, else what is wrong with it (a folder, a pipe, too
    // large, unreadable), from CNetlistLines::Open's reason.
    static void ShowOpenFailure(const std::string& kind, const std::string& caption,
                                const std::filesystem::path& path, const std::string& reason);

    CNetlistDocument* m_document = nullptr;
    uint32_t m_errorFlags = 0;
    NetlistFormat m_format = NETLIST_NONE;
    std::string m_formatName;
    CNetlistReport m_report;
    bool m_changed = false;
    // Whether detection could read the net file, for the report's error line.
    bool m_netFileOpened = false;
    // "Import Netlist" or "Forward Annotate".
    std::string m_kind;
    // A question that pointed the user to the report was answered No: the report is shown
    // though the run stopped.
    bool m_showReport = false;
    std::chrono::milliseconds m_progressDelay;
    // The progress is counted in millionths of the run: the components take the first half,
    // the net file the second.
    static constexpr int64_t progressUnits = 1000000;
    std::unique_ptr<CImportProgress> m_progress;
    bool m_cancelled = false;
    // The board's components by reference while the component step runs: a netlist of a
    // hundred thousand parts is not searched through once per part.
    CNameIndex m_referenceIndex;
    // The file read last in the run: the net file serves the detection, the check for a block
    // cut short, the component list of the block dialects, the removal check and the nets.
    std::filesystem::path m_readPath;
    CNetlistLines m_readLines;
};
