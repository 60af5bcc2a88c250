#include "model/CLineTool.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "framework/Numeric.h"
#include "framework/VirtualKeys.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CLengthText.h"
#include "model/CToolDocument.h"
#include "model/LayerMaps.h"
#include "model/ToolKeys.h"
#include "model/ToolMenus.h"
#include "resources/CommandIds.h"

namespace {

constexpr uint32_t enterKey = '\r';
constexpr int32_t degreesPerTurn = 360;

int32_t Difference(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) - b);
}

// The angular step of an ellipse in whole degrees: about 45000 / the longer half-axis, made a
// divisor of the full turn so that the last step closes the ring exactly.
int32_t EllipseStep(int32_t a, int32_t b)
{
    const int32_t first = std::clamp(45000 / std::max(a, b), 1, 90);
    int32_t step = first;
    while (degreesPerTurn % step != 0)
        ++step;
    return std::clamp(step, 2, 90);
}

} // namespace

CLineTool::CLineTool(CDrawRecArray& lines) : m_lines(lines) {}

bool CLineTool::IsLineMode(uint32_t mode)
{
    switch (mode) {
    case ID_LINES_ADD:
    case ID_LINES_EDIT:
    case ID_LINES_COPY_LINES:
    case ID_LINES_DELETE_LINES:
    case ID_LINES_DELETE_SEGMENTS:
    case ID_LINES_CHANGE_LINE_WIDTH:
    case ID_LINES_ADD_CIRCLES:
    case ID_LINES_ADD_ELLIPSES:
    case ID_LINES_ADD_RECTANGLES:
        return true;
    default:
        return false;
    }
}

bool CLineTool::IsAction(const CToolDocument& document, uint32_t action) const
{
    return document.GetAction() == action;
}

bool CLineTool::IsFigureMode(uint32_t mode) const
{
    return mode == ID_LINES_ADD_CIRCLES || mode == ID_LINES_ADD_ELLIPSES ||
           mode == ID_LINES_ADD_RECTANGLES;
}

// ---- Figures ------------------------------------------------------------------------------------

bool CLineTool::AddRectangle(const CRect& box, int32_t layer)
{
    const int32_t pen = m_lines.GetCurrentPen();
    if (pen < 1 || layer < 0 || layer > CDrawRecArray::maxLayer)
        return false;
    const int32_t first = m_lines.GetCount();
    m_lines.AddVertex(box.left, box.top, layer, 0, 0);
    m_lines.AddVertex(box.right, box.top, layer, pen, 0);
    m_lines.AddVertex(box.right, box.bottom, layer, pen, 0);
    m_lines.AddVertex(box.left, box.bottom, layer, pen, 0);
    m_lines.AddVertex(box.left, box.top, layer, pen, 0);
    for (int32_t i = first; i < m_lines.GetCount(); ++i)
        m_lines.SetSelected(i, true);
    m_lines.SetCurrentVertex(m_lines.GetCount() - 1);
    return true;
}

bool CLineTool::AddEllipse(const CRect& box, int32_t layer)
{
    const int32_t pen = m_lines.GetCurrentPen();
    const int32_t a = SaturateToInt((int64_t(box.right) - box.left) / 2);
    const int32_t b = SaturateToInt((int64_t(box.bottom) - box.top) / 2);
    if (a < minHalfAxis || b < minHalfAxis || pen < 1 || layer < 0 ||
        layer > CDrawRecArray::maxLayer)
        return false;
    const int32_t step = EllipseStep(a, b);
    const double cx = double(box.left) + a;
    const double cy = double(box.top) + b;
    const int32_t first = m_lines.GetCount();
    m_lines.AddVertex(SaturateToInt(int64_t(box.left) + a),
                      SaturateToInt(int64_t(box.top) + 2 * int64_t(b)), layer, 0, 0);
    for (int32_t t = 0; t <= degreesPerTurn; t += step) {
        const double radians = t * std::numbers::pi / 180.0;
        m_lines.AddVertex(RoundToInt(cx + a * std::sin(radians)),
                          RoundToInt(cy + b * std::cos(radians)), layer, pen, 0);
    }
    for (int32_t i = first; i < m_lines.GetCount(); ++i)
        m_lines.SetSelected(i, true);
    m_lines.SetCurrentVertex(m_lines.GetCount() - 1);
    return true;
}

