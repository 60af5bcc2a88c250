#pragma once

#include <cstdint>

// What the board view's commands need of the board view window itself: its repaint, the
// switches that live in the window (scroll bars, crosshair, tooltip) and the mouse pointer.
// The editor's board view implements it; tests use a recording stand-in.
class CViewCommandHost {
public:
    virtual ~CViewCommandHost() = default;

    // Full: the board is rendered afresh; otherwise a repaint over the board as it is.
    virtual void Redraw(bool full) = 0;
    virtual bool AreScrollBarsShown() const = 0;
    virtual void SetScrollBarsShown(bool shown) = 0;
    virtual bool IsLongCrosshair() const = 0;
    virtual void SetLongCrosshair(bool on) = 0;
    virtual bool IsTooltipAtCursor() const = 0;
    // On activates the view's tooltip, off deactivates it.
    virtual void SetTooltipAtCursor(bool on) = 0;
    // Puts the mouse pointer on the snapped cursor.
    virtual void WarpMouseToCursor() = 0;
    virtual void SetWarpAfterRepaint(bool on) = 0;
    // The snapped cursor kept around a dialog; restoring puts the mouse back on it.
    virtual void SaveCursor() = 0;
    virtual void RestoreCursor() = 0;
    // The keyboard goes back to the board view (after a toolbar combo box took it).
    virtual void TakeFocus() = 0;
};
