#pragma once

#include <filesystem>
#include <string>

class CWevraDoc;

// The net-alias report "NetAliases.TXT" beside the design: the net of every component pad, or,
// compared with the design's netlist, only the pads whose net on the board is named otherwise
// than the net the netlist puts them in. Lines end with CR LF.
class CNetAliasReport {
public:
    static constexpr char fileName[] = "NetAliases.TXT";

    explicit CNetAliasReport(CWevraDoc& document) : m_document(document) {}

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
    bool Write() const;

private:
    // The name of the net a component pad belongs to.
    std::string PadNetName(int32_t component, int32_t pad) const;

    CWevraDoc& m_document;
};
