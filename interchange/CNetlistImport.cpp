#include "interchange/CNetlistImport.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>
#include <functional>
#include <numeric>
#include <system_error>

#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "interchange/CComponentListReader.h"
#include "interchange/CImportProgress.h"
#include "interchange/CNetReader.h"
#include "interchange/CNetlistDocument.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"

namespace {

constexpr char notNetlistText[] = "No netlist of a known kind in the file";

// A file name as the messages and the report show it (they are Windows-1252 text).
std::string PathText(const std::filesystem::path& path)
{
    return CWindows1252::FromUtf8(path.string());
}

// Gives the pads of the board's components the nets the reader finds, adding the nets the
// design lacks. Components do not change while it works, so references and net names are
// looked up in maps built once.
class CPadNetSink : public CNetReaderSink {
public:
    using Message = std::function<void(const std::string&)>;

    // The progress goes from `done` to `done + share` over the file's `lineCount` lines; once
    // the user cancelled, the rest of the file is passed over.
    CPadNetSink(CComponentArray& components, CNetArray& nets, std::string file, Message item,
                uint32_t& flags, CImportProgress& progress, int64_t done, int64_t share,
                int64_t lineCount)
        : m_components(components), m_nets(nets), m_file(std::move(file)), m_item(std::move(item)),
          m_flags(flags), m_progress(progress), m_done(done), m_share(share),
          m_lineCount(std::max<int64_t>(lineCount, 1))
    {
        m_componentIndex.Reserve(size_t(std::max(components.GetCount(), 0)));
        for (int32_t i = 0; i < components.GetCount(); ++i)
            m_componentIndex.Add(components.GetReference(i), i);
        for (int32_t i = 0; i < nets.GetCount(); ++i)
            m_netIndex.Add(nets.GetNetName(i), i);
        m_firstPad.resize(size_t(components.GetCount()) + 1, 0);
        for (int32_t i = 0; i < components.GetCount(); ++i)
            m_firstPad[size_t(i) + 1] =
                m_firstPad[size_t(i)] + size_t(components.GetComponent(i)->GetPadNetCount());
        m_assigned.assign(m_firstPad.back(), -1);
    }

    void OnNet(const std::string& name, int32_t line) override
    {
        if (Cancelled(line))
            return;
        if (name.empty()) {
            OnUnreadable(line, "net without a name");
            m_current = 0;
            return;
        }
        const int32_t found = m_netIndex.Find(name);
        if (found >= 0) {
            m_current = found;
            return;
        }
        if (m_nets.GetCount() >= CComponent::padNetNumbers) {
            LeaveOut(name);
            return;
        }
        m_current = m_nets.AddNet(name);
        m_netIndex.Add(name, m_current);
        m_item("Add Net: " + name);
    }

    void OnPin(const std::string& reference, const std::string& pin, int32_t line) override
    {
        // The pins of a net left out were named with it.
        if (Cancelled(line) || m_current == leftOut)
            return;
        const int32_t number = ParsePinNumber(pin);
        const int64_t pad = int64_t(number) - 1;
        const int32_t found = m_componentIndex.Find(reference);
        CComponent* component = found < 0 ? nullptr : m_components.GetComponent(found);
        if (component == nullptr || pad < 0 ||
            !component->SetPadNet(int32_t(pad), m_current, m_nets.GetCount())) {
            m_item("Netlist Error Net: " +
                   (m_current == 0 ? std::string("(none)") : m_nets.GetNetName(m_current)) +
                   "  Comp: " + VisibleText(reference) + "  Pin: " + std::to_string(number) + "\n");
            m_flags |= CNetlistImport::errorPin;
            return;
        }
        int32_t& previous = m_assigned[m_firstPad[size_t(found)] + size_t(pad)];
        // The last net wins, as the file has it; the user should know of the first.
        if (previous >= 0 && previous != m_current)
            m_item("Warning: Pin in two Nets: " + reference + "-" + std::to_string(number) +
                   "  Nets: " + m_nets.GetNetName(previous) + ", " + m_nets.GetNetName(m_current) +
                   "  Line: " + std::to_string(line));
        previous = m_current;
    }

