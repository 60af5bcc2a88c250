#include "document/CDocumentPaint.h"

#include "document/CDocumentLink.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/CDesign.h"
#include "document/CJobPrintout.h"
#include "document/Rec12.h"
#include "framework/CArchive.h"
#include "framework/CDeviceContext.h"
#include "framework/CDrawList.h"
#include "framework/CPrintCommands.h"
#include "framework/Numeric.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

// The components' and nets' colour sets.
constexpr int32_t normalSet = CComponentDocument::normalSet;
constexpr int32_t highlightSet = CComponentDocument::highlightSet;

// A tenth of an inch around the visible area, so that items reaching into it are drawn.
constexpr int32_t clipMargin = 25600;
// The origin marker shows only while a pixel covers no more of the board than this.
constexpr int32_t originMarkerLimit = 12598;
constexpr int32_t originMarkerRadius = 4;
constexpr int32_t originMarkerArm = 8;
// An outline is filled from a closed rectangle on.
constexpr int32_t minOutlinePoints = 5;
// Copper layers up to this one have pads on nets; the layers above to the drill drawing have
// pad drawings of their own (soldermask, paste, silkscreen, assembly).
constexpr int32_t lastSignalLayer = 16;
// The selection overlay looks at this many slots of the display layer set.
constexpr size_t selectionSlots = 27;

// Components' pads are drawn in ranges of at least this many components on the work pool.
constexpr size_t minimumComponentRange = 512;

constexpr COLORREF black = 0x00000000;
constexpr COLORREF white = 0x00FFFFFF;

// Draws the picked components in ranges on the work pool, in the order one thread would.
template <class Draw>
void DrawPickedComponents(CDeviceContext& dc, const CComponentArray& components,
                          const std::vector<size_t>& picked, Draw draw)
{
    CDrawList::DrawInRanges(dc, picked.size(), minimumComponentRange,
                            [&](CDeviceContext& target, size_t first, size_t last) {
                                for (size_t k = first; k < last; ++k)
                                    draw(target, *components.GetComponent(int32_t(picked[k])));
                            });
}

// The components that are (not) selected and meet the clip.
std::vector<size_t> PickComponents(const CComponentArray& components, bool selected,
                                   const CRect& clip)
{
    return CDrawList::Pick(size_t(components.GetCount()), [&](size_t i) {
        return components.IsSelected(int32_t(i)) == selected &&
               components.IntersectsRect(int32_t(i), clip);
    });
}

int32_t ToPixel(int32_t board, int32_t offset, int32_t scale)
{
    return SaturateToInt((int64_t(board) + offset) / scale);
}

CPoint ToPixel(CPoint board, CPoint offset, int32_t scale)
{
    return CPoint(ToPixel(board.x, offset.x, scale), ToPixel(board.y, offset.y, scale));
}

CPen SolidPen(COLORREF color)
{
    return CPen(CPen::Style::Solid, 1, color);
}

// Selects a pen and a brush and puts the previous ones back when it goes.
class CSelectedPenBrush {
public:
    CSelectedPenBrush(CDeviceContext& dc, const CPen& pen, const CBrush& brush)
        : m_dc(dc), m_pen(dc.SelectPen(pen)), m_brush(dc.SelectBrush(brush))
    {
    }
    ~CSelectedPenBrush()
    {
        m_dc.SelectBrush(m_brush);
        m_dc.SelectPen(m_pen);
    }
    CSelectedPenBrush(const CSelectedPenBrush&) = delete;
    CSelectedPenBrush& operator=(const CSelectedPenBrush&) = delete;

private:
    CDeviceContext& m_dc;
    CPen m_pen;
    CBrush m_brush;
};

// Layers above this one have no pads.
constexpr int32_t lastPadLayer = LAYER_DRILL;

int32_t FitOneWay(int32_t board, int32_t pixels)
{
    // The smallest s with board / s <= pixels (integer division) is board / (pixels + 1) + 1.
    return SaturateToInt(int64_t(std::max(board, 0)) / (int64_t(pixels) + 1) + 1);
}

// Past this many changed items, drawing the whole board picture costs about as much.
constexpr size_t changedItemLimit = 4096;

// A job's page scale is this many board units per inch of paper at job scale 1.
constexpr double unitsPerInch = 256000.0;

// The layers of a set in the order they are drawn.
std::vector<int32_t> DrawingOrder(const COutputRec& set)
{
    // Empty slots may lie between layers; the list goes on after them.
    std::vector<int32_t> order;
    for (const uint8_t layer : set.GetLayerBytes()) {
        if (layer > 0 && layer < LAYER_COUNT && layer != set.GetRefLayer())
            order.push_back(layer);
    }
    // The work layer lies over the others, below the holes shown on top of all, however the
    // set was stored.
    const auto& bytes = set.GetLayerBytes();
    if (std::find(bytes.begin(), bytes.end(), uint8_t(set.GetRefLayer())) != bytes.end() &&
        set.GetRefLayer() > 0)
        order.insert(!order.empty() && order.back() == LAYER_DRILL ? order.end() - 1 : order.end(),
                     set.GetRefLayer());
    return order;
}

} // namespace

CDocumentPaint::CDocumentPaint(CDesign& design, CEditState& edit, CDocumentLink& link,
                               CEditSession& session, CViewState& view, CDocumentPlanes& planes,
                               CDocumentWindows& windows, std::function<std::string()> designName)
    : m_design(design), m_settings(design.Settings()), m_edit(edit), m_link(link),
      m_session(session), m_view(view), m_planes(planes), m_windows(windows),
      m_designName(std::move(designName)), m_painted(changedItemLimit)
{
}

// ---- Pens and brushes ---------------------------------------------------------------------------

