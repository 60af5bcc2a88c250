#include "interchange/CNetlistImport.h"

#include <set>
#include <unordered_set>
#include <utility>

#include "framework/CMessageService.h"
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
#include "model/CComponentArrayDocument.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/FontWarning.h"

bool CNetlistImport::ForwardAnnotate(const std::filesystem::path& path)
{
    const std::filesystem::path listPath = SiblingPath(path, ComponentListExtension());
    SectionMessage("Updating project");
    SectionMessage("Load " + m_formatName +
                   " Componentslist: " + CWindows1252::FromUtf8(listPath.string()) + "\n");
    CNetlistLines lines;
    if (!OpenComponentList(listPath, lines))
        return false;

    // First pass: the references the list names. A record that cannot be placed still keeps
    // its component on the board.
    std::vector<std::string> references;
    CComponentRecord record;
    CComponentListReader first(m_format, lines);
    while (first.ReadComponentRecord(record)) {
        if (record.HasReference())
            references.push_back(record.reference);
    }
    if (references.empty()) {
        // A list that names nothing is a wrong or damaged file, never an order to clear the
        // board.
        ShowNotFound("No components found in the component list", "Load Netlist", listPath);
        SectionMessage("ERROR: Load Componentlist: " + CWindows1252::FromUtf8(listPath.string()));
        return false;
    }
    if (!ConfirmRemovals(path, references)) {
        SectionMessage("Forward annotation cancelled by the user: nothing was changed");
        return false;
    }
    m_document->SaveUndoState();
    // Re-anchoring a shape would move the copper of every component placed with it off its
    // tracks: the shapes of the board as it stands keep their anchors.
    std::unordered_set<std::string> placedShapes;
    {
        const CShapeLib& cache = m_document->GetEditableShapeCache();
        CComponentArray& components = m_document->GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            if (const CShape* shape = cache.GetShape(components.GetShapeIndex(i)))
                placedShapes.insert(shape->GetName());
        }
    }
    ForwardDeletions(references);
    m_referenceIndex.clear();
    {
        const CComponentArray& components = m_document->GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i)
            m_referenceIndex.emplace(components.GetReference(i), i);
    }

    lines.Rewind();
    CComponentListReader second(m_format, lines);
    m_progress->SetStatus("Updating components");
    const int64_t recordCount = int64_t(references.size());
    for (int64_t r = 0; second.ReadComponentRecord(record); ++r) {
        if (m_progress->Advance(std::min(r, recordCount) * (progressUnits / 2) / recordCount))
            return false;
        if (record.IsComplete())
            ForwardRecord(record);
        else
            ReportUnreadable(record.line, record.text);
    }
    CShapeLib& cache = m_document->GetEditableShapeCache();
    for (int32_t i = 0; i < cache.GetCount(); ++i) {
        if (const CShape* shape = cache.GetShape(i);
            shape && !placedShapes.contains(shape->GetName()))
            cache.NormalizeShape(i);
    }
    return true;
}

namespace {

// The pads a net file gives a net, by reference and pad index; the design is not touched.
class CAssignedPadsSink : public CNetReaderSink {
public:
    void OnNet(const std::string& /*name*/, int32_t /*line*/) override {}
    void OnPin(const std::string& reference, const std::string& pin, int32_t /*line*/) override
    {
        pads.emplace(reference, ParsePinNumber(pin) - 1);
    }
    void OnUnreadable(int32_t /*line*/, const std::string& /*text*/) override {}

    std::set<std::pair<std::string, int32_t>> pads;
};

} // namespace

