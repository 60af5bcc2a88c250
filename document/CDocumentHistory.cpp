#include "document/CDocumentHistory.h"

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CEditState.h"
#include "document/CUndoSnapshot.h"
#include "document/CWevraDoc.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/COutputRec.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

CDocumentHistory::CDocumentHistory(CWevraDoc& document, CDesign& design, CEditState& edit)
    : m_document(document), m_design(design), m_edit(edit), m_backup(document)
{
}

CDocumentHistory::~CDocumentHistory() = default;

void CDocumentHistory::PushUndo(uint32_t mask)
{
    // Every edit asks for its snapshot first, also when none is due: whatever it changes, a
    // plane filled before it no longer fits the copper.
    m_design.AdvanceCopperRevision();
    PushSnapshot(mask);
}

void CDocumentHistory::PushSnapshot(uint32_t mask)
{
    if (m_tentative) {
        // Another edit follows: the one held back happened before it.
        const bool needed = m_undo.IsSnapshotNeeded();
        KeepTentativeEdit();
        m_undo.SetSnapshotNeeded(needed);
    }
    if (m_holdNextSnapshot && m_undo.IsSnapshotNeeded()) {
        m_holdNextSnapshot = false;
        // Abandoned, it leaves what the abandoned one would have left.
        m_tentative = m_undo.Take(mask, m_document);
        m_undo.SetSnapshotNeeded(false);
        return;
    }
    if (m_undo.Push(mask, m_document))
        m_document.SetModified();
}

void CDocumentHistory::BeginDrag()
{
    // Taken now rather than at the drag's first change: some tools change the design without
    // asking for a snapshot, or mark it modified when the drag ends whatever it did.
    if (m_tentative)
        m_undo.SetSnapshotNeeded(true);
    else
        BeginTentativeEdit();
}

void CDocumentHistory::EndDrag()
{
    m_holdNextSnapshot = false;
    KeepTentativeEdit();
}

bool CDocumentHistory::MayChangeFills() const
{
    // A fill is made around the nets' copper and pins and the texts on copper layers.
    if (m_design.GetNets().GetSelectedCount() > 0 ||
        m_design.GetComponents().GetSelectedCount() > 0)
        return true;
    const CTextArray& texts = m_design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i) {
        const CWevraText& text = *texts.GetText(i);
        if (text.IsSelected() && IsCopperLayer(text.GetLayer()))
            return true;
    }
    // The text and line tools change the selected texts and lines and add new ones on the work
    // layer; the other tools may add copper.
    const uint32_t mode = m_edit.mode;
    if (mode != ID_BOARD_PLACE_TEXT && mode != ID_BOARD_EDIT_TEXT && mode != ID_LINES_ADD &&
        mode != ID_LINES_EDIT)
        return true;
    const COutputRec* set = m_design.GetCurrentLayerSet();
    return IsCopperLayer(set ? set->GetRefLayer() : m_design.GetLayers().GetRefLayer());
}

void CDocumentHistory::PushUndoForSelection()
{
    if (MayChangeFills())
        m_design.AdvanceCopperRevision();
    if (!m_undo.IsSnapshotNeeded())
        return;
    PushSnapshot(SelectionMask());
}

