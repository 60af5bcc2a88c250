#include "interchange/CGerberWriter.h"

#include <span>

#include "framework/CNumberText.h"
#include "interchange/COutputDocument.h"
#include "interchange/CStrokeCollector.h"
#include "interchange/OutputText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutputRec.h"
#include "model/CPointArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"

namespace {

// Runs of consecutive segments drawn with one pen: `segmentPen(i)` is the pen of the segment
// that ends at vertex i, or -1 when vertex i ends none that counts. A run starts at the vertex
// before its first segment. `emit(pen, points)` gets each run.
template <typename SegmentPen, typename PointOf, typename Emit>
void ForEachRun(int32_t count, SegmentPen segmentPen, PointOf pointOf, Emit emit)
{
    std::vector<CPoint> run;
    int32_t runPen = -1;
    const auto flush = [&] {
        if (run.size() >= 2)
            emit(runPen, run);
        run.clear();
    };
    for (int32_t i = 1; i < count; ++i) {
        const int32_t pen = segmentPen(i);
        if (pen < 0) {
            flush();
            continue;
        }
        if (!run.empty() && pen == runPen) {
            run.push_back(pointOf(i));
            continue;
        }
        flush();
        run = {pointOf(i - 1), pointOf(i)};
        runPen = pen;
    }
    flush();
}

// The board layer 0 ends a set's layer list: a set holds it when the list starts with it,
// alone.
bool HoldsBoardLayer(const COutputRec& set)
{
    return set.GetLayerCount() == 0;
}

bool HasLayer(const COutputRec& set, int32_t layer)
{
    for (int32_t i = 0; i < set.GetLayerCount(); ++i) {
        if (set.GetLayer(i) == layer)
            return true;
    }
    return false;
}

} // namespace

void CGerberWriter::AddBreak(CPoint point)
{
    CheckFits(point);
    m_flashList.push_back({GerberFlashRec::breakMark, point.x, point.y});
}

void CGerberWriter::AddFlash(int32_t aperture, CPoint point)
{
    CheckFits(point);
    m_flashList.push_back({aperture, point.x, point.y});
}

void CGerberWriter::NoteRefused(CPoint board, CPoint at)
{
    if (!m_refused.empty())
        return;
    const int32_t decimals = m_format23 ? 3 : 4;
    m_refused = ItemName() + " at (" + CNumberText::FormatInt(board.x) + ", " +
                CNumberText::FormatInt(board.y) + ") in the layer set \"" + m_setName +
                "\" lies at X" + FormatInchDigits(at.x, decimals) + "Y" +
                FormatInchDigits(at.y, decimals) + " in the file";
}

std::string CGerberWriter::ItemName() const
{
    const auto quoted = [](const std::string& name) { return "\"" + name + "\""; };
    const int32_t i = m_itemIndex;
    switch (m_itemKind) {
    case ItemKind::outline:
        return "the board outline";
    case ItemKind::line:
        return "a drawn line";
    case ItemKind::track:
        return "a track of net " + quoted(m_document.GetNets().GetNet(i)->GetName());
    case ItemKind::via:
        return "a via of net " + quoted(m_document.GetNets().GetNet(i)->GetName());
    case ItemKind::component:
        return "component " + quoted(m_document.GetComponents().GetComponent(i)->GetReference());
    case ItemKind::plane:
        return "the fill of plane " + quoted(m_document.GetPlane(i).GetName());
    case ItemKind::text:
        return "text " + quoted(m_document.GetTexts().GetText(i)->GetText());
    case ItemKind::componentText:
        return "a text of component " +
               quoted(m_document.GetComponents().GetComponent(i)->GetReference());
    }
    return {};
}

void CGerberWriter::AddStroke(int32_t aperture, std::span<const CPoint> points)
{
    if (points.size() < 2)
        return;
    AddBreak(points.front());
    for (size_t k = 1; k < points.size(); ++k)
        AddFlash(aperture, points[k]);
}

void CGerberWriter::CollectOutline(const COutputRec& set)
{
    // The outline is the board layer's own item: copper, masks and paste must not get a line
    // along the board's edge.
    const int32_t count = m_document.GetBoardOutlineCount();
    if (count < 5 || !HoldsBoardLayer(set))
        return;
    SetItem(ItemKind::outline, 0);
    const int32_t aperture = FindDrawAperture(outlineRadius);
    std::vector<CPoint> run;
    for (int32_t i = 0; i <= count; ++i) {
        if (i == count || (i > 0 && m_document.IsBoardOutlineRunStart(i))) {
            AddStroke(aperture, run);
            run.clear();
        }
        if (i < count)
            run.push_back(m_document.GetBoardOutlinePoint(i));
    }
}

