#include "document/CUndoStack.h"

#include <algorithm>

#include "document/CUndoSnapshot.h"

CUndoStack::CUndoStack() = default;
CUndoStack::~CUndoStack() = default;

bool CUndoStack::Push(uint32_t mask, CWevraDoc& document)
{
    return Push(Take(mask, document));
}

std::unique_ptr<CUndoSnapshot> CUndoStack::Take(uint32_t mask, CWevraDoc& document) const
{
    if (!m_snapshotNeeded)
        return nullptr;
    if (const CUndoSnapshot* last = LastKept(); last && last->IsBeforeReplacement())
        mask |= CUndoSnapshot::maskWholeDesign;
    // Every collection is copied; only the caller's marks survive from the mask.
    return std::make_unique<CUndoSnapshot>(mask | CUndoSnapshot::maskStoredAll, document);
}

const CUndoSnapshot* CUndoStack::LastKept() const
{
    size_t kept = m_list.size();
    if (kept > 1 && m_list.back()->IsTemporary())
        --kept;
    if (m_index < int32_t(kept) - 1)
        kept = size_t(std::max(m_index, 0));
    return kept > 0 ? m_list[kept - 1].get() : nullptr;
}

bool CUndoStack::Push(std::unique_ptr<CUndoSnapshot> snapshot)
{
    if (!snapshot)
        return false;
    // The record of the current state that Undo took is outdated by any new edit.
    if (m_list.size() > 1 && m_list.back()->IsTemporary())
        DropLast();
    m_pending = true;
    // The redo tail goes, and with it the restored state, which the new snapshot replaces.
    if (m_index < GetCount() - 1) {
        while (GetCount() > std::max(m_index, 0))
            DropLast();
    }
    if (GetCount() > maxSnapshots - 1) {
        m_list.front()->Release();
        m_list.erase(m_list.begin());
    }
    snapshot->SetSerial(++m_pushes);
    m_list.push_back(std::move(snapshot));
    m_index = GetCount() - 1;
    m_snapshotNeeded = false;
    return true;
}

void CUndoStack::DropLast()
{
    m_list.back()->Release();
    m_list.pop_back();
}

const CUndoSnapshot* CUndoStack::Undo(CWevraDoc& document, bool& recorded)
{
    recorded = false;
    if (m_index < 0)
        return nullptr;
    // The state since the last push has no record yet: keep it for Redo, with the shape cache
    // in case the snapshot undone to brings back a cache of its own.
    if (m_pending) {
        m_snapshotNeeded = true;
        recorded = Push(CUndoSnapshot::maskTemporary | CUndoSnapshot::maskStoredAll |
                            CUndoSnapshot::maskShapeCache | CUndoSnapshot::maskNetlist,
                        document);
        m_pending = false;
    }
    --m_index;
    return m_index >= 0 ? m_list[size_t(m_index)].get() : nullptr;
}

const CUndoSnapshot* CUndoStack::Redo()
{
    if (!CanRedo())
        return nullptr;
    ++m_index;
    return m_list[size_t(m_index)].get();
}

bool CUndoStack::CanUndo() const
{
    return m_index >= 1 || (m_index == 0 && m_pending);
}

bool CUndoStack::CanRedo() const
{
    return m_index < GetCount() - 1;
}

void CUndoStack::Clear()
{
    m_list.clear();
    m_index = -1;
    m_snapshotNeeded = false;
    m_pending = false;
}

std::unique_ptr<CUndoSnapshot> CUndoStack::TakeBackSince(uint64_t mark)
{
    const auto first = std::find_if(m_list.begin(), m_list.end(), [mark](const auto& snapshot) {
        return !snapshot->IsTemporary() && snapshot->GetSerial() > mark;
    });
    if (first == m_list.end())
        return nullptr;
    std::unique_ptr<CUndoSnapshot> before = std::move(*first);
    m_list.erase(first, m_list.end());
    m_index = GetCount() - 1;
    // The design now differs from the snapshot on top, if any, as after any edit.
    m_pending = !m_list.empty();
    m_snapshotNeeded = true;
    return before;
}
