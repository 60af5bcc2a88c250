#include "interchange/CNetlistImport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "interchange/CComponentListReader.h"
#include "interchange/CNetReader.h"
#include "interchange/CNetlistDocument.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "resources/StringIds.h"

namespace {

std::string FileText(const std::filesystem::path& path)
{
    return CWindows1252::FromUtf8(path.string());
}

// The lines a net reader refuses, with why, and the net the reserved name "0" is renamed into.
class CRefusedLinesSink : public CNetReaderSink {
public:
    explicit CRefusedLinesSink(std::map<int32_t, std::string>& refused) : m_refused(refused) {}

    void OnNet(const std::string& name, int32_t line) override
    {
        m_inReserved = m_nextReserved;
        m_nextReserved = false;
        if (!m_inReserved && name == CNetReader::reservedNetReplacement && m_replacementLine == 0)
            m_replacementLine = line;
    }
    void OnPin(const std::string& reference, const std::string& pin, int32_t /*line*/) override
    {
        if (m_inReserved)
            m_reservedPins.insert(reference + "-" + std::to_string(ParsePinNumber(pin)));
    }
    void OnUnreadable(int32_t /*line*/, const std::string& /*text*/) override {}
    void OnRefusedLine(int32_t line, const std::string& why) override
    {
        m_refused.emplace(line, why);
    }
    void OnReservedNetName(int32_t line) override
    {
        m_nextReserved = true;
        if (m_reservedLine == 0)
            m_reservedLine = line;
    }

    // The first line naming net "0", and the first naming its new name itself (0: none).
    int32_t ReservedLine() const { return m_reservedLine; }
    int32_t ReplacementLine() const { return m_replacementLine; }
    // The pins "REF-N" the file puts into net "0".
    const std::set<std::string>& ReservedPins() const { return m_reservedPins; }

private:
    std::map<int32_t, std::string>& m_refused;
    bool m_nextReserved = false;
    bool m_inReserved = false;
    int32_t m_reservedLine = 0;
    int32_t m_replacementLine = 0;
    std::set<std::string> m_reservedPins;
};

// Why the net "0" of the file cannot take its new name ("" when it can): the file names a net
// so itself, or the design has a net so named that holds none of the pins of "0" (a net of its
// own, not the one an earlier load of the file made).
std::string ReservedNetMerge(const CRefusedLinesSink& sink, const CComponentArray& components,
                             const CNetArray& nets)
{
    const std::string becomes = std::string("net ") + CNetReader::reservedNetName +
                                " would become net " + CNetReader::reservedNetReplacement;
    if (sink.ReplacementLine() > 0)
        return becomes + ", which line " + std::to_string(sink.ReplacementLine()) +
               " names too: the board would join the two";
    const int32_t net = nets.FindNet(CNetReader::reservedNetReplacement);
    if (net <= 0)
        return std::string();
    std::string other;
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const std::vector<uint16_t>& pads = components.GetComponent(i)->GetPadNets();
        for (size_t pad = 0; pad < pads.size(); ++pad) {
            if (pads[pad] != net)
                continue;
            const std::string name =
                ToUpperAscii(components.GetReference(i)) + "-" + std::to_string(pad + 1);
            if (sink.ReservedPins().contains(name))
                return std::string();
            if (other.empty())
                other = name;
        }
    }
    if (other.empty())
        return std::string();
    return becomes + ", a net of the design that holds other pads (" + other +
           "): the board would join the two";
}

std::string CodePointText(char32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", unsigned(code));
    return text;
}

// Why a line of a file marked as UTF-8 is refused for a byte UTF-8 does not form: read as '?',
// it would make names that differ only there one.
std::string MalformedReason(const CNetlistLines::Malformed& found)
{
    char byte[8];
    std::snprintf(byte, sizeof byte, "%02X", unsigned(found.byte));
    return std::string("it holds the byte ") + byte + " at column " + std::to_string(found.column) +
           ", which is no UTF-8, in a file marked as UTF-8 by its byte order mark";
}

