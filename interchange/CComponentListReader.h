#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interchange/NetlistFormat.h"

class CNetlistLines;

// One component of a netlist's component list: type (value), reference and shape (footprint)
// as read, trailing blanks removed, reference and shape in upper case. `line` is the number of
// the line that holds the reference and `text` that line as it stands in the file.
struct CComponentRecord {
    std::string type;
    std::string reference;
    std::string shape;
    int32_t line = 0;
    std::string text;
    // Where the reference starts on its line.
    size_t referenceColumn = 0;
    // Why a line of the record is no netlist text (RefusedLineReason) or a name of it cannot be
    // one (RefusedNameReason), "" when all are; `line` then names that line.
    std::string refused;

    // A reference of text: control bytes (a zeroed or binary file) name no component.
    bool HasReference() const { return IsName(reference); }
    // A record without a reference or without a shape, or with a line refused, cannot be placed.
    bool IsComplete() const { return refused.empty() && HasReference() && IsName(shape); }

private:
    static bool IsName(const std::string& text);
};

// Reads the component list of a dialect record by record: a Calay or Mentor ".CMP" in columns,
// a MultiSim ".PLC" in comma fields, the component blocks of a Protel 2.0 or Tango ".NET".
// Lines that hold no record by the dialect's layout (headers, comments, blank lines, the net
// blocks) are passed over; a line that should hold a component but does not give a reference
// and a shape comes back as an incomplete record, so that the caller can report it.
class CComponentListReader {
public:
    CComponentListReader(NetlistFormat format, CNetlistLines& lines);

    // The next record from the lines' current position on; false at the end or for a dialect
    // without component records.
    bool ReadComponentRecord(CComponentRecord& record);

private:
    bool ReadCalayRecord(CComponentRecord& record);
    bool ReadMentorRecord(CComponentRecord& record);
    bool ReadMultiSimRecord(CComponentRecord& record);
    // The block after a line "[": `lineCount` lines, fewer when the block closes early, with
    // the reference, shape and type at the given lines (from 1).
    bool ReadBlockRecord(CComponentRecord& record, int32_t lineCount, int32_t referenceLine,
                         int32_t shapeLine, int32_t typeLine);
    // Marks the record refused for `reason`, at the line just read, unless the reason is empty
    // or the record was refused already: the line is no netlist text, or a name read from it is
    // too long for one.
    void Refuse(CComponentRecord& record, std::string reason) const;
    void CheckNames(CComponentRecord& record) const;

    NetlistFormat m_format;
    CNetlistLines& m_lines;
};
