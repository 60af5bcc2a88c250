// Drawing of one net: tracks, the selection, the run being edited, pads and vias, holes,
// ratsnest lines, pin marks, the track tool's rubber band and the pad labels.

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "framework/CDeviceContext.h"
#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "model/CNet.h"
#include "model/CNetDocument.h"
#include "model/CPadStackArray.h"
#include "model/CopperGeometry.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"

namespace {

// Board units to the document's pixels.
class CScreenMap {
public:
    explicit CScreenMap(const CNetDocument& document)
        : m_scale(document.GetScale()), m_offset(document.GetViewOffset())
    {
    }

    bool IsUsable() const { return m_scale >= 1; }
    int32_t Scale() const { return m_scale; }
    CPoint operator()(int32_t x, int32_t y) const
    {
        return CPoint(SaturateToInt((int64_t(x) + m_offset.x) / m_scale),
                      SaturateToInt((int64_t(y) + m_offset.y) / m_scale));
    }
    CPoint operator()(const TrackRec& rec) const { return (*this)(rec.x, rec.y); }
    int32_t Length(int64_t units) const { return SaturateToInt(units / m_scale); }

private:
    int32_t m_scale;
    CPoint m_offset;
};

// Selects pens as needed and the pen found at the start again at the end.
class CPenScope {
public:
    explicit CPenScope(CDeviceContext& dc) : m_dc(dc) {}
    ~CPenScope()
    {
        if (m_saved)
            m_dc.SelectPen(*m_saved);
    }
    CPenScope(const CPenScope&) = delete;
    CPenScope& operator=(const CPenScope&) = delete;

    void Use(const CPen& pen)
    {
        if (m_current == pen)
            return;
        const CPen previous = m_dc.SelectPen(pen);
        if (!m_saved)
            m_saved = previous;
        m_current = pen;
    }

private:
    CDeviceContext& m_dc;
    std::optional<CPen> m_saved;
    std::optional<CPen> m_current;
};

bool SegmentOutside(const CRect& clip, const TrackRec& a, const TrackRec& b)
{
    return (a.x < clip.left && b.x < clip.left) || (a.x > clip.right && b.x > clip.right) ||
           (a.y < clip.top && b.y < clip.top) || (a.y > clip.bottom && b.y > clip.bottom);
}

bool InClip(const CRect& clip, const TrackRec& rec)
{
    return rec.x >= clip.left && rec.x <= clip.right && rec.y >= clip.top && rec.y <= clip.bottom;
}

void DrawLine(CDeviceContext& dc, CPoint from, CPoint to)
{
    dc.MoveTo(from);
    dc.LineTo(to);
}

// The pixels a line covers, its end included.
CRect LineRect(CPoint a, CPoint b)
{
    return CRect(std::min(a.x, b.x), std::min(a.y, b.y),
                 SaturateToInt(int64_t(std::max(a.x, b.x)) + 1),
                 SaturateToInt(int64_t(std::max(a.y, b.y)) + 1));
}

constexpr CRect noRect(0, 0, 1, 1);

// A pad or via vertex whose padstack has a pad on the layer (0..26).
void DrawPadVertex(CDeviceContext& dc, const CScreenMap& map, const CPadStackArray& padStacks,
                   int32_t layer, const TrackRec& rec)
{
    // Seen from the other side, the item's pads on the opposite layer lie on this one.
    const int32_t padLayer = rec.IsMirrored() ? OppositeLayer(layer) : layer;
    if (!padStacks.GetPad(rec.GetPadStack(), padLayer))
        return;
    const CPoint p = map(rec);
    if (rec.IsMirrored())
        padStacks.DrawPadMirrored(dc, rec.GetPadStack(), padLayer, p.x, p.y, rec.GetRotation(),
                                  map.Scale());
    else
        padStacks.DrawPad(dc, rec.GetPadStack(), padLayer, p.x, p.y, rec.GetRotation(),
                          map.Scale());
}

// Draws the segments of a run one after another: they share their ends, each of which is
// worked out once, and a segment drawn on from where the one before it ended needs no move there.
class CRunPen {
public:
    explicit CRunPen(const CScreenMap& map) : m_map(map) {}
    // The segment from vertex i - 1 (`prev`) to vertex i (`rec`).
    void Draw(CDeviceContext& dc, int32_t i, const TrackRec& prev, const TrackRec& rec)
    {
        const CPoint from = m_mappedIndex == i - 1 ? m_mapped : m_map(prev);
        m_mapped = m_map(rec);
        m_mappedIndex = i;
        if (m_endedAt != i - 1)
            dc.MoveTo(from);
        dc.LineTo(m_mapped);
        m_endedAt = i;
    }

private:
    const CScreenMap& m_map;
    int32_t m_mappedIndex = -1;
    CPoint m_mapped;
    int32_t m_endedAt = -1;
};

} // namespace

