#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CUndoSnapshot;
class CWevraDoc;

// The undo snapshots of a document and the position Undo and Redo have reached in them. A
// snapshot is taken only when one is due (an edit is about to start); at most maxSnapshots are
// kept, the oldest dropped. The stack never changes the document itself: it hands back the
// snapshot the document restores.
class CUndoStack {
public:
    static constexpr int32_t maxSnapshots = 6;

    CUndoStack();
    ~CUndoStack();
    CUndoStack(const CUndoStack&) = delete;
    CUndoStack& operator=(const CUndoStack&) = delete;

    // When a snapshot is due: the redo tail and an outdated record of Undo go, and a snapshot
    // of the document's collections chosen by the mask is pushed. True when one was pushed.
    // A snapshot following one taken before the design was replaced holds the whole design.
    bool Push(uint32_t mask, CWevraDoc& document);
    // The snapshot Push would take now, for an edit that may turn out to change nothing: it
    // goes on the stack through Push once the edit changed something, and is dropped otherwise,
    // leaving the stack (the redo tail too) as it was. nullptr when no snapshot is due.
    std::unique_ptr<CUndoSnapshot> Take(uint32_t mask, CWevraDoc& document) const;
    bool Push(std::unique_ptr<CUndoSnapshot> snapshot);
    // One step back. The state since the last push is first recorded for Redo (`recorded`
    // says so). The snapshot to restore, or nullptr when the step leaves none.
    const CUndoSnapshot* Undo(CWevraDoc& document, bool& recorded);
    // One step forward; nullptr when there is nothing to redo.
    const CUndoSnapshot* Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    // Every snapshot goes: the design was replaced.
    void Clear();
    // A mark of the stack as it is now, for TakeBackSince.
    uint64_t GetMark() const { return m_pushes; }
    // An edit that failed half-way since the mark: the first snapshot pushed since then goes off
    // the stack with everything after it and is handed back for the document to restore.
    // nullptr when the edit had pushed none.
    std::unique_ptr<CUndoSnapshot> TakeBackSince(uint64_t mark);

    int32_t GetCount() const { return static_cast<int32_t>(m_list.size()); }
    int32_t GetIndex() const { return m_index; }
    bool IsSnapshotNeeded() const { return m_snapshotNeeded; }
    void SetSnapshotNeeded(bool needed) { m_snapshotNeeded = needed; }

private:
    // Pops the last snapshot, releasing what it holds first.
    void DropLast();
    // The snapshot a push follows once the outdated record of Undo and the redo tail went.
    const CUndoSnapshot* LastKept() const;

    std::vector<std::unique_ptr<CUndoSnapshot>> m_list;
    int32_t m_index = -1;
    bool m_snapshotNeeded = false;
    // An edit followed the last push: Undo records the state first.
    bool m_pending = false;
    uint64_t m_pushes = 0;
};
