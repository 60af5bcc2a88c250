#include "interchange/CNetlistImport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "interchange/CComponentListReader.h"
#include "interchange/CNetReader.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"
#include "resources/StringIds.h"

namespace {

std::string FileText(const std::filesystem::path& path)
{
    return CWindows1252::FromUtf8(path.string());
}

// The lines a net reader refuses, with why.
class CRefusedLinesSink : public CNetReaderSink {
public:
    explicit CRefusedLinesSink(std::map<int32_t, std::string>& refused) : m_refused(refused) {}

    void OnNet(const std::string& /*name*/, int32_t /*line*/) override {}
    void OnPin(const std::string& /*reference*/, const std::string& /*pin*/,
               int32_t /*line*/) override
    {
    }
    void OnUnreadable(int32_t /*line*/, const std::string& /*text*/) override {}
    void OnRefusedLine(int32_t line, const std::string& why) override
    {
        m_refused.emplace(line, why);
    }

private:
    std::map<int32_t, std::string>& m_refused;
};

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
// that differ only in characters the design has no place for become one there, and a net of
// the design would join pins the netlist keeps apart. Only a name with a '?' can be such a
// name. The names are compared as the import compares them (references and most dialects' net
// names in upper case).
class CNameMerges : public CNetReaderSink {
public:
    // The net and pin names of a net file, and the references of a component list.
    void ReadNets(NetlistFormat format, const CNetlistLines& lines, const std::string& file)
    {
        Start(lines, file);
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
        if (name.find('?') != std::string::npos)
            Take(m_nets, "net ", name, line, Locate(name));
    }
    void OnPin(const std::string& reference, const std::string& pin, int32_t line) override
    {
        if (reference.find('?') != std::string::npos)
            Take(m_references, "component ", reference, line, Locate(reference));
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
        if (record.reference.find('?') == std::string::npos)
            return;
        std::string_view line = m_lines.CurrentLine();
        while (m_lines.GetLineNumber() < record.line && m_lines.Next(line)) {
        }
        std::string_view at =
            line.substr(std::min(record.referenceColumn, line.size()), record.reference.size());
        if (ToUpperAscii(at) != record.reference)
            at = std::string_view();
        Take(m_references, "component ", record.reference, record.line, at);
    }

    // Where the reader took the name from on the current line, "" when it cannot be found.
    std::string_view Locate(const std::string& name)
    {
        if (m_lines.GetLineNumber() != m_lineNumber) {
            m_lineNumber = m_lines.GetLineNumber();
            m_line = m_lines.CurrentLine();
            m_upper = ToUpperAscii(m_line);
            m_cursor = 0;
        }
        const size_t at = m_upper.find(ToUpperAscii(name), m_cursor);
        if (at == std::string::npos)
            return std::string_view();
        m_cursor = at + name.size();
        return m_line.substr(at, name.size());
    }

    // The name with each character the design has no place for written as its code point.
    std::string Spelled(const std::string& name, std::string_view at) const
    {
        std::string spelled;
        const auto unplaced = m_lines.UnplacedIn(at);
        size_t next = 0;
        for (size_t i = 0; i < name.size(); ++i) {
            if (next < unplaced.size() && unplaced[next].first == i)
                spelled += "<" + CodePointText(unplaced[next++].second) + ">";
            else
                spelled += name[i];
        }
        return spelled;
    }

    void Take(Names& names, const std::string& kind, const std::string& name, int32_t line,
              std::string_view at)
    {
        Spelling spelling{Spelled(name, at), "line " + std::to_string(line) + " of " + m_file};
        std::vector<Spelling>& spellings = names[name];
        for (const Spelling& seen : spellings) {
            if (seen.spelled == spelling.spelled)
                return;
        }
        if (!spellings.empty())
            m_found.push_back(kind + spellings.front().spelled + " (" + spellings.front().where +
                              ") and " + kind + spelling.spelled + " (" + spelling.where +
                              ") both become " + kind + name);
        spellings.push_back(std::move(spelling));
    }

    CNetlistLines m_lines;
    std::string m_file;
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
    const bool unplaced = std::any_of(
        files.begin(), files.end(), [](const Findings& found) { return found.unplacedCount > 0; });
    if (first.empty() && unplaced) {
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
