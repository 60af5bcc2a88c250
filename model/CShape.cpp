#include "model/CShape.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "framework/CArchive.h"
#include "model/Geometry.h"

WEVRA_IMPLEMENT_SERIAL(CShape, "CShape", 0)

// ---- Records -------------------------------------------------------------------------------

void ShapePad::Write(CArchive& ar) const
{
    ar << word << spare << rotation << x << y;
}

void ShapePad::Read(CArchive& ar)
{
    ar >> word >> spare >> rotation >> x >> y;
}

void ShapeOutlineVertex::SetPen(int32_t pen)
{
    word = uint16_t((word & ~penMask) | uint32_t(std::clamp(pen, 0, maxPen)));
}

void ShapeOutlineVertex::Write(CArchive& ar) const
{
    ar << word << spare << x << y;
}

void ShapeOutlineVertex::Read(CArchive& ar)
{
    ar >> word >> spare >> x >> y;
}

// ---- Access --------------------------------------------------------------------------------

const ShapePad* CShape::Pad(int32_t i) const
{
    return i >= 0 && i < GetPadCount() ? &m_pads[size_t(i)] : nullptr;
}

ShapePad* CShape::Pad(int32_t i)
{
    return const_cast<ShapePad*>(std::as_const(*this).Pad(i));
}

const ShapeOutlineVertex* CShape::Vertex(int32_t i) const
{
    return i >= 0 && i < GetOutlineCount() ? &m_outline[size_t(i)] : nullptr;
}

ShapeOutlineVertex* CShape::Vertex(int32_t i)
{
    return const_cast<ShapeOutlineVertex*>(std::as_const(*this).Vertex(i));
}

void CShape::AddPad(int32_t x, int32_t y, int32_t padStackIndex, int32_t rotation)
{
    ShapePad pad;
    pad.SetPadStackIndex(padStackIndex);
    pad.rotation = rotation;
    pad.x = x;
    pad.y = y;
    m_pads.push_back(pad);
}

void CShape::SetPad(int32_t i, int32_t x, int32_t y, uint16_t word, int32_t rotation)
{
    if (ShapePad* pad = Pad(i)) {
        pad->word = word;
        pad->rotation = rotation;
        pad->x = x;
        pad->y = y;
    }
}

int32_t CShape::GetPadStackIndex(int32_t i) const
{
    const ShapePad* pad = Pad(i);
    return pad ? pad->GetPadStackIndex() : 0;
}

void CShape::SetPadStackIndex(int32_t i, int32_t index)
{
    if (ShapePad* pad = Pad(i))
        pad->SetPadStackIndex(index);
}

int32_t CShape::GetPadRotation(int32_t i) const
{
    const ShapePad* pad = Pad(i);
    return pad ? pad->rotation : 0;
}

CPoint CShape::GetPadPos(int32_t i) const
{
    const ShapePad* pad = Pad(i);
    return pad ? CPoint(pad->x, pad->y) : CPoint();
}

void CShape::AddOutlineVertex(int32_t x, int32_t y, uint16_t word)
{
    ShapeOutlineVertex vertex;
    vertex.word = word;
    vertex.x = x;
    vertex.y = y;
    m_outline.push_back(vertex);
}

void CShape::SetOutlineVertex(int32_t i, int32_t x, int32_t y, uint16_t word)
{
    if (ShapeOutlineVertex* vertex = Vertex(i)) {
        vertex->word = word;
        vertex->x = x;
        vertex->y = y;
    }
}

int32_t CShape::GetOutlinePen(int32_t i) const
{
    const ShapeOutlineVertex* vertex = Vertex(i);
    return vertex ? vertex->GetPen() : 0;
}

int32_t CShape::GetOutlineLayer(int32_t i) const
{
    const ShapeOutlineVertex* vertex = Vertex(i);
    return vertex ? vertex->GetLayer() : 0;
}

CPoint CShape::GetOutlinePoint(int32_t i) const
{
    const ShapeOutlineVertex* vertex = Vertex(i);
    return vertex ? CPoint(vertex->x, vertex->y) : CPoint();
}

void CShape::SetOutlinePen(int32_t i, int32_t pen)
{
    if (ShapeOutlineVertex* vertex = Vertex(i))
        vertex->SetPen(pen);
}

void CShape::SetOutlineLayer(int32_t i, int32_t layer)
{
    if (ShapeOutlineVertex* vertex = Vertex(i))
        vertex->SetLayer(layer);
}

void CShape::SetOutlinePoint(int32_t i, int32_t x, int32_t y)
{
    if (ShapeOutlineVertex* vertex = Vertex(i)) {
        vertex->x = x;
        vertex->y = y;
    }
}

// ---- Geometry ------------------------------------------------------------------------------

void CShape::Rotate(int32_t angle)
{
    for (ShapePad& pad : m_pads) {
        const CPoint p = RotatePoint(pad.x, pad.y, angle);
        pad.x = p.x;
        pad.y = p.y;
    }
    for (ShapeOutlineVertex& vertex : m_outline) {
        const CPoint p = RotatePoint(vertex.x, vertex.y, angle);
        vertex.x = p.x;
        vertex.y = p.y;
    }
}

void CShape::Offset(int32_t dx, int32_t dy)
{
    for (ShapePad& pad : m_pads) {
        pad.x = SaturateToInt(int64_t(pad.x) + dx);
        pad.y = SaturateToInt(int64_t(pad.y) + dy);
    }
    for (ShapeOutlineVertex& vertex : m_outline) {
        vertex.x = SaturateToInt(int64_t(vertex.x) + dx);
        vertex.y = SaturateToInt(int64_t(vertex.y) + dy);
    }
}

// ---- Storage -------------------------------------------------------------------------------

void CShape::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_name << m_extent.left << m_extent.top << m_extent.right << m_extent.bottom;
        ar.WriteCount(m_pads.size());
        for (const ShapePad& pad : m_pads)
            pad.Write(ar);
        ar.WriteCount(m_outline.size());
        for (const ShapeOutlineVertex& vertex : m_outline)
            vertex.Write(ar);
        return;
    }
    std::string name = ar.ReadString();
    CRect extent;
    ar >> extent.left >> extent.top >> extent.right >> extent.bottom;
    std::vector<ShapePad> pads(ar.ReadCount(ShapePad::recordSize));
    for (ShapePad& pad : pads)
        pad.Read(ar);
    std::vector<ShapeOutlineVertex> outline(ar.ReadCount(ShapeOutlineVertex::recordSize));
    for (ShapeOutlineVertex& vertex : outline)
        vertex.Read(ar);

    m_name = std::move(name);
    m_extent = extent;
    m_pads = std::move(pads);
    m_outline = std::move(outline);
}