void CDocumentPaint::CreatePens(int32_t kind, int32_t scale)
{
    DeletePens();
    auto& normal = m_paint.drawColors[normalSet];
    auto& highlight = m_paint.drawColors[highlightSet];
    if (kind == CPaintState::penKindPrintColor) {
        normal = m_settings.colors[CDesignSettings::printColors];
    } else if (kind == CPaintState::penKindPrintBlackWhite) {
        normal.fill(black);
        highlight.fill(black);
    } else {
        kind = CPaintState::penKindScreen;
        normal = m_settings.colors[CDesignSettings::screenColors];
        highlight = m_settings.colors[CDesignSettings::highlightColors];
    }

    // A printout writes the component texts the display set shows; the screen its references.
    int32_t textKind = CComponent::textReference;
    if (kind != CPaintState::penKindScreen && m_session.GetComponentTextMode() > 0)
        textKind = m_session.GetComponentTextMode() - 1;
    const int32_t textWidth = std::max<int32_t>(
        1, m_design.GetComponents().GetTextLineWidth(textKind) / std::max(scale, 1));
    const auto textPen = [textWidth](COLORREF color) {
        return CPen(CPen::Style::Solid, textWidth, color);
    };
    m_paint.componentTextPens = {
        textPen(normal[LAYER_SILK_TOP]), textPen(normal[LAYER_SILK_BOTTOM]),
        textPen(highlight[LAYER_SILK_TOP]), textPen(highlight[LAYER_SILK_BOTTOM])};

    for (size_t layer = 0; layer < size_t(LAYER_COUNT); ++layer) {
        if (kind == CPaintState::penKindPrintBlackWhite) {
            const bool hollow = layer == size_t(LAYER_COMMON) || layer == size_t(LAYER_DRILL);
            m_paint.layerBrushes[normalSet][layer] = CBrush(hollow ? white : black);
            m_paint.layerPens[normalSet][layer] = SolidPen(black);
            m_paint.layerBrushes[highlightSet][layer] = CBrush(white);
            m_paint.layerPens[highlightSet][layer] = SolidPen(white);
            continue;
        }
        m_paint.layerBrushes[normalSet][layer] = CBrush(normal[layer]);
        m_paint.layerPens[normalSet][layer] = SolidPen(normal[layer]);
        // Nothing is highlighted on paper: the colour printout draws the highlight set as the
        // normal one.
        const COLORREF second =
            kind == CPaintState::penKindScreen ? highlight[layer] : normal[layer];
        m_paint.layerBrushes[highlightSet][layer] = CBrush(second);
        m_paint.layerPens[highlightSet][layer] = SolidPen(second);
    }
    m_paint.pensBuilt = true;
    m_paint.penKind = kind;
    m_paint.penScale = scale;
}

void CDocumentPaint::DeletePens()
{
    for (auto& set : m_paint.layerPens)
        set.fill(CPen::Null());
    for (auto& set : m_paint.layerBrushes)
        set.fill(CBrush::Null());
    m_paint.componentTextPens.fill(CPen::Null());
    m_paint.pensBuilt = false;
}

COLORREF CDocumentPaint::LayerColor(int32_t layer, int32_t colorSet) const
{
    if (colorSet < normalSet || colorSet > highlightSet || layer < 0 || layer >= LAYER_COUNT)
        return 0;
    // A printed page shows the current net like every other.
    if (m_paint.printing)
        colorSet = normalSet;
    return m_paint.drawColors[size_t(colorSet)][size_t(layer)];
}

CPen CDocumentPaint::GetLayerPen(int32_t layer, int32_t colorSet) const
{
    if (!m_paint.pensBuilt || colorSet < normalSet || colorSet > highlightSet || layer < 0 ||
        layer >= LAYER_COUNT)
        return SolidPen(LayerColor(layer, colorSet));
    return m_paint.layerPens[size_t(m_paint.printing ? normalSet : colorSet)][size_t(layer)];
}

CBrush CDocumentPaint::GetLayerBrush(int32_t layer, int32_t colorSet) const
{
    if (!m_paint.pensBuilt || colorSet < normalSet || colorSet > highlightSet || layer < 0 ||
        layer >= LAYER_COUNT)
        return CBrush(LayerColor(layer, colorSet));
    return m_paint.layerBrushes[size_t(m_paint.printing ? normalSet : colorSet)][size_t(layer)];
}

CPen CDocumentPaint::GetComponentTextPen(bool bottomSide, bool highlight) const
{
    highlight = highlight && !m_paint.printing;
    if (m_paint.pensBuilt)
        return m_paint.componentTextPens[(highlight ? 2 : 0) + (bottomSide ? 1 : 0)];
    const int32_t layer = bottomSide ? LAYER_SILK_BOTTOM : LAYER_SILK_TOP;
    const int32_t width = std::max(
        1, m_design.GetComponents().GetTextLineWidth(CComponent::textReference) / m_settings.scale);
    return CPen(CPen::Style::Solid, width, LayerColor(layer, highlight ? highlightSet : normalSet));
}

bool CDocumentPaint::AreScreenPensCurrent() const
{
    // A loaded design or an edited colour table brings other colours at the same scale.
    return m_paint.pensBuilt && m_paint.penKind == CPaintState::penKindScreen &&
           m_paint.penScale == m_settings.scale &&
           m_paint.drawColors[normalSet] == m_settings.colors[CDesignSettings::screenColors] &&
           m_paint.drawColors[highlightSet] == m_settings.colors[CDesignSettings::highlightColors];
}

// ---- Board --------------------------------------------------------------------------------------

CRect CDocumentPaint::GetVisibleBoardRect(int32_t margin) const
{
    const CSize client = m_view.GetClientPixels();
    return BoardRectOfPixels(CRect(0, 0, client.cx, client.cy), margin);
}

CRect CDocumentPaint::BoardRectOfPixels(const CRect& pixels, int32_t margin) const
{
    const int64_t scale = m_settings.scale;
    return CRect(SaturateToInt(scale * pixels.left - m_settings.offset.x - margin),
                 SaturateToInt(scale * pixels.top - m_settings.offset.y - margin),
                 SaturateToInt(scale * pixels.right - m_settings.offset.x + margin),
                 SaturateToInt(scale * pixels.bottom - m_settings.offset.y + margin));
}

bool CDocumentPaint::DrawBoard(CDeviceContext& dc)
{
    DrawBoardWithin(dc, GetVisibleBoardRect(clipMargin), {},
                    m_design.GetComponents().PickRatsnestShown());
    return true;
}

