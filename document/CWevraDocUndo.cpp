#include "document/CWevraDoc.h"

#include "document/CUndoSnapshot.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"

void CWevraDoc::PushUndo(uint32_t mask)
{
    if (!m_snapshotNeeded)
        return;
    // The record of the current state that Undo took is outdated by any new edit.
    if (m_undoList.size() > 1 && m_undoList.back()->IsTemporary())
        m_undoList.pop_back();
    m_undoPending = true;
    // The redo tail goes, and with it the restored state, which the new snapshot replaces.
    if (m_undoIndex < GetUndoCount() - 1) {
        while (GetUndoCount() > std::max(m_undoIndex, 0))
            m_undoList.pop_back();
    }
    if (GetUndoCount() > maxUndoSnapshots - 1)
        m_undoList.erase(m_undoList.begin());
    // Every collection is copied; only the caller's marks survive from the mask.
    m_undoList.push_back(
        std::make_unique<CUndoSnapshot>(mask | CUndoSnapshot::maskStoredAll, *this));
    m_undoIndex = GetUndoCount() - 1;
    SetModified();
    m_snapshotNeeded = false;
}

void CWevraDoc::PushUndoForSelection()
{
    if (!m_snapshotNeeded)
        return;
    uint32_t mask = 0;
    if (m_nets->GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskNets;
    if (m_lines->GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskLines;
    if (m_components->GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskComponents;
    if (m_texts->GetSelectedCount() > 0)
        mask |= CUndoSnapshot::maskTexts;
    PushUndo(mask);
}

void CWevraDoc::SaveUndoState()
{
    m_snapshotNeeded = true;
    PushUndoForSelection();
}

void CWevraDoc::Undo()
{
    if (m_undoIndex < 0)
        return;
    // The state since the last push has no record yet: keep it for Redo.
    if (m_undoPending) {
        m_snapshotNeeded = true;
        PushUndo(CUndoSnapshot::maskTemporary | CUndoSnapshot::maskStoredAll);
        m_undoPending = false;
    }
    --m_undoIndex;
    if (m_undoIndex >= 0) {
        m_undoList[size_t(m_undoIndex)]->Restore(*this);
        ClampCurrentComponent();
    }
}

void CWevraDoc::Redo()
{
    if (!CanRedo())
        return;
    ++m_undoIndex;
    m_undoList[size_t(m_undoIndex)]->Restore(*this);
    ClampCurrentComponent();
    SetModified();
}

bool CWevraDoc::CanUndo() const
{
    return m_undoIndex >= 1 || (m_undoIndex == 0 && m_undoPending);
}

bool CWevraDoc::CanRedo() const
{
    return m_undoIndex < GetUndoCount() - 1;
}

void CWevraDoc::ClampCurrentComponent()
{
    // A restored list may be shorter than the one the tool was working on.
    if (!m_components->IsIndex(m_edit.currentComponentIndex))
        m_edit.currentComponentIndex = -1;
}