// The last line and its number when it has no end, or only the CR of a file's CR LF, and holds
// text ("" otherwise): blanks after the last line end are no line cut short.
std::string CutLineText(CNetlistLines& lines)
{
    if (!lines.EndsInsideALine() && !lines.EndsBetweenCrAndLf())
        return std::string();
    lines.Rewind();
    std::string_view line;
    std::string_view last;
    while (lines.Next(line))
        last = line;
    if (TrimView(last).empty())
        return std::string();
    return "line " + std::to_string(lines.GetLineNumber()) + ": " + VisibleText(last);
}

// The netlist's names as the design will hold them, each with how the file spells it: two names
// that differ only in characters the design has no place for, or only in case where the dialect
// is read in upper case, become one there, and a net of the design would join pins the netlist
// keeps apart. The names are compared as the import compares them (references and most
// dialects' net names in upper case); a reference of the net file is the component list's in
// any case, and only one with a '?' is looked at.
class CNameMerges : public CNetReaderSink {
public:
    // The net and pin names of a net file, and the references of a component list.
    void ReadNets(NetlistFormat format, const CNetlistLines& lines, const std::string& file)
    {
        Start(lines, file);
        m_format = format;
        CNetReader(format, m_lines, *this).Read();
    }
    void ReadComponents(NetlistFormat format, const CNetlistLines& lines, const std::string& file)
    {
        Start(lines, file);
        CNetlistLines list = lines;
        list.Rewind();
        CComponentListReader reader(format, list);
        for (CComponentRecord record; reader.ReadComponentRecord(record);)
            OnRecord(record);
    }

    void OnNet(const std::string& name, int32_t line) override
    {
        Take(m_nets, "net ", name, line, LocateNet(name), false);
    }
    void OnPin(const std::string& reference, const std::string& pin, int32_t line) override
    {
        if (reference.find('?') != std::string::npos)
            Take(m_references, "component ", reference, line, Locate(reference), true);
        // Names come in line order: a '?' of the pin is not taken for a later name's.
        if (pin.find('?') != std::string::npos)
            Locate(pin);
    }
    void OnUnreadable(int32_t /*line*/, const std::string& /*text*/) override {}

    // Each pair of names that become one, as "net N<U+4E2D> (line 3 of F) and net N<U+6587>
    // (line 7 of F) both become net N?".
    const std::vector<std::string>& Found() const { return m_found; }

private:
    struct Spelling {
        std::string spelled;
        std::string where;
        // A net file's reference, which names the listed component in any case.
        bool anyCase = false;
    };
    using Names = std::map<std::string, std::vector<Spelling>>;

    void Start(const CNetlistLines& lines, const std::string& file)
    {
        m_lines = lines;
        m_lines.Rewind();
        m_file = file;
        m_lineNumber = 0;
    }

    // A record's reference, found at its column of its line.
    void OnRecord(const CComponentRecord& record)
    {
        if (!record.HasReference())
            return;
        std::string_view line = m_lines.CurrentLine();
        while (m_lines.GetLineNumber() < record.line && m_lines.Next(line)) {
        }
        std::string_view at =
            line.substr(std::min(record.referenceColumn, line.size()), record.reference.size());
        if (ToUpperAscii(at) != record.reference)
            at = std::string_view();
        Take(m_references, "component ", record.reference, record.line, at, false);
    }

    void SeeCurrentLine()
    {
        if (m_lines.GetLineNumber() == m_lineNumber)
            return;
        m_lineNumber = m_lines.GetLineNumber();
        m_line = m_lines.CurrentLine();
        m_upper = ToUpperAscii(m_line);
        m_cursor = 0;
    }

    // The net header's name where the dialect puts it on the current line, "" when it is not
    // there (a name the reader replaced): a name searched for could be found in "NET".
    std::string_view LocateNet(const std::string& name)
    {
        SeeCurrentLine();
        size_t start = 0;
        if (m_format == NETLIST_MENTOR) {
            start = m_line.find('\'') + 1;
        } else if (m_format == NETLIST_CALAY || m_format == NETLIST_MULTISIM) {
            start = 1;
            while (m_format == NETLIST_MULTISIM && start < m_line.size() &&
                   IsNetlistBlank(m_line[start]))
                ++start;
        }
        start = std::min(start, m_line.size());
        const std::string_view at = m_line.substr(start, name.size());
        if (ToUpperAscii(at) != name)
            return std::string_view();
        m_cursor = start + name.size();
        return at;
    }

