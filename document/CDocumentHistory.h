#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "document/CDesignBackup.h"
#include "document/CUndoStack.h"

class CDesign;
class CUndoSnapshot;
class CWevraDoc;
struct CEditState;

// The design's history: the undo snapshots taken before its edits, and the design time with the
// automatic backups. A snapshot holds what an edit may change of the document as a whole, so the
// part takes and restores it on the document.
class CDocumentHistory {
public:
    CDocumentHistory(CWevraDoc& document, CDesign& design, CEditState& edit);
    ~CDocumentHistory();
    CDocumentHistory(const CDocumentHistory&) = delete;
    CDocumentHistory& operator=(const CDocumentHistory&) = delete;

    // A snapshot of the drawn lines, texts, components and nets, when one is needed; at most
    // CUndoStack::maxSnapshots are kept, the oldest dropped.
    void PushUndo(uint32_t mask);
    void PushUndoForSelection();
    // Called before every edit: a snapshot of the state before it.
    void SaveUndoState();
    // An edit that may turn out to change nothing and says whether it changed something: only
    // then, and when the design no longer matches the state before it, does that state become
    // an undo step and the design modified. Returns whether it did.
    bool EditIfChanged(const std::function<bool()>& edit);
    // The same for an edit spread over many events that the user may still abandon (a track
    // run): the state before it is taken now and becomes an undo step, with the design
    // modified, once the edit is kept. Any other snapshot, Undo, Redo, take-back or question to
    // save keeps it first. Abandoned, with the design put back as it was, it leaves the undo
    // steps (the redo tail too), the modified mark and the planes' fills as they were.
    // An edit that ends with the design as its snapshot holds it (a run of no length, a part
    // put back where it was) is abandoned when it would be kept, leaving no step either.
    void BeginTentativeEdit();
    void KeepTentativeEdit();
    void AbandonTentativeEdit();
    // Abandoned with the design put back to the state the edit began with.
    void RevertTentativeEdit();
    // A drag is a tentative edit: its end keeps it, or abandons it when it changed nothing.
    void BeginDrag();
    void EndDrag();
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
    // The snapshots themselves, for the document's loading and pasting of whole designs; an
    // edit held back is kept first.
    CUndoStack& Stack();

    // The design time clock and the automatic backups of this design.
    CDesignBackup& GetBackup() { return m_backup; }

private:
    void PushSnapshot(uint32_t mask);
    // The collections with a selection, which an edit of the selection changes.
    uint32_t SelectionMask() const;
    // Whether the edit a tool is about to make may change what the planes' fills are made
    // around: then the fills become stale.
    bool MayChangeFills() const;
    // After Undo or Redo: the current component and plane stay within the restored lists.
    void ClampCurrentItems();

    CWevraDoc& m_document;
    CDesign& m_design;
    CEditState& m_edit;
    CUndoStack m_undo;
    std::unique_ptr<CUndoSnapshot> m_tentative;
    bool m_neededBeforeTentative = false;
    bool m_modifiedBeforeTentative = false;
    uint64_t m_copperBeforeTentative = 0;
    // A drag's edit that was abandoned while the drag goes on: the snapshot its next change
    // asks for is held back as a tentative edit again.
    bool m_holdNextSnapshot = false;
    CDesignBackup m_backup;
};
