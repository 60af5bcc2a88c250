#include "interchange/CStrokeCollector.h"

#include <limits>
#include <utility>

CPen CStrokeCollector::SelectPen(const CPen& pen)
{
    return std::exchange(m_pen, pen);
}

CBrush CStrokeCollector::SelectBrush(const CBrush& brush)
{
    return std::exchange(m_brush, brush);
}

CFontDesc CStrokeCollector::SelectFont(const CFontDesc& font)
{
    return std::exchange(m_font, font);
}

int32_t CStrokeCollector::SetROP2(int32_t mode)
{
    if (!IsSupportedROP2(mode))
        return 0;
    return std::exchange(m_rop2, mode);
}

CPoint CStrokeCollector::MoveTo(CPoint point)
{
    m_polylines.push_back({point});
    return std::exchange(m_position, point);
}

void CStrokeCollector::LineTo(CPoint point)
{
    if (m_polylines.empty())
        m_polylines.push_back({m_position});
    m_polylines.back().push_back(point);
    m_position = point;
}

void CStrokeCollector::Polyline(std::span<const CPoint> points)
{
    if (!points.empty())
        m_polylines.emplace_back(points.begin(), points.end());
}

void CStrokeCollector::Polygon(std::span<const CPoint> points)
{
    if (points.empty())
        return;
    m_polylines.emplace_back(points.begin(), points.end());
    m_polylines.back().push_back(points.front());
}

COLORREF CStrokeCollector::SetTextColor(COLORREF color)
{
    return std::exchange(m_textColor, color);
}

COLORREF CStrokeCollector::SetBkColor(COLORREF color)
{
    return std::exchange(m_bkColor, color);
}

CDeviceContext::BkMode CStrokeCollector::SetBkMode(BkMode mode)
{
    return std::exchange(m_bkMode, mode);
}

CRect CStrokeCollector::GetClipBox() const
{
    constexpr int32_t reach = std::numeric_limits<int32_t>::max();
    return CRect(-reach, -reach, reach, reach);
}
