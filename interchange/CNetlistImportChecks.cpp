#include "interchange/CNetlistImport.h"

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

// The last line and its number, for a file whose last line has no end.
std::string LastLineText(CNetlistLines& lines)
{
    lines.Rewind();
    std::string_view line;
    std::string_view last;
    while (lines.Next(line))
        last = line;
    return "line " + std::to_string(lines.GetLineNumber()) + ": " + VisibleText(last);
}

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
        bool utf8 = false;
        std::vector<CNetlistLines::Unplaced> unplaced;
        int64_t unplacedCount = 0;
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
        // A block dialect shows a cut by the block it leaves open, which was refused before.
        if (lines.EndsInsideALine() && m_format != NETLIST_PROTEL && m_format != NETLIST_TANGO)
            found.cutAt = LastLineText(lines);
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
    }
    if (!first.empty()) {
        CServices::Messages().MessageBox(CResString::LoadWith(IDS_NETLIST_DAMAGED_LINE, first),
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
