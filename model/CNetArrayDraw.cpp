// The drawing loops over all nets and the track tool's repaint rectangle.

#include <algorithm>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "framework/CBrush.h"
#include "framework/CDeviceContext.h"
#include "framework/CDrawList.h"
#include "framework/CPen.h"
#include "framework/CWorkPool.h"
#include "framework/Numeric.h"
#include "model/CNetArray.h"

#include "model/CLabelWindow.h"
#include "model/CNetArrayDocument.h"
#include "model/LayerIds.h"
#include "model/RatsLine.h"

namespace {

// Selects pens and brushes as the loop needs them, each only when it differs from the one in
// use, and the ones found at the start again at the end.
class CPenBrushScope {
public:
    explicit CPenBrushScope(CDeviceContext& dc) : m_dc(dc) {}
    ~CPenBrushScope()
    {
        if (m_penChanged)
            m_dc.SelectPen(m_savedPen);
        if (m_brushChanged)
            m_dc.SelectBrush(m_savedBrush);
    }
    CPenBrushScope(const CPenBrushScope&) = delete;
    CPenBrushScope& operator=(const CPenBrushScope&) = delete;

    void Use(const CPen& pen)
    {
        if (m_penChanged && m_pen == pen)
            return;
        const CPen previous = m_dc.SelectPen(pen);
        if (!m_penChanged)
            m_savedPen = previous;
        m_penChanged = true;
        m_pen = pen;
    }
    void Use(const CPen& pen, const CBrush& brush)
    {
        Use(pen);
        if (m_brushChanged && m_brush == brush)
            return;
        const CBrush previous = m_dc.SelectBrush(brush);
        if (!m_brushChanged)
            m_savedBrush = previous;
        m_brushChanged = true;
        m_brush = brush;
    }

private:
    CDeviceContext& m_dc;
    bool m_penChanged = false;
    bool m_brushChanged = false;
    CPen m_savedPen;
    CBrush m_savedBrush;
    CPen m_pen;
    CBrush m_brush;
};

CPen OnePixelPen(COLORREF color)
{
    return CPen(CPen::Style::Solid, 1, color);
}

// The smallest rectangle holding both; an empty one adds nothing.
CRect UnionRect(const CRect& a, const CRect& b)
{
    if (a.IsRectEmpty())
        return b.IsRectEmpty() ? CRect() : b;
    if (b.IsRectEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

constexpr int32_t normalSet = 0;
constexpr int32_t highlightSet = 1;

// Nets are drawn in ranges of at least this many on the work pool: fewer would not pay for
// their own list.
constexpr size_t minimumNetRange = 512;

// A net has a few pads and vias: ranges of them as long as those of nets.
constexpr size_t minimumPadRange = 2048;

} // namespace

// ---- Tracks -------------------------------------------------------------------------------------

std::vector<size_t> CNetArray::PickMeeting(const CRect& clip) const
{
    return CDrawList::Pick(
        m_nets.size(), [&](size_t i) { return std::as_const(m_nets)[i]->IntersectsRect(clip); });
}

std::vector<size_t> CNetArray::PickMeetingUnselected(const CRect& clip) const
{
    return CDrawList::Pick(m_nets.size(), [&](size_t i) {
        const CNet& net = *std::as_const(m_nets)[i];
        return net.GetSelectedCount() < net.GetVertexCount() && net.IntersectsRect(clip);
    });
}

void CNetArray::Draw(CDeviceContext& dc, int32_t layer, const CRect& clip,
                     const std::vector<size_t>* meeting) const
{
    if (!m_document)
        return;
    std::vector<size_t> own;
    const std::vector<size_t>& picked = meeting ? *meeting : (own = PickMeeting(clip));
    CDrawList::DrawInRanges(dc, picked.size(), minimumNetRange,
                            [&](CDeviceContext& target, size_t first, size_t last) {
                                for (size_t k = first; k < last; ++k) {
                                    const size_t i = picked[k];
                                    const CNet& net = *std::as_const(m_nets)[i];
                                    const bool highlight = int32_t(i) == m_currentNet && i != 0;
                                    net.DrawLayer(target, *m_document, layer, clip,
                                                  highlight ? highlightSet : normalSet);
                                }
                            });
}

std::vector<size_t> CNetArray::PickSelected() const
{
    if (m_selectedTotal == 0)
        return {};
    return CDrawList::Pick(
        m_nets.size(), [&](size_t i) { return std::as_const(m_nets)[i]->GetSelectedCount() > 0; });
}

void CNetArray::DrawEachSelected(
    CDeviceContext& dc, const std::vector<size_t>* selected,
    const std::function<void(CDeviceContext&, const CNet&)>& draw) const
{
    if (!m_document || m_selectedTotal == 0)
        return;
    std::vector<size_t> own;
    const std::vector<size_t>& picked = selected ? *selected : (own = PickSelected());
    CDrawList::DrawInRanges(dc, picked.size(), minimumNetRange,
                            [&](CDeviceContext& target, size_t first, size_t last) {
                                for (size_t k = first; k < last; ++k)
                                    draw(target, *std::as_const(m_nets)[picked[k]]);
                            });
}

void CNetArray::DrawSelectedAll(CDeviceContext& dc, const CRect& clip, uint32_t shownLayers,
                                const std::vector<size_t>* selected) const
{
    DrawEachSelected(dc, selected, [&](CDeviceContext& target, const CNet& net) {
        net.DrawSelected(target, *m_document, clip, shownLayers);
    });
}

// ---- Pads, vias and holes -----------------------------------------------------------------------

void CNetArray::DrawLayerPads(CDeviceContext& dc, int32_t layer, const CRect& clip,
                              bool noHighlight, const std::vector<size_t>* meeting) const
{
    if (!m_document || layer < 0 || layer >= PADSTACK_LAYER_COUNT)
        return;
    const bool highlightCurrent = !noHighlight && GetCount() >= 2 && m_currentNet != 0;
    std::vector<size_t> own;
    const std::vector<size_t>& picked = meeting ? *meeting : (own = PickMeeting(clip));
    CDrawList::DrawInRanges(
        dc, picked.size(), minimumNetRange, [&](CDeviceContext& target, size_t first, size_t last) {
            CPenBrushScope tools(target);
            for (size_t k = first; k < last; ++k) {
                const size_t i = picked[k];
                const CNet& net = *std::as_const(m_nets)[i];
                const int32_t set =
                    highlightCurrent && int32_t(i) == m_currentNet ? highlightSet : normalSet;
                tools.Use(m_document->GetLayerPen(layer, set),
                          m_document->GetLayerBrush(layer, set));
                net.DrawPads(target, *m_document, layer, clip);
            }
        });
}

std::vector<const TrackRec*> CNetArray::PickSelectedPads(const CRect& clip,
                                                         const std::vector<size_t>& selected) const
{
    // Each run of nets collects apart; the runs are joined in order.
    std::vector<std::vector<const TrackRec*>> runs(
        CWorkPool::RunCount(selected.size(), minimumNetRange));
    CWorkPool::Shared().ForEachRun(
        selected.size(), minimumNetRange, [&](size_t run, size_t first, size_t last) {
            for (size_t k = first; k < last; ++k)
                std::as_const(m_nets)[selected[k]]->PickSelectedPads(clip, runs[run]);
        });
    return CWorkPool::Joined(std::move(runs));
}

void CNetArray::DrawSelectedPads(CDeviceContext& dc, int32_t layer, const CRect& clip) const
{
    DrawSelectedPads(dc, layer, PickSelectedPads(clip, PickSelected()));
}

void CNetArray::DrawSelectedPads(CDeviceContext& dc, int32_t layer,
                                 const std::vector<const TrackRec*>& pads) const
{
    if (!m_document)
        return;
    CDrawList::DrawInRanges(
        dc, pads.size(), minimumPadRange, [&](CDeviceContext& target, size_t first, size_t last) {
            CNet::DrawPadVertices(
                target, *m_document, layer,
                std::span<const TrackRec* const>(pads).subspan(first, last - first));
        });
}

void CNetArray::DrawHoles(CDeviceContext& dc, const CRect& clip, int32_t percent, int32_t minimum,
                          const std::vector<size_t>* meeting) const
{
    if (!m_document)
        return;
    std::vector<size_t> own;
    const std::vector<size_t>& picked = meeting ? *meeting : (own = PickMeeting(clip));
    CDrawList::DrawInRanges(dc, picked.size(), minimumNetRange,
                            [&](CDeviceContext& target, size_t first, size_t last) {
                                CPenBrushScope tools(target);
                                tools.Use(m_document->GetHolePen(), m_document->GetHoleBrush());
                                for (size_t k = first; k < last; ++k)
                                    std::as_const(m_nets)[picked[k]]->DrawHoles(
                                        target, *m_document, clip, percent, minimum);
                            });
}

// ---- Ratsnest and pins --------------------------------------------------------------------------

void CNetArray::DrawCurrentRatsnest(CDeviceContext& dc, const CRect& clip) const
{
    if (!m_document || m_currentNet == 0)
        return;
    const CNet* net = std::as_const(*this).GetNet(m_currentNet);
    if (!net || !net->IntersectsRect(clip))
        return;
    CPenBrushScope tools(dc);
    tools.Use(OnePixelPen(currentRatsnestColor));
    net->DrawRatsnest(dc, *m_document);
}

void CNetArray::DrawOtherRatsnest(CDeviceContext& dc) const
{
    if (!m_document)
        return;
    CPenBrushScope tools(dc);
    tools.Use(OnePixelPen(otherRatsnestColor));
    for (int32_t i = 1; i < GetCount(); ++i) {
        if (i != m_currentNet)
            m_nets[size_t(i)]->DrawRatsnest(dc, *m_document);
    }
}

void CNetArray::DrawUnconnectedPinMarks(CDeviceContext& dc, const CRect& clip) const
{
    if (!m_document)
        return;
    CPenBrushScope tools(dc);
    tools.Use(OnePixelPen(pinMarkPenColor), CBrush(pinMarkBrushColor));
    for (int32_t i = 1; i < GetCount(); ++i) {
        const CNet& net = *std::as_const(m_nets)[size_t(i)];
        if (net.IntersectsRect(clip))
            net.DrawUnconnectedPinMarks(dc, *m_document);
    }
}

void CNetArray::DrawComponentRatsnest(CDeviceContext& dc, int32_t component) const
{
    if (!m_document)
        return;
    const int32_t scale = m_document->GetScale();
    const int32_t count = m_document->GetComponentCount();
    if (scale < 1 || count < 1)
        return;
    component = std::clamp(component, 0, count - 1);
    const CPoint offset = m_document->GetViewOffset();
    auto toScreen = [&](int32_t x, int32_t y) {
        return CPoint(SaturateToInt((int64_t(x) + offset.x) / scale),
                      SaturateToInt((int64_t(y) + offset.y) / scale));
    };
    CPenBrushScope tools(dc);
    const std::vector<int32_t> padNets = m_document->GetComponentPadNets(component);
    for (size_t pad = 0; pad < padNets.size(); ++pad) {
        const CNet* net = padNets[pad] > 0 ? GetNet(padNets[pad]) : nullptr;
        // A pad whose pin its net lacks has no connection to show: the line would start at
        // the board origin.
        if (!net || net->GetClusterCount() < 2 || net->FindPin(component, int32_t(pad)) < 0)
            continue;
        const RatsLine line = net->NearestConnection(component, int32_t(pad));
        tools.Use(OnePixelPen(componentRatsnestColor));
        dc.MoveTo(toScreen(line.x1, line.y1));
        dc.LineTo(toScreen(line.x2, line.y2));
    }
}

// ---- Labels -------------------------------------------------------------------------------------

void CNetArray::DrawViaLabels(CDeviceContext& dc, std::span<const int32_t> padCounts) const
{
    if (!m_document)
        return;
    const int32_t mode = m_document->GetPadInfoMode();
    const CLabelWindow window(dc, m_document->GetViewOffset(), m_document->GetScale());
    // The running numbers go on from net to net, through the nets out of view too: each net's
    // first number is worked out in the same look at every net that finds the nets in view.
    std::vector<int32_t> numbered(mode == viaNumbers ? m_nets.size() + 1 : 0);
    const bool counted = padCounts.size() == m_nets.size();
    std::vector<uint8_t> meets(m_nets.size());
    // In runs, looked at inline: the look waits on each net's memory, and a call per net kept
    // the processor from waiting on several at once.
    CWorkPool::Shared().ForEachRun(
        m_nets.size(), minimumNetRange, [&](size_t, size_t first, size_t last) {
            for (size_t i = first; i < last; ++i) {
                const CNet& net = *std::as_const(m_nets)[i];
                meets[i] = window.MayMeet(net.GetBox());
                if (!numbered.empty())
                    numbered[i + 1] = counted ? padCounts[i] : net.CountPadVertices();
            }
        });
    for (size_t i = 1; i < numbered.size(); ++i)
        numbered[i] = int32_t(uint32_t(numbered[i]) + uint32_t(numbered[i - 1]));
    std::vector<size_t> picked;
    for (size_t i = 0; i < meets.size(); ++i) {
        if (meets[i])
            picked.push_back(i);
    }
    CDrawList::DrawTextsInRanges(dc, picked.size(), minimumNetRange,
                                 [&](CDeviceContext& target, size_t first, size_t last) {
                                     for (size_t k = first; k < last; ++k) {
                                         const size_t i = picked[k];
                                         int32_t counter = numbered.empty() ? 0 : numbered[i];
                                         std::as_const(m_nets)[i]->DrawViaLabels(
                                             target, *m_document, mode, int32_t(i), counter);
                                     }
                                 });
}

// ---- Track tool repaint -------------------------------------------------------------------------

CRect CNetArray::AccumulateRepaintRect()
{
    m_repaintRect.NormalizeRect();
    for (int32_t& count : m_repaintCounts)
        ++count;
    const CNet* net = std::as_const(*this).GetNet(m_currentNet);
    if (m_document && net)
        m_repaintRect = UnionRect(m_repaintRect, net->GetEditRepaintRect(*m_document));
    return m_repaintRect;
}

int32_t CNetArray::GetRepaintCount(int32_t counter) const
{
    return counter >= 0 && counter < int32_t(m_repaintCounts.size())
               ? m_repaintCounts[size_t(counter)]
               : 0;
}
