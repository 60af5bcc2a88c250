#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>

#include "document/CViewCommandHost.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"

class CCommandTarget;
class CViewCommands;
class CViewDispatch;
class CViewToolTip;
class CDeviceContext;
class CMainFrame;
class CShapeLib;
class CWevraDoc;
class QAction;
class QMenu;

// The board view: the upper right pane of a design's window. It owns no board data. The
// board is rendered into a back buffer only when the design changed; every paint copies the
// buffer and draws the live items over it (the item being edited, the selection, rubber
// bands, the plane being edited, the cursor crosses). It writes the status bar's panes, keeps
// its scroll bars, hosts the table windows and exchanges the design with the clipboard.
class CWevraView : public QAbstractScrollArea, public CViewCommandHost {
    Q_OBJECT

public:
    // The clipboard format of a whole design in the design-file stream.
    static constexpr char clipboardFormat[] = "WEVRA_PCB_DESIGN";
    static constexpr uint32_t backgroundColor = 0x00606060;

    // The table windows, by dialog id. They report through OnCommand: ID_TABLE_CLOSED when
    // closed, ID_DRAW_REDRAW when they changed the design.
    static constexpr uint32_t componentTable = 115;
    static constexpr uint32_t layerTable = 149;
    static constexpr uint32_t netlistTable = 156;
    static constexpr uint32_t padStackTable = 161;
    static constexpr uint32_t shapeTable = 176;

    explicit CWevraView(CWevraDoc& document, QWidget* parent = nullptr);
    ~CWevraView() override;
    CWevraView(const CWevraView&) = delete;
    CWevraView& operator=(const CWevraView&) = delete;

    CWevraDoc& GetDocument() const { return m_document; }
    // The application's main window; nullptr when it has none (headless documents, tests).
    static CMainFrame* GetMainFrame();

    // Once the window holds its document: the design path settles, the tool waits and the
    // status line says "Ready".
    void OnInitialUpdate();
    // The one repaint entry. Full: the board is rendered afresh at the next paint, the scroll
    // bars and the document's other views follow; a full request while one is pending does
    // nothing more. Partial: a repaint over the board as it is.
    void Redraw(bool full) override;
    // From another view of the document: the redraw hint redraws fully, any other hint
    // repaints. Updates this view sent itself are ignored.
    void OnUpdate(const QWidget* sender, uint32_t hint);
    // How the document's other views (the panes beside this one) are updated.
    void SetOtherViewsUpdate(std::function<void()> update)
    {
        m_updateOtherViews = std::move(update);
    }

    // Status panes 0 to 7, and pane 8, the design time.
    void UpdateStatusLine() override;
    void ShowDesignTime();
    void UpdateScrollBars();

    // The snapped cursor kept around a modal dialog; restoring puts the mouse back on it.
    void SaveCursor() override;
    void RestoreCursor() override;
    // Puts the mouse pointer on the snapped cursor while the view has the focus.
    void WarpMouseToCursor() override;

    bool IsMode(uint32_t mode) const;
    bool IsAction(uint32_t action) const;
    void SetAction(uint32_t action);

    // Popup-menu items with the tooltip part of the command's text (after its first
    // newline, the whole text when it has none); id 0 is a separator.
    static QAction* AppendMenuItem(QMenu& menu, uint32_t id);
    static void ModifyMenuItem(QMenu& menu, int32_t position, uint32_t id);

    // ---- Table windows --------------------------------------------------------------------------

    // The view owns the open table window of each dialog id; nullptr when closed.
    QWidget* GetTableWindow(uint32_t dialogId) const;
    void SetTableWindow(uint32_t dialogId, QWidget* window);
    // A table window's report (first: its dialog id, second: closed or design changed), a
    // bare design-changed notice, or a notice to swallow; false for anything else.
    bool OnCommand(uint32_t first, uint32_t second) override;

    // ---- Clipboard ------------------------------------------------------------------------------

    // The view's commands: those of CViewCommands, and Paste, enabled by the clipboard's
    // content; Copy and Cut, always disabled.
    CViewCommands& GetCommands() const { return *m_commands; }
    void RegisterCommands(CCommandTarget& target);
    bool CanPaste() const;
    // The clipboard's design replaces the open one, as opening a file does; a design that
    // cannot be read leaves the open one as it was.
    void OnEditPaste();
    // The whole design onto the clipboard.
    void OnEditCopy();
    // Copies; nothing of the design is removed.
    void OnEditCut();

    // ---- Painting -------------------------------------------------------------------------------

    // Inverted lines through pixel (x, y): the crosshair across the window or the diagonal
    // cross; afterwards, with the tooltip at the cursor on, the object there is described.
    void DrawCursorCross(CDeviceContext& dc, int32_t x, int32_t y, bool diagonal);