uint32_t CDocumentHistory::SelectionMask() const
{
    uint32_t mask = 0;
    if (m_design.GetNets().GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskNets;
    if (m_design.GetLines().GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskLines;
    if (m_design.GetComponents().GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskComponents;
    if (m_design.GetTexts().GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskTexts;
    return mask;
}

void CDocumentHistory::SaveUndoState()
{
    m_undo.SetSnapshotNeeded(true);
    PushUndoForSelection();
}

bool CDocumentHistory::EditIfChanged(const std::function<bool()>& edit)
{
    KeepTentativeEdit();
    const bool wasNeeded = m_undo.IsSnapshotNeeded();
    m_undo.SetSnapshotNeeded(true);
    std::unique_ptr<CUndoSnapshot> before = m_undo.Take(CUndoSnapshot::maskAll, m_document);
    // An edit may say it changed something that it left as it was (a net unrouted that had no
    // tracks).
    if (!edit() || before->Matches(m_document)) {
        before->Release();
        m_undo.SetSnapshotNeeded(wasNeeded);
        return false;
    }
    m_design.AdvanceCopperRevision();
    m_undo.Push(std::move(before));
    m_document.SetModified();
    return true;
}

void CDocumentHistory::BeginTentativeEdit()
{
    // A tool that starts its run just after the drag began: the open edit holds this state.
    if (m_tentative && m_tentative->Matches(m_document))
        return;
    KeepTentativeEdit();
    m_holdNextSnapshot = false;
    m_neededBeforeTentative = m_undo.IsSnapshotNeeded();
    m_modifiedBeforeTentative = m_document.IsModified();
    m_copperBeforeTentative = m_design.GetCopperRevision();
    m_undo.SetSnapshotNeeded(true);
    m_tentative = m_undo.Take(SelectionMask(), m_document);
    // As after a push: the edit's own steps take no snapshot of their own.
    m_undo.SetSnapshotNeeded(false);
}

void CDocumentHistory::KeepTentativeEdit()
{
    if (!m_tentative)
        return;
    if (m_tentative->Matches(m_document)) {
        AbandonTentativeEdit();
        // Still being drawn, the edit takes a snapshot again at its next change.
        if (m_edit.action == CEditState::actionDragging) {
            m_undo.SetSnapshotNeeded(true);
            m_holdNextSnapshot = true;
        }
        return;
    }
    // A text or line put down off the copper leaves the planes' fills as they are.
    if (MayChangeFills())
        m_design.AdvanceCopperRevision();
    m_undo.Push(std::move(m_tentative));
    m_document.SetModified();
}

void CDocumentHistory::AbandonTentativeEdit()
{
    if (!m_tentative)
        return;
    m_tentative->Release();
    m_tentative.reset();
    m_undo.SetSnapshotNeeded(m_neededBeforeTentative);
    m_document.SetModifiedFlag(m_modifiedBeforeTentative);
    // The copper is what it was: the mouse moves of the run leave no plane out of date. A plane
    // filled meanwhile was filled around the run and stays out of date.
    m_design.RestoreCopperRevision(m_copperBeforeTentative);
}

void CDocumentHistory::RevertTentativeEdit()
{
    if (!m_tentative)
        return;
    m_tentative->Restore(m_document);
    ClampCurrentItems();
    AbandonTentativeEdit();
}

void CDocumentHistory::Undo()
{
    KeepTentativeEdit();
    bool recorded = false;
    const CUndoSnapshot* snapshot = m_undo.Undo(m_document, recorded);
    if (recorded)
        m_document.SetModified();
    if (snapshot) {
        // Before the restore: the planes it fills again are filled for the copper it brings
        // back.
        m_design.AdvanceCopperRevision();
        snapshot->Restore(m_document);
        ClampCurrentItems();
        // The checks' errors name items of the board they ran on, which may be gone now.
        m_design.GetNets().ClearErrors();
    }
}

void CDocumentHistory::Redo()
{
    KeepTentativeEdit();
    const CUndoSnapshot* snapshot = m_undo.Redo();
    if (!snapshot)
        return;
    m_design.AdvanceCopperRevision();
    snapshot->Restore(m_document);
    ClampCurrentItems();
    m_design.GetNets().ClearErrors();
    m_document.SetModified();
}

bool CDocumentHistory::TakeBackSince(uint64_t mark)
{
    KeepTentativeEdit();
    const std::unique_ptr<CUndoSnapshot> before = m_undo.TakeBackSince(mark);
    if (!before)
        return false;
    m_design.AdvanceCopperRevision();
    before->Restore(m_document);
    ClampCurrentItems();
    m_design.GetNets().ClearErrors();
    m_document.SetModified();
    return true;
}

bool CDocumentHistory::CanUndo() const
{
    return m_undo.CanUndo() || (m_tentative && !m_tentative->Matches(m_document));
}

bool CDocumentHistory::CanRedo() const
{
    return m_tentative == nullptr && m_undo.CanRedo();
}

void CDocumentHistory::ClampCurrentItems()
{
    // A restored list may be shorter than the one the tool was working on.
    if (!m_design.GetComponents().IsIndex(m_edit.currentComponentIndex))
        m_edit.currentComponentIndex = -1;
    if (m_edit.planeIndex >= m_design.GetPlaneCount())
        m_edit.planeIndex =
            m_design.GetPlanes().empty() ? CEditState::noPlane : m_design.GetPlaneCount() - 1;
    m_document.Windows().RefreshPlaneList();
}

CUndoStack& CDocumentHistory::Stack()
{
    KeepTentativeEdit();
    return m_undo;
}
