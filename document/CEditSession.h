#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "document/CDesignSettings.h"
#include "document/CEditState.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/CComponent.h"
#include "model/CToolDocument.h"
#include "model/CWevraText.h"

class CDesign;
class CDocumentEditing;
class CDocumentHistory;
class CDocumentWindows;
class CViewState;

// The user's editing session on one design: the tool mode and what it is doing, the selection
// and its filter, the cursor in its raw, snapped and previous positions with the anchor, the
// rubber band, the work layer, the current net, component, text and plane. It is what the
// interactive tools see of the design (CToolDocument, and with it the text tool's
// CTextArrayDocument); what they ask beyond the session goes to the design it belongs to.
// The selection filter is stored with the design's settings.
class CEditSession : public CToolDocument {
public:
    // What the session asks of the document it belongs to.
    struct DocumentHooks {
        // Marks the document modified.
        std::function<void()> modified;
        // Rebuilds the document's title, which names the tool mode.
        std::function<void()> retitle;
        // Whether the document is a shape document.
        std::function<bool()> isShapeDocument;
    };

    // The editing, the history, the view and the windows are made after the session and used
    // only once they are there.
    CEditSession(CDesign& design, CDesignSettings& settings, CDocumentEditing& editing,
                 CDocumentHistory& history, CViewState& view, CDocumentWindows& windows,
                 DocumentHooks hooks)
        : m_design(design), m_settings(settings), m_editing(editing), m_history(history),
          m_view(view), m_windows(windows), m_hooks(std::move(hooks))
    {
    }
    CEditSession(const CEditSession&) = delete;
    CEditSession& operator=(const CEditSession&) = delete;

    // The state itself, for the document's painting and commands and the view's zoom window.
    CEditState& State() { return m_edit; }
    const CEditState& State() const { return m_edit; }
    // The cursors, the anchor and the rubber band back to the origin.
    void Reset();
    // The document's own component, empty, without a shape.
    void ResetCurrentComponent();

    // ---- Mode and action ------------------------------------------------------------------------

    uint32_t GetMode() const override { return m_edit.mode; }
    bool IsMode(uint32_t mode) const { return m_edit.mode == mode; }
    uint32_t GetAction() const override { return m_edit.action; }
    bool IsAction(uint32_t action) const { return m_edit.action == action; }
    // Dragging (2) means an edit is about to change the design: an undo snapshot is due.
    void SetAction(uint32_t action) override;
    // Starts the tool of a command: the selection ends, the action waits, the grid and the
    // default padstack kind follow the tool, and title and toolbar are rebuilt.
    void SetMode(uint32_t mode) override;
    // SetMode for a design in which nothing is selected, such as one just read and deselected
    // whole: it spares the second walk over every item of a big board.
    void StartModeWithNothingSelected(uint32_t mode);
    // Grid 1 for the component tools, grid 2 for the text tools, grid 0 otherwise; true when
    // the current grid changed.
    bool SelectGridForMode();
    int32_t GetDefaultPadStackKind() const override { return m_edit.defaultPadStackKind; }
    // The reference layer of the current display layer set.
    int32_t GetWorkLayer() const override;
    // The component-text kind of the current display layer set (0 none, 1 reference, 2 type,
    // 3 shape name), the one the text tools work on; setting kind m + 1 also shows that text.
    int32_t GetComponentTextMode() const;
    void SetComponentTextMode(int32_t m);
    // The View menu's choice: that kind of text alone shown on the current display layer set
    // (0: none), and the text tools work on it.
    void ShowOnlyComponentText(int32_t kind);
    // Whether the board shows what the View menu's item of the kind says: that text shown and
    // worked on, or for kind 0 no component text at all.
    bool IsOnlyComponentText(int32_t kind) const;
    uint32_t GetSelectableLayerMask() const { return m_edit.layerMask; }
    // Bit L-1 for every layer L of the current layer set that is visible.
    void UpdateLayerMask();
    bool IsWorkLayerOnly() const { return m_edit.workLayerOnly; }
    void SetWorkLayerOnly(bool on) { m_edit.workLayerOnly = on; }
    int32_t GetRotateAngle() const { return m_edit.rotateAngle; }
    void SetRotateAngle(int32_t angle) override { m_edit.rotateAngle = angle; }