// ---- Tracks -------------------------------------------------------------------------------------

void CNet::DrawLayer(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                     const CRect& clip, int32_t colorSet) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || GetVertexCount() < 2 || !IsUsableLayer(layer))
        return;
    // A design without a netlist has nothing to single out.
    if (document.GetNetCount() < 2 || colorSet != 1)
        colorSet = 0;
    const COLORREF color = document.GetLayerColor(colorSet, layer);
    CPenScope pens(dc);
    // A run's segments mostly share their width: the pen changes only where it does.
    CRunPen run(map);
    int32_t width = -1;
    for (int32_t i = 1; i < GetVertexCount(); ++i) {
        const TrackRec& rec = m_vertices[i];
        const TrackRec& prev = m_vertices[i - 1];
        if (!rec.IsDrawn() || rec.GetLayer() != layer || rec.IsSelected() || prev.IsSelected() ||
            SegmentOutside(clip, prev, rec))
            continue;
        const int32_t vertexWidth = GetVertexWidth(i);
        if (vertexWidth != width) {
            width = vertexWidth;
            pens.Use(CPen(CPen::Style::Solid, map.Length(width), color));
        }
        run.Draw(dc, i, prev, rec);
    }
}

void CNet::DrawSelected(CDeviceContext& dc, const CNetDocument& document, const CRect& clip,
                        uint32_t shownLayers) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || GetSelectedCount() == 0)
        return;
    CPenScope pens(dc);
    // A segment's track, drawn after every halo, covers a halo as many pixels wide as itself
    // pixel for pixel where it is copied over it: a big board seen whole drew its selection's
    // halos for nothing.
    const bool copying = dc.GetROP2() == R2_COPYPEN;
    // All halos first, so that no halo covers a neighbouring segment.
    for (const bool halo : {true, false}) {
        CRunPen run(map);
        int32_t colorLayer = -1;
        COLORREF color = 0;
        for (int32_t i = 1; i < GetVertexCount(); ++i) {
            const TrackRec& rec = m_vertices[i];
            const TrackRec& prev = m_vertices[i - 1];
            if (!rec.IsDrawn() || !IsUsableLayer(rec.GetLayer()) ||
                !IsLayerShown(shownLayers, rec.GetLayer()) ||
                !(rec.IsSelected() || prev.IsSelected()) || SegmentOutside(clip, prev, rec))
                continue;
            const int64_t width = GetVertexWidth(i);
            if (halo) {
                // A pen of no width draws a pixel wide.
                const int32_t haloWidth = map.Length(width + 2 * int64_t(m_clearance));
                if (copying && std::max(haloWidth, 1) == std::max(map.Length(width), 1))
                    continue;
                pens.Use(CPen(CPen::Style::Solid, haloWidth, selectedHaloColor));
            } else {
                if (rec.GetLayer() != colorLayer) {
                    colorLayer = rec.GetLayer();
                    color = document.GetLayerColor(1, colorLayer);
                }
                pens.Use(CPen(CPen::Style::Solid, map.Length(width), color));
            }
            run.Draw(dc, i, prev, rec);
        }
    }
}

void CNet::DrawEditedRun(CDeviceContext& dc, const CNetDocument& document) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || m_vertices.IsEmpty())
        return;
    // The range may be stale after edits: only segments of the current run count.
    const int32_t first = std::max(m_editFirst, GetRunStart(m_currentVertex) + 1);
    const int32_t last = std::min(m_editLast, GetRunEnd(m_currentVertex));
    CPenScope pens(dc);
    for (const bool halo : {true, false}) {
        if (halo && !document.ShowsClearanceHalo())
            continue;
        for (int32_t k = std::max(first, 1); k <= last; ++k) {
            const TrackRec& rec = m_vertices[k];
            if (!rec.IsDrawn() || !IsUsableLayer(rec.GetLayer()))
                continue;
            const int64_t width = GetVertexWidth(k);
            if (halo)
                pens.Use(CPen(CPen::Style::Solid, map.Length(width + 2 * int64_t(m_clearance)),
                              editHaloColor));
            else
                pens.Use(CPen(CPen::Style::Solid, map.Length(width),
                              document.GetLayerColor(1, rec.GetLayer())));
            DrawLine(dc, map(m_vertices[k - 1]), map(rec));
        }
    }
}

