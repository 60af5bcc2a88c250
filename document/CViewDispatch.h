#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CPinSwapTool;
class CViewCommandHost;
class CViewCommands;
class CWevraDoc;

// The board view's input: every click, key, character and mouse movement, turned into board
// work. A left click and the space bar are one and the same click, acting at the snapped
// cursor; the mouse and the cursor keys only move that cursor. Events go by the tool mode to
// the tool that owns it (tracks and pads, components, lines, texts, planes, pin swap); the
// Select tool, the board and workspace rectangles, the grid offset pick, zoom window, scrolling
// and automatic panning are handled here. The view window translates its toolkit's events into
// these calls and is reached back through the host.
class CViewDispatch {
public:
    // Modifier bits of the events' flags.
    static constexpr uint32_t flagShift = 0x04;
    static constexpr uint32_t flagControl = 0x08;

    // The mouse pointer over the client area.
    enum class Pointer : uint8_t { crosshair, move, arrow };

    // Scroll bar codes.
    enum class Scroll : uint8_t { lineBack, lineForward, pageBack, pageForward, track, other };

    // Where the events of a tool mode go.
    enum class Family : uint8_t {
        track,
        pad,
        via,
        component,
        line,
        text,
        plane,
        select,
        boardSize,
        gridOffset,
        connectPins,
        routeManual,
        pinSwap,
        // Components Fix and Lock.
        componentLock,
        idle,
        // A mode without a click handler.
        none,
    };
    static Family FamilyOf(uint32_t mode);

    CViewDispatch(CWevraDoc& document, CViewCommands& commands, CViewCommandHost& host);
    ~CViewDispatch();
    CViewDispatch(const CViewDispatch&) = delete;
    CViewDispatch& operator=(const CViewDispatch&) = delete;

    // ---- Clicks and the mouse (CViewDispatch.cpp) -----------------------------------------------

    // The click: left button down, or the space character in the modes that take it. Nothing
    // while a click holds the capture already.
    void OnSpaceBarDown(uint32_t flags = 0);
    // Left button up, or the space key up (never an auto-repeated one).
    void OnSpaceBarUp();
    bool IsCaptured() const { return m_captured; }
    // The window lost the keyboard or the mouse to another one: no release will come.
    void CancelCapture() { m_captured = false; }
    // The mouse at pixel (x, y) of the client area.
    void OnMouseMove(int32_t x, int32_t y, uint32_t flags);
    // The keyboard came to the view from a side pane with the mouse at pixel (x, y): a
    // component picked there is moved to the cursor under the mouse, any other selection ends.
    void OnFocusFromPane(int32_t x, int32_t y);
    // The step after the snapped cursor changed.
    void OnCursorMoved(uint32_t flags);
    // Pans so that the cursor stays in the window (with force: always, else only with the
    // document's automatic panning and a cursor near the edge).
    void KeepCursorVisible(bool force);
    Pointer GetPointer() const;

    // ---- Keys, characters and menus (CViewDispatchKeys.cpp) -------------------------------------

    // A key (framework/VirtualKeys.h codes; letters and digits as their upper-case character).
    void OnKeyDown(uint32_t key, uint32_t flags);
    // A typed character; auto-repeated spaces are dropped (a held space is one click).
    void OnChar(uint32_t character, bool repeat, uint32_t flags);
    // The context menu's items in order; 0 stands for a separator.
    std::vector<uint32_t> BuildContextMenu();
    // The end-tool command: the running tool ends its step. True when a tool took it.
    bool EndToolStep();

    // ---- Zoom and scrolling (CViewDispatch.cpp) -------------------------------------------------

    // A fifth in or out about the cursor, kept within the document's scale range.
    void ZoomIn();
    void ZoomOut();
    // How far one scroll bar event moves the offset: a page is a tenth of the scrollable extent
    // (at least 1), a line a tenth of a page; `track` is the thumb's move.
    static int32_t ScrollShift(int32_t extent, Scroll code, int32_t track);
    void OnScroll(bool horizontal, Scroll code, int32_t track);
    // The mouse wheel at pixel (x, y), turned by `delta` eighths of a degree (a notch is 120;
    // positive away from the user): it scrolls up and down, with Shift left and right, and with
    // Ctrl zooms in and out about the pointer as I and O do about the cursor.
    void OnWheel(int32_t x, int32_t y, int32_t delta, uint32_t flags);
    static constexpr int32_t wheelNotch = 120;
    // One notch scrolls this share of the window.
    static constexpr int32_t wheelStepsPerWindow = 8;

    // The pin-swap tool while its mode runs: made when the mode starts, gone when it ends.
    CPinSwapTool* GetPinSwapTool() const { return m_pinSwap.get(); }
    void FollowPinSwapMode();

private:
    bool IsAction(uint32_t action) const;
    void SetMode(uint32_t mode);
    void RefreshStatus();
    void ClickByMode(uint32_t flags);
    void ClickSelect(uint32_t flags);
    void ClickRectangle();
    void ClickGridOffset();
    void ClickPlane();
    void ClickZoomWindow();
    // Fix and Lock: the component at the cursor has its locks toggled.
    void ClickComponentLock();
    void MoveByMode();
    void MoveSelectBand();

    bool KeyOfView(uint32_t key, uint32_t flags);
    void KeyByMode(uint32_t key);
    void KeySelect(uint32_t key);
    void SelectLayerKey(int32_t digit, uint32_t flags);
    bool CharOfView(uint32_t character);
    void CharByMode(uint32_t character);
    void QuickSnap();
    void AppendToolMenu(std::vector<uint32_t>& items, bool& replacedFirst);
    void AppendSelectMenu(std::vector<uint32_t>& items);

    CWevraDoc& m_document;
    CViewCommands& m_commands;
    CViewCommandHost& m_host;
    std::unique_ptr<CPinSwapTool> m_pinSwap;
    bool m_captured = false;
};
