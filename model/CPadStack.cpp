#include "model/CPadStack.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <limits>

#include "framework/CArchive.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"

WEVRA_IMPLEMENT_SERIAL(CPadStack, "CPadStack", CRuntimeClass::versionableSchema | 1)

namespace {

int32_t SaturatingAdd(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) + b);
}

CRect Grown(const CRect& rect, int32_t by)
{
    return CRect(SaturatingAdd(rect.left, -by), SaturatingAdd(rect.top, -by),
                 SaturatingAdd(rect.right, by), SaturatingAdd(rect.bottom, by));
}

bool IsPadLayer(int32_t layer)
{
    return layer >= 0 && layer < PADSTACK_LAYER_COUNT;
}

} // namespace

CPadStack::CPadStack()
{
    for (CPad& pad : m_pads)
        pad.Clear();
}

CPadStack::CPadStack(const std::string& name, int32_t shapeCode, int32_t x1, int32_t y1, int32_t x2,
                     int32_t y2, int32_t drill, int32_t layer, uint32_t kindFlags)
    : CPadStack()
{
    m_name = name;
    m_kinds = kindFlags;
    const CRect rect(x1, y1, x2, y2);
    const CRect mask = Grown(rect, maskGrowth);
    if (layer == LAYER_COMMON) {
        m_pads[LAYER_TOP].Set(shapeCode, rect);
        m_pads[LAYER_BOTTOM].Set(shapeCode, rect);
        m_pads[LAYER_MASK_TOP].Set(shapeCode, mask);
        m_pads[LAYER_MASK_BOTTOM].Set(shapeCode, mask);
    } else {
        if (IsPadLayer(layer))
            m_pads[size_t(layer)].Set(shapeCode, rect);
        m_pads[LAYER_PASTE_TOP].Set(shapeCode, rect);
        m_pads[LAYER_MASK_TOP].Set(shapeCode, mask);
    }
    if (drill > 0)
        SetDrill(drill, standardRing);
}

CPad* CPadStack::GetPad(int32_t layer)
{
    return IsPadLayer(layer) ? &m_pads[size_t(layer)] : nullptr;
}

const CPad* CPadStack::GetPad(int32_t layer) const
{
    return IsPadLayer(layer) ? &m_pads[size_t(layer)] : nullptr;
}

void CPadStack::SetDrill(int32_t drill, int32_t ring)
{
    const int32_t half = drill >> 1;
    const int32_t outer = SaturatingAdd(half, ring);
    const int32_t outerNegated = SaturateToInt(-(int64_t(half) + ring));
    m_pads[LAYER_DRILL].Set(PAD_ROUND, -half, -half, half, half);
    for (int32_t layer = LAYER_GROUND; layer <= LAYER_INNER_12; ++layer)
        m_pads[size_t(layer)].Set(PAD_ROUND, outerNegated, outerNegated, outer, outer);
}

int32_t CPadStack::GetDrill() const
{
    const CPad& drill = m_pads[LAYER_DRILL];
    return drill.GetRect().IsRectEmpty() ? 0 : drill.GetWidth();
}

void CPadStack::RecalcMasks()
{
    m_layerMask = 0;
    m_mirroredMask = 0;
    for (int32_t layer = 1; layer < PADSTACK_LAYER_COUNT; ++layer) {
        if (m_pads[size_t(layer)].HasShape())
            m_layerMask |= LayerBit(layer);
        if (m_pads[size_t(OppositeLayer(layer))].HasShape())
            m_mirroredMask |= LayerBit(layer);
    }
}

bool CPadStack::HasSameShapes(const CPadStack& other) const
{
    return std::equal(m_pads.begin(), m_pads.end(), other.m_pads.begin(),
                      [](const CPad& a, const CPad& b) {
                          return a.GetShape() == b.GetShape() && a.GetRect() == b.GetRect();
                      });
}

void CPadStack::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_kinds << m_name;
        for (const CPad& pad : m_pads)
            pad.WriteRecord(ar);
        return;
    }
    uint32_t kinds = 0;
    std::string name;
    ar >> kinds >> name;
    std::array<CPad, PADSTACK_LAYER_COUNT> pads;
    for (CPad& pad : pads)
        pad.ReadRecord(ar);
    m_kinds = kinds;
    m_name = std::move(name);
    m_pads = pads;
    RecalcMasks();
}
