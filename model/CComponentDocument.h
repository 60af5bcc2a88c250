#pragma once

#include <cstdint>

#include "framework/CBrush.h"
#include "framework/CPen.h"
#include "framework/CPoint.h"
#include "framework/ColorRef.h"

class CShapeLib;
class CWevraFont;

// What a placed component needs of the design to draw itself: the shape cache its shape index
// names, the stroke font, the view mapping, the per-layer pens and brushes the document keeps,
// and which net is current. The document implements it.
class CComponentDocument {
public:
    // Colour sets of the per-layer pens, brushes and colours.
    static constexpr int32_t normalSet = 0;
    static constexpr int32_t highlightSet = 1;

    virtual ~CComponentDocument() = default;

    virtual const CShapeLib& GetShapeCache() const = 0;
    virtual const CWevraFont& GetFont() const = 0;

    // A board point maps to the pixel (point + view offset) / scale.
    virtual CPoint GetViewOffset() const = 0;
    virtual int32_t GetScale() const = 0;

    virtual COLORREF GetLayerColor(int32_t layer, int32_t colorSet) const = 0;
    virtual CPen GetLayerPen(int32_t layer, int32_t colorSet) const = 0;
    virtual CBrush GetLayerBrush(int32_t layer, int32_t colorSet) const = 0;
    // For pads on no net, when a netlist gives the board its nets.
    virtual CPen GetUnconnectedPadPen() const = 0;
    virtual CBrush GetUnconnectedPadBrush() const = 0;
    virtual CPen GetHolePen() const = 0;
    virtual CBrush GetHoleBrush() const = 0;

    // The current net of the net list (0 when none is) and how many nets the design has.
    virtual int32_t GetCurrentNet() const = 0;
    virtual int32_t GetNetCount() const = 0;
};
