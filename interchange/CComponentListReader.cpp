#include "interchange/CComponentListReader.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"

namespace {

// Characters from..from+count-1 of the line; what lies beyond its end is empty.
std::string_view Columns(std::string_view line, size_t from, size_t count)
{
    return from < line.size() ? line.substr(from, count) : std::string_view();
}

void Finish(CComponentRecord& record, std::string_view type, std::string_view reference,
            std::string_view shape)
{
    record.type = TrimRightView(type);
    record.reference = ToUpperAscii(TrimRightView(reference));
    record.shape = ToUpperAscii(TrimRightView(shape));
}

bool IsBlankLine(std::string_view line)
{
    return TrimRightView(line).empty();
}

// Column layout of a Mentor part line: the reference, "PART " at this column, type and shape.
constexpr size_t mentorPartColumn = 20;

} // namespace

bool CComponentRecord::IsName(const std::string& text)
{
    return !text.empty() && text.size() <= maxNetlistNameLength &&
           std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; });
}

CComponentListReader::CComponentListReader(NetlistFormat format, CNetlistLines& lines)
    : m_format(format), m_lines(lines)
{
}

bool CComponentListReader::ReadComponentRecord(CComponentRecord& record)
{
    record = CComponentRecord();
    switch (m_format) {
    case NETLIST_CALAY:
        return ReadCalayRecord(record);
    case NETLIST_MENTOR:
        return ReadMentorRecord(record);
    case NETLIST_MULTISIM:
        return ReadMultiSimRecord(record);
    case NETLIST_PROTEL:
        return ReadBlockRecord(record, 6, 2, 4, 6);
    case NETLIST_TANGO:
        return ReadBlockRecord(record, 3, 1, 2, 3);
    default:
        return false;
    }
}

void CComponentListReader::Refuse(CComponentRecord& record, std::string reason) const
{
    if (!record.refused.empty() || reason.empty())
        return;
    record.refused = std::move(reason);
    record.line = m_lines.GetLineNumber();
}

void CComponentListReader::CheckNames(CComponentRecord& record) const
{
    // Columns of the fixed-width lists hold no name that long; comma fields may.
    for (const std::string* name : {&record.type, &record.reference, &record.shape})
        Refuse(record, RefusedNameReason(*name));
}

bool CComponentListReader::ReadCalayRecord(CComponentRecord& record)
{
    std::string_view line;
    while (m_lines.Next(line)) {
        if (IsBlankLine(line))
            continue;
        record.line = m_lines.GetLineNumber();
        record.text = line;
        Refuse(record, RefusedLineReason(line));
        Finish(record, Columns(line, 0, 20), Columns(line, 20, 20), Columns(line, 40, 20));
        record.referenceColumn = 20;
        return true;
    }
    return false;
}

bool CComponentListReader::ReadMentorRecord(CComponentRecord& record)
{
    std::string_view line;
    while (m_lines.Next(line)) {
        if (IsBlankLine(line) || line[0] == '#')
            continue;
        record.line = m_lines.GetLineNumber();
        record.text = line;
        Refuse(record, RefusedLineReason(line));
        // A part line whose reference pushed "PART" out of its column is reported, not
        // guessed at.
        if (line.find("PART", mentorPartColumn) == mentorPartColumn)
            Finish(record, Columns(line, 25, 20), Columns(line, 0, 20), Columns(line, 45, 20));
        return true;
    }
    return false;
}

bool CComponentListReader::ReadMultiSimRecord(CComponentRecord& record)
{
    std::string_view line;
    while (m_lines.Next(line)) {
        const size_t comma = line.find(',');
        const size_t semicolon = line.find(';');
        if (comma == std::string_view::npos || comma == 0 || semicolon == std::string_view::npos ||
            semicolon == 0)
            continue;
        record.line = m_lines.GetLineNumber();
        record.text = line;
        Refuse(record, RefusedLineReason(line));
        // Fields are closed by commas; one that no comma closes is empty.
        std::string_view fields[3];
        size_t start = 0;
        for (std::string_view& field : fields) {
            const size_t end = line.find(',', start);
            if (end == std::string_view::npos)
                break;
            field = line.substr(start, end - start);
            start = end + 1;
        }
        Finish(record, fields[1], fields[0], fields[2]);
        CheckNames(record);
        return true;
    }
    return false;
}

bool CComponentListReader::ReadBlockRecord(CComponentRecord& record, int32_t lineCount,
                                           int32_t referenceLine, int32_t shapeLine,
                                           int32_t typeLine)
{
    std::string_view line;
    while (m_lines.Next(line)) {
        if (TrimRightView(line) != "[")
            continue;
        record.line = m_lines.GetLineNumber();
        record.text = line;
        std::string_view fields[3];
        for (int32_t k = 1; k <= lineCount; ++k) {
            if (!m_lines.Next(line))
                break;
            // A block that closes early, or runs into the next block, ends here: the rest of
            // its fields stay empty.
            const std::string_view trimmed = TrimRightView(line);
            if (trimmed == "]" || trimmed == "[" || trimmed == "(") {
                if (trimmed != "]")
                    m_lines.Unread();
                break;
            }
            Refuse(record, RefusedLineReason(line));
            if (k == referenceLine || k == shapeLine || k == typeLine)
                Refuse(record, RefusedNameReason(TrimRightView(line)));
            if (k == referenceLine) {
                fields[0] = line;
                if (record.refused.empty())
                    record.line = m_lines.GetLineNumber();
                record.text = line;
            } else if (k == shapeLine) {
                fields[1] = line;
            } else if (k == typeLine) {
                fields[2] = line;
            }
        }
        Finish(record, fields[2], fields[0], fields[1]);
        return true;
    }
    return false;
}
