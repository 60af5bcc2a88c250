#include "document/CWevraDoc.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/CDocumentViews.h"
#include "document/CJobPrintout.h"
#include "framework/CDeviceContext.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPrintCommands.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr int32_t maxSnapRange = 4;
constexpr int32_t rotateQuarter = 90000;

// A copy array fills at most this many places, and each count is checked against it before
// the two are multiplied.
constexpr int64_t maxArrayPlaces = 1000;
// Copies closer together than this (just under 0.1 mm) would lie on one another.
constexpr int32_t minArrayStep = 1006;
// Two inches between the copies, until the user says otherwise.
constexpr int32_t defaultArrayStep = 512000;

// A job's page scale is this many board units per inch of paper at job scale 1.
constexpr double unitsPerInch = 256000.0;

constexpr char cancelMoveText[] = "CWevraDoc::CancelMove";
constexpr char templateQuestionText[] = "In Construction! Try?";

bool IsTrackTool(uint32_t mode)
{
    return mode == ID_TRACKS_EDIT || mode == ID_TRACKS_ADD;
}

bool IsLineTool(uint32_t mode)
{
    return mode == ID_LINES_EDIT || mode == ID_LINES_ADD;
}

int32_t Difference(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) - b);
}

std::string AppTitle()
{
    return CResString::Load(IDS_APP_TITLE);
}

} // namespace

// ---- Settings menu ------------------------------------------------------------------------------

void CWevraDoc::OnSettingsSnapToGrid()
{
    m_design.GetGridSettings().SetCurrentSnapOn(!m_design.GetGridSettings().IsCurrentSnapOn());
    SetModified();
}

bool CWevraDoc::IsSnapToGridOn() const
{
    return m_design.GetGridSettings().IsCurrentSnapOn();
}

void CWevraDoc::OnSettingsSnapToGuidelines()
{
    const int32_t range = m_design.GetGridSettings().GetSnapRange();
    ApplySnapRange(range >= maxSnapRange ? 0 : range + 1);
}

void CWevraDoc::OnSnapToGuidesDecrement()
{
    const int32_t range = m_design.GetGridSettings().GetSnapRange();
    if (range > 0)
        ApplySnapRange(range - 1);
}

void CWevraDoc::OnSnapToGuidesIncrement()
{
    const int32_t range = m_design.GetGridSettings().GetSnapRange();
    if (range < maxSnapRange)
        ApplySnapRange(range + 1);
}

void CWevraDoc::ApplySnapRange(int32_t range)
{
    m_design.GetGridSettings().SetSnapRange(range);
    if (range >= 1) {
        const CNet& net = *m_design.GetNets().GetCurrentNet();
        std::vector<CPoint> pins;
        pins.reserve(size_t(net.GetPinCount()));
        for (int32_t p = 0; p < net.GetPinCount(); ++p)
            pins.emplace_back(net.GetPin(p).x, net.GetPin(p).y);
        m_design.GetGridSettings().CollectSnapPoints(pins);
    } else {
        m_design.GetGridSettings().ClearSnapPoints();
    }
    m_view.Windows().UpdateAllViews();
    SetModified();
}

bool CWevraDoc::IsSnapToGuidelinesOn() const
{
    return m_design.GetGridSettings().GetSnapRange() >= 1;
}

std::string CWevraDoc::GetSnapToGuidelinesText() const
{
    return CResString::LoadPart(ID_SETTINGS_SNAP_TO_GUIDELINES) + " " +
           CNumberText::FormatInt(m_design.GetGridSettings().GetSnapRange()) + "\t[ ]";
}

void CWevraDoc::OnBoardImportFromTemplate()
{
    if (CServices::Messages().MessageBox(templateQuestionText, AppTitle(), MB_OKCANCEL) != IDOK)
        return;
    if (CDialogService::Get().TemplateImport(*this) == CDialogService::resultOk)
        m_view.Windows().UpdateAllViews();
}

// ---- Moving and rotating the selection ----------------------------------------------------------

void CWevraDoc::MoveSelectedItems(int32_t dx, int32_t dy)
{
    m_planeSet.MoveSelectedPlanes(dx, dy);
    m_design.GetLines().OffsetSelected(dx, dy);
    m_design.GetNets().MoveSelected(dx, dy);
    m_design.GetTexts().MoveSelected(dx, dy);
    // Each component moves with its own move, so that its pins and texts follow.
    if (m_design.GetComponents().GetSelectedCount() > 0) {
        for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i) {
            if (m_design.GetComponents().IsSelected(i))
                m_design.GetComponents().MoveBy(i, dx, dy);
        }
    }
}

void CWevraDoc::MoveSelection(int32_t dx, int32_t dy)
{
    m_history.PushUndoForSelection();
    MoveSelectedItems(dx, dy);
    SetModified();
}