void CDocumentPaint::DrawBoardWithin(CDeviceContext& dc, const CRect& clip,
                                     std::span<const int32_t> padCounts,
                                     std::span<const size_t> ratsnestShown)
{
    m_paint.boardDirty = false;
    if (!AreScreenPensCurrent())
        CreatePens(CPaintState::penKindScreen, m_settings.scale);
    m_design.GetEditableShapeCache().SetScale(m_settings.scale);

    const CSize client = m_view.GetClientPixels();
    const int32_t gridX = SaturateToInt(int64_t(m_settings.offset.x) + m_settings.userOffset.x);
    const int32_t gridY = SaturateToInt(int64_t(m_settings.offset.y) + m_settings.userOffset.y);
    const COutputRec* set = m_design.GetCurrentLayerSet();
    int32_t previousMode = 0;
    {
        CSelectedPenBrush selected(dc, m_paint.layerPens[normalSet][LAYER_COMMON],
                                   m_paint.layerBrushes[normalSet][LAYER_COMMON]);
        DrawBoardOutline(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale, normalSet);
        previousMode = dc.GetROP2();
        dc.SetROP2(int32_t(m_settings.drawingMode));
        // Grid lines lie under the copper.
        if (m_design.GetGridSettings().GetCurrentMode() == CGridArr::modeLines)
            m_design.GetGridSettings().Draw(dc, gridX, gridY, client.cx, client.cy,
                                            m_settings.scale);

        for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
            m_design.GetLayers().SetVisible(layer, false);
        MeetingItems meeting;
        if (set) {
            m_design.GetLayers().SetRefLayer(set->GetRefLayer());
            meeting = {m_design.GetNets().PickMeetingUnselected(clip),
                       m_design.GetComponents().PickLayerUse(
                           PickComponents(m_design.GetComponents(), false, clip))};
            for (const int32_t layer : DrawingOrder(*set))
                DrawBoardLayer(dc, layer, clip, meeting);
        }
        dc.SetROP2(R2_COPYPEN);
        if (set && m_design.GetLayers().IsVisible(LAYER_DRILL))
            DrawBoardHoles(dc, *set, clip, meeting);
    }

    if (m_settings.scale <= originMarkerLimit) {
        const CPoint origin = ToPixel(m_settings.userOffset, m_settings.offset, m_settings.scale);
        DrawOriginMarker(dc, origin.x, origin.y, m_settings.scale, white);
    }
    DrawComponentTexts(dc, clip, false);
    if (m_settings.pinInfoMode != 0) {
        m_design.GetComponents().DrawPadInfo(dc);
        m_design.GetNets().DrawViaLabels(dc, padCounts);
    }
    if (m_design.GetViewFlag(CDesignSettings::viewReferenceNames))
        m_design.GetComponents().DrawReferencesAtCenter(dc);
    if (m_paint.unconnectedPinMarks)
        m_design.GetNets().DrawUnconnectedPinMarks(dc, clip);
    dc.SetROP2(previousMode);
    // Grid dots lie over everything.
    if (m_design.GetGridSettings().GetCurrentMode() == CGridArr::modeDots)
        m_design.GetGridSettings().Draw(dc, gridX, gridY, client.cx, client.cy, m_settings.scale);
    DrawConnectionLines(dc, ratsnestShown);
    m_paint.penScale = m_settings.scale;
}

// ---- Drawing again what changed -----------------------------------------------------------------

bool CDocumentPaint::RedrawBoard(CDeviceContext& dc, const void* canvas, const CRect& buffer,
                                 COLORREF background,
                                 const std::function<void(CDeviceContext&)>& over)
{
    std::vector<uint8_t> fingerprint = PictureFingerprint(canvas);
    // Both the comparison and the drawing ask which components show their ratsnest.
    const std::vector<size_t> ratsnestShown = m_design.GetComponents().PickRatsnestShown();
    const std::optional<CRect> changed = ChangedPixels(dc, fingerprint, !ratsnestShown.empty());
    // Counting every net's vias for their running numbers took longer than drawing what a
    // small edit changed. A picture drawn in part had no net's count of vias changed.
    std::vector<int32_t> padCounts;
    if (m_design.GetPadInfoMode() == CNetArray::viaNumbers)
        padCounts = m_painted.PadCounts(m_design.GetNets(), changed.has_value());
    if (!changed) {
        dc.FillSolidRect(buffer, background);
        DrawBoardWithin(dc, GetVisibleBoardRect(clipMargin), padCounts, ratsnestShown);
        over(dc);
    } else if (!changed->IsRectEmpty()) {
        dc.IntersectClipRect(*changed);
        dc.FillSolidRect(*changed, background);
        DrawBoardWithin(dc, BoardRectOfPixels(*changed, clipMargin), padCounts, ratsnestShown);
        over(dc);
        dc.ResetClip();
    }
    m_paint.boardDirty = false;
    m_painted.Record(m_design.GetNets(), m_design.GetComponents(), PictureSettings(),
                     std::move(fingerprint), std::move(padCounts));
    return !changed;
}

CDesignSettings CDocumentPaint::PictureSettings() const
{
    // What the board picture does not show: the time spent on the design, the selection
    // filter, the netlist and template files and whether checks run while editing.
    CDesignSettings settings = m_settings;
    settings.designTime = 0;
    settings.selectionFilter = 0;
    settings.netlistPath.clear();
    settings.netlistTime = 0;
    settings.templatePath.clear();
    settings.drcActive = 0;
    return settings;
}

