#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CSize.h"

class CDocumentViews;
struct CDesignSettings;
struct CEditState;

// How the document's windows show it: the scale and scroll offset (which the design file's
// header keeps), the zoom commands, the board view's client area, which side panes are open and
// the status line's info text and ruler. The windows themselves are reached through
// CDocumentViews; without them the client area is empty.
class CViewState {
public:
    // `modified` is called whenever the stored scale or offset change.
    CViewState(CDesignSettings& settings, CEditState& edit, std::function<void()> modified);
    CViewState(const CViewState&) = delete;
    CViewState& operator=(const CViewState&) = delete;

    // The document's windows; nullptr for none.
    void SetWindows(CDocumentViews* views) { m_windows = views; }
    // Never null: a document without windows answers with ones that do nothing.
    CDocumentViews& Windows() const;
    // The board view's client area, never negative.
    CSize GetClientPixels() const;

    // ---- Scale and scrolling --------------------------------------------------------------------

    // Board units per pixel.
    int32_t GetScale() const;
    // Kept within CDesignSettings::minScale..maxScale.
    void SetScale(int32_t scale);
    CPoint GetViewOffset() const;
    void SetOffset(int32_t x, int32_t y);
    // False when both are 0.
    bool ScrollBy(int32_t dx, int32_t dy);
    bool ScrollToOrigin();
    // Offsets beyond the board unit's range are held at its ends.
    void ScrollTo(int64_t x, int64_t y);
    // Scrolls the board point to the middle of the view.
    void CenterOn(int32_t x, int32_t y);
    void CenterOnCursor();
    // How far the visible board area (the client area less 8 by 4 pixels, at the scale) and
    // the board differ in width and height.
    CSize GetBoardExtent() const;

    // ---- Zoom -----------------------------------------------------------------------------------

    // Fit the board (both sides, its height or its width) into the view, centred; nothing for a
    // board without width or height.
    void ZoomAll();
    void ZoomHeight();
    void ZoomWidth();
    // The same for a box of the design (every item beside the board too); nothing for a box
    // without area.
    void ZoomDesign(const CRect& extent);
    // Zooms in on the zoom rectangle; false when it is less than a pixel wide or high.
    bool ZoomWindow();
    const CRect& GetZoomRect() const { return m_zoomRect; }
    void SetZoomRect(const CRect& rect) { m_zoomRect = rect; }
    // The view's zoom commands: a fifth in or out about the cursor.
    void ZoomIn();
    void ZoomOut();
    // The scale a fifth in or out from `scale`, before the document's limits.
    static int32_t SteppedScale(int32_t scale, bool in);
    // Takes the scale and keeps the board point under the client pixel where it is.
    void ZoomAtPixel(int32_t scale, int32_t px, int32_t py);
    // Zoom Window waits for the two corners of its rectangle.
    bool IsZoomWindowPending() const { return m_zoomWindowPending; }
    void SetZoomWindowPending(bool pending) { m_zoomWindowPending = pending; }

    // ---- Panes and status line ------------------------------------------------------------------

    bool IsLeftPaneShown() const { return m_leftPane; }
    bool IsBottomPaneShown() const { return m_bottomPane; }
    // The flags only; the document opens and closes the panes.
    void SetLeftPaneShown(bool shown) { m_leftPane = shown; }
    void SetBottomPaneShown(bool shown) { m_bottomPane = shown; }
    // The object under the cursor or the last backup, shown in the status line's first pane.
    const std::string& GetInfoText() const { return m_infoText; }
    void SetInfoText(const std::string& text) { m_infoText = text; }
    // The point the relative status values are measured from; locked, clicks leave it alone.
    CPoint GetRulerOrigin() const { return m_rulerOrigin; }
    void SetRulerOrigin(CPoint point) { m_rulerOrigin = point; }
    bool IsRulerLocked() const { return m_rulerLocked; }
    void SetRulerLocked(bool locked) { m_rulerLocked = locked; }

private:
    // Takes the scale (within its limits) and centres the box in the view at it.
    void FitInView(const CRect& box, int64_t scale);

    CDesignSettings& m_settings;
    CEditState& m_edit;
    std::function<void()> m_modified;
    CDocumentViews* m_windows = nullptr;
    CRect m_zoomRect;
    bool m_zoomWindowPending = false;
    bool m_leftPane = false;
    bool m_bottomPane = false;
    std::string m_infoText;
    CPoint m_rulerOrigin;
    bool m_rulerLocked = false;
};
