#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"

class CArchive;

// One pin of a shape, 16 bytes in every library and design file. Word 0 carries the padstack
// index (into the owning library's table) in bits 0-8; its other bits and the spare word are
// carried unchanged.
struct ShapePad {
    static constexpr size_t recordSize = 16;
    static constexpr uint16_t padStackMask = 0x01FF;

    uint16_t word = 0;
    uint16_t spare = 0;
    int32_t rotation = 0; // 1/1000 degree, added to the padstack's own pad angle
    int32_t x = 0;
    int32_t y = 0;

    int32_t GetPadStackIndex() const { return word & padStackMask; }
    void SetPadStackIndex(int32_t index)
    {
        word = uint16_t((word & ~padStackMask) | (uint32_t(index) & padStackMask));
    }

    void Write(CArchive& ar) const;
    void Read(CArchive& ar);
};

// One vertex of a shape's outline, 12 bytes in every library and design file. Word 0 carries
// the pen (into the owning library's pen table; 0 starts a new run) in bits 0-3 and the layer
// in bits 4-8; its other bits and the spare word are carried unchanged.
struct ShapeOutlineVertex {
    static constexpr size_t recordSize = 12;
    static constexpr uint16_t penMask = 0x000F;
    static constexpr uint16_t layerMask = 0x01F0;
    static constexpr int32_t maxPen = 15;

    uint16_t word = 0;
    uint16_t spare = 0;
    int32_t x = 0;
    int32_t y = 0;

    int32_t GetPen() const { return word & penMask; }
    int32_t GetLayer() const { return (word & layerMask) >> 4; }
    bool IsLineTo() const { return GetPen() > 0; }
    // Pens beyond the 4 bits are stored as the last one the word can name.
    void SetPen(int32_t pen);
    void SetLayer(int32_t layer)
    {
        word = uint16_t((word & ~layerMask) | ((uint32_t(layer) & 31u) << 4));
    }

    void Write(CArchive& ar) const;
    void Read(CArchive& ar);
};

// One footprint: a name, a bounding rectangle, its pins in order and its outline runs, all in
// board units relative to the shape's reference point. Shapes live inside a shape library,
// which holds the padstack and pen tables their records point into.
//
// An index that names no pad or vertex reads as zero and is ignored by the setters.
class CShape : public CObject {
    WEVRA_DECLARE_SERIAL(CShape)

public:
    CShape() = default;
    explicit CShape(const std::string& name) : m_name(name) {}

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    const CRect& GetExtent() const { return m_extent; }
    void SetExtent(const CRect& extent) { m_extent = extent; }

    int32_t GetPadCount() const { return static_cast<int32_t>(m_pads.size()); }
    int32_t GetOutlineCount() const { return static_cast<int32_t>(m_outline.size()); }
    const std::vector<ShapePad>& GetPads() const { return m_pads; }
    const std::vector<ShapeOutlineVertex>& GetOutline() const { return m_outline; }

    // Pads.
    void AddPad(int32_t x, int32_t y, int32_t padStackIndex, int32_t rotation);
    // Overwrites point, rotation and the whole word 0.
    void SetPad(int32_t i, int32_t x, int32_t y, uint16_t word, int32_t rotation);
    int32_t GetPadStackIndex(int32_t i) const;
    void SetPadStackIndex(int32_t i, int32_t index);
    int32_t GetPadRotation(int32_t i) const;
    CPoint GetPadPos(int32_t i) const;

    // Outline.
    void AddOutlineVertex(int32_t x, int32_t y, uint16_t word);
    // Overwrites point and the whole word 0.
    void SetOutlineVertex(int32_t i, int32_t x, int32_t y, uint16_t word);
    int32_t GetOutlinePen(int32_t i) const;
    int32_t GetOutlineLayer(int32_t i) const;
    CPoint GetOutlinePoint(int32_t i) const;
    void SetOutlinePen(int32_t i, int32_t pen);
    void SetOutlineLayer(int32_t i, int32_t layer);
    void SetOutlinePoint(int32_t i, int32_t x, int32_t y);

    // Turns every pad position and outline point about the origin (1/1000 degree); the pads'
    // own rotations stay.
    void Rotate(int32_t angle);
    // Moves every pad position and outline point (saturating at the int32 range).
    void Offset(int32_t dx, int32_t dy);

    // Name, extent, the pad records and the outline records, each list after its count.
    // Loading replaces this shape only when the whole record was read.
    void Serialize(CArchive& ar) override;

private:
    const ShapePad* Pad(int32_t i) const;
    ShapePad* Pad(int32_t i);
    const ShapeOutlineVertex* Vertex(int32_t i) const;
    ShapeOutlineVertex* Vertex(int32_t i);

    std::string m_name;
    CRect m_extent;
    std::vector<ShapePad> m_pads;
    std::vector<ShapeOutlineVertex> m_outline;
};