    void OnUnreadable(int32_t line, const std::string& text) override
    {
        m_item("Unreadable line " + std::to_string(line) + ": " + VisibleText(text));
        m_flags |= CNetlistImport::errorUnreadableLine;
    }

    void OnRefusedLine(int32_t line, const std::string& why) override
    {
        m_item(RefusedLineText(m_file, line, why));
        m_flags |= CNetlistImport::errorUnreadableLine;
    }

    void OnReservedNetName(int32_t /*line*/) override
    {
        CServices::Messages().MessageBox("Warning! NET 0 is Reserved by Wevra. Changed to NET00000",
                                         "Load NET File", MB_OK);
    }

private:
    static constexpr int32_t leftOut = -1;
    // Net 0 is no net.
    static constexpr int32_t mostNets = CComponent::padNetNumbers - 1;

    // A net no pad could name is not made, and its pins are passed over: the user learns at
    // once that the design stays short of the netlist, and which nets it lacks.
    void LeaveOut(const std::string& name)
    {
        m_current = leftOut;
        m_flags |= CNetlistImport::errorPin;
        if (!m_leftOut)
            CServices::Messages().MessageBox(
                "The netlist names more nets than a design can hold (" + std::to_string(mostNets) +
                    "): net " + name +
                    " and the new nets after it are left out, with their pins. The report lists "
                    "them.",
                "Load NET File", MB_OK, MB_ICONEXCLAMATION);
        m_leftOut = true;
        m_item("Netlist Error: Net left out, a design holds " + std::to_string(mostNets) +
               " nets: " + name);
    }

    bool Cancelled(int32_t line)
    {
        return m_progress.Advance(m_done +
                                  m_share * std::min<int64_t>(line, m_lineCount) / m_lineCount);
    }

    CComponentArray& m_components;
    CNetArray& m_nets;
    std::string m_file;
    Message m_item;
    uint32_t& m_flags;
    CImportProgress& m_progress;
    int64_t m_done;
    int64_t m_share;
    int64_t m_lineCount;
    int32_t m_current = 0;
    bool m_leftOut = false;
    CNameIndex m_componentIndex;
    CNameIndex m_netIndex;
    // Per pad of every component, from the component's first, the net this file gave it so
    // far (-1: none yet).
    std::vector<size_t> m_firstPad;
    std::vector<int32_t> m_assigned;
};

} // namespace

// ---- Run ----------------------------------------------------------------------------------------

CNetlistImport::CNetlistImport() : m_progressDelay(CImportProgress::defaultDelay) {}

CNetlistImport::~CNetlistImport() = default;

bool CNetlistImport::Run(CNetlistDocument& document, const std::filesystem::path& path)
{
    m_document = &document;
    m_errorFlags = 0;
    m_changed = false;
    m_cancelled = false;
    m_showReport = false;
    // Each run reads the files as they are then, even after a run that ended in an exception.
    ForgetReadFile();
    const bool result = document.GetComponents().GetCount() < 1 ? Import(path) : Annotate(path);
    ForgetReadFile();
    return result;
}

void CNetlistImport::ForgetReadFile()
{
    m_readPath.clear();
    m_readLines = CNetlistLines();
}

bool CNetlistImport::OpenLines(const std::filesystem::path& path, CNetlistLines& lines,
                               std::string* reason)
{
    if (!m_readPath.empty() && path == m_readPath) {
        lines = m_readLines;
        lines.Rewind();
        return true;
    }
    if (!lines.Open(path, reason))
        return false;
    m_readPath = path;
    m_readLines = lines;
    return true;
}

bool CNetlistImport::Import(const std::filesystem::path& path)
{
    return RunSteps(path, false);
}

bool CNetlistImport::Annotate(const std::filesystem::path& path)
{
    return RunSteps(path, true);
}