bool CNetlistImport::ConfirmRemovals(const std::filesystem::path& path,
                                     const std::vector<std::string>& references)
{
    CNetlistLines lines;
    CAssignedPadsSink assigned;
    if (lines.Open(SiblingPath(path, ".NET")))
        CNetReader(m_format, lines, assigned).Read();
    const std::unordered_set<std::string> listed(references.begin(), references.end());
    const CComponentArray& components = m_document->GetComponents();
    int32_t deleted = 0;
    int64_t padsInNets = 0;
    int64_t padsLeaving = 0;
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const std::string reference = components.GetReference(i);
        const bool stays =
            listed.count(reference) != 0 || components.TestFlag(i, ComponentFlags::lockDelete);
        if (!stays)
            ++deleted;
        const std::vector<uint16_t>& nets = components.GetComponent(i)->GetPadNets();
        for (size_t pad = 0; pad < nets.size(); ++pad) {
            if (nets[pad] == 0)
                continue;
            ++padsInNets;
            if (!stays || assigned.pads.count({reference, int32_t(pad)}) == 0)
                ++padsLeaving;
        }
    }
    const int32_t placed = components.GetCount();
    if (int64_t(deleted) * 4 <= placed && padsLeaving * 4 <= padsInNets)
        return true;
    const std::string text =
        std::to_string(deleted) + " of " + std::to_string(placed) +
        " components would be deleted, " + std::to_string(padsLeaving) + " of " +
        std::to_string(padsInNets) + " pads in nets would lose their net.\n\nNetlist: " +
        CWindows1252::FromUtf8(SiblingPath(path, ".NET").string()) + "\n\nContinue?";
    return CServices::Messages().MessageBox(text, "Forward Annotate", MB_YESNO, MB_ICONQUESTION) ==
           IDYES;
}

void CNetlistImport::ForwardDeletions(const std::vector<std::string>& references)
{
    const std::unordered_set<std::string> listed(references.begin(), references.end());
    CComponentArray& components = m_document->GetComponents();
    m_document->SelectAll(false);
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const std::string reference = components.GetReference(i);
        if (listed.count(reference) != 0)
            continue;
        ItemMessage("Delete Component: " + reference + ", " + components.GetType(i) + ", " +
                    components.GetShapeName(i));
        // A component locked against selection cannot be marked for deletion: its lock
        // keeps it as the delete lock would.
        if (components.TestFlag(i, ComponentFlags::lockDelete) || !components.Select(i, true)) {
            components.Select(i, false);
            ItemMessage("Warning: Delete Ignored by properties: " + reference);
        }
    }
    if (components.GetSelectedCount() > 0) {
        components.DeleteSelected();
        m_document->SetCurrentComponent(-1);
    }
}

void CNetlistImport::ForwardRecord(const CComponentRecord& record)
{
    CComponentArray& components = m_document->GetComponents();
    const std::string names = record.reference + ", " + record.type + ", " + record.shape;
    const auto found = m_referenceIndex.find(record.reference);
    const int32_t index = found == m_referenceIndex.end() ? -1 : found->second;
    const int32_t shape = FindOrImportShape(record.shape);
    if (index < 0) {
        ItemMessage("Add    Component: " + names);
        if (shape < 0)
            ItemMessage("Warning: Shape not Found: " + names);
        else
            m_referenceIndex.emplace(record.reference,
                                     components.AppendComponent(record.reference, record.type,
                                                                shape, placeX, placeY, 0, false));
        if (shape >= 0) {
            FontMessage("Reference", record.reference);
            FontMessage("Type of " + record.reference, record.type);
        }
        return;
    }
    if (shape < 0) {
        ItemMessage("Warning: Shape not Found: " + names);
        return;
    }
    if (components.GetShapeName(index) != record.shape) {
        ItemMessage("Replace Shape: " + names);
        if (components.TestFlag(index, ComponentFlags::lockReplaceShape)) {
            ItemMessage("Warning: Replace Shape Ignored by properties: " + record.reference);
        } else {
            components.SetRotation(index, components.BestRotationForShape(index, shape));
            components.SetShapeIndex(index, shape);
        }
    }
    if (components.GetType(index) != record.type) {
        ItemMessage("Replace Typename: " + names);
        if (components.TestFlag(index, ComponentFlags::lockType))
            ItemMessage("Warning: Replace Typename Ignored by properties: " + record.reference);
        else {
            components.SetName(index, CComponent::textType, record.type);
            FontMessage("Type of " + record.reference, record.type);
        }
    }
}

void CNetlistImport::FontMessage(const std::string& what, const std::string& name)
{
    const CComponentArrayDocument* board = m_document->GetComponents().GetDocument();
    if (!board)
        return;
    const std::string line = MissingCharactersLine(board->GetFont(), what, name);
    if (!line.empty())
        ItemMessage("Warning: " + line);
}

bool CNetlistImport::ReloadNets(const std::filesystem::path& path)
{
    const bool loaded = ReadNetFile(path);
    // Components were deleted, added and sorted: the pins follow them even when no net was
    // read.
    m_document->GetComponents().RebuildNetPins();
    return loaded;
}
