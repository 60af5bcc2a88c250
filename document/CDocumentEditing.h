#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

class CDesign;
class CDocumentHistory;
class CDocumentPlanes;
class CDocumentWindows;
class CEditSession;
class CViewState;
class CWevraDoc;
struct CEditState;

// The document's edits of the selection as a whole: moving, rotating, copying in place, copying
// as an array and deleting the selected items of every collection at once, each after an undo
// snapshot; and the settings they and the tools share: the snap to grid and to guidelines and
// the current pen.
class CDocumentEditing {
public:
    // `document` goes only to the template import, which takes over parts of another design;
    // `modified` marks the document modified.
    CDocumentEditing(CWevraDoc& document, CDesign& design, CEditState& edit, CEditSession& session,
                     CDocumentHistory& history, CDocumentPlanes& planes, CViewState& view,
                     CDocumentWindows& windows, std::function<void()> modified)
        : m_document(document), m_design(design), m_edit(edit), m_session(session),
          m_history(history), m_planes(planes), m_view(view), m_windows(windows),
          m_modified(std::move(modified))
    {
    }
    CDocumentEditing(const CDocumentEditing&) = delete;
    CDocumentEditing& operator=(const CDocumentEditing&) = delete;

    // Settings menu: the current grid's snap switch, and the guideline snap range (0..4) that
    // collects the current net's pins as snap points.
    void OnSettingsSnapToGrid();
    bool IsSnapToGridOn() const;
    void OnSettingsSnapToGuidelines();
    void OnSnapToGuidesDecrement();
    void OnSnapToGuidesIncrement();
    bool IsSnapToGuidelinesOn() const;
    // The menu text of Snap to Guidelines with the range in it.
    std::string GetSnapToGuidelinesText() const;
    // Asks first, then opens the template import; every view updates after OK.
    void OnBoardImportFromTemplate();

    // Selected planes, drawn-line vertices, net items, texts and components move (components
    // with their pins and texts), after an undo snapshot when one is due.
    void MoveSelection(int32_t dx, int32_t dy);
    void MoveSelectionToCursor();
    void MoveCurrentComponentToCursor();
    // The box of the selected line and net vertices: its centre goes onto the grid.
    void CenterSelectionOnGrid();
    // About the snapped cursor, in 1/1000 degree.
    void RotateSelection(int32_t angle);
    void RotateSelection90();
    // A drag is undone, the idle tool follows and nothing stays selected.
    void CancelMove();
    // After an undo snapshot every collection copies its selection in place; the copies are
    // selected instead. True.
    bool CopySelection();
    // The selection of every collection goes; nothing stays selected. True.
    bool DeleteSelectedItems();
    // "Copy Rectangular Array...": columns x rows copies of the selection on a grid of the
    // distances (2 to 1000 places, each count at most 1000). False when cancelled or refused;
    // a refusal is told, naming the count or distance and its limits.
    bool CopyArray();
    // Pen `index` of the board pen table (on a copper work layer) or of the drawn lines
    // becomes current, also for the track or line being drawn.
    void SelectPen(int32_t index);
    // Deletes every selected item of every collection, after an undo snapshot.
    bool DeleteSelection();

private:
    // The selection moved, copied in place or deleted, without undo snapshot.
    void MoveSelectedItems(int32_t dx, int32_t dy);
    void CopySelectedInPlace();
    // After a change of the guideline snap range.
    void ApplySnapRange(int32_t range);

    CWevraDoc& m_document;
    CDesign& m_design;
    CEditState& m_edit;
    CEditSession& m_session;
    CDocumentHistory& m_history;
    CDocumentPlanes& m_planes;
    CViewState& m_view;
    CDocumentWindows& m_windows;
    std::function<void()> m_modified;
};
