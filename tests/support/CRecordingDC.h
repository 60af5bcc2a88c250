#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/CDeviceContext.h"

// A device context that draws nothing and writes every call as one line of text, so that
// painting tests can compare what was drawn, in order, with a list written by hand:
//     SelectPen solid 1 0x000000FF
//     MoveTo 10 20
//     LineTo 30 20
//     Polygon 0 0, 10 0, 10 10
//     SelectBrush hatched bdiagonal 0x0000FF00
//     SetROP2 7
//     TextOut 2 14 "Nr"
// Colours are written as 0x00BBGGRR; queries (GetROP2, GetTextExtent, GetClipBox) are not
// recorded. It keeps the state the calls set, so each Select and Set returns what the last
// call set, and the clip box follows the clip calls within the surface size given.
// Texts measure 8 pixels per character by the font height (16 when it is 0).
class CRecordingDC : public CDeviceContext {
public:
    explicit CRecordingDC(int32_t width = 1000, int32_t height = 1000);

    const std::vector<std::string>& Lines() const { return m_lines; }
    void Clear() { m_lines.clear(); }

    CPen SelectPen(const CPen& pen) override;
    CBrush SelectBrush(const CBrush& brush) override;
    CFontDesc SelectFont(const CFontDesc& font) override;

    int32_t SetROP2(int32_t mode) override;
    int32_t GetROP2() const override { return m_rop2; }

    CPoint MoveTo(CPoint point) override;
    void LineTo(CPoint point) override;
    void Polyline(std::span<const CPoint> points) override;
    void Polygon(std::span<const CPoint> points) override;
    void Rectangle(const CRect& rect) override;
    void Ellipse(const CRect& rect) override;
    void SetPixel(CPoint point, COLORREF color) override;
    void FillSolidRect(const CRect& rect, COLORREF color) override;

    void TextOut(CPoint point, std::string_view text) override;
    CSize GetTextExtent(std::string_view text) const override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF SetBkColor(COLORREF color) override;
    BkMode SetBkMode(BkMode mode) override;

    void IntersectClipRect(const CRect& rect) override;
    void ResetClip() override;
    CRect GetClipBox() const override;

    // The line texts used above, for building expected lists.
    static std::string ColorText(COLORREF color);
    static std::string PenText(const CPen& pen);
    static std::string BrushText(const CBrush& brush);

private:
    void Record(std::string line) { m_lines.push_back(std::move(line)); }

    CRect m_surface;
    std::vector<std::string> m_lines;
    CPen m_pen;
    CBrush m_brush;
    CFontDesc m_font;
    int32_t m_rop2 = R2_COPYPEN;
    CPoint m_position;
    COLORREF m_textColor = 0;
    COLORREF m_bkColor = 0x00FFFFFF;
    BkMode m_bkMode = BkMode::Opaque;
    std::optional<CRect> m_clip;
};