void CGerberWriter::CollectLines(const COutputRec& set)
{
    const CDrawRecArray& lines = m_document.GetLines();
    SetItem(ItemKind::line, 0);
    for (int32_t k = 0; k < set.GetLayerCount(); ++k) {
        const int32_t layer = set.GetLayer(k);
        ForEachRun(
            lines.GetCount(),
            [&](int32_t i) {
                const DrawRec& rec = lines.GetRecord(i);
                const bool segment = rec.IsDrawn() && lines.GetRecord(i - 1).HasPen();
                return segment && rec.GetLayer() == layer ? rec.GetPen() : -1;
            },
            [&](int32_t i) { return lines.GetPoint(i); },
            [&](int32_t pen, const std::vector<CPoint>& run) {
                AddStroke(FindPenAperture(lines.GetPenWidth(pen) / 2), run);
            });
    }
}

void CGerberWriter::CollectNets(const COutputRec& set)
{
    const CNetArray& nets = m_document.GetNets();
    // Every pen of every net: pen by pen, so that one width is plotted with one aperture run.
    for (int32_t pen = 1; pen < CNet::maxPenCount; ++pen) {
        for (int32_t k = 0; k < set.GetLayerCount(); ++k) {
            const int32_t layer = set.GetLayer(k);
            if (!IsCopperLayer(layer))
                continue;
            for (int32_t n = 0; n < nets.GetCount(); ++n) {
                const CNet& net = *nets.GetNet(n);
                if (pen >= net.GetPenCount())
                    continue;
                SetItem(ItemKind::track, n);
                ForEachRun(
                    net.GetVertexCount(),
                    [&](int32_t i) {
                        const TrackRec& rec = net.GetVertex(i);
                        return rec.GetPen() == pen && rec.GetLayer() == layer ? pen : -1;
                    },
                    [&](int32_t i) { return net.GetVertexPoint(i); },
                    [&](int32_t p, const std::vector<CPoint>& run) {
                        AddStroke(FindPenAperture(net.GetPenWidth(p) / 2), run);
                    });
            }
        }
    }
    for (int32_t k = 0; k < set.GetLayerCount(); ++k) {
        const int32_t layer = set.GetLayer(k);
        if (layer >= PADSTACK_LAYER_COUNT)
            continue;
        for (int32_t n = 0; n < nets.GetCount(); ++n) {
            const CNet& net = *nets.GetNet(n);
            SetItem(ItemKind::via, n);
            for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
                const TrackRec& rec = net.GetVertex(i);
                if (!rec.IsPad())
                    continue;
                const int32_t padLayer = rec.IsMirrored() ? OppositeLayer(layer) : layer;
                const int32_t aperture = FindPadAperture(rec.GetPadStack(), padLayer,
                                                         rec.IsMirrored(), rec.GetRotation());
                if (aperture >= 0)
                    AddFlash(aperture, CPoint(rec.x, rec.y));
            }
        }
    }
}

void CGerberWriter::CollectComponents(const COutputRec& set)
{
    const CComponentArray& components = m_document.GetComponents();
    const CShapeLib& cache = m_document.GetShapeCache();
    for (int32_t k = 0; k < set.GetLayerCount(); ++k) {
        const int32_t layer = set.GetLayer(k);
        for (int32_t c = 0; c < components.GetCount(); ++c) {
            const CComponent& component = *components.GetComponent(c);
            const CShape* shape = component.GetShape(cache);
            if (!shape)
                continue;
            SetItem(ItemKind::component, c);
            const bool mirrored = component.IsMirrored();
            const int32_t shapeLayer = mirrored ? OppositeLayer(layer) : layer;
            const std::vector<ShapeOutlineVertex>& outline = shape->GetOutline();
            ForEachRun(
                shape->GetOutlineCount(),
                [&](int32_t i) {
                    const ShapeOutlineVertex& v = outline[size_t(i)];
                    return v.IsLineTo() && v.GetLayer() == shapeLayer ? v.GetPen() : -1;
                },
                [&](int32_t i) {
                    const ShapeOutlineVertex& v = outline[size_t(i)];
                    return component.ToBoard(CPoint(v.x, v.y));
                },
                [&](int32_t pen, const std::vector<CPoint>& run) {
                    AddStroke(FindPenAperture(cache.GetPenWidth(pen) / 2), run);
                });
            if (shapeLayer >= PADSTACK_LAYER_COUNT)
                continue;
            for (int32_t p = 0; p < shape->GetPadCount(); ++p) {
                const int32_t aperture = FindPadAperture(shape->GetPadStackIndex(p), shapeLayer,
                                                         mirrored, component.GetPadAngle(p, cache));
                if (aperture >= 0)
                    AddFlash(aperture, component.GetPadPosition(p, cache));
            }
        }
    }
}

