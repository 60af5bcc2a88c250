#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "model/CRecordArray.h"

class CArchive;

// One vertex of the drawn lines: a move-to (pen 0) starting a polyline, or a line-to drawn from
// the vertex before it with that pen's width. Stored as 16 bytes in the design file, field by
// field, little-endian.
struct DrawRec {
    static constexpr size_t recordSize = 16;

    static constexpr uint32_t flagSelected = 0x00100000u;

    // Pen/layer word: pen in bits 0..3, layer in bits 4..8; with noPenBit the vertex has
    // neither and every operation passes it over. Bits 10..15 are kept as read.
    static constexpr uint16_t penMask = 0x000F;
    static constexpr uint16_t layerMask = 0x01F0;
    static constexpr int32_t layerShift = 4;
    static constexpr uint16_t noPenBit = 0x0200;
    static constexpr int32_t maxPen = 15;

    uint32_t flags = 0;
    // Carried with the vertex, never interpreted here.
    uint16_t tag = 0;
    uint16_t penLayer = 0;
    int32_t x = 0;
    int32_t y = 0;

    bool HasPen() const { return (penLayer & noPenBit) == 0; }
    // -1 when the vertex has no pen.
    int32_t GetPen() const { return HasPen() ? int32_t(penLayer & penMask) : -1; }
    int32_t GetLayer() const
    {
        return HasPen() ? int32_t((penLayer & layerMask) >> layerShift) : -1;
    }
    // Pens above 15 are stored as 15 (negative ones as 0); the other bits are kept.
    void SetPen(int32_t pen)
    {
        penLayer = uint16_t((penLayer & ~penMask) | uint16_t(std::clamp(pen, 0, maxPen)));
    }
    // Replaces the layer bits only.
    void SetLayer(int32_t layer)
    {
        penLayer =
            uint16_t((penLayer & ~layerMask) | ((uint32_t(layer) << layerShift) & layerMask));
    }
    bool IsDrawn() const { return GetPen() >= 1; }
    bool IsSelected() const { return (flags & flagSelected) != 0; }

    void Write(CArchive& ar) const;
    void Read(CArchive& ar);

    bool operator==(const DrawRec&) const = default;
};

using CDrawRecList = CRecordArray<DrawRec>;