// ---- Pads, vias and holes -----------------------------------------------------------------------

void CNet::DrawPadVertices(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                           const CRect& clip, bool selected) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || layer < 0 || layer >= PADSTACK_LAYER_COUNT)
        return;
    const CPadStackArray& padStacks = document.GetPadStacks();
    for (const TrackRec& rec : m_vertices) {
        if (rec.IsPad() && rec.IsSelected() == selected && InClip(clip, rec))
            DrawPadVertex(dc, map, padStacks, layer, rec);
    }
}

void CNet::DrawPadVertices(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                           std::span<const TrackRec* const> pads)
{
    const CScreenMap map(document);
    if (!map.IsUsable() || layer < 0 || layer >= PADSTACK_LAYER_COUNT)
        return;
    const CPadStackArray& padStacks = document.GetPadStacks();
    for (const TrackRec* rec : pads)
        DrawPadVertex(dc, map, padStacks, layer, *rec);
}

void CNet::DrawPads(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                    const CRect& clip) const
{
    DrawPadVertices(dc, document, layer, clip, false);
}

void CNet::DrawSelectedPads(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                            const CRect& clip) const
{
    DrawPadVertices(dc, document, layer, clip, true);
}

void CNet::PickSelectedPads(const CRect& clip, std::vector<const TrackRec*>& pads) const
{
    if (GetSelectedCount() == 0)
        return;
    for (const TrackRec& rec : m_vertices) {
        if (rec.IsPad() && rec.IsSelected() && InClip(clip, rec))
            pads.push_back(&rec);
    }
}

void CNet::DrawHoles(CDeviceContext& dc, const CNetDocument& document, const CRect& clip,
                     int32_t percent, int32_t minimum) const
{
    const CScreenMap map(document);
    if (!map.IsUsable())
        return;
    const CPadStackArray& padStacks = document.GetPadStacks();
    for (const TrackRec& rec : m_vertices) {
        if (!rec.IsPad() || !InClip(clip, rec))
            continue;
        const CPad* drill = padStacks.GetPad(rec.GetPadStack(), LAYER_DRILL);
        if (!drill)
            continue;
        int64_t diameter = int64_t(double(drill->GetWidth()) * percent * 0.01);
        diameter = std::max<int64_t>({diameter, minimum, 0});
        const int32_t r = map.Length(diameter / 2);
        const CPoint c = map(rec);
        dc.Ellipse(CRect(SaturateToInt(int64_t(c.x) - r), SaturateToInt(int64_t(c.y) - r),
                         SaturateToInt(int64_t(c.x) + r), SaturateToInt(int64_t(c.y) + r)));
    }
}

// ---- Ratsnest and pins --------------------------------------------------------------------------

void CNet::DrawRatsnest(CDeviceContext& dc, const CNetDocument& document) const
{
    const CScreenMap map(document);
    if (!map.IsUsable())
        return;
    for (const RatsLine& line : m_ratsnest)
        DrawLine(dc, map(line.x1, line.y1), map(line.x2, line.y2));
}

void CNet::DrawUnconnectedPinMarks(CDeviceContext& dc, const CNetDocument& document) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || m_clusterCount < 2)
        return;
    for (const NetPinRec& pin : m_pins) {
        if (pin.GetCluster() <= 1)
            continue;
        const CPoint p = map(pin.x, pin.y);
        dc.Rectangle(CRect(SaturateToInt(int64_t(p.x) - pinMarkReach),
                           SaturateToInt(int64_t(p.y) - pinMarkReach),
                           SaturateToInt(int64_t(p.x) + pinMarkReach),
                           SaturateToInt(int64_t(p.y) + pinMarkReach)));
    }
}

// ---- Track tool ---------------------------------------------------------------------------------