    // Where the reader took the name from on the current line, "" when it cannot be found.
    std::string_view Locate(const std::string& name)
    {
        SeeCurrentLine();
        const size_t at = m_upper.find(ToUpperAscii(name), m_cursor);
        if (at == std::string::npos)
            return std::string_view();
        m_cursor = at + name.size();
        return m_line.substr(at, name.size());
    }

    // The name as the file spells it (`at`, when found), each character the design has no place
    // for written as its code point.
    std::string Spelled(const std::string& name, std::string_view at) const
    {
        const std::string_view source = at.size() == name.size() ? at : name;
        std::string spelled;
        const auto unplaced = m_lines.UnplacedIn(at);
        size_t next = 0;
        for (size_t i = 0; i < source.size(); ++i) {
            if (next < unplaced.size() && unplaced[next].first == i)
                spelled += "<" + CodePointText(unplaced[next++].second) + ">";
            else
                spelled += source[i];
        }
        return spelled;
    }

    void Take(Names& names, const std::string& kind, const std::string& name, int32_t line,
              std::string_view at, bool anyCase)
    {
        Spelling spelling{Spelled(name, at), "line " + std::to_string(line) + " of " + m_file,
                          anyCase};
        std::vector<Spelling>& spellings = names[name];
        const Spelling* other = nullptr;
        for (const Spelling& seen : spellings) {
            const bool anyCaseSame = ToUpperAscii(seen.spelled) == ToUpperAscii(spelling.spelled);
            if (seen.spelled == spelling.spelled || (anyCase && anyCaseSame))
                return;
            if (other == nullptr && !(seen.anyCase && anyCaseSame))
                other = &seen;
        }
        if (other != nullptr)
            m_found.push_back(kind + other->spelled + " (" + other->where + ") and " + kind +
                              spelling.spelled + " (" + spelling.where + ") both become " + kind +
                              name);
        spellings.push_back(std::move(spelling));
    }

    CNetlistLines m_lines;
    std::string m_file;
    NetlistFormat m_format = NETLIST_NONE;
    int32_t m_lineNumber = 0;
    std::string_view m_line;
    std::string m_upper;
    size_t m_cursor = 0;
    Names m_nets;
    Names m_references;
    std::vector<std::string> m_found;
};

} // namespace