bool CLineTool::AddFigure(uint32_t mode, const CRect& box, int32_t layer)
{
    return mode == ID_LINES_ADD_RECTANGLES ? AddRectangle(box, layer) : AddEllipse(box, layer);
}

void CLineTool::AddFigureBySize(CToolDocument& document)
{
    const int32_t unit = document.GetUnit();
    std::string width = CLengthText::FormatLength(unit, 0);
    std::string height = width;
    const int32_t result = CDialogService::Get().InputSizes(width, height);
    if (result == CDialogService::resultWindow) {
        document.SetAction(CToolDocument::actionBandOpen);
        document.StartRubberBand();
        return;
    }
    if (result != CDialogService::resultOk)
        return;
    const CPoint at = document.GetCursor();
    const CRect box(at.x, at.y,
                    SaturateToInt(int64_t(at.x) + CLengthText::ParseLength(unit, width)),
                    SaturateToInt(int64_t(at.y) + CLengthText::ParseLength(unit, height)));
    document.SaveUndoState();
    if (AddFigure(document.GetMode(), box, document.GetWorkLayer()))
        document.SetModified();
    m_lines.SelectAll(false);
    document.RedrawBoardViews();
}

void CLineTool::CloseFigureBand(CToolDocument& document)
{
    const CRect box = document.TakeRubberBand();
    document.SaveUndoState();
    if (!AddFigure(document.GetMode(), box, document.GetWorkLayer())) {
        document.SetAction(CToolDocument::actionWaiting);
        document.RedrawBoardViews();
        return;
    }
    document.SetModified();
    // The figure follows the mouse until the next click.
    document.SetAction(CToolDocument::actionDragging);
    m_dragPrevious = document.GetCursor();
    document.RedrawBoardViews();
}

// ---- Draw and Edit ------------------------------------------------------------------------------

void CLineTool::StartDraw(CToolDocument& document)
{
    const CPoint at = document.GetCursor();
    // The action first: its snapshot request is answered before the polyline appears.
    document.SetAction(CToolDocument::actionDragging);
    document.SaveUndoState();
    m_lines.SelectAll(false);
    if (!m_lines.AddSegment(at.x, at.y, at.x, at.y, document.GetWorkLayer(),
                            m_lines.GetCurrentPen(), 0)) {
        document.SetAction(CToolDocument::actionWaiting);
        return;
    }
    m_lines.SetSelected(m_lines.GetCount() - 2, true);
    m_lines.SetSelected(m_lines.GetCount() - 1, true);
    document.SetModified();
    document.RedrawBoardViews();
}

void CLineTool::StartEdit(CToolDocument& document)
{
    CPoint point = document.GetCursor();
    const uint32_t mask = LayerBit(document.GetWorkLayer());
    // The hit may split a segment: the snapshot must hold the list as it was before.
    CDrawRecArray trial(m_lines);
    if (trial.HitTest(point, CDrawRecArray::hitSelect, mask) < 0)
        return;
    document.SetAction(CToolDocument::actionDragging);
    document.SaveUndoState();
    point = document.GetCursor();
    const int32_t hit = m_lines.HitTest(point, CDrawRecArray::hitSelect, mask);
    m_lines.SetCurrentVertex(hit);
    document.SetCursor(point);
    document.SetAnchor(point);
    document.PutMouseOnCursor();
    document.RedrawBoardViews();
}

void CLineTool::EndEdit(CToolDocument& document)
{
    m_lines.SelectAll(false);
    if (m_lines.GetCount() > 0)
        m_lines.MergeCollinear(m_lines.GetCurrentVertex());
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
}