std::vector<uint8_t> CDocumentPaint::PictureFingerprint(const void* canvas)
{
    CArchive ar;
    ar << uint64_t(reinterpret_cast<uintptr_t>(canvas));
    const CSize client = m_view.GetClientPixels();
    ar << int32_t(client.cx) << int32_t(client.cy) << m_edit.mode << m_edit.planeIndex;
    // The current net is compared with the nets (CPaintedBoard).
    ar << int32_t(m_session.IsAutoRatsnest());
    // The current component's text of the kind being moved is left out of the board picture.
    const int32_t textMode = m_session.GetComponentTextMode();
    ar << textMode;
    if (textMode != 0) {
        const CComponentArray& components = m_design.GetComponents();
        ar << int32_t(components.GetCurrent())
           << uint64_t(reinterpret_cast<uintptr_t>(
                  components.GetComponentIdentity(components.GetCurrent())));
    }
    ar << int32_t(m_paint.unconnectedPinMarks) << int32_t(m_design.GetNets().GetErrorCount());
    ar << uint64_t(reinterpret_cast<uintptr_t>(&m_design.GetFont()));

    const CRec12Array& outline = m_design.GetBoardOutline();
    ar.WriteCount(size_t(outline.GetSize()));
    for (int32_t i = 0; i < outline.GetSize(); ++i)
        ar << outline[i].x << outline[i].y;
    m_design.GetGridSettings().Serialize(ar);
    if (COutputRec* set = m_design.GetCurrentLayerSet())
        set->Serialize(ar);
    m_design.GetEditableShapeCache().Serialize(ar);

    const CDrawRecArray& lines = m_design.GetLines();
    ar.WriteCount(size_t(lines.GetCount()));
    for (int32_t i = 0; i < lines.GetCount(); ++i)
        ar.Write(&lines.GetRecord(i), sizeof(DrawRec));
    ar.WriteWordArray(lines.GetPenTable());
    ar << int32_t(lines.GetSelectedCount()) << int32_t(lines.GetCurrentVertex());
    m_design.GetTexts().Serialize(ar);
    for (int32_t i = 0; i < m_design.GetTexts().GetCount(); ++i)
        ar << m_design.GetTexts().GetText(i)->GetFlags();

    ar.WriteCount(m_design.GetPlanes().size());
    for (const auto& plane : m_design.GetPlanes()) {
        ar << uint64_t(reinterpret_cast<uintptr_t>(plane.get())) << plane->GetFlags()
           << int32_t(plane->GetLayer()) << int32_t(plane->GetNet()) << plane->GetFillRevision()
           << int32_t(plane->HasFill()) << int32_t(plane->GetFillStrokes().GetSize())
           << int32_t(plane->GetFillErrorCount()) << int32_t(m_design.IsPlaneFillStale(*plane));
        ar.WriteCount(size_t(plane->GetOutline().GetSize()));
        for (int32_t i = 0; i < plane->GetOutline().GetSize(); ++i)
            ar << plane->GetOutline()[i].x << plane->GetOutline()[i].y;
    }
    return ar.TakeBuffer();
}

std::optional<CRect> CDocumentPaint::ChangedPixels(CDeviceContext& dc,
                                                   const std::vector<uint8_t>& fingerprint,
                                                   bool componentRatsnest)
{
    const int32_t scale = m_settings.scale;
    if (scale < 1)
        return std::nullopt;
    // The pins' clusters show in the unconnected-pin marks and in a component's ratsnest.
    const CComponentArray& components = m_design.GetComponents();
    const bool pinClusters = m_paint.unconnectedPinMarks || componentRatsnest;
    // Running via numbers go on from net to net.
    const std::optional<std::vector<CRect>> boxes = m_painted.ChangedBoxes(
        m_design.GetNets(), components, m_design.GetPadStacks(), PictureSettings(), fingerprint,
        m_design.GetPadInfoMode() == CNetArray::viaNumbers, pinClusters);
    if (!boxes)
        return std::nullopt;
    if (boxes->empty())
        return CRect();

    // Marks and the thinnest items take a few pixels whatever the scale; labels are written
    // from their item on to the right in the pin-info font, a line high.
    constexpr int32_t markReach = 8;
    // Labels of names are as long as the longest name shown, and their widest glyphs of the
    // design's character set bound how far right they run; the others are numbers, of at most
    // eleven characters. A glyph may overhang its cell by a line.
    constexpr uint32_t padStackNames = 3;
    constexpr uint32_t netNames = 5;
    constexpr size_t longestNumber = 11;
    size_t longestName = 0;
    if (m_settings.pinInfoMode == netNames) {
        const CNetArray& nets = m_design.GetNets();
        for (int32_t i = 0; i < nets.GetCount(); ++i)
            longestName = std::max(longestName, nets.GetNet(i)->GetName().size());
    } else if (m_settings.pinInfoMode == padStackNames) {
        const CPadStackArray& stacks = m_design.GetPadStacks();
        for (int32_t i = 0; i < stacks.GetCount(); ++i)
            longestName = std::max(longestName, stacks.GetName(i).size());
    }
    if (m_design.GetViewFlag(CDesignSettings::viewReferenceNames)) {
        for (int32_t i = 0; i < components.GetCount(); ++i)
            longestName = std::max(longestName, components.GetComponent(i)->GetReference().size());
    }
    int32_t run = 0;
    if (m_settings.pinInfoMode != 0) {
        for (const char glyph : std::string_view("0123456789-.,"))
            run = std::max(run, dc.GetTextExtent(std::string(longestNumber, glyph)).cx);
    }
    if (longestName > 0) {
        for (const char wide : {'W', 'M', '@', '\x89', '\xC6', '\x97'})
            run = std::max(run, dc.GetTextExtent(std::string(longestName, wide)).cx);
    }
    // A glyph may overhang its cell by a line on any side.
    const int32_t line = run > 0 ? dc.GetTextExtent("Wg").cy : 0;
    const int32_t across = markReach + 2 * line;

    CRect board = boxes->front();
    board.NormalizeRect();
    for (CRect box : *boxes) {
        box.NormalizeRect();
        board = CRect(std::min(board.left, box.left), std::min(board.top, box.top),
                      std::max(board.right, box.right), std::max(board.bottom, box.bottom));
    }
    const auto pixel = [&](int32_t value, int32_t grow, int32_t offset) {
        return ToPixel(SaturateToInt(int64_t(value) + grow), offset, scale);
    };
    CRect area(pixel(board.left, -clipMargin, m_settings.offset.x) - across,
               pixel(board.top, -clipMargin, m_settings.offset.y) - across,
               pixel(board.right, clipMargin, m_settings.offset.x) + across + run + 1,
               pixel(board.bottom, clipMargin, m_settings.offset.y) + across + 1);
    const CSize client = m_view.GetClientPixels();
    const CRect view(0, 0, client.cx, client.cy);
    area = CRect::Intersection(area, view);
    // A change over most of the view is drawn as a whole picture.
    if (int64_t(area.Width()) * area.Height() * 2 > int64_t(view.Width()) * view.Height())
        return std::nullopt;
    return area;
}