    // ---- Cursor ---------------------------------------------------------------------------------

    // The snapped cursor, where the tools act.
    CPoint GetCursor() const override { return m_edit.cursor; }
    void SetCursor(CPoint point) override { m_edit.cursor = point; }
    CPoint GetRawCursor() const override { return m_edit.rawCursor; }
    CPoint GetPreviousCursor() const { return m_edit.previousCursor; }
    CPoint GetAnchor() const override { return m_edit.anchor; }
    void SetAnchor(CPoint point) override { m_edit.anchor = point; }
    void SetAnchor() { m_edit.anchor = m_edit.cursor; }
    // Whether the snapped cursor differs from its previous position.
    bool HasCursorMoved() const { return m_edit.cursor != m_edit.previousCursor; }
    // The mouse position in pixels becomes the raw cursor, and snapped the cursor; true when
    // the snapped cursor moved.
    bool CursorFromPixel(int32_t px, int32_t py);
    // A cursor key (editor/VirtualKeys.h) moves the cursor by one snap step; true when it moved.
    bool MoveCursorByKey(uint32_t key);
    // The cursor jumps to the point; a drag follows by the displacement.
    void MoveCursorTo(CPoint point)
    {
        m_edit.previousCursor = m_edit.cursor;
        m_edit.cursor = point;
    }
    // The space bar's snap: the cursor to the grid and the anchor to it; in Set Grid Offset the
    // cursor goes onto the line or copper at the raw cursor when there is one (true).
    bool SnapCursor(bool keepSelection);
    CPoint SnapToGrid(CPoint point) const;

    // ---- Current items --------------------------------------------------------------------------

    int32_t GetCurrentNetIndex() const;
    // The component the component tool works on (-1 for none) and the document's own
    // component and text that the component and text tools edit.
    int32_t GetCurrentComponentIndex() const { return m_edit.currentComponentIndex; }
    void SetCurrentComponent(int32_t component) override
    {
        m_edit.currentComponentIndex = component;
    }
    CComponent& GetCurrentComponent() { return m_currentComponent; }
    CWevraText& GetCurrentText() { return m_currentText; }
    int32_t GetPlaneIndex() const { return m_edit.planeIndex; }
    void SetPlaneIndex(int32_t index) { m_edit.planeIndex = index; }

    // ---- Selection and its filter ---------------------------------------------------------------

    // Selected drawn-line points, net items, components, texts and planes.
    int32_t GetSelectedCount() const;
    // Selects or deselects every drawn-line point, component, net item, text and plane;
    // returns how many changed.
    int32_t SelectAll(bool select);
    void DeselectAll() override { SelectAll(false); }
    uint32_t GetSelectionFilter() const { return m_settings.selectionFilter; }
    // True when any of the bits is set.
    bool IsSelectionFilter(uint32_t bits) const { return (m_settings.selectionFilter & bits) != 0; }
    // Bits below 0x100 are one exclusive choice; Electrical and Non Electrical objects never
    // go off together. The cursor is snapped afresh.
    void SetSelectionFilter(uint32_t bits, bool on);
    // On when none of the bits is set, off otherwise; the design is marked modified.
    void ToggleSelectionFilter(uint32_t bits);
    // Selects what the rubber band holds under the selection filter and the selectable layers:
    // a fresh selection, or with `add` (Ctrl held) toggled into the present one. True when
    // anything was taken.
    bool SelectInRect(bool add);

    // ---- Rubber band ----------------------------------------------------------------------------