bool CNetlistImport::RunSteps(const std::filesystem::path& path, bool forward)
{
    const std::string kind = forward ? "Forward Annotate" : "Import Netlist";
    m_kind = kind;
    if (!OpenReport(path, kind))
        return false;
    m_progress = std::make_unique<CImportProgress>(kind, m_progressDelay);
    m_progress->SetTotal(progressUnits);
    // The component step takes the undo point once it has read a component to change the
    // design with.
    if (!DetectForRun(path))
        return FinishRun(false, false);
    const bool stepped = forward ? ForwardAnnotate(path) : ImportComponents(path);
    if (m_progress->IsCancelled())
        return CancelRun(kind);
    if (!stepped)
        return FinishRun(false, false);
    // From here on the pads' nets are read anew.
    m_changed = true;
    CComponentArray& components = m_document->GetComponents();
    components.SortByReference();
    components.ResetPadArrays();
    const bool loaded = forward ? ReloadNets(path) : LoadNets(path);
    if (!forward)
        components.RebuildNetPins();
    // The bar ends full, and a Cancel pressed at the last moment still counts.
    if (m_progress->Advance(progressUnits))
        return CancelRun(kind);
    components.RecalcAllRects();
    m_document->GetNets().CalcBoundingBoxes();
    m_progress.reset();
    if (!loaded)
        return FinishRun(false, false);
    m_document->SetMode(ID_VIEW);
    m_document->ShowBottomPane(true);
    m_document->ShowLeftPane(true);
    // Errors in the files never stop an import of a new board; a forward annotation with
    // pins that found no pad is not done.
    return FinishRun(true, !forward || m_errorFlags == 0);
}

bool CNetlistImport::OpenReport(const std::filesystem::path& path, const std::string& kind)
{
    const std::string title = ToUpperAscii(CPathHelper::GetFileTitle(path.string()));
    const std::filesystem::path reportPath =
        path.parent_path() / (title + " " + ToUpperAscii(kind) + ".TXT");
    const std::string header = kind + " Info: " + CWindows1252::FromUtf8(title) + ".PCB\n\n" +
                               "TimeStamp: " + CNetlistReport::TimeStampText(std::time(nullptr)) +
                               "\n\n";
    if (m_report.Create(reportPath, header))
        return true;
    // A netlist in a folder the user cannot write to (a shared or read-only export) is still
    // imported; its report goes beside the design, and the user is told where.
    const std::string designFolder = m_document->GetDesignFolder();
    if (!designFolder.empty() && std::filesystem::path(designFolder) != path.parent_path()) {
        const std::filesystem::path besideDesign =
            std::filesystem::path(designFolder) / reportPath.filename();
        if (m_report.Create(besideDesign, header)) {
            CServices::Messages().MessageBox("The report could not be written beside the "
                                             "netlist:\n" +
                                                 PathText(reportPath) + "\n\nIt goes to:\n" +
                                                 PathText(besideDesign),
                                             "Load Netlist", MB_OK, MB_ICONINFORMATION);
            return true;
        }
    }
    CServices::Messages().MessageBox("The report could not be written:\n" + PathText(reportPath),
                                     "Load Netlist", MB_OK, MB_ICONEXCLAMATION);
    return false;
}

bool CNetlistImport::FinishRun(bool completed, bool result)
{
    if (!m_report.Write()) {
        CServices::Messages().MessageBox("The report could not be written:\n" +
                                             PathText(m_report.GetPath()),
                                         "Load Netlist", MB_OK, MB_ICONEXCLAMATION);
    } else if (completed || m_showReport) {
        CServices::Launcher().ShowTextFile(m_report.GetPath());
    }
    return result;
}

bool CNetlistImport::CancelRun(const std::string& kind)
{
    m_progress.reset();
    m_document->TakeBackUndoState();
    m_changed = false;
    m_cancelled = true;
    SectionMessage(kind + " cancelled by the user: nothing was changed");
    return FinishRun(false, false);
}

void CNetlistImport::SectionMessage(const std::string& text)
{
    m_document->AddMessage(text);
    m_report.Append("\n" + text + "\n");
}

void CNetlistImport::ItemMessage(const std::string& text)
{
    m_document->AddMessage(text);
    m_report.Append(text + "\n");
}

