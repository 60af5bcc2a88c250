#include "tests/support/CRecordingDC.h"

#include <charconv>
#include <cstdlib>
#include <utility>

namespace {

std::string Int(int64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string PointText(CPoint p)
{
    return Int(p.x) + " " + Int(p.y);
}

std::string RectText(const CRect& r)
{
    return Int(r.left) + " " + Int(r.top) + " " + Int(r.right) + " " + Int(r.bottom);
}

std::string PointsText(std::span<const CPoint> points)
{
    std::string text;
    for (const CPoint& p : points) {
        if (!text.empty())
            text += ", ";
        text += PointText(p);
    }
    return text;
}

const char* HatchName(CBrush::Hatch hatch)
{
    switch (hatch) {
    case CBrush::Hatch::Horizontal:
        return "horizontal";
    case CBrush::Hatch::Vertical:
        return "vertical";
    case CBrush::Hatch::ForwardDiagonal:
        return "fdiagonal";
    case CBrush::Hatch::BackwardDiagonal:
        return "bdiagonal";
    case CBrush::Hatch::Cross:
        return "cross";
    case CBrush::Hatch::DiagonalCross:
        return "diagcross";
    }
    return "?";
}

} // namespace

CRecordingDC::CRecordingDC(int32_t width, int32_t height) : m_surface(0, 0, width, height) {}

std::string CRecordingDC::ColorText(COLORREF color)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += digits[(color >> shift) & 0xF];
    return text;
}

std::string CRecordingDC::PenText(const CPen& pen)
{
    switch (pen.style) {
    case CPen::Style::Null:
        return "null";
    case CPen::Style::Dash:
        return "dash " + Int(pen.width) + " " + ColorText(pen.color);
    case CPen::Style::Dot:
        return "dot " + Int(pen.width) + " " + ColorText(pen.color);
    case CPen::Style::Solid:
        break;
    }
    return "solid " + Int(pen.width) + " " + ColorText(pen.color);
}

std::string CRecordingDC::BrushText(const CBrush& brush)
{
    switch (brush.style) {
    case CBrush::Style::Null:
        return "null";
    case CBrush::Style::Hatched:
        return std::string("hatched ") + HatchName(brush.hatch) + " " + ColorText(brush.color);
    case CBrush::Style::Solid:
        break;
    }
    return "solid " + ColorText(brush.color);
}

CPen CRecordingDC::SelectPen(const CPen& pen)
{
    Record("SelectPen " + PenText(pen));
    return std::exchange(m_pen, pen);
}

CBrush CRecordingDC::SelectBrush(const CBrush& brush)
{
    Record("SelectBrush " + BrushText(brush));
    return std::exchange(m_brush, brush);
}

CFontDesc CRecordingDC::SelectFont(const CFontDesc& font)
{
    Record("SelectFont \"" + font.face + "\" " + Int(font.height) + " " + Int(font.weight) +
           (font.italic ? " italic" : ""));
    return std::exchange(m_font, font);
}

int32_t CRecordingDC::SetROP2(int32_t mode)
{
    Record("SetROP2 " + Int(mode));
    if (!IsSupportedROP2(mode))
        return 0;
    return std::exchange(m_rop2, mode);
}

CPoint CRecordingDC::MoveTo(CPoint point)
{
    Record("MoveTo " + PointText(point));
    return std::exchange(m_position, point);
}

void CRecordingDC::LineTo(CPoint point)
{
    Record("LineTo " + PointText(point));
    m_position = point;
}

void CRecordingDC::Polyline(std::span<const CPoint> points)
{
    Record("Polyline " + PointsText(points));
}

void CRecordingDC::Polygon(std::span<const CPoint> points)
{
    Record("Polygon " + PointsText(points));
}

void CRecordingDC::Rectangle(const CRect& rect)
{
    Record("Rectangle " + RectText(rect));
}

void CRecordingDC::Ellipse(const CRect& rect)
{
    Record("Ellipse " + RectText(rect));
}

void CRecordingDC::SetPixel(CPoint point, COLORREF color)
{
    Record("SetPixel " + PointText(point) + " " + ColorText(color));
}

void CRecordingDC::FillSolidRect(const CRect& rect, COLORREF color)
{
    Record("FillSolidRect " + RectText(rect) + " " + ColorText(color));
}

void CRecordingDC::TextOut(CPoint point, std::string_view text)
{
    Record("TextOut " + PointText(point) + " \"" + std::string(text) + "\"");
}

CSize CRecordingDC::GetTextExtent(std::string_view text) const
{
    const int32_t height = m_font.height == 0 ? 16 : std::abs(m_font.height);
    return CSize(int32_t(8 * text.size()), height);
}

COLORREF CRecordingDC::SetTextColor(COLORREF color)
{
    Record("SetTextColor " + ColorText(color));
    return std::exchange(m_textColor, color);
}

COLORREF CRecordingDC::SetBkColor(COLORREF color)
{
    Record("SetBkColor " + ColorText(color));
    return std::exchange(m_bkColor, color);
}

CDeviceContext::BkMode CRecordingDC::SetBkMode(BkMode mode)
{
    Record(mode == BkMode::Transparent ? "SetBkMode transparent" : "SetBkMode opaque");
    return std::exchange(m_bkMode, mode);
}

void CRecordingDC::IntersectClipRect(const CRect& rect)
{
    Record("IntersectClipRect " + RectText(rect));
    m_clip = CRect::Intersection(m_clip ? *m_clip : m_surface, rect);
}

void CRecordingDC::ResetClip()
{
    Record("ResetClip");
    m_clip.reset();
}

CRect CRecordingDC::GetClipBox() const
{
    return m_clip ? *m_clip : m_surface;
}
