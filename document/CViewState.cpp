#include "document/CViewState.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "document/CDesignSettings.h"
#include "document/CDocumentViews.h"
#include "document/CEditState.h"
#include "framework/Numeric.h"

namespace {

CDocumentViews s_noWindows;

// The smallest whole scale from 1 on at which `extent` board units fit into `client` pixels
// (extent / scale <= client, integer division): the closed form of counting up from 1.
int64_t FittingScale(int64_t extent, int64_t client)
{
    client = std::max<int64_t>(client, 0);
    if (extent <= client)
        return 1;
    return extent / (client + 1) + 1;
}

int32_t SaturatedAbs(int64_t value)
{
    const int64_t magnitude = value < 0 ? -value : value;
    return int32_t(std::min<int64_t>(magnitude, std::numeric_limits<int32_t>::max()));
}

} // namespace

CViewState::CViewState(CDesignSettings& settings, CEditState& edit, std::function<void()> modified)
    : m_settings(settings), m_edit(edit), m_modified(std::move(modified))
{
}

CDocumentViews& CViewState::Windows() const
{
    return m_windows ? *m_windows : s_noWindows;
}

CSize CViewState::GetClientPixels() const
{
    const CSize client = Windows().GetClientSize();
    return CSize(std::max(client.cx, 0), std::max(client.cy, 0));
}

// ---- Scale and scrolling ------------------------------------------------------------------------

int32_t CViewState::GetScale() const
{
    return m_settings.scale;
}

void CViewState::SetScale(int32_t scale)
{
    scale = std::clamp(scale, CDesignSettings::minScale, CDesignSettings::maxScale);
    if (scale == m_settings.scale)
        return;
    m_settings.scale = scale;
    m_modified();
}

CPoint CViewState::GetViewOffset() const
{
    return m_settings.offset;
}

void CViewState::SetOffset(int32_t x, int32_t y)
{
    m_settings.offset = CPoint(x, y);
}

bool CViewState::ScrollBy(int32_t dx, int32_t dy)
{
    if (dx == 0 && dy == 0)
        return false;
    ScrollTo(int64_t(m_settings.offset.x) + dx, int64_t(m_settings.offset.y) + dy);
    return true;
}

void CViewState::ScrollTo(int64_t x, int64_t y)
{
    const CPoint offset(SaturateToInt(x), SaturateToInt(y));
    if (offset == m_settings.offset)
        return;
    m_settings.offset = offset;
    m_modified();
}

bool CViewState::ScrollToOrigin()
{
    if (m_settings.offset == CPoint())
        return false;
    ScrollTo(0, 0);
    return true;
}

void CViewState::CenterOn(int32_t x, int32_t y)
{
    const CSize client = GetClientPixels();
    ScrollTo(((int64_t(client.cx) * m_settings.scale) >> 1) - x,
             ((int64_t(client.cy) * m_settings.scale) >> 1) - y);
}

void CViewState::CenterOnCursor()
{
    CenterOn(m_edit.cursor.x, m_edit.cursor.y);
}

CSize CViewState::GetBoardExtent() const
{
    const CSize client = Windows().GetClientSize();
    return CSize(SaturatedAbs(int64_t(client.cx - 8) * m_settings.scale - m_settings.boardWidth),
                 SaturatedAbs(int64_t(client.cy - 4) * m_settings.scale - m_settings.boardHeight));
}

// ---- Zoom ---------------------------------------------------------------------------------------

void CViewState::FitInView(const CRect& box, int64_t scale)
{
    SetScale(SaturateToInt(scale));
    // Centred at the scale the view really takes, which may be raised to its minimum.
    const int64_t s = m_settings.scale;
    const CSize client = GetClientPixels();
    const int64_t marginX = (client.cx - box.Width() / s) >> 1;
    const int64_t marginY = (client.cy - box.Height() / s) >> 1;
    ScrollTo(marginX * s - box.left, marginY * s - box.top);
}