void CWevraDoc::MoveSelectionToCursor()
{
    MoveSelection(Difference(m_edit.cursor.x, m_edit.previousCursor.x),
                  Difference(m_edit.cursor.y, m_edit.previousCursor.y));
}

void CWevraDoc::MoveCurrentComponentToCursor()
{
    if (!m_design.GetComponents().IsIndex(m_edit.currentComponentIndex))
        return;
    const CPoint position = m_design.GetComponents().GetPosition(m_edit.currentComponentIndex);
    MoveSelection(Difference(m_edit.cursor.x, position.x), Difference(m_edit.cursor.y, position.y));
}

void CWevraDoc::CenterSelectionOnGrid()
{
    bool found = false;
    CRect box;
    const auto take = [&found, &box](CPoint p) {
        if (!found) {
            box = CRect(p.x, p.y, p.x, p.y);
            found = true;
            return;
        }
        box = CRect(std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                    std::max(box.bottom, p.y));
    };
    if (m_design.GetLines().GetSelectedCount() > 0) {
        for (int32_t i = 0; i < m_design.GetLines().GetCount(); ++i) {
            if (m_design.GetLines().IsSelected(i))
                take(m_design.GetLines().GetPoint(i));
        }
    }
    if (m_design.GetNets().GetSelectedCount() > 0) {
        for (int32_t n = 0; n < m_design.GetNets().GetCount(); ++n) {
            const CNet& net = *m_design.GetNets().GetNet(n);
            for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                if (net.IsVertexSelected(v))
                    take(net.GetVertexPoint(v));
            }
        }
    }
    if (!found)
        return;
    const CPoint centre(SaturateToInt(box.left + box.Width() / 2),
                        SaturateToInt(box.top + box.Height() / 2));
    m_edit.previousCursor = centre;
    m_edit.cursor = m_session.SnapToGrid(centre);
    MoveSelection(Difference(m_edit.cursor.x, centre.x), Difference(m_edit.cursor.y, centre.y));
    m_session.SetAnchor();
}

void CWevraDoc::RotateSelection(int32_t angle)
{
    m_history.PushUndoForSelection();
    const CPoint centre = m_edit.cursor;
    m_design.GetComponents().RotateSelectedAbout(centre.x, centre.y, angle);
    m_design.GetLines().RotateSelected(centre.x, centre.y, angle);
    m_design.GetTexts().RotateSelected(centre.x, centre.y, angle);
    m_design.GetNets().RotateSelected(centre.x, centre.y, angle);
    m_planeSet.RotateSelectedPlanes(centre.x, centre.y, angle);
    SetModified();
}

void CWevraDoc::RotateSelection90()
{
    RotateSelection(rotateQuarter);
}

void CWevraDoc::CancelMove()
{
    if (m_edit.mode != ID_EDIT_SELECT_MODE)
        CServices::Messages().MessageBox(cancelMoveText, AppTitle());
    if (m_edit.action == CEditState::actionDragging)
        MoveSelectedItems(Difference(m_edit.anchor.x, m_edit.cursor.x),
                          Difference(m_edit.anchor.y, m_edit.cursor.y));
    SetAction(CEditState::actionWaiting);
    m_edit.rubberBandVisible = false;
    // Deselected first: with a selection the idle tool would first end the running one.
    SelectAll(false);
    SetMode(ID_VIEW);
}

// ---- Copying and deleting the selection ---------------------------------------------------------

void CWevraDoc::CopySelectedInPlace()
{
    const bool components = m_design.GetComponents().GetSelectedCount() > 0;
    // Copied tracks stay in their nets, so pads copied with them keep theirs too: a copied
    // block is the same circuit again, not pads of no net under tracks of a net. Pads copied
    // without any track start unconnected.
    m_design.GetComponents().CopySelected(m_design.GetNets().GetSelectedCount() > 0);
    m_design.GetNets().DuplicateSelected();
    m_design.GetLines().DuplicateSelected();
    m_design.GetTexts().CopySelected();
    m_planeSet.CopySelectedPlanes();
    if (components)
        m_design.GetComponents().RebuildNetPins();
}

bool CWevraDoc::CopySelection()
{
    m_history.SaveUndoState();
    CopySelectedInPlace();
    SetModified();
    return true;
}

bool CWevraDoc::DeleteSelectedItems()
{
    m_edit.rubberBandVisible = false;
    if (m_design.GetComponents().GetSelectedCount() > 0) {
        m_design.GetComponents().DeleteSelected();
        m_design.GetComponents().RebuildNetPins();
        m_edit.currentComponentIndex = -1;
    }
    m_design.GetLines().DeleteSelected();
    m_design.GetNets().DeleteSelected();
    m_design.GetTexts().DeleteSelected();
    m_planeSet.DeleteSelectedPlanes();
    SelectAll(false);
    // The checks' errors may name the items just deleted.
    m_design.GetNets().ClearErrors();
    SetModified();
    return true;
}