    const CRect& GetRubberBand() const { return m_edit.rubberBand; }
    bool IsRubberBandVisible() const { return m_edit.rubberBandVisible; }
    void SetRubberBandVisible(bool visible) { m_edit.rubberBandVisible = visible; }
    // An empty band at the raw cursor in the Select tool, at the snapped cursor otherwise.
    void StartRubberBand() override;
    // Follows the cursor while dragging (kept on the board for a plane rectangle); an undo
    // snapshot is due.
    void ClampRubberBandToBoard();
    // True when the band is big enough to select (2015 units both ways).
    bool NormaliseRubberBand();
    // Moves the band with the cursor's last displacement.
    void OffsetRubberBand();
    bool IsCursorInRubberBand() const;
    // When the band exceeds 5 mm both ways, the design moves so that the band's corner is the
    // origin and the band becomes the board; true when applied. The band is hidden.
    bool BoardSizeFromRubberBand();
    // Hidden, the tool waits again; false.
    bool CancelRubberBand();
    // The band closed into a figure of the Add Circles/Ellipses/Rectangles tools, when it is
    // at least 1 mm both ways: on a copper work layer an ellipse (or rectangle) of track in the
    // current net, a rectangle also as drawn lines on any other layer; the figure is selected,
    // centred on the grid and dragged on. Smaller bands add nothing (false).
    bool AddCircleFromRubberBand() override;
    void UpdateRubberBand(bool square) override;
    CRect TakeRubberBand() override;
    bool AddRectangleFromRubberBand() override;

    // ---- Work layer -----------------------------------------------------------------------------

    // Puts the layer on top of the drawing order (layer 0 empties the layer set) and makes it
    // the layer the tools work on; false for a layer the design does not offer.
    bool SetWorkLayer(int32_t layer) override;
    // The layer digit + 10 with Shift + 20 with Ctrl.
    void SelectLayerByKey(int32_t digit, bool shift, bool ctrl);
    // A track or line being drawn moves to the layer; an idle track or line tool becomes the
    // other kind when the layer holds the other kind of object.
    void ApplyWorkLayerToTool(int32_t layer);

    // ---- What the tools ask of the design -------------------------------------------------------

    int32_t GetUnit() const override { return int32_t(m_settings.unit); }
    bool IsMode45() const override { return m_settings.mode45 != 0; }
    bool IsTracksOfComponents() const override { return m_settings.tracksOfComponents != 0; }
    CPoint GetOrigin() const override { return m_settings.userOffset; }
    bool IsAutoRatsnest() const override { return m_settings.ratsnestActive != 0; }
    bool IsDrcActive() const override { return m_settings.drcActive != 0; }
    bool IsShapeDocument() const override;
    bool HasLibraryShapes() const override;
    std::string GetShapeLibraryFile() const override;
    CGridArr& GetGridSettings() override;
    void SendViewCommand(uint32_t id) override;
    void MoveSelection(int32_t dx, int32_t dy) override;
    void RotateSelection(int32_t angle) override;
    void RebuildNetPins() override;
    void UpdateAllViews() override;
    void ShowBottomPane(bool shown) override;
    void SetStatusText(const std::string& text) override;
    CNetArray& GetNets() override;
    CComponentArray& GetComponents() override;
    CDrawRecArray& GetLines() override;
    CShapeLib& GetEditableShapeCache() override;
    void SaveUndoState() override;
    void SaveUndoStateUnlessAbandoned() override;
    void AbandonRun() override;
    void KeepRun() override;
    void PushUndoForSelection() override;
    void SetModified() override;
    void RedrawBoardViews() override;
    void RepaintBoardViews() override;
    std::vector<std::string> GetLayerNames() const override;
    const CWevraFont& GetFont() const override;

private:
    CDesign& m_design;
    CDesignSettings& m_settings;
    CDocumentEditing& m_editing;
    CDocumentHistory& m_history;
    CViewState& m_view;
    CDocumentWindows& m_windows;
    DocumentHooks m_hooks;
    CEditState m_edit;
    CComponent m_currentComponent;
    CWevraText m_currentText;
};
