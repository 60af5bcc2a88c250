#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "framework/CDeviceContext.h"
#include "framework/CDrawList.h"
#include "framework/CNumberText.h"
#include "framework/CWorkPool.h"
#include "model/CComponentArray.h"

#include "model/CComponentArrayDocument.h"
#include "model/CLabelWindow.h"
#include "model/CNetArray.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/Geometry.h"
#include "model/LayerMaps.h"

namespace {

constexpr COLORREF labelColor = 0x00FFFFFF;

// Components are drawn in ranges of at least this many on the work pool: fewer would not pay
// for their own list.
constexpr size_t minimumComponentRange = 512;

// Pad label texts by pad-info mode.
enum PadInfo : int32_t {
    pinNumbers = 1,
    holeDiameters = 2,
    padStackNames = 3,
    padStackNumbers = 4,
    netNames = 5,
    netNumbers = 6,
};

int32_t ToPixel(int32_t board, int32_t offset, int32_t scale)
{
    return static_cast<int32_t>(std::clamp<int64_t>((int64_t(board) + offset) / scale,
                                                    std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool OnSide(const CComponent& component, int32_t layer)
{
    return component.IsMirrored() ? layer == LAYER_SILK_BOTTOM : layer == LAYER_SILK_TOP;
}

// The label of a component's pad n in a pad-info mode.
std::string PadLabel(const CComponent& component, int32_t n, int32_t mode, const CShapeLib& cache,
                     const CPadStackArray& stacks, const CNetArray& nets)
{
    const int32_t stack = component.GetPadStack(n, cache);
    switch (mode) {
    case pinNumbers:
        return CNumberText::FormatInt(n + 1);
    case holeDiameters:
        if (const CPad* drill = stacks.GetPad(stack, LAYER_DRILL))
            return CNumberText::FormatFixed(drill->GetWidth() * MM_PER_UNIT, 2, 1);
        return std::string();
    case padStackNames:
        return stacks.GetName(stack);
    case padStackNumbers:
        return CNumberText::FormatInt(stack + 1, 1);
    case netNames:
        return nets.GetNetName(component.GetPadNet(n));
    default:
        return CNumberText::FormatInt(component.GetPadNet(n));
    }
}

// For each shape of the cache, the layers (bit 1 << layer) on which its outline draws a
// segment: one from the vertex before to a line-to vertex.
std::vector<uint32_t> OutlineLayersOfShapes(const CShapeLib& cache)
{
    std::vector<uint32_t> layers(size_t(std::max(cache.GetCount(), 0)));
    for (int32_t i = 0; i < cache.GetCount(); ++i) {
        const CShape* shape = cache.GetShape(i);
        if (!shape)
            continue;
        const std::vector<ShapeOutlineVertex>& outline = shape->GetOutline();
        for (size_t n = 1; n < outline.size(); ++n) {
            if (outline[n].IsLineTo())
                layers[size_t(i)] |= 1u << outline[n].GetLayer();
        }
    }
    return layers;
}

// For each shape of the cache, the layers (bit 1 << layer, 0..26) on which a padstack of its
// pads has a pad. A pad whose padstack the table lacks counts on every layer, so that its
// drawing still notes the error.
std::vector<uint32_t> PadLayersOfShapes(const CShapeLib& cache)
{
    const CPadStackArray& stacks = cache.GetPadStacks();
    std::vector<uint32_t> ofStack(size_t(std::max(stacks.GetCount(), 0)));
    for (int32_t stack = 0; stack < stacks.GetCount(); ++stack) {
        for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
            if (stacks.GetPad(stack, layer))
                ofStack[size_t(stack)] |= 1u << layer;
        }
    }
    std::vector<uint32_t> layers(size_t(std::max(cache.GetCount(), 0)));
    for (int32_t i = 0; i < cache.GetCount(); ++i) {
        const CShape* shape = cache.GetShape(i);
        if (!shape)
            continue;
        for (const ShapePad& pad : shape->GetPads()) {
            const int32_t stack = pad.GetPadStackIndex();
            layers[size_t(i)] |=
                stack >= 0 && size_t(stack) < ofStack.size() ? ofStack[size_t(stack)] : ~0u;
        }
    }
    return layers;
}

// The layers of a shape placed on the other side: bit L where the shape has the layer opposite L.
uint32_t SeenFromBelow(uint32_t layers)
{
    uint32_t seen = 0;
    for (int32_t layer = 0; layer < 32; ++layer) {
        const int32_t opposite = OppositeLayer(layer);
        if (opposite >= 0 && opposite < 32 && (layers >> opposite & 1u) != 0)
            seen |= 1u << layer;
    }
    return seen;
}

} // namespace

std::vector<size_t> CComponentArray::PickRatsnestShown() const
{
    return CDrawList::Pick(m_components.size(), [&](size_t i) {
        return std::as_const(m_components)[i]->IsRatsnestShown();
    });
}

CComponentArray::LayerUse CComponentArray::PickLayerUse(std::vector<size_t> picked) const
{
    LayerUse use;
    use.picked = std::move(picked);
    use.outlines.resize(use.picked.size());
    use.pads.resize(use.picked.size());
    if (!m_document)
        return use;
    const CShapeLib& cache = m_document->GetShapeCache();
    // By shape index: as placed, then seen from the other side.
    std::array<std::vector<uint32_t>, 2> outlines{OutlineLayersOfShapes(cache)};
    std::array<std::vector<uint32_t>, 2> pads{PadLayersOfShapes(cache)};
    for (auto* layers : {&outlines, &pads}) {
        (*layers)[1].resize((*layers)[0].size());
        std::transform((*layers)[0].begin(), (*layers)[0].end(), (*layers)[1].begin(),
                       SeenFromBelow);
    }
    CWorkPool::Shared().ForEachRun(
        use.picked.size(), componentsAlone, [&](size_t, size_t first, size_t last) {
            for (size_t k = first; k < last; ++k) {
                const CComponent& component = *std::as_const(m_components)[use.picked[k]];
                const size_t shape = size_t(component.GetShapeIndex());
                const size_t side = component.IsMirrored() ? 1 : 0;
                // A component without a shape draws nothing.
                if (shape >= outlines[0].size())
                    continue;
                use.outlines[k] = outlines[side][shape];
                use.pads[k] = pads[side][shape];
            }
        });
    return use;
}

std::vector<size_t> CComponentArray::LayerUse::On(const std::vector<uint32_t>& layers,
                                                  int32_t layer) const
{
    std::vector<size_t> on;
    if (layer < 0 || layer >= 32)
        return on;
    for (size_t k = 0; k < picked.size(); ++k) {
        if ((layers[k] >> layer & 1u) != 0)
            on.push_back(picked[k]);
    }
    return on;
}

void CComponentArray::Draw(CDeviceContext& dc, int32_t layer, const CRect& clip, bool highlight,
                           bool selected) const
{
    if (!m_document)
        return;
    DrawOutlines(dc, layer, highlight, CDrawList::Pick(m_components.size(), [&](size_t i) {
                     return std::as_const(m_components)[i]->IsSelected() == selected &&
                            IntersectsRect(int32_t(i), clip);
                 }));
}

void CComponentArray::DrawOutlines(CDeviceContext& dc, int32_t layer, bool highlight,
                                   const std::vector<size_t>& picked) const
{
    if (!m_document)
        return;
    CDrawList::DrawInRanges(dc, picked.size(), minimumComponentRange,
                            [&](CDeviceContext& target, size_t first, size_t last) {
                                for (size_t k = first; k < last; ++k)
                                    std::as_const(m_components)[picked[k]]->DrawOutline(
                                        target, *m_document, layer, highlight);
                            });
}

void CComponentArray::DrawCurrent(CDeviceContext& dc) const
{
    const CComponent* component = std::as_const(*this).GetComponent(m_current);
    if (!component || !m_document)
        return;
    const bool bottom = component->IsMirrored();
    component->DrawOutline(dc, *m_document, bottom ? LAYER_SILK_BOTTOM : LAYER_SILK_TOP, true);
    component->DrawPads(dc, *m_document, bottom ? LAYER_BOTTOM : LAYER_TOP, true);
}

void CComponentArray::DrawText(CDeviceContext& dc, const CComponent& component, int32_t kind) const
{
    component.DrawText(dc, *m_document, kind, m_textHeights[size_t(kind)]);
}

void CComponentArray::DrawCurrentText(CDeviceContext& dc) const
{
    const CComponent* component = std::as_const(*this).GetComponent(m_current);
    const int32_t kind = DisplayTextKind();
    if (!component || kind < 0)
        return;
    const CPen previous =
        dc.SelectPen(m_document->GetComponentTextPen(component->IsMirrored(), false));
    DrawText(dc, *component, kind);
    dc.SelectPen(previous);
}

void CComponentArray::DrawTextKind(CDeviceContext& dc, int32_t layer, int32_t kind) const
{
    if (!m_document || kind < 0 || kind >= textKindCount)
        return;
    for (const auto& component : m_components) {
        if (OnSide(*component, layer))
            DrawText(dc, *component, kind);
    }
}

void CComponentArray::DrawLayerTexts(CDeviceContext& dc, int32_t layer, const CRect& clip,
                                     int32_t kind, bool selected) const
{
    if (!m_document || kind < 0 || kind >= textKindCount)
        return;
    const bool movingKind = kind == DisplayTextKind();
    const CPen previous =
        dc.SelectPen(m_document->GetComponentTextPen(layer == LAYER_SILK_BOTTOM, selected));
    for (int32_t i = 0; i < GetCount(); ++i) {
        const CComponent& component = *std::as_const(m_components)[size_t(i)];
        if (!OnSide(component, layer) || component.IsSelected() != selected ||
            !IntersectsRect(i, clip) || (i == m_current && movingKind))
            continue;
        DrawText(dc, component, kind);
    }
    dc.SelectPen(previous);
}

void CComponentArray::DrawLabel(CDeviceContext& dc, CPoint board, const std::string& text) const
{
    const int32_t scale = m_document->GetScale();
    const CPoint offset = m_document->GetViewOffset();
    dc.TextOut(CPoint(ToPixel(board.x, offset.x, scale), ToPixel(board.y, offset.y, scale)), text);
}

void CComponentArray::DrawPadInfo(CDeviceContext& dc) const
{
    if (!m_document || m_document->GetScale() < 1)
        return;
    const int32_t mode = m_document->GetPadInfoMode();
    if (mode < pinNumbers || mode > netNumbers)
        return;
    const CShapeLib& cache = m_document->GetShapeCache();
    const CPadStackArray& stacks = cache.GetPadStacks();
    const CNetArray& nets = m_document->GetNets();
    const COLORREF oldColor = dc.SetTextColor(labelColor);
    const CDeviceContext::BkMode oldMode = dc.SetBkMode(CDeviceContext::BkMode::Transparent);
    const CLabelWindow window(dc, m_document->GetViewOffset(), m_document->GetScale());
    const std::vector<size_t> picked = CDrawList::Pick(m_components.size(), [&](size_t i) {
        return window.MayMeet(std::as_const(m_components)[i]->GetBox());
    });
    CDrawList::DrawTextsInRanges(
        dc, picked.size(), minimumComponentRange,
        [&](CDeviceContext& target, size_t first, size_t last) {
            for (size_t k = first; k < last; ++k) {
                const CComponent& component = *std::as_const(m_components)[picked[k]];
                for (int32_t n = 0; n < component.GetPadCount(cache); ++n) {
                    const std::string text = PadLabel(component, n, mode, cache, stacks, nets);
                    if (!text.empty())
                        DrawLabel(target, component.GetPadPosition(n, cache), text);
                }
            }
        });
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColor);
}

void CComponentArray::DrawReferencesAtCenter(CDeviceContext& dc) const
{
    if (!m_document || m_document->GetScale() < 1)
        return;
    const COLORREF oldColor = dc.SetTextColor(labelColor);
    const CDeviceContext::BkMode oldMode = dc.SetBkMode(CDeviceContext::BkMode::Transparent);
    for (int32_t i = 0; i < GetCount(); ++i)
        DrawLabel(dc, GetCenter(i), m_components[size_t(i)]->GetReference());
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColor);
}
