#include "document/CNetAliasReport.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentLink.h"
#include "document/CPlacingInfo.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "interchange/CImportProgress.h"
#include "interchange/CNetlistImport.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "resources/StringIds.h"

namespace {

constexpr char lineEnd[] = "\r\n";

// printf "%-Ns": left-aligned in at least `width` characters.
std::string Left(const std::string& text, size_t width)
{
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string Number(int64_t value)
{
    return CNumberText::FormatInt(value);
}

std::string Heading(const std::string& title, const std::string& timeStamp)
{
    return title + lineEnd + lineEnd + "TimeStamp: " + timeStamp + lineEnd + lineEnd;
}

// The first three comma-separated fields and the rest.
std::vector<std::string> SplitAlias(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        start = comma == std::string::npos ? line.size() : comma + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

// The progress of a report goes over its components, and over the netlist after them when the
// report compares with it.
constexpr int64_t progressUnits = 1000000;

} // namespace

CNetAliasReport::CNetAliasReport(CDesign& design, CDocumentLink& link, std::string designFolder)
    : m_design(design), m_link(link), m_designFolder(std::move(designFolder)),
      m_progressDelay(CImportProgress::defaultDelay)
{
}

CNetAliasReport::~CNetAliasReport() = default;

bool CNetAliasReport::Cancelled(int64_t done) const
{
    return m_progress && m_progress->Advance(done);
}

std::filesystem::path CNetAliasReport::FilePath() const
{
    return std::filesystem::path(m_designFolder) / fileName;
}

std::string CNetAliasReport::PadNetName(int32_t component, int32_t pad) const
{
    const CNetArray& nets = m_design.GetNets();
    int32_t net = m_design.GetComponents().GetComponent(component)->GetPadNet(pad);
    if (net >= nets.GetCount())
        net = 0;
    return nets.GetCount() > 0 ? nets.GetNet(net)->GetName() : std::string();
}

std::string CNetAliasReport::AllPadsText(const std::string& timeStamp) const
{
    const CComponentArray& components = m_design.GetComponents();
    std::string text = Heading("Netaliases:", timeStamp);
    text += Left("Nr.", 4) + "\t" + Left("Reference", 20) + "\t" + Left("Pin", 4) + "\t" +
            Left("Netname", 20) + lineEnd;
    const int64_t count = std::max<int64_t>(components.GetCount(), 1);
    for (int32_t c = 0; c < components.GetCount(); ++c) {
        if (Cancelled(c * progressUnits / count))
            return text;
        text += std::string(" ") + lineEnd;
        const CComponent& component = *components.GetComponent(c);
        const int32_t pads = component.GetPadCount(m_design.GetShapeCache());
        for (int32_t pad = 0; pad < pads; ++pad)
            text += Left(Number(c + 1), 4) + "\t" + Left(component.GetReference(), 20) + "\t" +
                    Left(Number(pad + 1), 4) + "\t" + Left(PadNetName(c, pad), 20) + lineEnd;
    }
    return text;
}

std::string CNetAliasReport::ErrorsText(const std::string& timeStamp) const
{
    const CComponentArray& components = m_design.GetComponents();
    std::vector<std::string> aliases;
    const int64_t count = std::max<int64_t>(components.GetCount(), 1);
    for (int32_t c = 0; c < components.GetCount(); ++c) {
        if (Cancelled(c * (progressUnits / 2) / count))
            return {};
        const CComponent& component = *components.GetComponent(c);
        const int32_t pads = component.GetPadCount(m_design.GetShapeCache());
        for (int32_t pad = 0; pad < pads; ++pad)
            aliases.push_back(component.GetReference() + "," + Number(pad + 1) + "," +
                              PadNetName(c, pad));
    }
    std::string text = Heading("Netaliases Errors:", timeStamp);
    text += Left("Nr.", 4) + "\t" + Left("Reference", 20) + "\t" + Left("Pin", 4) + "\t" +
            Left("PCB Netname", 20) + "\t" + Left("SCH Netname", 20) + lineEnd;
    if (!CNetlistImport().LoadNetsOnly(m_link, m_design.GetNetlistPath(), aliases, m_progress.get(),
                                       progressUnits / 2, progressUnits) ||
        Cancelled(progressUnits))
        return text;
    int32_t errors = 0;
    for (std::string& line : aliases) {
        // A pad the netlist does not name has no fourth field: it compares with net "0".
        size_t commas = 0;
        for (const char c : line)
            commas += c == ',' ? 1 : 0;
        if (commas < 3)
            line += ",0";
        const std::vector<std::string> field = SplitAlias(line);
        if (field[2] == field[3])
            continue;
        text += Left(Number(++errors), 4) + "\t" + Left(field[0], 20) + "\t" + Left(field[1], 4) +
                "\t" + Left(field[2], 20) + "\t" + Left(field[3], 20) + lineEnd;
    }
    return text;
}

bool CNetAliasReport::Write()
{
    const bool compare = CServices::Messages().MessageBox(
                             CWindows1252::ToUtf8(CResString::Load(IDS_COMPARE_WITH_NETLIST)),
                             CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_YESNO,
                             MB_ICONQUESTION) == IDYES;
    const std::string timeStamp = CPlacingInfo::CurrentTimeStamp();
    m_progress = std::make_unique<CImportProgress>(progressTitle, m_progressDelay);
    m_progress->SetTotal(progressUnits);
    m_progress->SetStatus(compare ? "Comparing with the netlist" : "Listing the pads");
    const std::string text = compare ? ErrorsText(timeStamp) : AllPadsText(timeStamp);
    // The bar ends full, and a Cancel pressed at the last moment still counts.
    m_cancelled = Cancelled(progressUnits);
    m_progress.reset();
    if (m_cancelled)
        return false;
    const std::filesystem::path path = FilePath();
    std::string reason;
    if (!CPathHelper::WriteFileAtomically(path, text, &reason)) {
        CServices::Messages().FileMessageBox(
            CWindows1252::ToUtf8(CResString::Load(IDS_REPORT_NOT_WRITTEN)) + "\n" + path.string() +
                "\n" + reason,
            CWindows1252::ToUtf8(CResString::Load(IDS_ERROR)), MB_OK, MB_ICONERROR);
        return false;
    }
    CServices::Launcher().ShowTextFile(path);
    return true;
}