void CGerberWriter::CollectPlanes(const COutputRec& set)
{
    for (int32_t k = 0; k < set.GetLayerCount(); ++k) {
        const int32_t layer = set.GetLayer(k);
        for (int32_t i = 0; i < m_document.GetPlaneCount(); ++i) {
            if (m_document.GetPlane(i).GetLayer() != layer)
                continue;
            if (m_document.GetPlane(i).GetFillStrokes().GetSize() < 2)
                m_document.RefillPlane(i);
            const CPour& plane = m_document.GetPlane(i);
            SetItem(ItemKind::plane, i);
            const int32_t aperture = FindDrawAperture(plane.GetPenWidth() / 2);
            for (const auto& polyline : plane.GetFillPolylines()) {
                std::vector<CPoint> points;
                points.reserve(size_t(polyline->GetSize()));
                for (int32_t p = 0; p < polyline->GetSize(); ++p)
                    points.push_back(polyline->GetAt(p));
                AddStroke(aperture, points);
            }
            for (const FillStroke& stroke : plane.GetFillStrokes()) {
                const CPoint ends[] = {CPoint(stroke.x1, stroke.y1), CPoint(stroke.x2, stroke.y2)};
                AddStroke(aperture, ends);
            }
        }
    }
}

void CGerberWriter::CollectTexts(const COutputRec& set)
{
    const CTextArray& texts = m_document.GetTexts();
    for (int32_t k = 0; k < set.GetLayerCount(); ++k) {
        const int32_t layer = set.GetLayer(k);
        for (int32_t i = 0; i < texts.GetCount(); ++i) {
            const CWevraText& text = *texts.GetText(i);
            SetItem(ItemKind::text, i);
            if (text.GetLayer() == layer)
                CollectText(text.GetText(), text.GetPosition(), text.GetHeight(), text.GetAngle(),
                            text.IsMirrored(), text.GetLineWidth());
        }
    }

    const CComponentArray& components = m_document.GetComponents();
    const CShapeLib& cache = m_document.GetShapeCache();
    const bool kinds[CComponent::textKindCount] = {set.IsTextReference(), set.IsTextType(),
                                                   set.IsTextShape()};
    for (const int32_t layer : {LAYER_SILK_TOP, LAYER_SILK_BOTTOM}) {
        if (!HasLayer(set, layer))
            continue;
        for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind) {
            if (!kinds[kind])
                continue;
            for (int32_t c = 0; c < components.GetCount(); ++c) {
                const CComponent& component = *components.GetComponent(c);
                if ((layer == LAYER_SILK_BOTTOM) != component.IsMirrored())
                    continue;
                SetItem(ItemKind::componentText, c);
                CollectText(component.GetKindText(kind, cache), component.GetTextPoint(kind),
                            components.GetTextHeight(kind), component.GetTextAngle(kind),
                            component.IsMirrored(), components.GetTextLineWidth(kind));
            }
        }
    }
}

void CGerberWriter::CollectText(const std::string& text, CPoint position, int32_t height,
                                int32_t angle, bool mirrored, int32_t lineWidth)
{
    // The font draws the text on a surface of board units, exactly as on screen.
    CStrokeCollector strokes;
    m_document.GetFont().DrawText(strokes, text, position, height, angle, mirrored, CPoint(), 1);
    if (strokes.GetPolylines().empty())
        return;
    const int32_t aperture = FindDrawAperture(lineWidth / 2);
    for (const std::vector<CPoint>& stroke : strokes.GetPolylines())
        AddStroke(aperture, stroke);
}