void CDocumentPaint::DrawBoardLayer(CDeviceContext& dc, int32_t layer, const CRect& clip,
                                    const MeetingItems& meeting)
{
    m_design.GetLayers().SetVisible(layer, true);
    const COLORREF color = LayerColor(layer, normalSet);
    for (int32_t i = 0; i < m_design.GetPlaneCount(); ++i) {
        const CPour& plane = *m_design.GetPlanes()[size_t(i)];
        if (plane.GetLayer() != layer)
            continue;
        // A selected plane is left to the selection overlay.
        if (i == m_edit.planeIndex)
            plane.Draw(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale,
                       LayerColor(layer, highlightSet));
        else if (!plane.IsSelected())
            plane.Draw(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale, color);
        // An old fill may run over copper added since: the screen must not pass it for the
        // plane's copper.
        if (m_design.IsPlaneFillStale(plane) && plane.GetDisplayMode() != CPour::displayHidden)
            plane.DrawStaleOutline(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale);
    }
    m_design.GetComponents().DrawOutlines(
        dc, layer, false, meeting.components.On(meeting.components.outlines, layer));
    if (IsCopperLayer(layer))
        m_design.GetNets().Draw(dc, layer, clip, &meeting.nets);
    else
        m_design.GetLines().DrawLayer(dc, layer, clip, color, m_settings.offset.x,
                                      m_settings.offset.y, m_settings.scale);
    m_design.GetTexts().Draw(dc, layer, m_design.GetFont(), color, m_settings.offset.x,
                             m_settings.offset.y, m_settings.scale);
    if (layer >= LAYER_DRILL)
        return;

    m_design.GetNets().DrawLayerPads(dc, layer, clip, false, &meeting.nets);
    // Without a netlist every pad is on no net; only then is a pad without a net unremarkable.
    const bool netlist = m_design.GetNets().GetCount() > 1;
    // The pad drawings of the other layers take the layer's own colours.
    CSelectedPenBrush selected(dc, m_paint.layerPens[normalSet][size_t(layer)],
                               m_paint.layerBrushes[normalSet][size_t(layer)]);
    DrawPickedComponents(dc, m_design.GetComponents(),
                         meeting.components.On(meeting.components.pads, layer),
                         [&](CDeviceContext& target, const CComponent& component) {
                             if (layer > lastSignalLayer)
                                 component.DrawPadsPlain(target, m_link, layer);
                             else if (netlist)
                                 component.DrawPadsOnLayer(target, m_link, layer, false);
                             else
                                 component.DrawPads(target, m_link, layer, false);
                         });
}

void CDocumentPaint::DrawBoardHoles(CDeviceContext& dc, const COutputRec& set, const CRect& clip,
                                    const MeetingItems& meeting)
{
    CSelectedPenBrush selected(dc, m_paint.layerPens[normalSet][LAYER_DRILL],
                               m_paint.layerBrushes[normalSet][LAYER_DRILL]);
    const bool scaled = set.GetPercentIndex() != 0;
    // Holes are drawn whether selected or not: the nets pick those meeting the clip themselves.
    if (scaled)
        m_design.GetNets().DrawHoles(dc, clip, set.GetHolePercent(), set.GetHoleMinDiameter());
    else
        m_design.GetNets().DrawLayerPads(dc, LAYER_DRILL, clip, false, &meeting.nets);
    const std::vector<size_t> drilled =
        scaled ? std::vector<size_t>()
               : meeting.components.On(meeting.components.pads, LAYER_DRILL);
    DrawPickedComponents(dc, m_design.GetComponents(), scaled ? meeting.components.picked : drilled,
                         [&](CDeviceContext& target, const CComponent& component) {
                             if (scaled)
                                 component.DrawHoles(target, m_link, set.GetHolePercent(),
                                                     set.GetHoleMinDiameter());
                             else
                                 component.DrawPads(target, m_link, LAYER_DRILL, false);
                         });
}

void CDocumentPaint::DrawComponentTexts(CDeviceContext& dc, const CRect& clip, bool selected)
{
    const COutputRec* set = m_design.GetCurrentLayerSet();
    if (!set)
        return;
    // A side's texts belong to its silkscreen, as in the manufacturing output: a set without
    // that silkscreen shows none of them.
    for (const uint8_t layer : set->GetLayerBytes()) {
        if (layer != LAYER_SILK_TOP && layer != LAYER_SILK_BOTTOM)
            continue;
        if (set->IsTextReference())
            m_design.GetComponents().DrawLayerTexts(dc, layer, clip, CComponent::textReference,
                                                    selected);
        if (set->IsTextType())
            m_design.GetComponents().DrawLayerTexts(dc, layer, clip, CComponent::textType,
                                                    selected);
        if (set->IsTextShape())
            m_design.GetComponents().DrawLayerTexts(dc, layer, clip, CComponent::textShapeName,
                                                    selected);
    }
}

void CDocumentPaint::DrawConnectionLines(CDeviceContext& dc, std::span<const size_t> ratsnestShown)
{
    for (const size_t i : ratsnestShown)
        m_design.GetNets().DrawComponentRatsnest(dc, int32_t(i));
}

void CDocumentPaint::DrawBoardOutline(CDeviceContext& dc, int32_t offsetX, int32_t offsetY,
                                      int32_t scale, int32_t colorSet) const
{
    if (m_design.GetBoardOutline().GetSize() < minOutlinePoints || scale < 1)
        return;
    std::vector<CPoint> points;
    points.reserve(size_t(m_design.GetBoardOutline().GetSize()));
    for (int32_t i = 0; i < m_design.GetBoardOutline().GetSize(); ++i) {
        const Rec12& point = m_design.GetBoardOutline()[i];
        points.emplace_back(ToPixel(point.x, offsetX, scale), ToPixel(point.y, offsetY, scale));
    }
    const CBrush previous = dc.SelectBrush(CBrush(LayerColor(LAYER_COMMON, colorSet)));
    dc.Polygon(points);
    dc.SelectBrush(previous);
}

void CDocumentPaint::DrawOriginMarker(CDeviceContext& dc, int32_t x, int32_t y, int32_t scale,
                                      COLORREF color) const
{
    if (scale < 1 || originMarkerLimit / scale < 1)
        return;
    const auto at = [](int32_t value, int32_t delta) {
        return SaturateToInt(int64_t(value) + delta);
    };
    CSelectedPenBrush selected(dc, SolidPen(color), CBrush::Null());
    dc.Ellipse(CRect(at(x, -originMarkerRadius), at(y, -originMarkerRadius),
                     at(x, originMarkerRadius), at(y, originMarkerRadius)));
    dc.MoveTo(CPoint(at(x, -originMarkerArm), y));
    dc.LineTo(CPoint(at(x, originMarkerArm), y));
    dc.MoveTo(CPoint(x, at(y, -originMarkerArm)));
    dc.LineTo(CPoint(x, at(y, originMarkerArm)));
}

// ---- Overlays -----------------------------------------------------------------------------------

