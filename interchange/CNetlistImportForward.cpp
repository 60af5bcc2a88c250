#include "interchange/CNetlistImport.h"

#include <unordered_set>

#include "framework/CWindows1252.h"
#include "interchange/CComponentListReader.h"
#include "interchange/CNetlistDocument.h"
#include "interchange/CNetlistLines.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CShapeLib.h"

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
    m_document->SaveUndoState();
    ForwardDeletions(references);

    lines.Rewind();
    CComponentListReader second(m_format, lines);
    while (second.ReadComponentRecord(record)) {
        if (record.IsComplete())
            ForwardRecord(record);
        else
            ReportUnreadable(record.line, record.text);
    }
    m_document->GetEditableShapeCache().NormalizeAll();
    return true;
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
    const int32_t index = components.FindByReference(record.reference);
    const int32_t shape = FindOrImportShape(record.shape);
    if (index < 0) {
        ItemMessage("Add    Component: " + names);
        if (shape < 0)
            ItemMessage("Warning: Shape not Found: " + names);
        else
            components.AddComponent(record.reference, record.type, shape, placeX, placeY, 0, false);
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
        else
            components.SetName(index, CComponent::textType, record.type);
    }
}

bool CNetlistImport::ReloadNets(const std::filesystem::path& path)
{
    const bool loaded = ReadNetFile(path);
    // Components were deleted, added and sorted: the pins follow them even when no net was
    // read.
    m_document->GetComponents().RebuildNetPins();
    return loaded;
}