void CLineTool::Extend(CToolDocument& document)
{
    m_lines.SelectAll(false);
    const int32_t c = m_lines.GetCurrentVertex();
    if (!m_lines.IsValidIndex(c)) {
        EndEdit(document);
        return;
    }
    const CPoint at = m_lines.GetPoint(c);
    const int32_t layer = m_lines.GetLayer(c);
    if (m_lines.GetPen(c) > 0) {
        // A zero-length segment finishes the polyline instead of staying in it.
        if (c > 0 && m_lines.GetPoint(c - 1) == at) {
            EndEdit(document);
            return;
        }
        m_lines.InsertVertex(c + 1, at.x, at.y, layer, m_lines.GetPen(c), 0);
        m_lines.SetCurrentVertex(c + 1);
    } else {
        if (!m_lines.IsValidIndex(c + 1) || m_lines.GetPoint(c + 1) == at) {
            EndEdit(document);
            return;
        }
        // The polyline grows at its start: the old move-to draws, a new one goes before it.
        m_lines.SetPen(c, m_lines.GetPen(c + 1));
        m_lines.InsertVertex(c, at.x, at.y, layer, 0, 0);
        m_lines.SetCurrentVertex(c);
    }
    m_lines.SetSelected(m_lines.GetCurrentVertex(), true);
    document.SetModified();
    document.RedrawBoardViews();
}

void CLineTool::MoveCurrentToCursor(CToolDocument& document)
{
    const int32_t c = m_lines.GetCurrentVertex();
    if (!m_lines.IsValidIndex(c))
        return;
    document.PushUndoForSelection();
    const CPoint cursor = document.GetCursor();
    m_lines.SetPoint(c, cursor.x, cursor.y);
    const int32_t merged = m_lines.MergeCurrentVertex();
    if (merged < 0) {
        m_lines.SelectAll(false);
        document.SetAction(CToolDocument::actionWaiting);
    } else if (merged > 0) {
        m_lines.SetSelected(m_lines.GetCurrentVertex(), true);
    }
    document.SetModified();
    document.RedrawBoardViews();
}

void CLineTool::FollowCursor(CToolDocument& document)
{
    // The snapshot taken before the copy or figure was made covers its moves.
    const CPoint cursor = document.GetCursor();
    m_lines.OffsetSelected(Difference(cursor.x, m_dragPrevious.x),
                           Difference(cursor.y, m_dragPrevious.y));
    m_dragPrevious = cursor;
    document.SetAnchor(cursor);
    document.RedrawBoardViews();
}

// ---- Copy, delete and pens ----------------------------------------------------------------------

void CLineTool::CopyLines(CToolDocument& document)
{
    if (IsAction(document, CToolDocument::actionDragging)) {
        // The moved copy stays; a copy of it follows the mouse instead.
        document.SaveUndoState();
        m_lines.DuplicateSelected();
        document.RedrawBoardViews();
        return;
    }
    const int32_t hit = m_lines.HitSegmentNearestEnd(document.GetCursor(), document.GetWorkLayer());
    if (hit < 0)
        return;
    document.SetAction(CToolDocument::actionDragging);
    document.SaveUndoState();
    m_lines.SelectAll(false);
    m_lines.SetCurrentVertex(hit);
    m_lines.SelectCurrentPolyline(true);
    m_lines.DuplicateSelected();
    m_dragPrevious = document.GetCursor();
    document.SetModified();
    document.RedrawBoardViews();
}

void CLineTool::DeleteLines(CToolDocument& document)
{
    const int32_t hit = m_lines.HitSegmentNearestEnd(document.GetCursor(), document.GetWorkLayer());
    if (hit < 0)
        return;
    m_lines.SelectAll(false);
    m_lines.SetCurrentVertex(hit);
    m_lines.SelectCurrentPolyline(true);
    document.SaveUndoState();
    m_lines.DeleteSelected();
    document.SetModified();
    document.RedrawBoardViews();
}

void CLineTool::DeleteSegment(CToolDocument& document)
{
    const int32_t hit = m_lines.HitSegment(document.GetCursor(), document.GetWorkLayer());
    if (hit < 0)
        return;
    document.SaveUndoState();
    m_lines.DeleteSegment(hit);
    document.SetModified();
    document.RedrawBoardViews();
}

void CLineTool::ChangeLineWidth(CToolDocument& document)
{
    CPoint point = document.GetCursor();
    const uint32_t mask = LayerBit(document.GetWorkLayer());
    // The hit may split a segment: the snapshot is taken before the list is touched.
    CDrawRecArray trial(m_lines);
    const int32_t tried = trial.HitTest(point, 0, mask);
    if (tried < 0)
        return;
    const int32_t pen = m_lines.GetCurrentPen();
    const bool splits = trial.GetCount() != m_lines.GetCount();
    if (trial.GetPen(tried) == pen && !splits)
        return;
    document.SaveUndoState();
    point = document.GetCursor();
    const int32_t hit = m_lines.HitTest(point, 0, mask);
    m_lines.SetCurrentVertex(hit);
    if (m_lines.GetPen(hit) != pen)
        m_lines.SetCurrentPolylinePen(pen);
    document.SetModified();
    document.RedrawBoardViews();
}