void CDocumentPaint::DrawSelection(CDeviceContext& dc)
{
    if (m_edit.mode == ID_COMPONENTS_MOVE_ROTATE_TEXT)
        return;
    if (!AreScreenPensCurrent())
        CreatePens(CPaintState::penKindScreen, m_settings.scale);
    const CRect clip = GetVisibleBoardRect(0);
    CSelectedPenBrush selected(dc, m_paint.layerPens[normalSet][LAYER_COMMON],
                               m_paint.layerBrushes[normalSet][LAYER_TOP]);
    const int32_t previousMode = dc.GetROP2();
    dc.SetROP2(int32_t(m_settings.drawingMode));

    // What the display set hides stays hidden when selected: a selected plane of another layer
    // would otherwise cover the copper the set shows.
    uint32_t shown = 0;
    if (const COutputRec* set = m_design.GetCurrentLayerSet()) {
        for (const uint8_t layer : set->GetLayerBytes())
            if (layer > 0 && layer < LAYER_COUNT)
                shown |= 1u << layer;
    }
    m_planes.DrawSelectedPlanes(dc, shown);
    // What is selected is picked out once for all the layers; with everything selected (Select
    // All) it is as much as the board and is drawn in ranges on the work pool as the board is.
    const CComponentArray& components = m_design.GetComponents();
    const CComponentArray::LayerUse selectedComponents =
        components.GetSelectedCount() > 0
            ? components.PickLayerUse(PickComponents(components, true, clip))
            : CComponentArray::LayerUse();
    for (int32_t layer = 1; layer < LAYER_COUNT && !selectedComponents.picked.empty(); ++layer)
        if (IsLayerShown(shown, layer))
            components.DrawOutlines(dc, layer, true,
                                    selectedComponents.On(selectedComponents.outlines, layer));
    m_design.GetLines().DrawSelected(dc, m_paint.drawColors[highlightSet], m_settings.offset.x,
                                     m_settings.offset.y, m_settings.scale, shown);
    m_design.GetTexts().DrawSelected(dc, m_design.GetFont(), m_paint.drawColors[highlightSet],
                                     m_settings.offset.x, m_settings.offset.y, m_settings.scale,
                                     shown);
    const CNetArray& nets = m_design.GetNets();
    const std::vector<size_t> selectedNets = nets.PickSelected();
    nets.DrawSelectedAll(dc, clip, shown, &selectedNets);
    const std::vector<const TrackRec*> selectedPads = nets.PickSelectedPads(clip, selectedNets);

    const auto drawSelectedComponents = [&](int32_t layer) {
        DrawPickedComponents(dc, components, selectedComponents.On(selectedComponents.pads, layer),
                             [&](CDeviceContext& target, const CComponent& component) {
                                 if (layer > lastSignalLayer)
                                     component.DrawPadsPlain(target, m_link, layer);
                                 else
                                     component.DrawPads(target, m_link, layer, true);
                             });
    };
    if (const COutputRec* set = m_design.GetCurrentLayerSet()) {
        const auto& slots = set->GetLayerBytes();
        for (size_t k = 0; k < std::min(selectionSlots, slots.size()); ++k) {
            const int32_t layer = slots[k];
            if (layer == 0 || layer == LAYER_DRILL || layer >= LAYER_COUNT)
                continue;
            CSelectedPenBrush layerPen(dc, m_paint.layerPens[highlightSet][size_t(layer)],
                                       m_paint.layerBrushes[highlightSet][size_t(layer)]);
            nets.DrawSelectedPads(dc, layer, selectedPads);
            drawSelectedComponents(layer);
        }
    }
    dc.SetROP2(R2_COPYPEN);
    if (m_design.GetLayers().IsVisible(LAYER_DRILL)) {
        CSelectedPenBrush drillPen(dc, m_paint.layerPens[highlightSet][LAYER_DRILL],
                                   m_paint.layerBrushes[highlightSet][LAYER_DRILL]);
        nets.DrawSelectedPads(dc, LAYER_DRILL, selectedPads);
        drawSelectedComponents(LAYER_DRILL);
    }
    DrawComponentTexts(dc, clip, true);
    dc.SetROP2(previousMode);
}

void CDocumentPaint::DrawPadAt(CDeviceContext& dc, CPoint cursor, int32_t layer) const
{
    if (m_settings.scale < 1)
        return;
    const CPadStackArray& stacks = m_design.GetPadStacks();
    const CPoint at = ToPixel(cursor, m_settings.offset, m_settings.scale);
    stacks.DrawPad(dc, stacks.GetDefault(m_edit.defaultPadStackKind), layer, at.x, at.y, 0,
                   m_settings.scale);
}

void CDocumentPaint::DrawPadAtCursor(CDeviceContext& dc, bool highlight, int32_t colorSet) const
{
    const int32_t layer = m_design.GetLayers().GetRefLayer();
    if (!highlight) {
        const int32_t previousMode = dc.SetROP2(R2_NOT);
        DrawPadAt(dc, m_edit.cursor, layer);
        DrawPadAt(dc, m_edit.cursor, LAYER_DRILL);
        dc.SetROP2(previousMode);
        return;
    }
    const COLORREF side = LayerColor(layer == LAYER_BOTTOM ? LAYER_BOTTOM : LAYER_TOP, colorSet);
    const COLORREF drill = LayerColor(LAYER_DRILL, colorSet);
    CSelectedPenBrush selected(dc, SolidPen(side), CBrush(side));
    DrawPadAt(dc, m_edit.cursor, layer);
    dc.SelectPen(SolidPen(drill));
    dc.SelectBrush(CBrush(drill));
    DrawPadAt(dc, m_edit.cursor, LAYER_DRILL);
}

void CDocumentPaint::DrawDefaultPadAtCursor(CDeviceContext& dc) const
{
    DrawPadAt(dc, m_edit.cursor, m_design.GetLayers().GetRefLayer());
}

void CDocumentPaint::DrawNetRatsnest(CDeviceContext& dc) const
{
    if (m_session.GetCurrentNetIndex() >= 0)
        DrawCurrentRatsnest(dc);
}

void CDocumentPaint::DrawCurrentRatsnest(CDeviceContext& dc) const
{
    m_design.GetNets().DrawCurrentRatsnest(dc, GetVisibleBoardRect(0));
}

void CDocumentPaint::DrawOtherRatsnest(CDeviceContext& dc) const
{
    m_design.GetNets().DrawOtherRatsnest(dc);
}