void CNetlistImport::ReportUnreadable(const std::filesystem::path& listPath,
                                      const CComponentRecord& record)
{
    if (!record.refused.empty())
        ItemMessage(RefusedLineText(PathText(listPath), record.line, record.refused));
    else
        ItemMessage("Unreadable line " + std::to_string(record.line) + ": " +
                    VisibleText(record.text));
    m_errorFlags |= errorUnreadableLine;
}

void CNetlistImport::ShowNotFound(const std::string& text, const std::string& caption,
                                  const std::filesystem::path& path)
{
    CServices::Messages().MessageBox(text + "\n" + PathText(path), caption, MB_OK,
                                     MB_ICONEXCLAMATION);
}

void CNetlistImport::ShowOpenFailure(const std::string& kind, const std::string& caption,
                                     const std::filesystem::path& path, const std::string& reason)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error) || reason.empty()) {
        ShowNotFound("'" + kind + "' File not found", caption, path);
        return;
    }
    CServices::Messages().MessageBox(CWindows1252::FromUtf8(reason), caption, MB_OK,
                                     MB_ICONEXCLAMATION);
}

// ---- Files and dialect --------------------------------------------------------------------------

std::filesystem::path CNetlistImport::SiblingPath(const std::filesystem::path& path,
                                                  const std::string& extension)
{
    const std::filesystem::path folder = path.parent_path();
    const std::string name = CPathHelper::GetFileTitle(path.filename().string()) + extension;
    if (folder.empty())
        return CPathHelper::FindIgnoringCase(".", name).filename();
    return CPathHelper::FindIgnoringCase(folder, name);
}

NetlistFormat CNetlistImport::DetectFormat(const std::filesystem::path& path)
{
    const std::filesystem::path netPath = SiblingPath(path, ".NET");
    CNetlistLines lines;
    std::string reason;
    m_netFileOpened = OpenLines(netPath, lines, &reason);
    if (!m_netFileOpened) {
        ShowOpenFailure("NET", "Load NET File", netPath, reason);
        return NETLIST_NONE;
    }
    int32_t dialectLines = 0;
    const NetlistFormat format = DetectFormatOfLines(lines, &dialectLines);
    if (dialectLines == 0) {
        ShowNotFound(notNetlistText, "Load NET File", netPath);
        return NETLIST_NONE;
    }
    return format;
}

NetlistFormat CNetlistImport::DetectFormatOfLines(CNetlistLines& lines, int32_t* dialectLines)
{
    if (dialectLines != nullptr)
        *dialectLines = 0;
    std::array<int32_t, netlistFormatCount> votes{};
    int32_t examined = 0;
    std::string raw;
    while (lines.Next(raw)) {
        const std::string line = TrimRight(raw);
        if (line.empty())
            continue;
        if (++examined > detectionLineLimit)
            break;
        if (line[0] == '/') {
            const size_t open = line.find('(');
            const size_t close = line.find(')');
            const bool calay =
                open != std::string::npos && open > 0 && close != std::string::npos && close > open;
            ++votes[calay ? NETLIST_CALAY : NETLIST_NONE];
        } else if (ToUpperAscii(line.substr(0, 4)) == "NET ") {
            const size_t first = line.find('\'', 3);
            const size_t last = line.rfind('\'');
            const bool mentor = first != std::string::npos && last > first;
            ++votes[mentor ? NETLIST_MENTOR : NETLIST_NONE];
        } else if (line == "[" || line == "]" || line == "(" || line == ")") {
            ++votes[NETLIST_TANGO];
        } else if (line.find("PROTEL NETLIST 2.0") != std::string::npos) {
            ++votes[NETLIST_PROTEL];
            break;
        } else if (line.find("multiSIM") != std::string::npos) {
            ++votes[NETLIST_MULTISIM];
            break;
        } else {
            ++votes[NETLIST_NONE];
        }
    }
    if (dialectLines != nullptr)
        *dialectLines = std::accumulate(votes.begin() + NETLIST_CALAY, votes.end(), 0);
    // The headers decide at once, whatever voted before them.
    if (votes[NETLIST_PROTEL] > 0)
        return NETLIST_PROTEL;
    if (votes[NETLIST_MULTISIM] > 0)
        return NETLIST_MULTISIM;
    NetlistFormat best = NETLIST_CALAY;
    for (int32_t code = NETLIST_MENTOR; code <= NETLIST_TANGO; ++code) {
        if (votes[size_t(code)] > votes[size_t(best)])
            best = NetlistFormat(code);
    }
    return best;
}

