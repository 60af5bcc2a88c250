#include "document/CWevraDoc.h"

#include <algorithm>
#include <vector>

#include "framework/CDeviceContext.h"
#include "framework/Numeric.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"

namespace {

// Layers above this one have no pads.
constexpr int32_t lastPadLayer = LAYER_DRILL;

int32_t FitOneWay(int32_t board, int32_t pixels)
{
    // The smallest s with board / s <= pixels (integer division) is board / (pixels + 1) + 1.
    return SaturateToInt(int64_t(std::max(board, 0)) / (int64_t(pixels) + 1) + 1);
}

} // namespace

int32_t CWevraDoc::PreviewScale(int32_t boardWidth, int32_t boardHeight, int32_t width,
                                int32_t height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return std::max(FitOneWay(boardWidth, width), FitOneWay(boardHeight, height));
}

void CWevraDoc::BeginPreview(int32_t scale, int32_t penKind)
{
    m_settings.offset = CPoint(0, 0);
    m_settings.scale = scale;
    CreatePens(penKind, scale);
    m_design.GetEditableShapeCache().SetScale(scale);
}

void CWevraDoc::EndPreview(int32_t savedScale, CPoint savedOffset)
{
    m_settings.scale = savedScale;
    m_settings.offset = savedOffset;
    // The board view never keeps the preview's pens, whatever their colours or scale.
    CreatePens(CPaintState::penKindScreen, savedScale);
    m_design.GetEditableShapeCache().SetScale(savedScale);
}

void CWevraDoc::DrawPreviewOutline(CDeviceContext& dc, bool filled)
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

bool CWevraDoc::DrawLayerSetPreview(CDeviceContext& dc, int32_t width, int32_t height)
{
    const COutputRec* set = m_design.GetCurrentLayerSet();
    const int32_t scale = PreviewScale(GetBoardWidth(), GetBoardHeight(), width, height);
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
            m_design.GetComponents().GetComponent(i)->DrawPads(dc, *this, layer, false);
        if (m_design.GetNets().GetCount() > 0)
            m_design.GetNets().DrawLayerPads(dc, layer, clip, false);
    }
    EndPreview(savedScale, savedOffset);
    return true;
}

bool CWevraDoc::DrawOutputPreview(CDeviceContext& dc, int32_t width, int32_t height)
{
    const COutput* job = m_design.GetOutputJobs().GetJob(m_design.GetOutputJobs().GetCurrent());
    const COutputRec* item = job ? job->GetCurrentRec() : nullptr;
    const int32_t scale = PreviewScale(GetBoardWidth(), GetBoardHeight(), width, height);
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
                m_design.GetComponents().GetComponent(i)->DrawPads(dc, *this, layer, false);
        }
        m_design.GetNets().Draw(dc, layer, clip);
        dc.SelectBrush(previousBrush);
        dc.SelectPen(previousPen);
    }
    EndPreview(savedScale, savedOffset);
    return true;
}
