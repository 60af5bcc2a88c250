#pragma once

#include <cstdint>
#include <string>

#include "framework/CSize.h"

// What the board view's commands need of the board view window itself: its repaint, the
// switches that live in the window (scroll bars, crosshair, tooltip) and the mouse pointer.
// The editor's board view implements it all; a stand-in (a test's, a benchmark's) gives the
// repaint and takes the rest as a window without pointer or switches of its own.
class CViewCommandHost {
public:
    virtual ~CViewCommandHost() = default;

    // Full: the board is rendered afresh; otherwise a repaint over the board as it is.
    virtual void Redraw(bool full) = 0;
    virtual bool AreScrollBarsShown() const { return true; }
    virtual void SetScrollBarsShown(bool /*shown*/) {}
    virtual bool IsLongCrosshair() const { return false; }
    virtual void SetLongCrosshair(bool /*on*/) {}
    virtual bool IsTooltipAtCursor() const { return false; }
    // On activates the view's tooltip, off deactivates it.
    virtual void SetTooltipAtCursor(bool /*on*/) {}
    // Puts the mouse pointer on the snapped cursor.
    virtual void WarpMouseToCursor() {}
    virtual void SetWarpAfterRepaint(bool /*on*/) {}
    // The snapped cursor kept around a dialog; restoring puts the mouse back on it.
    virtual void SaveCursor() {}
    virtual void RestoreCursor() {}
    // The keyboard goes back to the board view (after a toolbar combo box took it).
    virtual void TakeFocus() {}

    // ---- What the click, key and mouse dispatch needs besides -----------------------------------

    virtual bool IsDiagonalCross() const { return false; }
    virtual void SetDiagonalCross(bool /*on*/) {}
    // The crosshair or the diagonal cross through the cursor, drawn once and not kept.
    virtual void FlashCross(bool /*diagonal*/) {}
    virtual void UpdateStatusLine() {}
    // The client area in pixels.
    virtual CSize GetClientSize() const { return {}; }
    // Runs a command as its menu item would: a disabled one does nothing (false).
    virtual bool SendCommand(uint32_t /*id*/) { return false; }
    // The context menu at the window's top-left corner, as the keyboard opens it.
    virtual void OpenContextMenuAtCorner() {}
    // A shape is drawn at the cursor while one is being chosen.
    virtual bool HasShapePreview() const { return false; }
    virtual void SetToolTipText(const std::string& /*text*/) {}
    // End Mode in a mode whose tool ends its own step; false when no such tool runs.
    virtual bool EndToolStep() { return false; }
    // A table window's report: its dialog id first, then ID_TABLE_CLOSED when it closes or
    // ID_DRAW_REDRAW when it changed the design. False when nothing took it.
    virtual bool OnCommand(uint32_t /*first*/, uint32_t /*second*/) { return false; }
};