bool CNetlistImport::DetectForRun(const std::filesystem::path& path)
{
    m_format = DetectFormat(path);
    if (m_format == NETLIST_NONE) {
        // Without a net file to read nothing is read: a component list alone would place parts
        // without nets, or delete the board's parts in a forward annotation.
        SectionMessage((m_netFileOpened ? std::string("ERROR: ") + notNetlistText + ": "
                                        : "ERROR: Open Netlist: ") +
                       PathText(SiblingPath(path, ".NET")));
        return false;
    }
    m_formatName = NetlistFormatName(m_format);
    return RefuseUnclosedBlock(SiblingPath(path, ".NET")) && CheckRunFiles(path);
}

bool CNetlistImport::RefuseUnclosedBlock(const std::filesystem::path& netPath)
{
    if (m_format != NETLIST_PROTEL && m_format != NETLIST_TANGO)
        return true;
    CNetlistLines lines;
    if (!OpenLines(netPath, lines))
        return true; // the net step says why it cannot read the file
    const int32_t open = CNetReader::UnclosedBlockLine(lines);
    if (open == 0)
        return true;
    const std::string where = "the file ends inside the block that starts at line " +
                              std::to_string(open) + " (cut short?)";
    ShowNotFound("Damaged netlist, nothing was changed:\n" + where, "Load NET File", netPath);
    SectionMessage("ERROR: Damaged Netlist, " + where + ": " + PathText(netPath));
    return false;
}

bool CNetlistImport::ConfirmTwiceListed(const std::filesystem::path& listPath,
                                        const std::vector<CComponentRecord>& records,
                                        const std::string& consequence)
{
    CNameIndex first;
    first.Reserve(records.size());
    std::string example;
    int64_t twice = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        const CComponentRecord& record = records[r];
        if (!record.HasReference())
            continue;
        if (first.Add(record.reference, int32_t(r)))
            continue;
        const CComponentRecord& earlier = records[size_t(first.Find(record.reference))];
        const auto names = [](const CComponentRecord& of) {
            return of.reference + ", " + of.type + ", " + of.shape + " (line " +
                   std::to_string(of.line) + ")";
        };
        ItemMessage("Warning: Reference listed twice: " + names(earlier) + " and " + names(record));
        if (twice++ == 0)
            example = record.reference + " (lines " + std::to_string(earlier.line) + " and " +
                      std::to_string(record.line) + ")";
    }
    if (twice == 0)
        return true;
    const std::string more =
        twice > 1 ? " and " + std::to_string(twice - 1) + " more references" : std::string();
    const std::string text = "The component list names " + example + more +
                             " twice: " + consequence + ". The report lists them.\n\n" +
                             "Component list: " + PathText(listPath) + "\n\nContinue?";
    if (CServices::Messages().MessageBox(text, "Load Netlist", MB_YESNO_DEFAULTNO,
                                         MB_ICONQUESTION) == IDYES)
        return true;
    m_showReport = true;
    return false;
}

std::string CNetlistImport::ComponentListExtension() const
{
    switch (m_format) {
    case NETLIST_MULTISIM:
        return ".PLC";
    case NETLIST_PROTEL:
    case NETLIST_TANGO:
        return ".NET";
    default:
        return ".CMP";
    }
}

bool CNetlistImport::OpenComponentList(const std::filesystem::path& listPath, CNetlistLines& lines)
{
    std::string reason;
    if (OpenLines(listPath, lines, &reason))
        return true;
    const std::string kind = ComponentListExtension().substr(1);
    ShowOpenFailure(kind, "Load " + kind + " File", listPath, reason);
    SectionMessage("ERROR: Load Componentlist: " + PathText(listPath));
    return false;
}

int32_t CNetlistImport::FindOrImportShape(const std::string& name)
{
    CShapeLib& cache = m_document->GetEditableShapeCache();
    int32_t index = cache.FindShape(name);
    if (index < 0) {
        if (const CShapeLibArray* libraries = m_document->GetShapeLibraries())
            index = cache.ImportShapeByName(*libraries, name);
    }
    return index;
}

