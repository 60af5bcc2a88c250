#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class CDesign;
class CDocumentLink;
class CImportProgress;

// The net-alias report "NetAliases.TXT" beside the design: the net of every component pad, or,
// compared with the design's netlist, only the pads whose net on the board is named otherwise
// than the net the netlist puts them in. Lines end with CR LF.
//
// A report that takes longer than half a second to make shows its progress; Cancel leaves the
// report that was there before and opens nothing.
class CNetAliasReport {
public:
    static constexpr char fileName[] = "NetAliases.TXT";
    static constexpr char progressTitle[] = "Export Components Netnames";

    // `designFolder`: the folder of the design file.
    CNetAliasReport(CDesign& design, CDocumentLink& link, std::string designFolder);
    ~CNetAliasReport();
    CNetAliasReport(const CNetAliasReport&) = delete;
    CNetAliasReport& operator=(const CNetAliasReport&) = delete;

    // The design's folder, as it is, and the report's name.
    std::filesystem::path FilePath() const;
    // Every pad of every component with its net.
    std::string AllPadsText(const std::string& timeStamp) const;
    // The pads whose board net differs from their netlist net; a pad the netlist leaves out
    // compares with "0". Only the heading when the netlist cannot be read (its reader has told
    // the user why).
    std::string ErrorsText(const std::string& timeStamp) const;
    // Asks whether to compare with the netlist, writes the report (an old one survives a failed
    // write) and opens it in the text editor. A report that cannot be written is reported to
    // the user and opened nowhere; returns whether it was written.
    bool Write();

    // How long making the report goes before its progress window opens (0: at once).
    void SetProgressDelay(std::chrono::milliseconds delay) { m_progressDelay = delay; }
    // Whether the user cancelled the last Write (which then wrote and opened nothing).
    bool WasCancelled() const { return m_cancelled; }

private:
    // The name of the net a component pad belongs to.
    std::string PadNetName(int32_t component, int32_t pad) const;
    // Moves the progress of Write, if any, to `done` of its units; true once cancelled.
    bool Cancelled(int64_t done) const;

    CDesign& m_design;
    CDocumentLink& m_link;
    std::string m_designFolder;
    std::chrono::milliseconds m_progressDelay;
    std::unique_ptr<CImportProgress> m_progress;
    bool m_cancelled = false;
};
