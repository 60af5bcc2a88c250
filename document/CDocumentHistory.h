#pragma once

#include <cstdint>
#include <functional>

#include "document/CDesignBackup.h"
#include "document/CUndoStack.h"

class CDesign;
class CWevraDoc;
struct CEditState;

// The design's history: the undo snapshots taken before its edits, and the design time with the
// automatic backups. A snapshot holds what an edit may change of the document as a whole, so the
// part takes and restores it on the document.
class CDocumentHistory {
public:
    CDocumentHistory(CWevraDoc& document, CDesign& design, CEditState& edit)
        : m_document(document), m_design(design), m_edit(edit), m_backup(document)
    {
    }
    CDocumentHistory(const CDocumentHistory&) = delete;
    CDocumentHistory& operator=(const CDocumentHistory&) = delete;

    // A snapshot of the drawn lines, texts, components and nets, when one is needed; at most
    // CUndoStack::maxSnapshots are kept, the oldest dropped.
    void PushUndo(uint32_t mask);
    void PushUndoForSelection();
    // Called before every edit: a snapshot of the state before it.
    void SaveUndoState();
    // An edit that may turn out to change nothing and says whether it changed something: only
    // then does the state before it become an undo step and the design modified. Returns what
    // the edit said.
    bool EditIfChanged(const std::function<bool()>& edit);
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    int32_t GetUndoCount() const { return m_undo.GetCount(); }
    int32_t GetUndoIndex() const { return m_undo.GetIndex(); }
    bool IsSnapshotNeeded() const { return m_undo.IsSnapshotNeeded(); }
    void SetSnapshotNeeded() { m_undo.SetSnapshotNeeded(true); }
    // A command that failed half-way since the mark of GetUndoMark: the design goes back to the
    // snapshot its edit took first, which leaves the undo steps. False when it had taken none.
    uint64_t GetUndoMark() const { return m_undo.GetMark(); }
    bool TakeBackSince(uint64_t mark);
    // The snapshots themselves, for the document's loading and pasting of whole designs.
    CUndoStack& Stack() { return m_undo; }

    // The design time clock and the automatic backups of this design.
    CDesignBackup& GetBackup() { return m_backup; }

private:
    void PushSnapshot(uint32_t mask);
    // Whether the edit a tool is about to make may change what the planes' fills are made
    // around: then the fills become stale.
    bool MayChangeFills() const;
    // After Undo or Redo: the current component and plane stay within the restored lists.
    void ClampCurrentItems();

    CWevraDoc& m_document;
    CDesign& m_design;
    CEditState& m_edit;
    CUndoStack m_undo;
    CDesignBackup m_backup;
};