// ---- Import -------------------------------------------------------------------------------------

bool CNetlistImport::ImportComponents(const std::filesystem::path& path)
{
    const std::filesystem::path listPath = SiblingPath(path, ComponentListExtension());
    CNetlistLines lines;
    if (!OpenComponentList(listPath, lines))
        return false;
    SectionMessage("Updating project");
    SectionMessage("Load " + m_formatName + " Componentslist: " + PathText(listPath) + "\n");

    std::vector<CComponentRecord> records;
    CComponentListReader reader(m_format, lines);
    for (CComponentRecord record; reader.ReadComponentRecord(record);)
        records.push_back(std::move(record));
    // A list that names no component is a wrong or damaged file: the design stays as it is.
    const bool any =
        std::any_of(records.begin(), records.end(),
                    [](const CComponentRecord& record) { return record.IsComplete(); });
    if (any && !ConfirmTwiceListed(listPath, records, "only the first record is placed")) {
        SectionMessage("Import Netlist cancelled by the user: nothing was changed");
        return false;
    }
    if (any)
        m_document->SaveUndoState();
    CComponentArray& components = m_document->GetComponents();
    m_referenceIndex.Clear();
    m_referenceIndex.Reserve(size_t(components.GetCount()) + records.size());
    for (int32_t i = 0; i < components.GetCount(); ++i)
        m_referenceIndex.Add(components.GetReference(i), i);
    m_progress->SetStatus("Adding components");
    const int64_t recordCount = std::max<int64_t>(int64_t(records.size()), 1);
    for (size_t r = 0; r < records.size(); ++r) {
        const CComponentRecord& record = records[r];
        if (any && m_progress->Advance(int64_t(r) * (progressUnits / 2) / recordCount))
            return false;
        if (!record.IsComplete()) {
            ReportUnreadable(listPath, record);
            continue;
        }
        const std::string names = record.reference + ", " + record.type + ", " + record.shape;
        const int32_t shape = FindOrImportShape(record.shape);
        if (shape < 0) {
            ItemMessage("Shape not Found: " + names);
            m_errorFlags |= errorUnknownShape;
        } else if (m_referenceIndex.Add(record.reference, components.GetCount())) {
            components.AppendComponent(record.reference, record.type, shape, placeX, placeY, 0,
                                       false);
            ItemMessage("Add Component: " + names);
        }
        // Otherwise the reference is listed twice, which the report named before the import.
    }
    if (!any) {
        ShowNotFound("No components found in the component list", "Load Netlist", listPath);
        SectionMessage("ERROR: Load Componentlist: " + PathText(listPath));
        return false;
    }
    m_document->GetEditableShapeCache().NormalizeAll();
    return true;
}

bool CNetlistImport::LoadNets(const std::filesystem::path& path)
{
    return ReadNetFile(path);
}

bool CNetlistImport::ReadNetFile(const std::filesystem::path& path)
{
    const std::filesystem::path netPath = SiblingPath(path, ".NET");
    m_document->SetNetlistPath(netPath.string());
    SectionMessage("Load " + m_formatName + " Netlist: " + PathText(netPath) + "\n");
    CNetlistLines lines;
    std::string reason;
    if (!OpenLines(netPath, lines, &reason)) {
        ShowOpenFailure("NET", "Load NET File", netPath, reason);
        SectionMessage("ERROR: Open Netlist: " + PathText(netPath));
        return false;
    }
    const int64_t lineCount = lines.CountLines();
    m_progress->SetStatus("Reading nets");
    CPadNetSink sink(
        m_document->GetComponents(), m_document->GetNets(), PathText(netPath),
        [this](const std::string& text) { ItemMessage(text); }, m_errorFlags, *m_progress,
        progressUnits / 2, progressUnits / 2, lineCount);
    if (!CNetReader(m_format, lines, sink).Read())
        return false;
    m_document->SetNetlistTime(LastWriteSeconds(netPath));
    return true;
}