void CViewState::ZoomAll()
{
    if (m_settings.boardWidth == 0 || m_settings.boardHeight == 0)
        return;
    const CSize client = GetClientPixels();
    FitInView(CRect(0, 0, m_settings.boardWidth, m_settings.boardHeight),
              std::max(FittingScale(m_settings.boardWidth, client.cx),
                       FittingScale(m_settings.boardHeight, client.cy)));
}

void CViewState::ZoomHeight()
{
    if (m_settings.boardWidth == 0 || m_settings.boardHeight == 0)
        return;
    FitInView(CRect(0, 0, m_settings.boardWidth, m_settings.boardHeight),
              FittingScale(m_settings.boardHeight, GetClientPixels().cy));
}

void CViewState::ZoomWidth()
{
    if (m_settings.boardWidth == 0 || m_settings.boardHeight == 0)
        return;
    FitInView(CRect(0, 0, m_settings.boardWidth, m_settings.boardHeight),
              FittingScale(m_settings.boardWidth, GetClientPixels().cx));
}

void CViewState::ZoomDesign(const CRect& extent)
{
    if (extent.Width() == 0 || extent.Height() == 0)
        return;
    // A pixel to spare on each side: an item on the box's right or bottom edge would otherwise
    // fall just beyond the last pixel.
    const CSize client(std::max(GetClientPixels().cx - 2, 1),
                       std::max(GetClientPixels().cy - 2, 1));
    FitInView(extent, std::max(FittingScale(extent.Width(), client.cx),
                               FittingScale(extent.Height(), client.cy)));
}

bool CViewState::ZoomWindow()
{
    m_zoomRect.NormalizeRect();
    const CRect& rect = m_zoomRect;
    const int64_t pixelWidth = rect.Width() / m_settings.scale;
    const int64_t pixelHeight = rect.Height() / m_settings.scale;
    if (pixelWidth == 0 || pixelHeight == 0)
        return false;
    const CSize client = GetClientPixels();
    // A window larger than the view cannot zoom in; it keeps the scale.
    const int64_t factor =
        std::max<int64_t>(1, std::min(client.cx / pixelWidth, client.cy / pixelHeight));
    SetScale(SaturateToInt(std::max<int64_t>(1, m_settings.scale / factor)));
    const int64_t halfWidth = rect.Width() / 2;
    const int64_t halfHeight = rect.Height() / 2;
    m_edit.cursor =
        CPoint(SaturateToInt(m_edit.cursor.x > rect.left ? m_edit.cursor.x - halfWidth
                                                         : m_edit.cursor.x + halfWidth),
               SaturateToInt(m_edit.cursor.y > rect.top ? m_edit.cursor.y - halfHeight
                                                        : m_edit.cursor.y + halfHeight));
    CenterOnCursor();
    return true;
}

void CViewState::ZoomIn()
{
    CenterOnCursor();
    SetScale(SteppedScale(m_settings.scale, true));
    CenterOnCursor();
}

void CViewState::ZoomOut()
{
    CenterOnCursor();
    SetScale(SteppedScale(m_settings.scale, false));
    CenterOnCursor();
}

int32_t CViewState::SteppedScale(int32_t scale, bool in)
{
    return in ? SaturateToInt(std::max<int64_t>(2, int64_t(scale) * 4 / 5))
              : SaturateToInt(
                    std::clamp<int64_t>(int64_t(scale) * 6 / 5, 2, CDesignSettings::maxScale));
}

void CViewState::ZoomAtPixel(int32_t scale, int32_t px, int32_t py)
{
    const int64_t x = int64_t(px) * m_settings.scale - m_settings.offset.x;
    const int64_t y = int64_t(py) * m_settings.scale - m_settings.offset.y;
    SetScale(scale);
    ScrollTo(int64_t(px) * m_settings.scale - x, int64_t(py) * m_settings.scale - y);
}