void CDocumentPaint::DrawInvertedRect(CDeviceContext& dc, const CRect& rect) const
{
    if (m_settings.scale < 1)
        return;
    const CPoint topLeft =
        ToPixel(CPoint(rect.left, rect.top), m_settings.offset, m_settings.scale);
    const CPoint bottomRight =
        ToPixel(CPoint(rect.right, rect.bottom), m_settings.offset, m_settings.scale);
    const int32_t previousMode = dc.SetROP2(R2_NOT);
    dc.MoveTo(topLeft);
    dc.LineTo(CPoint(bottomRight.x, topLeft.y));
    dc.LineTo(bottomRight);
    dc.LineTo(CPoint(topLeft.x, bottomRight.y));
    dc.LineTo(topLeft);
    dc.SetROP2(previousMode);
}

void CDocumentPaint::DrawRubberBand(CDeviceContext& dc) const
{
    DrawInvertedRect(dc, m_edit.rubberBand);
}

void CDocumentPaint::DrawSecondRubberBand(CDeviceContext& dc) const
{
    DrawInvertedRect(dc, m_view.GetZoomRect());
}

// ---- Previews -----------------------------------------------------------------------------------

int32_t CDocumentPaint::PreviewScale(int32_t boardWidth, int32_t boardHeight, int32_t width,
                                     int32_t height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return std::max(FitOneWay(boardWidth, width), FitOneWay(boardHeight, height));
}

void CDocumentPaint::BeginPreview(int32_t scale, int32_t penKind)
{
    m_settings.offset = CPoint(0, 0);
    m_settings.scale = scale;
    CreatePens(penKind, scale);
    m_design.GetEditableShapeCache().SetScale(scale);
}

void CDocumentPaint::EndPreview(int32_t savedScale, CPoint savedOffset)
{
    m_settings.scale = savedScale;
    m_settings.offset = savedOffset;
    // The board view never keeps the preview's pens, whatever their colours or scale.
    CreatePens(CPaintState::penKindScreen, savedScale);
    m_design.GetEditableShapeCache().SetScale(savedScale);
}

void CDocumentPaint::DrawPreviewOutline(CDeviceContext& dc, bool filled)
{
    if (m_design.GetBoardOutline().GetSize() <= 4)
        return;
    const int32_t scale = m_settings.scale;
    std::vector<CPoint> points;
    points.reserve(size_t(m_design.GetBoardOutline().GetSize()));
    for (int32_t i = 0; i < m_design.GetBoardOutline().GetSize(); ++i) {
        const Rec12& point = m_design.GetBoardOutline()[i];
        points.emplace_back(point.x / scale, point.y / scale);
    }
    const CPen previousPen = dc.SelectPen(m_paint.layerPens[normalSet][LAYER_COMMON]);
    const CBrush previousBrush = dc.SelectBrush(m_paint.layerBrushes[normalSet][LAYER_COMMON]);
    if (filled)
        dc.Polygon(points);
    else
        dc.Polyline(points);
    dc.SelectBrush(previousBrush);
    dc.SelectPen(previousPen);
}

bool CDocumentPaint::DrawLayerSetPreview(CDeviceContext& dc, int32_t width, int32_t height)
{
    const COutputRec* set = m_design.GetCurrentLayerSet();
    const int32_t scale =
        PreviewScale(m_design.GetBoardWidth(), m_design.GetBoardHeight(), width, height);
    if (!set || scale <= 0)
        return false;
    const int32_t savedScale = m_settings.scale;
    const CPoint savedOffset = m_settings.offset;
    BeginPreview(scale, CPaintState::penKindScreen);
    DrawPreviewOutline(dc, true);

    const CRect clip(0, 0, SaturateToInt(int64_t(width) * scale),
                     SaturateToInt(int64_t(height) * scale));
    for (const uint8_t layer : set->GetLayerBytes()) {
        if (layer == 0 || layer >= LAYER_COUNT)
            continue;
        const COLORREF color = LayerColor(layer, normalSet);
        m_design.GetComponents().Draw(dc, layer, clip, false, false);
        m_design.GetLines().DrawLayer(dc, layer, clip, color, 0, 0, scale);
        m_design.GetNets().Draw(dc, layer, clip);
        m_design.GetTexts().Draw(dc, layer, m_design.GetFont(), color, 0, 0, scale);
        if (layer > lastPadLayer)
            continue;
        for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i)
            m_design.GetComponents().GetComponent(i)->DrawPads(dc, m_link, layer, false);
        if (m_design.GetNets().GetCount() > 0)
            m_design.GetNets().DrawLayerPads(dc, layer, clip, false);
    }
    EndPreview(savedScale, savedOffset);
    return true;
}

bool CDocumentPaint::DrawOutputPreview(CDeviceContext& dc, int32_t width, int32_t height)
{
    const COutput* job = m_design.GetOutputJobs().GetJob(m_design.GetOutputJobs().GetCurrent());
    const COutputRec* item = job ? job->GetCurrentRec() : nullptr;
    const int32_t scale =
        PreviewScale(m_design.GetBoardWidth(), m_design.GetBoardHeight(), width, height);
    if (!item || scale <= 0)
        return false;
    const int32_t savedScale = m_settings.scale;
    const CPoint savedOffset = m_settings.offset;
    BeginPreview(scale, item->IsColor() ? CPaintState::penKindPrintColor
                                        : CPaintState::penKindPrintBlackWhite);
    // Paper shows the board's edge as a line; films and drill files its whole area.
    DrawPreviewOutline(dc, job->GetDevice() != COutput::deviceWindows);

    const CRect clip(0, 0, SaturateToInt(int64_t(width) * scale),
                     SaturateToInt(int64_t(height) * scale));
    for (const uint8_t layer : item->GetLayerBytes()) {
        if (layer == 0 || layer >= LAYER_COUNT)
            continue;
        const COLORREF color = LayerColor(layer, normalSet);
        const CPen previousPen = dc.SelectPen(m_paint.layerPens[normalSet][layer]);
        const CBrush previousBrush = dc.SelectBrush(m_paint.layerBrushes[normalSet][layer]);
        m_design.GetComponents().Draw(dc, layer, clip, false, false);
        m_design.GetLines().DrawLayer(dc, layer, clip, color, 0, 0, scale);
        m_design.GetTexts().Draw(dc, layer, m_design.GetFont(), color, 0, 0, scale);
        for (const auto& plane : m_design.GetPlanes()) {
            if (plane->GetLayer() == layer)
                plane->Draw(dc, 0, 0, scale, color);
        }
        if (layer <= lastPadLayer) {
            for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i)
                m_design.GetComponents().GetComponent(i)->DrawPads(dc, m_link, layer, false);
        }
        m_design.GetNets().Draw(dc, layer, clip);
        dc.SelectBrush(previousBrush);
        dc.SelectPen(previousPen);
    }
    EndPreview(savedScale, savedOffset);
    return true;
}