CRect CNet::DrawRubberBand(CDeviceContext& dc, const CNetDocument& document) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || m_pins.IsEmpty() || m_vertices.IsEmpty())
        return noRect;
    const CPoint from = GetCurrentVertexPoint();
    int32_t best = std::numeric_limits<int32_t>::max();
    std::optional<CPoint> to;
    auto consider = [&](CPoint p) {
        const int32_t d = Distance(from.x, from.y, p.x, p.y);
        if (d < best) {
            best = d;
            to = p;
        }
    };
    for (const NetPinRec& pin : m_pins) {
        if (pin.GetCluster() != m_activeCluster)
            consider(CPoint(pin.x, pin.y));
    }
    for (int32_t i = 0; i < GetVertexCount(); ++i) {
        const TrackRec& rec = m_vertices[i];
        if (rec.cluster == m_activeCluster)
            continue;
        if (rec.IsPad()) {
            consider(CPoint(rec.x, rec.y));
            continue;
        }
        // The vertex's segment: a run start's leads to the next vertex.
        int32_t a = i - 1;
        int32_t b = i;
        if (!rec.IsDrawn()) {
            a = i;
            b = i + 1;
            if (b >= GetVertexCount() || !m_vertices[b].IsDrawn())
                continue;
        } else if (a < 0) {
            continue;
        }
        CPoint nearest;
        PointToSegmentDistance(GetVertexPoint(a), GetVertexPoint(b), from, nearest);
        consider(nearest);
    }
    if (!to)
        return noRect;
    const CPoint p = map(from.x, from.y);
    const CPoint q = map(to->x, to->y);
    DrawLine(dc, p, q);
    return LineRect(p, q);
}

CRect CNet::GetEditRepaintRect(const CNetDocument& document) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || GetVertexCount() < 2 || IsPadVertex(m_currentVertex))
        return noRect;
    const int32_t cur = m_currentVertex;
    const int32_t start = GetRunStart(cur);
    const int32_t end = GetRunEnd(cur);
    int64_t width = GetVertexWidth(cur);
    CPoint p = map(m_vertices[cur]);
    CRect rect(p.x, p.y, p.x, p.y);
    auto include = [&](int32_t k) {
        const CPoint q = map(m_vertices[k]);
        rect.left = std::min(rect.left, q.x);
        rect.top = std::min(rect.top, q.y);
        rect.right = std::max(rect.right, q.x);
        rect.bottom = std::max(rect.bottom, q.y);
    };
    if (cur > start)
        include(cur - 1);
    if (cur < end) {
        include(cur + 1);
        width = std::max<int64_t>(width, GetVertexWidth(cur + 1));
    }
    const int32_t grow = map.Length(width + 2 * int64_t(m_clearance)) / 2;
    return CRect(SaturateToInt(int64_t(rect.left) - grow), SaturateToInt(int64_t(rect.top) - grow),
                 SaturateToInt(int64_t(rect.right) + grow + 2),
                 SaturateToInt(int64_t(rect.bottom) + grow + 2));
}

// ---- Labels -------------------------------------------------------------------------------------

void CNet::DrawViaLabels(CDeviceContext& dc, const CNetDocument& document, int32_t mode,
                         int32_t netIndex, int32_t& counter) const
{
    const CScreenMap map(document);
    if (!map.IsUsable() || mode < 1 || mode > 6)
        return;
    const CPadStackArray& padStacks = document.GetPadStacks();
    const COLORREF oldColor = dc.SetTextColor(viaLabelColor);
    const CDeviceContext::BkMode oldMode = dc.SetBkMode(CDeviceContext::BkMode::Transparent);
    for (const TrackRec& rec : m_vertices) {
        if (!rec.IsPad())
            continue;
        const int32_t padStack = rec.GetPadStack();
        std::string text;
        switch (mode) {
        case 1:
            text = CNumberText::FormatInt(++counter);
            break;
        case 2:
            if (const CPad* drill = padStacks.GetPad(padStack, LAYER_DRILL))
                text = CNumberText::FormatFixed(UnitsToMm(drill->GetWidth()), 2, 1);
            break;
        case 3:
            text = padStacks.GetName(padStack);
            break;
        case 4:
            text = CNumberText::FormatInt(padStack + 1, 1);
            break;
        case 5:
            text = m_name;
            break;
        default:
            text = CNumberText::FormatInt(netIndex);
            break;
        }
        if (!text.empty())
            dc.TextOut(map(rec), text);
    }
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColor);
}
