#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interchange/NetlistFormat.h"

class CNetlistLines;

// What a net reader finds, in file order.
class CNetReaderSink {
public:
    virtual ~CNetReaderSink() = default;

    // A net header: the pins that follow belong to this net. A net named "0" arrives renamed,
    // after OnReservedNetName.
    virtual void OnNet(const std::string& name, int32_t line) = 0;
    // A pin of the current net, its pin text as written (a number).
    virtual void OnPin(const std::string& reference, const std::string& pin, int32_t line) = 0;
    // A line, or a part of one, that should name a net or a pin but cannot be read.
    virtual void OnUnreadable(int32_t line, const std::string& text) = 0;
    // A line holding control bytes, or a name longer than any name can be, is not read further;
    // `why` shows it as a report can. After a refused net header the pins up to the next header
    // are passed over.
    virtual void OnRefusedLine(int32_t line, const std::string& why) { OnUnreadable(line, why); }
    // The netlist names a net "0", which stands for no net on the board.
    virtual void OnReservedNetName(int32_t /*line*/) {}
};

// The net readers of the five dialects, each over the lines of a ".NET" file from its start to
// its end:
//   Calay:      "/NAME R(P) R(P)", further "R(P)" lines for the same net, in any case.
//   Mentor:     "NET 'NAME' R-P R-P", a line per group of pins, in any case.
//   MultiSim:   "*NAME" lines, then pin lines "R-P,R-P,", in any case.
//   Protel 2.0, Tango: blocks "(" NAME, one "R-P" per line, ")"; the component blocks in "[" "]"
//               are passed over; Tango also separates reference and pin by ",".
// References and the names of the first three dialects come in upper case; blank lines and
// trailing blanks mean nothing. A line of nets and pins holding control bytes, or a name longer
// than any name can be, is refused; a line of names is read whatever its length. So is what
// would lose a net or a pin unseen: a pin that is no number or comes before the first header, a
// Calay name holding a bracket, a MultiSim header of more than a name, a Mentor line that is
// neither a net line nor a "#" comment, a block dialect's line outside the blocks.
class CNetReader {
public:
    static constexpr char reservedNetName[] = "0";
    static constexpr char reservedNetReplacement[] = "NET00000";

    CNetReader(NetlistFormat format, CNetlistLines& lines, CNetReaderSink& sink);

    // False, reading nothing, for a dialect without a reader.
    bool Read();

    // For Protel 2.0 and Tango: the line that opens the last block ("[" or "(") when the lines
    // end before it is closed, 0 when every block is closed. A file cut inside a block has lost
    // the rest of the board's nets, which a forward annotation would take as pads left without
    // a net.
    static int32_t UnclosedBlockLine(CNetlistLines& lines);

private:
    void ReadCalayNets();
    void ReadMentorNets();
    void ReadMultiSimNets();
    // Protel 2.0 and Tango.
    void ReadBlockNets();

    // The header's name, trailing blanks removed and the reserved name replaced.
    void Header(std::string_view name);
    // A pin token "R<separator>P"; reported when it has no reference or no separator.
    void BlockPin(std::string_view token);
    // Whether the line holds control bytes (then reported); a refused header takes its net's
    // pins with it.
    bool Refused(std::string_view line, bool header);
    // Whether a name of the current line is too long for one (then the line is reported).
    bool RefusedName(std::string_view name, bool header);
    void RefuseLine(const std::string& why);
    // Refuses the line as a net header: the pins up to the next header are passed over.
    void RefuseHeader(const std::string& why);
    void Pin(const std::string& reference, const std::string& pin);

    NetlistFormat m_format;
    CNetlistLines& m_lines;
    CNetReaderSink& m_sink;
    // The net header was refused: its pins have no net to go to.
    bool m_skipPins = false;
    // The line refused last: the rest of its names are passed over.
    int32_t m_refusedLine = 0;
    // Whether a net header came yet.
    bool m_headerRead = false;
};