bool CWevraDoc::CopyArray()
{
    m_edit.rubberBandVisible = false;
    SetAction(CEditState::actionWaiting);
    std::string xText = CLengthText::FormatLength(GetUnit(), defaultArrayStep);
    std::string yText = xText;
    std::string columnsText = "2";
    std::string rowsText = "2";
    std::string incrementText = "100";
    if (CDialogService::Get().CopyArray(xText, yText, columnsText, rowsText, incrementText) !=
        CDialogService::resultOk)
        return false;
    const int32_t dx = CLengthText::ParseLength(GetUnit(), xText);
    const int32_t dy = CLengthText::ParseLength(GetUnit(), yText);
    const int32_t columns = CNumberText::ParseInt(columnsText);
    const int32_t rows = CNumberText::ParseInt(rowsText);
    if (columns < 1 || rows < 1 || columns > maxArrayPlaces || rows > maxArrayPlaces)
        return false;
    const int64_t places = int64_t(columns) * rows;
    if (places < 2 || places > maxArrayPlaces)
        return false;
    if ((columns >= 2 && dx <= minArrayStep) || (rows >= 2 && dy <= minArrayStep))
        return false;

    m_history.SaveUndoState();
    m_design.GetComponents().SetReferenceIncrement(CNumberText::ParseInt(incrementText));
    // The selection walks the grid row by row and leaves a copy at every place but the first,
    // where the items it came from stay.
    CopySelectedInPlace();
    const int32_t rowBack = SaturateToInt(-int64_t(columns) * dx);
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            if (r == 0 && c == 0)
                continue;
            MoveSelectedItems(dx, 0);
            CopySelectedInPlace();
        }
        MoveSelectedItems(rowBack, dy);
    }
    // The last selection has walked past the grid.
    DeleteSelectedItems();
    m_design.GetComponents().SetReferenceIncrement(0);
    return true;
}

// ---- Pens ---------------------------------------------------------------------------------------

void CWevraDoc::SelectPen(int32_t index)
{
    const bool dragging = m_edit.action == CEditState::actionDragging;
    if (IsCopperLayer(GetWorkLayer())) {
        const CNet& board = *m_design.GetNets().GetNet(0);
        if (index < 1 || index >= board.GetPenCount())
            return;
        CNet& net = *m_design.GetNets().GetCurrentNet();
        const int32_t pen = net.AddPen(board.GetPenWidth(index));
        if (pen < 1)
            return;
        net.SetCurrentPen(pen);
        if (dragging && IsTrackTool(m_edit.mode))
            net.SetRunPen(pen);
    } else {
        if (index < 1 || index >= m_design.GetLines().GetPenCount())
            return;
        m_design.GetLines().SetCurrentPen(index);
        if (dragging && IsLineTool(m_edit.mode))
            m_design.GetLines().SetCurrentPolylinePen(index);
    }
    FillPenCombo();
    SetModified();
}

// ---- Printing -----------------------------------------------------------------------------------

bool CWevraDoc::PrintJobPage(CDeviceContext& dc, int32_t record, int32_t pixelsPerInch)
{
    return PrintJobPage(dc, m_design.GetOutputJobs().GetCurrent(), record, pixelsPerInch);
}

bool CWevraDoc::PrintJobPage(CDeviceContext& dc, int32_t jobIndex, int32_t record,
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
    SelectAll(false);
    m_settings.offset =
        CPoint(TruncToInt(job->GetOffsetX() / jobScale), TruncToInt(job->GetOffsetY() / jobScale));
    m_settings.scale = scale;
    m_painting.CreatePens(item->IsColor() ? CPaintState::penKindPrintColor
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
    m_painting.CreatePens(CPaintState::penKindScreen, savedScale);
    m_design.GetEditableShapeCache().SetScale(savedScale);
    return true;
}

void CWevraDoc::PrintLayers(CDeviceContext& dc, const COutputRec& record, const CRect& clip)
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
                component.DrawHoles(dc, *this, record.GetHolePercent(),
                                    record.GetHoleMinDiameter());
            else
                component.DrawPads(dc, *this, layer, false);
        }
        dc.SelectBrush(previousBrush);
        dc.SelectPen(previousPen);
    }
}

bool CWevraDoc::PrintOutputJob(const std::string& pdfPath)
{
    CJobPrintout printout(*this, pdfPath);
    return CPrintCommands::Print(printout, false);
}