bool CNetlistImport::CheckRunFiles(const std::filesystem::path& path)
{
    const std::filesystem::path netPath = SiblingPath(path, ".NET");
    const std::filesystem::path listPath = SiblingPath(path, ComponentListExtension());
    // Each file is read once for all its checks: a file of the run read again costs a big
    // netlist its whole reading.
    struct Findings {
        std::filesystem::path file;
        std::map<int32_t, std::string> refused;
        // The last line, when it has no end.
        std::string cutAt;
        CNetlistLines lines;
        bool utf8 = false;
        std::vector<CNetlistLines::Unplaced> unplaced;
        int64_t unplacedCount = 0;
        // Lines refused for bytes that are not UTF-8 beyond those kept.
        int64_t unkeptMalformed = 0;
    };
    std::vector<Findings> files;
    for (const std::filesystem::path& file : {netPath, listPath}) {
        CNetlistLines lines;
        // A file that cannot be read is named by the step that reads it.
        if ((!files.empty() && file == netPath) || !OpenLines(file, lines))
            continue;
        Findings& found = files.emplace_back();
        found.file = file;
        if (file == netPath) {
            CRefusedLinesSink sink(found.refused);
            CNetReader(m_format, lines, sink).Read();
            lines.Rewind();
            if (sink.ReservedLine() > 0) {
                const std::string why =
                    ReservedNetMerge(sink, m_document->GetComponents(), m_document->GetNets());
                if (!why.empty())
                    found.refused.emplace(sink.ReservedLine(), why);
            }
        }
        if (file == listPath) {
            CComponentListReader reader(m_format, lines);
            for (CComponentRecord record; reader.ReadComponentRecord(record);) {
                if (!record.refused.empty())
                    found.refused.emplace(record.line, record.refused);
            }
        }
        for (const CNetlistLines::Malformed& malformed : lines.GetMalformed())
            found.refused.emplace(malformed.line, MalformedReason(malformed));
        found.unkeptMalformed =
            lines.GetMalformedLineCount() - int64_t(lines.GetMalformed().size());
        // A block dialect shows a cut by the block it leaves open, which was refused before.
        if (m_format != NETLIST_PROTEL && m_format != NETLIST_TANGO)
            found.cutAt = CutLineText(lines);
        found.lines = lines;
        found.utf8 = lines.WasUtf8();
        found.unplaced = lines.GetUnplaced();
        found.unplacedCount = lines.GetUnplacedCount();
    }

    // A refused line is a damaged file: what it would have said of its pins is not known.
    std::string first;
    for (const Findings& found : files) {
        for (const auto& [line, why] : found.refused) {
            ItemMessage(RefusedLineText(FileText(found.file), line, why));
            if (first.empty())
                first = "line " + std::to_string(line) + " of " + FileText(found.file) + ": " + why;
        }
        if (found.unkeptMalformed > 0)
            ItemMessage("Netlist Error: " + std::to_string(found.unkeptMalformed) +
                        " more lines of " + FileText(found.file) +
                        " refused, they hold bytes that are not UTF-8");
    }
    // Two names the design holds as one are a damaged file too: the board would short them.
    std::string merged;
    if (first.empty()) {
        CNameMerges merges;
        for (const Findings& found : files) {
            if (found.file == netPath)
                merges.ReadNets(m_format, found.lines, FileText(found.file));
            if (found.file == listPath)
                merges.ReadComponents(m_format, found.lines, FileText(found.file));
        }
        for (const std::string& pair : merges.Found()) {
            ItemMessage(CResString::LoadWith(IDS_NETLIST_NAME_MERGED, pair));
            if (merged.empty())
                merged = pair;
        }
    }
    if (!first.empty() || !merged.empty()) {
        CServices::Messages().MessageBox(
            merged.empty() ? CResString::LoadWith(IDS_NETLIST_DAMAGED_LINE, first)
                           : CResString::LoadWith(IDS_NETLIST_NAMES_MERGE, merged),
            "Load NET File", MB_OK, MB_ICONEXCLAMATION);
        SectionMessage("ERROR: Damaged Netlist, nothing was changed");
        m_showReport = true;
        return false;
    }

    std::string cut;
    for (const Findings& found : files) {
        if (found.cutAt.empty())
            continue;
        const std::string where = FileText(found.file) + ", " + found.cutAt;
        ItemMessage(CResString::LoadWith(IDS_NETLIST_MAY_BE_CUT_SHORT, where));
        cut += (cut.empty() ? "" : "\n") + where;
    }
    if (!cut.empty() && CServices::Messages().MessageBox(
                            CResString::LoadWith(IDS_NETLIST_CUT_SHORT, cut), "Load NET File",
                            MB_YESNO_DEFAULTNO, MB_ICONQUESTION) != IDYES) {
        SectionMessage(m_kind + " cancelled by the user: nothing was changed");
        return false;
    }

    for (const Findings& found : files) {
        if (!found.utf8)
            continue;
        const std::string file = FileText(found.file);
        ItemMessage(CResString::LoadWith(IDS_NETLIST_READ_AS_UTF8, file));
        for (const CNetlistLines::Unplaced& character : found.unplaced)
            ItemMessage(CResString::LoadWith(IDS_NETLIST_UNPLACED_CHARACTER,
                                             "line " + std::to_string(character.line) + " of " +
                                                 file + ": " + CodePointText(character.codePoint)));
        if (found.unplacedCount > int64_t(found.unplaced.size()))
            ItemMessage(CResString::LoadWith(
                IDS_NETLIST_UNPLACED_CHARACTER,
                std::to_string(found.unplacedCount - int64_t(found.unplaced.size())) + " more in " +
                    file));
    }
    return true;
}
