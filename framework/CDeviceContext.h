#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "framework/CBrush.h"
#include "framework/CCachedPicture.h"
#include "framework/CFontDesc.h"
#include "framework/CPen.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CSize.h"
#include "framework/ColorRef.h"

// Raster modes: how the pen and brush colour combine with the pixels already there. The
// numbers are the ones the design files store for the board's drawing mode.
inline constexpr int32_t R2_NOT = 6;        // invert the pixel, whatever the colour
inline constexpr int32_t R2_XORPEN = 7;     // pixel XOR colour
inline constexpr int32_t R2_NOTXORPEN = 10; // NOT (pixel XOR colour)
inline constexpr int32_t R2_COPYPEN = 13;   // the colour replaces the pixel
inline constexpr int32_t R2_MERGEPEN = 15;  // pixel OR colour

// A drawing surface in device pixels, x to the right and y downward: the view's back buffer,
// a printer page, or a recording in tests. Painting code keeps one pen, brush and font
// selected at a time, draws with them and puts the previous ones back.
//
// Pixel rules (all coordinates are pixel positions):
// - A line from A to B draws A and stops one pixel short of B, so lines joined end to start
//   draw every pixel once, which keeps XOR and NOT drawings erasable by a second drawing.
// - Filled shapes cover the pixels inside their outline; a rectangle covers left..right-1 and
//   top..bottom-1. With a one-pixel pen the outline lies on those outer pixels and the brush
//   fills what is inside it; each pixel of the shape is painted once. With a null pen the brush
//   fills the whole shape.
// - The raster mode applies to lines, fills and SetPixel; text and FillSolidRect always copy.
// - Texts are Windows-1252, as everywhere in the model; a text's position is the top left
//   corner of its cell.
class CDeviceContext {
public:
    enum class BkMode : int32_t { Transparent = 1, Opaque = 2 };

    virtual ~CDeviceContext();

    // True for the five raster modes above.
    static bool IsSupportedROP2(int32_t mode);

    // Each returns the object selected before.
    virtual CPen SelectPen(const CPen& pen) = 0;
    virtual CBrush SelectBrush(const CBrush& brush) = 0;
    virtual CFontDesc SelectFont(const CFontDesc& font) = 0;

    // Returns the previous mode; an unsupported mode changes nothing and returns 0.
    virtual int32_t SetROP2(int32_t mode) = 0;
    virtual int32_t GetROP2() const = 0;

    // MoveTo returns the previous current position; LineTo draws to the point and makes it
    // the current position.
    virtual CPoint MoveTo(CPoint point) = 0;
    virtual void LineTo(CPoint point) = 0;
    // Lines through the points with the pen; the current position is not used nor changed.
    virtual void Polyline(std::span<const CPoint> points) = 0;
    // Closed outline through the points with the pen, filled with the brush (even-odd rule).
    virtual void Polygon(std::span<const CPoint> points) = 0;
    virtual void Rectangle(const CRect& rect) = 0;
    // The ellipse that fits the rectangle; one of no width or no height draws nothing.
    virtual void Ellipse(const CRect& rect) = 0;
    virtual void SetPixel(CPoint point, COLORREF color) = 0;
    virtual void FillSolidRect(const CRect& rect, COLORREF color) = 0;

    // Writes in the text colour at the selected font.
    virtual void TextOut(CPoint point, std::string_view text) = 0;
    virtual CSize GetTextExtent(std::string_view text) const = 0;
    // Each returns the previous value. In the opaque background mode (the start value) the
    // background colour fills a text's cell behind it and the gaps of hatched brushes and of
    // dashed and dotted pens; the transparent mode leaves those pixels as they are.
    virtual COLORREF SetTextColor(COLORREF color) = 0;
    virtual COLORREF SetBkColor(COLORREF color) = 0;
    virtual BkMode SetBkMode(BkMode mode) = 0;

    // Limits drawing to the part of the current clip area inside the rectangle.
    virtual void IntersectClipRect(const CRect& rect) = 0;
    // Drawing reaches the whole surface again.
    virtual void ResetClip() = 0;
    // The smallest rectangle around the area drawing can reach; empty when it reaches nothing.
    virtual CRect GetClipBox() const = 0;

    // Runs `draw`, which paints only lines and shapes (no texts, no solid rectangles), only
    // inside `bounds`, and selects its own pen and brush, with the same pixels as run on this
    // context. A device may keep the
    // picture in `cache` and copy it on the next call with the same key instead of drawing
    // again, so the key must change whenever the drawing would. This one always draws.
    virtual void DrawCached(std::unique_ptr<CCachedPicture>& cache, uint64_t key,
                            const CRect& bounds, const std::function<void(CDeviceContext&)>& draw);

    // Bands of rows that cover the clip box, top to bottom, that DrawInBands can draw side by
    // side while nothing else is drawn here; none on a device that cannot be drawn on in parts,
    // as this one.
    virtual std::vector<CRect> Bands() const;
    // Runs draw(band, context) for each band of Bands() on the work pool: a band's context
    // starts with this one's pen, brush, font, raster mode, current position, colours and
    // background mode, is clipped to the band, and gets there the pixels the same calls would
    // give here. `draw` writes no texts and leaves the clip alone; this context's own state
    // stays as it was. False, running nothing, without bands.
    virtual bool DrawInBands(const std::function<void(std::size_t band, CDeviceContext&)>& draw);
};