void CLineTool::DeleteCurrentVertex(CToolDocument& document)
{
    const int32_t c = m_lines.GetCurrentVertex();
    if (!m_lines.IsValidIndex(c))
        return;
    document.PushUndoForSelection();
    m_lines.SelectAll(false);
    // A deleted move-to hands its role to the next vertex of its polyline, which would
    // otherwise draw on from the end of the polyline before.
    const bool startsPolyline = m_lines.GetPen(c) == 0;
    const bool hasNext = m_lines.IsValidIndex(c + 1) && m_lines.GetPen(c + 1) > 0;
    m_lines.DeleteVertex(c);
    if (startsPolyline && hasNext)
        m_lines.SetPen(c, 0);
    // A polyline left with one vertex is no line at all.
    const int32_t at = std::min(c, m_lines.GetCount() - 1);
    if (at >= 0 && m_lines.PolylineLength(at) < 2)
        m_lines.DeleteVertex(m_lines.PolylineStart(at));
    document.SetModified();
    if (m_lines.GetCount() == 0) {
        document.SetAction(CToolDocument::actionWaiting);
        document.RedrawBoardViews();
        return;
    }
    m_lines.SetCurrentVertex(std::min(c, m_lines.GetCount() - 1));
    const int32_t current = m_lines.GetCurrentVertex();
    m_lines.SetSelected(current, true);
    if (current > 0 && m_lines.GetPen(current) > 0)
        m_lines.SetSelected(current - 1, true);
    document.RedrawBoardViews();
}

void CLineTool::StepCurrentVertex(CToolDocument& document, bool forward, bool dragging)
{
    const int32_t before = m_lines.GetCurrentVertex();
    if (!m_lines.StepCurrentVertex(forward))
        return;
    const int32_t c = m_lines.GetCurrentVertex();
    if (m_lines.IsSelected(before) || dragging) {
        m_lines.SetSelected(before, false);
        m_lines.SetSelected(c, true);
    }
    if (dragging)
        document.SetWorkLayer(m_lines.GetLayer(c));
    document.SetStatusText(std::to_string(c) + " Layer:" + std::to_string(m_lines.GetLayer(c)) +
                           " Pen:" + std::to_string(m_lines.GetPen(c)));
    const CPoint at = m_lines.GetPoint(c);
    document.SetCursor(at);
    document.SetAnchor(at);
    document.PutMouseOnCursor();
    document.RedrawBoardViews();
}

// ---- Handlers -----------------------------------------------------------------------------------

void CLineTool::OnSpaceBarDown(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionBandOpen)) {
        if (IsFigureMode(mode))
            CloseFigureBand(document);
        return;
    }
    const bool waiting = IsAction(document, CToolDocument::actionWaiting);
    const bool dragging = IsAction(document, CToolDocument::actionDragging);
    switch (mode) {
    case ID_LINES_ADD:
        if (waiting)
            StartDraw(document);
        else if (dragging)
            Extend(document);
        break;
    case ID_LINES_EDIT:
        if (waiting) {
            StartEdit(document);
        } else if (dragging) {
            const int32_t c = m_lines.GetCurrentVertex();
            if (c == m_lines.PolylineStart(c) || c == m_lines.PolylineEnd(c))
                Extend(document);
            else
                EndEdit(document);
        }
        break;
    case ID_LINES_COPY_LINES:
        CopyLines(document);
        break;
    case ID_LINES_DELETE_LINES:
        if (waiting)
            DeleteLines(document);
        break;
    case ID_LINES_DELETE_SEGMENTS:
        if (waiting)
            DeleteSegment(document);
        break;
    case ID_LINES_CHANGE_LINE_WIDTH:
        if (waiting)
            ChangeLineWidth(document);
        break;
    case ID_LINES_ADD_CIRCLES:
    case ID_LINES_ADD_ELLIPSES:
    case ID_LINES_ADD_RECTANGLES:
        if (waiting) {
            AddFigureBySize(document);
        } else if (dragging) {
            // The figure stays where it was dragged.
            m_lines.SelectAll(false);
            document.SetAction(CToolDocument::actionWaiting);
            document.RedrawBoardViews();
        }
        break;
    default:
        break;
    }
}

