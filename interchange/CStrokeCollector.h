#pragma once

#include <cstdint>
#include <vector>

#include "framework/CDeviceContext.h"

// A drawing surface that keeps the lines drawn on it as polylines in the coordinates given,
// and ignores everything else. The writers let the board model draw its stroke-font texts on
// it, so that a plotted text has exactly the strokes the screen shows.
class CStrokeCollector : public CDeviceContext {
public:
    // Every MoveTo starts a polyline; LineTo and Polyline add to them. Polylines of a single
    // point (a move without a line) are kept too.
    const std::vector<std::vector<CPoint>>& GetPolylines() const { return m_polylines; }
    void Clear() { m_polylines.clear(); }

    CPen SelectPen(const CPen& pen) override;
    CBrush SelectBrush(const CBrush& brush) override;
    CFontDesc SelectFont(const CFontDesc& font) override;
    int32_t SetROP2(int32_t mode) override;
    int32_t GetROP2() const override { return m_rop2; }
    CPoint MoveTo(CPoint point) override;
    void LineTo(CPoint point) override;
    void Polyline(std::span<const CPoint> points) override;
    void Polygon(std::span<const CPoint> points) override;
    void Rectangle(const CRect&) override {}
    void Ellipse(const CRect&) override {}
    void SetPixel(CPoint, COLORREF) override {}
    void FillSolidRect(const CRect&, COLORREF) override {}
    void TextOut(CPoint, std::string_view) override {}
    CSize GetTextExtent(std::string_view) const override { return {}; }
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF SetBkColor(COLORREF color) override;
    BkMode SetBkMode(BkMode mode) override;
    void IntersectClipRect(const CRect&) override {}
    void ResetClip() override {}
    CRect GetClipBox() const override;

private:
    std::vector<std::vector<CPoint>> m_polylines;
    CPoint m_position;
    CPen m_pen;
    CBrush m_brush;
    CFontDesc m_font;
    int32_t m_rop2 = R2_COPYPEN;
    COLORREF m_textColor = 0;
    COLORREF m_bkColor = 0x00FFFFFF;
    BkMode m_bkMode = BkMode::Opaque;
};