// ---- Printing -----------------------------------------------------------------------------------

bool CDocumentPaint::PrintJobPage(CDeviceContext& dc, int32_t record, int32_t pixelsPerInch)
{
    return PrintJobPage(dc, m_design.GetOutputJobs().GetCurrent(), record, pixelsPerInch);
}

bool CDocumentPaint::PrintJobPage(CDeviceContext& dc, int32_t jobIndex, int32_t record,
                                  int32_t pixelsPerInch)
{
    const COutput* job = m_design.GetOutputJobs().GetJob(jobIndex);
    const COutputRec* item = job ? job->GetItem(record) : nullptr;
    if (!item || pixelsPerInch <= 0)
        return false;
    const double jobScale = job->GetScale();
    if (!(jobScale > 0.0))
        return false;
    const int32_t scale = TruncToInt(unitsPerInch / jobScale / pixelsPerInch);
    if (scale <= 0)
        return false;

    const CPoint savedOffset = m_settings.offset;
    const int32_t savedScale = m_settings.scale;
    m_paint.printing = true;
    m_session.SelectAll(false);
    m_settings.offset =
        CPoint(TruncToInt(job->GetOffsetX() / jobScale), TruncToInt(job->GetOffsetY() / jobScale));
    m_settings.scale = scale;
    CreatePens(item->IsColor() ? CPaintState::penKindPrintColor
                               : CPaintState::penKindPrintBlackWhite,
               scale);
    m_design.GetEditableShapeCache().SetScale(scale);

    const CPen previousPen = dc.SelectPen(m_paint.layerPens[normalSet][LAYER_COMMON]);
    const CBrush previousBrush = dc.SelectBrush(m_paint.layerBrushes[normalSet][LAYER_COMMON]);
    if (m_design.GetBoardOutline().GetSize() > 4) {
        std::vector<CPoint> points;
        points.reserve(size_t(m_design.GetBoardOutline().GetSize()));
        for (int32_t i = 0; i < m_design.GetBoardOutline().GetSize(); ++i) {
            const Rec12& point = m_design.GetBoardOutline()[i];
            points.emplace_back(SaturateToInt((int64_t(point.x) + m_settings.offset.x) / scale),
                                SaturateToInt((int64_t(point.y) + m_settings.offset.y) / scale));
        }
        dc.Polygon(points);
    }
    const CRect page = dc.GetClipBox();
    const CRect clip(SaturateToInt(int64_t(page.left) * scale - m_settings.offset.x),
                     SaturateToInt(int64_t(page.top) * scale - m_settings.offset.y),
                     SaturateToInt(int64_t(page.right) * scale - m_settings.offset.x),
                     SaturateToInt(int64_t(page.bottom) * scale - m_settings.offset.y));
    PrintLayers(dc, *item, clip);
    dc.SelectBrush(previousBrush);
    dc.SelectPen(previousPen);

    m_settings.scale = savedScale;
    m_settings.offset = savedOffset;
    m_paint.printing = false;
    // The screen never keeps the print colours, whatever the two scales.
    CreatePens(CPaintState::penKindScreen, savedScale);
    m_design.GetEditableShapeCache().SetScale(savedScale);
    return true;
}

void CDocumentPaint::PrintLayers(CDeviceContext& dc, const COutputRec& record, const CRect& clip)
{
    const auto& slots = record.GetLayerBytes();
    for (const uint8_t layer : slots) {
        if (layer == 0 || layer == LAYER_DRILL || layer >= LAYER_COUNT)
            continue;
        const COLORREF color = LayerColor(layer, normalSet);
        m_design.GetComponents().Draw(dc, layer, clip, false, false);
        if (layer == LAYER_SILK_TOP || layer == LAYER_SILK_BOTTOM) {
            if (record.IsTextReference())
                m_design.GetComponents().DrawLayerTexts(dc, layer, clip, CComponent::textReference,
                                                        false);
            if (record.IsTextType())
                m_design.GetComponents().DrawLayerTexts(dc, layer, clip, CComponent::textType,
                                                        false);
            if (record.IsTextShape())
                m_design.GetComponents().DrawLayerTexts(dc, layer, clip, CComponent::textShapeName,
                                                        false);
        }
        m_design.GetLines().DrawLayer(dc, layer, clip, color, m_settings.offset.x,
                                      m_settings.offset.y, m_settings.scale);
        m_design.GetNets().Draw(dc, layer, clip);
        m_design.GetTexts().Draw(dc, layer, m_design.GetFont(), color, m_settings.offset.x,
                                 m_settings.offset.y, m_settings.scale);
        for (const auto& plane : m_design.GetPlanes()) {
            if (plane->GetLayer() == layer)
                plane->Draw(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale, color);
        }
    }

    for (const uint8_t layer : slots) {
        if (layer == 0 || layer > LAYER_DRILL)
            continue;
        const CPen previousPen = dc.SelectPen(m_paint.layerPens[normalSet][layer]);
        const CBrush previousBrush = dc.SelectBrush(m_paint.layerBrushes[normalSet][layer]);
        const bool holes = layer == LAYER_DRILL && record.GetPercentIndex() != 0;
        if (holes)
            m_design.GetNets().DrawHoles(dc, clip, record.GetHolePercent(),
                                         record.GetHoleMinDiameter());
        else
            m_design.GetNets().DrawLayerPads(dc, layer, clip, true);
        for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i) {
            const CComponent& component = *m_design.GetComponents().GetComponent(i);
            if (holes)
                component.DrawHoles(dc, m_link, record.GetHolePercent(),
                                    record.GetHoleMinDiameter());
            else
                component.DrawPads(dc, m_link, layer, false);
        }
        dc.SelectBrush(previousBrush);
        dc.SelectPen(previousPen);
    }
}

bool CDocumentPaint::PrintOutputJob(const std::string& pdfPath)
{
    CJobPrintout printout(m_design, *this, m_planes, m_windows, m_designName(), pdfPath);
    return CPrintCommands::Print(printout, false);
}