void CLineTool::OnChar(CToolDocument& document, uint32_t character)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionDragging)) {
        if (character == ' ')
            OnSpaceBarDown(document);
        else if (character == enterKey)
            OnEscape(document);
        else if ((character == '+' || character == '-') && m_lines.GetCount() > 0)
            StepCurrentVertex(document, character == '+', true);
        return;
    }
    if (!IsAction(document, CToolDocument::actionWaiting))
        return;
    if (const uint32_t next = tool_keys::ModeOf(tool_keys::lineTool, character)) {
        document.SetMode(next);
        return;
    }
    switch (character) {
    case ' ':
    case enterKey:
        OnSpaceBarDown(document);
        break;
    case '+':
    case '-':
        if (mode == ID_LINES_CHANGE_LINE_WIDTH) {
            const int32_t pen = m_lines.GetCurrentPen() + (character == '+' ? 1 : -1);
            m_lines.SetCurrentPen(pen);
        } else if (m_lines.GetCount() > 0) {
            StepCurrentVertex(document, character == '+', false);
        }
        break;
    default:
        break;
    }
}

void CLineTool::OnKeyDown(CToolDocument& document, uint32_t key)
{
    if (IsFigureMode(document.GetMode())) {
        if (key == VK_ESCAPE)
            OnEscape(document);
        return;
    }
    if (IsAction(document, CToolDocument::actionWaiting)) {
        if (key == VK_ESCAPE)
            document.SetMode(ID_VIEW);
        return;
    }
    if (!IsAction(document, CToolDocument::actionDragging))
        return;
    switch (key) {
    case VK_INSERT:
        Extend(document);
        break;
    case VK_DELETE:
        DeleteCurrentVertex(document);
        break;
    case VK_ESCAPE:
        OnEscape(document);
        break;
    default:
        break;
    }
}

void CLineTool::OnMoveCursor(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionBandOpen)) {
        if (IsFigureMode(mode)) {
            document.UpdateRubberBand(mode == ID_LINES_ADD_CIRCLES);
            document.RedrawBoardViews();
        }
        return;
    }
    if (m_lines.GetCount() == 0 || !IsAction(document, CToolDocument::actionDragging))
        return;
    if (mode == ID_LINES_ADD || mode == ID_LINES_EDIT)
        MoveCurrentToCursor(document);
    else if (mode == ID_LINES_COPY_LINES || IsFigureMode(mode))
        FollowCursor(document);
}

std::vector<uint32_t> CLineTool::OnContextMenu(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (!IsAction(document, CToolDocument::actionWaiting)) {
        if (mode == ID_LINES_EDIT || mode == ID_LINES_COPY_LINES || mode == ID_LINES_ADD ||
            IsFigureMode(mode))
            return {ID_PLANES_END_EDIT, ID_SELECT_PEN};
        return {};
    }
    std::vector<uint32_t> items = {ID_SETTINGS_PEN_WIDTH, menuSeparator};
    tool_menus::Append(items, tool_menus::lineDrawing);
    items.insert(items.end(), {menuSeparator, ID_PADS_EDIT_COMPONENT_PADSTACKS, menuSeparator});
    tool_menus::Append(items, tool_menus::padCommands);
    return items;
}

void CLineTool::OnEscape(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionWaiting)) {
        document.SetMode(ID_VIEW);
        return;
    }
    if (IsAction(document, CToolDocument::actionBandOpen)) {
        document.TakeRubberBand();
        document.SetAction(CToolDocument::actionWaiting);
        document.RedrawBoardViews();
        return;
    }
    if (mode == ID_LINES_COPY_LINES || IsFigureMode(mode)) {
        // The copy or figure still following the mouse goes.
        m_lines.DeleteSelected();
        m_lines.SelectAll(false);
        document.SetAction(CToolDocument::actionWaiting);
        document.RedrawBoardViews();
        return;
    }
    if (m_lines.GetCount() > 0) {
        EndEdit(document);
        return;
    }
    document.SetAction(CToolDocument::actionWaiting);
}