    void SetLongCrosshair(bool on) override { m_longCrosshair = on; }
    bool IsLongCrosshair() const override { return m_longCrosshair; }
    void SetDiagonalCross(bool on) override { m_diagonalCross = on; }
    bool IsDiagonalCross() const override { return m_diagonalCross; }
    void FlashCross(bool diagonal) override;
    CSize GetClientSize() const override;
    // Through the main window's router when there is one, else the view's own commands.
    bool SendCommand(uint32_t id) override;
    void OpenContextMenuAtCorner() override;
    bool HasShapePreview() const override { return m_previewLibrary != nullptr; }
    void SetToolTipText(const std::string& text) override;
    bool EndToolStep() override;
    // The click, key and mouse dispatch of this view.
    CViewDispatch& GetDispatch() const { return *m_dispatch; }
    void SetTooltipAtCursor(bool on) override;
    bool IsTooltipAtCursor() const override { return m_tooltipAtCursor; }
    void SetScrollBarsShown(bool shown) override;
    bool AreScrollBarsShown() const override { return m_scrollBarsShown; }
    void SetWarpAfterRepaint(bool on) override { m_warpAfterRepaint = on; }
    void TakeFocus() override;
    // Netlist > Load with a file already chosen; the netlist is watched for changes again.
    void LoadNetlist(const std::string& path);
    // A row of the side pane dragged over the client pixel: its part, picked for placing,
    // hangs at the pointer; dropped, it is put down there.
    void DragFromPane(QPoint pixel);
    void DropFromPane(QPoint pixel);
    // The window's tooltip; it shows only while the tooltip at the cursor is on.
    const CViewToolTip& GetToolTip() const { return *m_toolTip; }
    void SetLayoutChanged() { m_layoutChanged = true; }
    // The next full redraw also shows the side pane again.
    void RequestSidePaneRefresh() { m_sidePaneRefresh = true; }
    // A shape drawn at the cursor while one is being chosen; nullptr for none.
    void SetShapePreview(const CShapeLib* library, int32_t shape);

    const QImage& GetBackBuffer() const { return m_backBuffer; }
    // Whether the last paint drew the board picture whole rather than only where it changed.
    bool WasLastRenderWhole() const { return m_lastRenderWhole; }
    // Whether the back buffer holds what a whole picture of the board would show now.
    bool IsBackBufferWhole();
    // How often the board was rendered into the back buffer.
    int32_t GetRenderCount() const { return m_renderCount; }
    const CRect& GetRepaintRect() const { return m_repaintRect; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The left button is the click and its release; the mouse moves the cursor; keys go to the
    // key handler, their characters to the character handler.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Scrolls, or with Ctrl zooms, through the dispatch.
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // The mode's menu of the dispatch.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The view scrolls by moving the document's offset, never the viewport's pixels.
    void scrollContentsBy(int dx, int dy) override;

private:
    void EnsureBackBuffer();
    void RenderBoard();
    // The board picture into the back buffer, drawn again only where it changed when it can
    // be; true when it was drawn whole. What the view draws on the board is DrawOverBoard.
    bool DrawBoardPicture(CDeviceContext& dc);
    void DrawOverBoard(CDeviceContext& dc);
    // Paint steps over the copied board: the edited item, selection, ratsnest, errors, rubber
    // bands, plane, shape preview and cursor crosses.
    void DrawOverlays(CDeviceContext& dc);
    void DrawEditedItem(CDeviceContext& dc);
    void DescribeObjectAtCursor(CDeviceContext& dc, CPoint pixel);
    void OnScrollAction(bool horizontal, int action);
    void ShowContextMenu(const QPoint& global);
    // The mouse pointer the dispatch asks for.
    void UpdatePointer();
    // The snapped cursor's pixel.
    CPoint CursorPixel() const;
    void WritePane(int32_t pane, const std::string& text) const;
    void UpdateOtherViews();
    // A padstack error met while painting is reported once the paint is over.
    void ReportPadStackErrorLater();
    QPointer<QWidget>* TableSlot(uint32_t dialogId);

    CWevraDoc& m_document;
    // The design-just-loaded check: whether this view still offers a newer netlist, and the
    // netlist file's time it offered last, so that the prompt comes once for each change of
    // the file and not again whenever a message box gives the focus back.
    void OnDocJustLoaded();
    // Netlist > Load.
    void OnNetlistLoad();
    bool m_netlistWatch = true;
    // A shape document without a library to edit asks for one when the view gets the focus.
    bool m_askOnFocus = true;
    std::filesystem::file_time_type m_netlistOffered{};
    std::function<void()> m_updateOtherViews;
    CRect m_repaintRect;
    bool m_tooltipAtCursor = false;
    bool m_layoutChanged = true;
    bool m_scrollBarsShown = true;
    QImage m_backBuffer;
    bool m_lastRenderWhole = true;
    // The visible part of the back buffer with the live items drawn over it.
    QImage m_frame;
    const CShapeLib* m_previewLibrary = nullptr;
    int32_t m_previewShape = -1;
    bool m_longCrosshair = true;
    bool m_diagonalCross = false;
    CPoint m_savedCursor;
    bool m_warpAfterRepaint = true;
    bool m_sidePaneRefresh = false;
    std::array<QPointer<QWidget>, 5> m_tables;
    int32_t m_renderCount = 0;
    std::unique_ptr<CViewCommands> m_commands;
    std::unique_ptr<CViewDispatch> m_dispatch;
    // A cross drawn once at the next paint (A and Q keys): 0 none, 1 crosshair, 2 diagonal.
    int32_t m_flashCross = 0;
    std::unique_ptr<CViewToolTip> m_toolTip;
    bool m_padStackReportPending = false;
};
