#include "model/CTrackTool.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "framework/VirtualKeys.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CCopperShape.h"
#include "model/CDialogService.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CNetArrayDocument.h"
#include "model/CNetErrorRec.h"
#include "model/CPad.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CToolDocument.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "model/ToolKeys.h"
#include "model/ToolMenus.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr int32_t lastSignalLayer = LAYER_INNER_12;
constexpr int32_t pickMode = CNet::hitSelect | CNet::hitMakeNetCurrent | CNet::hitMakeCurrent;
constexpr uint32_t enterKey = '\r';

int32_t Difference(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) - b);
}

const CPad* PadOnLayer(const CPadStackArray& stacks, int32_t stack, int32_t layer, bool mirrored)
{
    return stacks.GetPad(stack, mirrored ? OppositeLayer(layer) : layer);
}

// Whether the outline touches the padstack's pad on the layer, placed as an item of a net is.
bool OutlineTouchesPad(const CCopperShape& outline, const CPadStackArray& stacks, int32_t stack,
                       int32_t layer, CPoint at, int32_t angle, bool mirrored)
{
    const CPad* pad = PadOnLayer(stacks, stack, layer, mirrored);
    if (!pad)
        return false;
    // The pad turns with its item and by its own rotation, as it is drawn.
    const int32_t turn = int32_t((int64_t(angle) + pad->GetRotation()) % CTrackTool::fullTurn);
    return outline.TouchesPad(pad->GetShape(), pad->GetRect(), at.x, at.y, mirrored, turn, 0);
}

int32_t DrillRadius(const CPadStackArray& stacks, int32_t stack)
{
    const CPad* drill = stacks.GetPad(stack, LAYER_DRILL);
    return drill ? drill->GetWidth() / 2 : -1;
}

CRect SquareAround(CPoint at, int32_t reach)
{
    return CRect(Difference(at.x, reach), Difference(at.y, reach),
                 SaturateToInt(int64_t(at.x) + reach), SaturateToInt(int64_t(at.y) + reach));
}

} // namespace

CTrackTool::CTrackTool(CNetArray& nets) : m_nets(nets) {}

CTrackTool::~CTrackTool() = default;

bool CTrackTool::IsTrackMode(uint32_t mode)
{
    switch (mode) {
    case ID_TRACKS_ADD_OR_REMOVE_VIA:
    case ID_TRACKS_EDIT:
    case ID_TRACKS_CHANGE_TRACKS_WIDTH:
    case ID_TRACKS_COPY_TRACKS:
    case ID_TRACKS_DELETE_TRACKS:
    case ID_TRACKS_DELETE_SEGMENTS:
    case ID_TRACKS_ADD_CIRCLES:
    case ID_TRACKS_ADD_ELLIPSES:
    case ID_TRACKS_ADD_RECTANGLES:
    case ID_TRACKS_ADD:
        return true;
    default:
        return false;
    }
}

bool CTrackTool::IsPadMode(uint32_t mode)
{
    return (mode >= ID_PADS_COPY && mode <= ID_PADS_SET_PAD_ORDER) || mode == ID_PADS_ADD_MANUALLY;
}

int32_t CTrackTool::NextQuarterTurn(int32_t angle)
{
    const int32_t turned = (angle / quarterTurn + 1) * quarterTurn;
    return turned >= fullTurn ? turned - fullTurn : turned;
}

bool CTrackTool::IsAction(const CToolDocument& document, uint32_t action) const
{
    return document.GetAction() == action;
}

uint32_t CTrackTool::WorkMask(const CToolDocument& document) const
{
    return LayerBit(document.GetWorkLayer());
}

CNet& CTrackTool::CurrentNet()
{
    return *m_nets.GetCurrentNet();
}

int32_t CTrackTool::CurrentIndex()
{
    return m_nets.GetCurrentIndex();
}

void CTrackTool::RecomputeCurrent(CToolDocument& document)
{
    CNetArrayDocument* netDocument = m_nets.GetDocument();
    if (CurrentIndex() == 0 || !netDocument)
        return;
    CNet& net = CurrentNet();
    net.CalcClusters(*netDocument);
    if (document.IsAutoRatsnest())
        net.CalcRatsnest(*netDocument);
}

// ---- Track drawing and editing ------------------------------------------------------------------

void CTrackTool::KeepBackup()
{
    m_backupIndex = CurrentIndex();
    m_backup = std::make_unique<CNet>(CurrentNet());
    m_toDoAtStart = m_backup->GetToDo();
}

void CTrackTool::StartRun(CToolDocument& document, CPoint point)
{
    // The snapshot goes after the action, which would otherwise ask for a second one at the
    // first move, and before the run, so that one Undo takes the whole track away; a run
    // abandoned leaves none.
    KeepBackup();
    document.SetAction(CToolDocument::actionDragging);
    document.SaveUndoStateUnlessAbandoned();
    document.SetCursor(point);
    document.SetAnchor(point);
    if (!CurrentNet().StartTrack(point.x, point.y, document.GetWorkLayer(), document.IsMode45())) {
        // A pen that cannot draw (a damaged design's): there is nothing to edit, and the click
        // would seem to have been lost.
        m_backup.reset();
        document.AbandonRun();
        document.SetAction(CToolDocument::actionWaiting);
        if (CNetArrayDocument* netDocument = m_nets.GetDocument())
            netDocument->SetStatusText(
                CResString::LoadWith(IDS_TRACK_NOT_STARTED, CurrentNet().GetName()));
        return;
    }
    m_dragPrevious = point;
    m_nets.RecountSelected();
    document.RedrawBoardViews();
    if (CNetArrayDocument* netDocument = m_nets.GetDocument())
        netDocument->SetStatusText(m_nets.GetStatusText());
}

void CTrackTool::StartTrackAdd(CToolDocument& document)
{
    const uint32_t mask = WorkMask(document);
    const CPoint raw = document.GetRawCursor();
    CPoint point = raw;
    bool hit = m_nets.FindSegmentAt(point, CNet::hitMakeNetCurrent, mask) >= 0;
    if (!hit)
        hit = m_nets.FindPinAt(point = raw, CNet::hitMakeNetCurrent, mask) >= 0;
    if (!hit)
        hit = m_nets.FindViaAt(point = raw, CNet::hitMakeNetCurrent, mask) >= 0;
    if (!hit)
        hit = m_nets.FindPadAt(point = raw, CNet::hitMakeNetCurrent, mask) >= 0;
    if (!hit)
        m_nets.SetCurrentNet(0);
    StartRun(document, hit ? raw : document.GetCursor());
}

void CTrackTool::StartTrackEdit(CToolDocument& document)
{
    const uint32_t mask = WorkMask(document);
    const CPoint raw = document.GetRawCursor();
    CPoint point = raw;
    // Found first without changing anything, so that the backup holds the net as it was.
    if (m_nets.FindVertexAt(point, CNet::hitReport | CNet::hitMakeNetCurrent, mask) >= 0) {
        KeepBackup();
        document.SetAction(CToolDocument::actionDragging);
        document.SaveUndoStateUnlessAbandoned();
        CNet& net = CurrentNet();
        point = raw;
        if (CNetArrayDocument* netDocument = m_nets.GetDocument())
            net.HitTestVertex(*netDocument, point, CNet::hitSelect | CNet::hitMakeCurrent, mask);
        net.BeginRunEdit(document.IsMode45());
        m_nets.RecountSelected();
        const CPoint vertex = net.GetCurrentVertexPoint();
        document.SetCursor(vertex);
        document.SetAnchor(vertex);
        m_dragPrevious = vertex;
        document.PutMouseOnCursor();
        document.RedrawBoardViews();
        return;
    }
    bool hit = m_nets.FindPinAt(point = raw, CNet::hitMakeNetCurrent, mask) >= 0;
    if (!hit)
        hit = m_nets.FindViaAt(point = raw, CNet::hitMakeNetCurrent, mask) >= 0;
    if (!hit)
        hit = m_nets.FindPadAt(point = raw, CNet::hitMakeNetCurrent, mask) >= 0;
    if (!hit) {
        m_nets.RefreshLeftPane(-1);
        return;
    }
    StartRun(document, raw);
}

void CTrackTool::InsertTrackVertex(CToolDocument& document)
{
    CNetArrayDocument* netDocument = m_nets.GetDocument();
    CNet& net = CurrentNet();
    if (!netDocument || net.GetVertexCount() == 0) {
        EndTrackEdit(document);
        return;
    }
    const int32_t current = net.GetCurrentVertex();
    if (document.GetMode() == ID_TRACKS_EDIT && current != net.GetRunEnd(current)) {
        EndTrackEdit(document);
        return;
    }
    if (!net.EditTrackInsert(*netDocument)) {
        EndTrackEdit(document);
        return;
    }
    m_nets.RecountSelected();
    document.RedrawBoardViews();
}

void CTrackTool::HandleToDoChange(CToolDocument& document)
{
    if (CurrentNet().GetToDo() == m_toDoAtStart)
        return;
    m_nets.BuildToDoList();
    document.UpdateAllViews();
}

bool CTrackTool::RunChangedNothing()
{
    if (!m_backup || m_backupIndex != CurrentIndex())
        return false;
    const CNet& net = CurrentNet();
    if (net.GetVertexCount() != m_backup->GetVertexCount())
        return false;
    for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
        const TrackRec& now = net.GetVertex(v);
        const TrackRec& before = m_backup->GetVertex(v);
        if (now.x != before.x || now.y != before.y || now.penLayer != before.penLayer ||
            (now.flags & TrackRec::rotationMask) != (before.flags & TrackRec::rotationMask))
            return false;
    }
    return true;
}

void CTrackTool::EndTrackEdit(CToolDocument& document)
{
    CNet& net = CurrentNet();
    // Ended with Enter before the mouse moved, or a vertex put back where it was: the run is
    // abandoned, so that it leaves no undo step and the modified mark as it was. Checked before
    // simplifying, which would take away a corner the run had before the edit (where another
    // run meets it in line), and after it, which takes away a run that never left its first
    // point.
    bool unchanged = RunChangedNothing();
    if (!unchanged && net.GetVertexCount() > 0) {
        net.SimplifyRun(net.GetCurrentVertex());
        unchanged = RunChangedNothing();
    }
    if (unchanged) {
        CancelTrackEdit(document);
        return;
    }
    m_backup.reset();
    if (net.GetVertexCount() > 0) {
        if (document.IsDrcActive())
            CheckNetClearance(document, CurrentIndex());
        if (net.IsInverted())
            net.InvertRunDirection();
    }
    if (m_nets.GetCount() > 1 && CurrentIndex() != 0)
        RecomputeCurrent(document);
    document.SetModified();
    if (CNetArrayDocument* netDocument = m_nets.GetDocument())
        net.CalcBoundingBox(*netDocument);
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
    document.PutMouseOnCursor();
    HandleToDoChange(document);
    m_nets.SelectAll(false);
}

void CTrackTool::CancelTrackEdit(CToolDocument& document)
{
    if (!m_backup)
        return;
    // The backup goes back where it came from: the current net may have changed since.
    if (m_backupIndex >= 0 && m_backupIndex < m_nets.GetCount()) {
        m_nets.m_nets[size_t(m_backupIndex)] = std::move(m_backup);
        document.AbandonRun();
    }
    m_backup.reset();
    m_nets.RecountSelected();
    m_nets.SelectAll(false);
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
}

void CTrackTool::TrimWhileDrawing(CToolDocument& document)
{
    CNet& net = CurrentNet();
    if (net.TrimRunEnd() < 0) {
        m_backup.reset();
        m_nets.RecountSelected();
        RecomputeCurrent(document);
        if (CNetArrayDocument* netDocument = m_nets.GetDocument())
            net.CalcBoundingBox(*netDocument);
        document.SetAction(CToolDocument::actionWaiting);
        document.RedrawBoardViews();
        HandleToDoChange(document);
        return;
    }
    net.SetEditAnchors();
    m_nets.RecountSelected();
    const CPoint vertex = net.GetCurrentVertexPoint();
    document.SetCursor(vertex);
    document.SetAnchor(vertex);
    document.PutMouseOnCursor();
    document.RedrawBoardViews();
}

void CTrackTool::DeleteRunWhileDrawing(CToolDocument& document)
{
    document.PushUndoForSelection();
    CurrentNet().DeleteCurrentRun();
    m_backup.reset();
    m_nets.RecountSelected();
    RecomputeCurrent(document);
    document.SetModified();
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
}

void CTrackTool::StepCurrentVertex(CToolDocument& document, bool forward)
{
    CNet& net = CurrentNet();
    if (net.GetVertexCount() == 0)
        return;
    const int32_t before = net.GetCurrentVertex();
    const bool selected = net.IsVertexSelected(before);
    if (!net.StepCurrentVertex(forward))
        return;
    // The selection mark travels with the current vertex.
    if (selected) {
        net.SelectVertex(before, false);
        net.SelectVertex(net.GetCurrentVertex(), true);
    }
    const CPoint vertex = net.GetCurrentVertexPoint();
    document.SetCursor(vertex);
    document.SetAnchor(vertex);
    if (CNetArrayDocument* netDocument = m_nets.GetDocument())
        netDocument->SetStatusText(net.GetStatusText(document.GetUnit()));
    document.PutMouseOnCursor();
    document.RedrawBoardViews();
}

// ---- Track handlers -----------------------------------------------------------------------------

void CTrackTool::OnTrackToolClick(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionBandOpen)) {
        CloseFigureBand(document);
        return;
    }
    const bool waiting = IsAction(document, CToolDocument::actionWaiting);
    const bool dragging = IsAction(document, CToolDocument::actionDragging);
    switch (mode) {
    case ID_TRACKS_ADD:
        if (waiting)
            StartTrackAdd(document);
        else if (dragging)
            InsertTrackVertex(document);
        break;
    case ID_TRACKS_EDIT:
        if (waiting)
            StartTrackEdit(document);
        else if (dragging)
            InsertTrackVertex(document);
        break;
    case ID_TRACKS_ADD_OR_REMOVE_VIA:
        if (ToggleViaAtCursor(document))
            document.SetModified();
        break;
    case ID_TRACKS_CHANGE_TRACKS_WIDTH:
        if (waiting)
            ChangeTracksWidth(document);
        break;
    case ID_TRACKS_COPY_TRACKS:
        CopyTracks(document);
        break;
    case ID_TRACKS_DELETE_TRACKS:
        if (waiting)
            DeleteTracks(document);
        break;
    case ID_TRACKS_DELETE_SEGMENTS:
        if (waiting)
            DeleteSegment(document);
        break;
    case ID_TRACKS_ADD_CIRCLES:
    case ID_TRACKS_ADD_ELLIPSES:
    case ID_TRACKS_ADD_RECTANGLES:
        if (waiting) {
            AddFigure(document);
        } else if (dragging) {
            // The dragged figure stays; a copy of it floats on.
            m_nets.SetCurrentNet(0);
            document.SaveUndoState();
            m_nets.DuplicateSelected();
            document.RedrawBoardViews();
        }
        break;
    default:
        break;
    }
}

void CTrackTool::OnTrackChar(CToolDocument& document, uint32_t character)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionDragging)) {
        const bool drawing = mode == ID_TRACKS_ADD || mode == ID_TRACKS_EDIT;
        if (character == ' ') {
            OnTrackToolClick(document);
        } else if (drawing && (character == 'v' || character == 'V')) {
            // The track ends in a via when one fits at its end.
            if (!PlacePadStack(document, -1, 0, false))
                return;
            EndTrackEdit(document);
            AddViaAtCursor(document);
            document.SetModified();
            document.RedrawBoardViews();
        }
        return;
    }
    if (!IsAction(document, CToolDocument::actionWaiting))
        return;
    if (const uint32_t next = tool_keys::ModeOf(tool_keys::trackTool, character)) {
        document.SetMode(next);
        return;
    }
    switch (character) {
    case ' ':
    case enterKey:
        OnTrackToolClick(document);
        break;
    case 'v':
    case 'V':
        if (ToggleViaAtCursor(document))
            document.SetModified();
        break;
    case '+':
    case '-':
        // Change Tracks Width steps through the pens it gives; the others step the vertex.
        if (mode == ID_TRACKS_CHANGE_TRACKS_WIDTH)
            document.SendViewCommand(character == '+' ? ID_DRAW_NEXT_PEN : ID_DRAW_PREVIOUS_PEN);
        else
            StepCurrentVertex(document, character == '+');
        break;
    default:
        break;
    }
}

void CTrackTool::OnTrackKeyDown(CToolDocument& document, uint32_t key)
{
    const uint32_t mode = document.GetMode();
    const bool drawing = (mode == ID_TRACKS_ADD || mode == ID_TRACKS_EDIT) &&
                         IsAction(document, CToolDocument::actionDragging);
    if (drawing) {
        switch (key) {
        case VK_RETURN:
            EndTrackEdit(document);
            break;
        case VK_ESCAPE:
            CancelTrackEdit(document);
            break;
        case VK_DELETE:
            DeleteRunWhileDrawing(document);
            break;
        case VK_BACK:
            TrimWhileDrawing(document);
            break;
        default:
            break;
        }
        return;
    }
    if (IsAction(document, CToolDocument::actionWaiting)) {
        if (key == VK_ESCAPE) {
            document.DeselectAll();
            document.SetMode(ID_VIEW);
        } else if (key == VK_DELETE) {
            document.SetMode(ID_TRACKS_DELETE_SEGMENTS);
        }
        return;
    }
    if (key == VK_ESCAPE || key == VK_RETURN)
        EndTrackTool(document);
}

void CTrackTool::OnTrackToolMouseMove(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionBandOpen)) {
        document.UpdateRubberBand(mode == ID_TRACKS_ADD_CIRCLES);
        document.RedrawBoardViews();
        return;
    }
    if (!IsAction(document, CToolDocument::actionDragging))
        return;
    const CPoint cursor = document.GetCursor();
    if (mode == ID_TRACKS_ADD || mode == ID_TRACKS_EDIT) {
        document.PushUndoForSelection();
        CNetArrayDocument* netDocument = m_nets.GetDocument();
        if (!netDocument)
            return;
        m_nets.AccumulateRepaintRect();
        CNet& net = CurrentNet();
        const CPoint before = net.GetCurrentVertexPoint();
        net.MoveCurrentVertex(*netDocument);
        if (net.GetCurrentVertexPoint() != before) {
            document.RedrawBoardViews();
            netDocument->SetStatusText(m_nets.GetStatusText());
        }
        return;
    }
    // Copies and figures float with the cursor; the snapshot before they were made covers
    // their moves.
    m_nets.MoveSelected(Difference(cursor.x, m_dragPrevious.x),
                        Difference(cursor.y, m_dragPrevious.y));
    m_dragPrevious = cursor;
    document.SetAnchor(cursor);
    document.RedrawBoardViews();
}

void CTrackTool::EndTrackTool(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (mode == ID_TRACKS_ADD || mode == ID_TRACKS_EDIT) {
        if (IsAction(document, CToolDocument::actionDragging))
            EndTrackEdit(document);
        return;
    }
    if (IsAction(document, CToolDocument::actionBandOpen)) {
        document.SetAction(CToolDocument::actionWaiting);
        document.RedrawBoardViews();
        return;
    }
    if (IsAction(document, CToolDocument::actionDragging))
        DeleteFloating(document);
}

std::vector<uint32_t> CTrackTool::OnTrackToolContextMenu(CToolDocument& document,
                                                         bool& replacesFirst)
{
    const uint32_t mode = document.GetMode();
    replacesFirst = false;
    if (mode == ID_TRACKS_CHANGE_TRACKS_WIDTH) {
        replacesFirst = true;
        return {ID_SETTINGS_PEN_WIDTH, ID_DRAW_NEXT_PEN, ID_DRAW_PREVIOUS_PEN};
    }
    if (!IsAction(document, CToolDocument::actionWaiting)) {
        const bool drawingMode = mode == ID_TRACKS_EDIT || mode == ID_TRACKS_ADD ||
                                 mode == ID_TRACKS_ADD_CIRCLES || mode == ID_TRACKS_ADD_ELLIPSES ||
                                 mode == ID_TRACKS_ADD_RECTANGLES;
        if (!drawingMode)
            return {};
        replacesFirst = true;
        return {ID_END_MODE, ID_SELECT_PEN};
    }
    std::vector<uint32_t> items = {ID_SETTINGS_PEN_WIDTH,
                                   menuSeparator,
                                   ID_TRACKS_ADD,
                                   ID_TRACKS_EDIT,
                                   ID_TRACKS_CHANGE_TRACKS_WIDTH,
                                   menuSeparator,
                                   ID_TRACKS_ADD_CIRCLES,
                                   ID_TRACKS_ADD_ELLIPSES,
                                   ID_TRACKS_ADD_RECTANGLES,
                                   menuSeparator,
                                   ID_TRACKS_COPY_TRACKS,
                                   menuSeparator,
                                   ID_TRACKS_DELETE_SEGMENTS,
                                   ID_TRACKS_DELETE_TRACKS,
                                   menuSeparator,
                                   ID_SETTINGS_VIA,
                                   ID_SETTINGS_PENSTYLE_45_DEGREES,
                                   menuSeparator,
                                   ID_PADS_EDIT_COMPONENT_PADSTACKS,
                                   menuSeparator};
    tool_menus::Append(items, tool_menus::padCommands);
    return items;
}

// ---- Track commands that pick a run -------------------------------------------------------------

void CTrackTool::ChangeTracksWidth(CToolDocument& document)
{
    CPoint point = document.GetRawCursor();
    if (m_nets.FindRunAt(point, pickMode, WorkMask(document)) < 0)
        return;
    // A run that has the width already leaves no undo step.
    document.SaveUndoStateUnlessAbandoned();
    const int32_t width = m_nets.GetNet(0)->GetCurrentPenWidth();
    const bool changed = CurrentNet().ChangeRunWidth(width);
    m_nets.SelectNet(CurrentIndex(), false);
    m_nets.SetCurrentNet(0);
    document.KeepRun();
    if (changed)
        document.RedrawBoardViews();
}

void CTrackTool::CopyTracks(CToolDocument& document)
{
    // Each copy is a drag of its own, begun before the copy is made: a copy dropped is one undo
    // step, and the one still floating when the tool ends is none.
    if (IsAction(document, CToolDocument::actionDragging)) {
        // The dragged copy stays; a new one floats on.
        document.SetAction(CToolDocument::actionWaiting);
        document.SetAction(CToolDocument::actionDragging);
        document.SaveUndoState();
        m_nets.DuplicateSelected();
        document.RedrawBoardViews();
        return;
    }
    if (!IsAction(document, CToolDocument::actionWaiting))
        return;
    CPoint point = document.GetRawCursor();
    if (m_nets.FindRunAt(point, pickMode, WorkMask(document)) < 0)
        return;
    document.SetAction(CToolDocument::actionDragging);
    document.SaveUndoState();
    m_nets.DuplicateSelected();
    m_dragPrevious = document.GetCursor();
    document.SetAnchor(m_dragPrevious);
    document.RedrawBoardViews();
}

void CTrackTool::DeleteTracks(CToolDocument& document)
{
    CPoint point = document.GetRawCursor();
    if (m_nets.FindRunAt(point, pickMode, WorkMask(document)) < 0)
        return;
    document.SaveUndoState();
    m_nets.DeleteSelected();
    RecomputeCurrent(document);
    document.SetModified();
    document.RedrawBoardViews();
}

void CTrackTool::DeleteSegment(CToolDocument& document)
{
    CPoint point = document.GetRawCursor();
    const uint32_t mask = WorkMask(document);
    // The vertex that ends the segment hit, whichever end is nearer the cursor.
    if (m_nets.FindVertexAt(point, CNet::hitReport | CNet::hitMakeNetCurrent, mask) < 0)
        return;
    const CNet& net = *std::as_const(m_nets).GetNet(CurrentIndex());
    int32_t end = -1;
    for (int32_t i = 1; i < net.GetVertexCount(); ++i) {
        if (net.GetVertexPen(i) >= 1 && net.GetVertexPoint(i) == point) {
            end = i;
            break;
        }
    }
    if (end < 0)
        return;
    document.SaveUndoState();
    CurrentNet().DeleteSegment(end);
    m_nets.SelectNet(CurrentIndex(), false);
    RecomputeCurrent(document);
    document.SetModified();
    document.RedrawBoardViews();
}

void CTrackTool::AddFigure(CToolDocument& document)
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
    const int64_t right = int64_t(at.x) + CLengthText::ParseLength(unit, width);
    const int64_t bottom = int64_t(at.y) + CLengthText::ParseLength(unit, height);
    document.SaveUndoState();
    const bool added =
        document.GetMode() == ID_TRACKS_ADD_RECTANGLES
            ? m_nets.AddRectangleTrack(at.x, at.y, SaturateToInt(right), SaturateToInt(bottom))
            : m_nets.AddEllipseTrack(at.x, at.y, SaturateToInt(right), SaturateToInt(bottom));
    m_nets.SelectAll(false);
    if (added)
        document.SetModified();
    document.RedrawBoardViews();
}

void CTrackTool::CloseFigureBand(CToolDocument& document)
{
    document.SaveUndoState();
    const bool added = document.GetMode() == ID_TRACKS_ADD_RECTANGLES
                           ? document.AddRectangleFromRubberBand()
                           : document.AddCircleFromRubberBand();
    if (added) {
        m_dragPrevious = document.GetCursor();
        document.SetModified();
    }
    document.RedrawBoardViews();
}

void CTrackTool::DeleteFloating(CToolDocument& document)
{
    m_nets.DeleteSelected();
    m_nets.SelectAll(false);
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
}

// ---- Vias and pads at the cursor ----------------------------------------------------------------

bool CTrackTool::ToggleViaAtCursor(CToolDocument& document)
{
    CPoint point = document.GetRawCursor();
    const int32_t via =
        m_nets.FindViaAt(point, CNet::hitMakeNetCurrent | CNet::hitMakeCurrent, WorkMask(document));
    bool changed = false;
    if (via >= 0) {
        document.SaveUndoState();
        document.SetCursor(point);
        CurrentNet().DeleteVertex(via);
        m_nets.RecountSelected();
        RecomputeCurrent(document);
        changed = true;
    } else if (PlacePadStack(document, -1, 0, false)) {
        document.SaveUndoState();
        changed = AddViaAtCursor(document);
        if (changed)
            RecomputeCurrent(document);
    }
    document.RedrawBoardViews();
    return changed;
}

bool CTrackTool::AddViaAtCursor(CToolDocument& document)
{
    return PlacePadStack(document, -1, 0, true);
}

bool CTrackTool::AddPadAtCursor(CToolDocument& document)
{
    const CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    return PlacePadStack(document, stacks.GetDefault(document.GetDefaultPadStackKind()), m_padAngle,
                         true);
}

bool CTrackTool::HitsHole(const CPadStackArray& stacks, int32_t padStack, CPoint at) const
{
    const int32_t radius = DrillRadius(stacks, padStack);
    if (radius < 0)
        return false;
    const CRect square = SquareAround(at, radius);
    const auto tooNear = [&](int32_t stack, int32_t x, int32_t y) {
        const int32_t other = DrillRadius(stacks, stack);
        return other >= 0 && int64_t(Distance(at.x, at.y, x, y)) <= int64_t(radius) + other;
    };
    for (int32_t k = 0; k < m_nets.GetCount(); ++k) {
        const CNet& net = *m_nets.GetNet(k);
        if (!net.IntersectsRect(square))
            continue;
        for (int32_t p = 0; p < net.GetPinCount(); ++p) {
            const NetPinRec& pin = net.GetPin(p);
            if (tooNear(pin.padStack, pin.x, pin.y))
                return true;
        }
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v)) {
                const CPoint other = net.GetVertexPoint(v);
                if (tooNear(net.GetVertexPadStack(v), other.x, other.y))
                    return true;
            }
        }
    }
    return false;
}

int32_t CTrackTool::FindTouchedNet(const CPadStackArray& stacks, const CCopperShape& outline,
                                   int32_t layer, int32_t except) const
{
    const CRect box = outline.GetBounds();
    for (int32_t k = 0; k < m_nets.GetCount(); ++k) {
        if (k == except)
            continue;
        const CNet& net = *m_nets.GetNet(k);
        if (!net.IntersectsRect(box))
            continue;
        for (int32_t p = 0; p < net.GetPinCount(); ++p) {
            const NetPinRec& pin = net.GetPin(p);
            if (OutlineTouchesPad(outline, stacks, pin.padStack, layer, CPoint(pin.x, pin.y),
                                  pin.angle, pin.side != 0))
                return k;
        }
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v)) {
                if (OutlineTouchesPad(outline, stacks, net.GetVertexPadStack(v), layer,
                                      net.GetVertexPoint(v), net.GetVertexRotation(v),
                                      net.IsVertexMirrored(v)))
                    return k;
                continue;
            }
            if (v < 1 || net.GetVertexPen(v) < 1 || net.GetVertexLayer(v) != layer)
                continue;
            const CPoint from = net.GetVertexPoint(v - 1);
            const CPoint to = net.GetVertexPoint(v);
            if (outline.TouchesSegment(from.x, from.y, to.x, to.y, net.GetVertexWidth(v) / 2))
                return k;
        }
    }
    return -1;
}

bool CTrackTool::PlacePadStack(CToolDocument& document, int32_t padStack, int32_t angle, bool place)
{
    CNetArrayDocument* netDocument = m_nets.GetDocument();
    if (!netDocument)
        return false;
    const CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    if (padStack < 0)
        padStack = stacks.GetDefault(PADSTACK_KIND_VIA);
    if (!stacks.GetPadStack(padStack))
        return false;
    const CPoint at = document.GetCursor();
    if (HitsHole(stacks, padStack, at))
        return false;

    const auto outlineOn = [&](int32_t layer, int32_t clearance, CCopperShape& outline) {
        const CPad* pad = stacks.GetPad(padStack, layer);
        if (!pad || !netDocument->IsLayerEnabled(layer))
            return false;
        const int32_t turn = int32_t((int64_t(angle) + pad->GetRotation()) % fullTurn);
        outline.SetPad(pad->GetShape(), pad->GetRect(), at.x, at.y, false, turn, clearance);
        return true;
    };
    int32_t target = -1;
    CCopperShape outline;
    for (int32_t layer = LAYER_TOP; layer <= lastSignalLayer && target < 0; ++layer) {
        if (outlineOn(layer, 0, outline))
            target = FindTouchedNet(stacks, outline, layer, -1);
    }
    if (document.IsDrcActive() && target < 0)
        return false;
    const int32_t clearance = document.IsDrcActive() ? m_nets.GetNet(target)->GetClearance() : 0;
    const int32_t owner = std::max(target, 0);
    for (int32_t layer = LAYER_TOP; layer <= lastSignalLayer; ++layer) {
        if (outlineOn(layer, clearance, outline) &&
            FindTouchedNet(stacks, outline, layer, owner) >= 0)
            return false;
    }
    if (!place)
        return true;
    m_nets.SetCurrentNet(owner);
    CNet& net = CurrentNet();
    if (!net.AppendPadVertex(at.x, at.y, padStack, angle, false))
        return false;
    net.CalcBoundingBox(*netDocument);
    return true;
}

// ---- Online clearance check ---------------------------------------------------------------------

void CTrackTool::CheckNetClearance(CToolDocument& document, int32_t netIndex)
{
    CNet* tested = m_nets.GetNet(netIndex);
    if (!tested)
        return;
    const CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    const int32_t errorsBefore = m_nets.GetErrorCount();
    m_nets.RemoveErrorsOfNet(netIndex);
    bool added = false;
    for (int32_t v = 0; v < tested->GetVertexCount(); ++v) {
        if (!tested->GetVertexChangeMark(v))
            continue;
        tested->SetVertexChangeMark(v, false);
        if (v < 1 || tested->IsPadVertex(v) || tested->GetVertexPen(v) < 1)
            continue;
        const CPoint from = tested->GetVertexPoint(v - 1);
        const CPoint to = tested->GetVertexPoint(v);
        const int32_t layer = tested->GetVertexLayer(v);
        const int32_t halfWidth = tested->GetVertexWidth(v) / 2;
        for (int32_t k = 0; k < m_nets.GetCount(); ++k) {
            if (k == netIndex)
                continue;
            const CNet& other = *m_nets.GetNet(k);
            const int32_t clearance = std::max(tested->GetClearance(), other.GetClearance());
            CCopperShape outline;
            outline.SetTrack(from.x, from.y, to.x, to.y,
                             SaturateToInt(int64_t(halfWidth) + clearance));
            if (!other.IntersectsRect(outline.GetBounds()))
                continue;
            CNetErrorRec::Item otherItem{"Track", k, {}};
            bool conflict = false;
            for (int32_t p = 0; p < other.GetPinCount() && !conflict; ++p) {
                const NetPinRec& pin = other.GetPin(p);
                if (OutlineTouchesPad(outline, stacks, pin.padStack, layer, CPoint(pin.x, pin.y),
                                      pin.angle, pin.side != 0)) {
                    conflict = true;
                    otherItem.text = "Pad " + document.GetComponents().GetReference(pin.component) +
                                     "(" + std::to_string(pin.pad + 1) + ")";
                    otherItem.position = CPoint(pin.x, pin.y);
                }
            }
            for (int32_t w = 0; w < other.GetVertexCount() && !conflict; ++w) {
                const CPoint point = other.GetVertexPoint(w);
                if (other.IsPadVertex(w)) {
                    conflict =
                        OutlineTouchesPad(outline, stacks, other.GetVertexPadStack(w), layer, point,
                                          other.GetVertexRotation(w), other.IsVertexMirrored(w));
                } else if (w >= 1 && other.GetVertexPen(w) >= 1 &&
                           other.GetVertexLayer(w) == layer) {
                    const CPoint start = other.GetVertexPoint(w - 1);
                    conflict = outline.TouchesSegment(start.x, start.y, point.x, point.y,
                                                      other.GetVertexWidth(w) / 2);
                }
                if (conflict)
                    otherItem.position = point;
            }
            if (conflict) {
                // The list and the way to the error name the layer of the clash.
                CNetErrorRec error({"Track", netIndex, to}, otherItem);
                error.SetKind(layer);
                m_nets.AddError(error);
                added = true;
            }
        }
    }
    document.ShowBottomPane(m_nets.GetErrorCount() > 0);
    // The bottom pane lists the errors as they are now.
    if (added || m_nets.GetErrorCount() != errorsBefore)
        document.UpdateAllViews();
}

// ---- Extract Tracks from Shapes -----------------------------------------------------------------

void CTrackTool::ExtractTracksFromShapes(CToolDocument& document)
{
    CNetArrayDocument* netDocument = m_nets.GetDocument();
    if (!netDocument)
        return;
    document.SaveUndoState();
    CComponentArray& components = document.GetComponents();
    const CShapeLib& cache = document.GetEditableShapeCache();
    CNet& zero = *m_nets.GetNet(0);
    bool reported = false;
    for (int32_t c = 0; c < components.GetCount(); ++c) {
        const CComponent& component = *components.GetComponent(c);
        const CShape* shape = cache.GetShape(component.GetShapeIndex());
        if (!component.IsSelected() || !shape)
            continue;
        const auto& outline = shape->GetOutline();
        const bool hasCopper = std::any_of(outline.begin(), outline.end(), [](const auto& vertex) {
            return vertex.GetLayer() >= LAYER_TOP && vertex.GetLayer() <= lastSignalLayer;
        });
        if (!hasCopper)
            continue;
        const bool mirrored = component.IsMirrored();
        // A skipped vertex breaks the run: the next one taken starts a new run instead of
        // drawing a segment across the gap.
        bool runBroken = true;
        for (const ShapeOutlineVertex& vertex : outline) {
            const int32_t layer = vertex.GetLayer();
            if (layer < LAYER_TOP || layer > lastSignalLayer) {
                runBroken = true;
                continue;
            }
            int32_t pen = 0;
            if (vertex.IsLineTo() && !runBroken) {
                pen = zero.AddPen(cache.GetPenWidth(vertex.GetPen()));
                if (pen < 1) {
                    if (!reported)
                        CServices::Messages().MessageBox("Error", "", MB_OK);
                    reported = true;
                    runBroken = true;
                    continue;
                }
            }
            const CPoint turned =
                RotatePoint(mirrored ? -vertex.x : vertex.x, vertex.y, component.GetRotation());
            const CPoint position = component.GetPosition();
            zero.AppendVertex(SaturateToInt(int64_t(turned.x) + position.x),
                              SaturateToInt(int64_t(turned.y) + position.y),
                              mirrored ? OppositeLayer(layer) : layer, pen);
            runBroken = false;
        }
    }
    zero.CalcBoundingBox(*netDocument);
    document.SetModified();
    document.RedrawBoardViews();
}

// ---- Pad modes ----------------------------------------------------------------------------------

bool CTrackTool::IsMovablePadStack(CToolDocument& document, int32_t padStack) const
{
    const CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    return document.IsShapeDocument() ? stacks.IsShapePadKind(padStack)
                                      : stacks.IsPadKind(padStack);
}

int32_t CTrackTool::FindPadVertex(CToolDocument& document, int32_t mode)
{
    CPoint point = document.GetRawCursor();
    return m_nets.FindPadAt(point, mode, WorkMask(document));
}

void CTrackTool::DeletePad(CToolDocument& document)
{
    if (FindPadVertex(document, CNet::hitSelect | CNet::hitMakeNetCurrent) < 0)
        return;
    document.SaveUndoState();
    CurrentNet().DeleteSelected();
    m_nets.RecountSelected();
    RecomputeCurrent(document);
    document.SetModified();
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
}

void CTrackTool::RotatePad(CToolDocument& document)
{
    const int32_t pad = FindPadVertex(document, pickMode);
    if (pad < 0)
        return;
    document.SaveUndoState();
    CurrentNet().SetVertexRotation(pad, int64_t(m_padAngle) % fullTurn);
    m_nets.SelectNet(CurrentIndex(), false);
    RecomputeCurrent(document);
    document.SetModified();
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
}

void CTrackTool::SetPadOrderAt(CToolDocument& document)
{
    CPoint point = document.GetRawCursor();
    CNetArrayDocument* netDocument = m_nets.GetDocument();
    if (!netDocument)
        return;
    const int32_t pad = m_nets.GetNet(0)->HitTestPad(*netDocument, point, 0, WorkMask(document));
    // Past the last pad vertex there is nothing to swap with: the order is complete.
    if (pad < 0 || m_padOrder > m_nets.GetNet(0)->CountPadVertices())
        return;
    // Net 0 is taken for writing after the snapshot, which may share it.
    document.SaveUndoState();
    if (m_nets.GetNet(0)->SwapWithPadVertex(pad, m_padOrder))
        ++m_padOrder;
    m_nets.SelectNet(0, false);
    document.SetModified();
    document.RedrawBoardViews();
}

void CTrackTool::PickPadToCopy(CToolDocument& document)
{
    const int32_t pad = FindPadVertex(document, CNet::hitMakeNetCurrent);
    if (pad < 0)
        return;
    const int32_t padStack = CurrentNet().GetVertexPadStack(pad);
    if (!IsMovablePadStack(document, padStack))
        return;
    CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    stacks.SelectDefaultByName(stacks.GetName(padStack));
    document.SetAction(CToolDocument::actionDragging);
}

void CTrackTool::PickPadToMove(CToolDocument& document)
{
    const int32_t pad = FindPadVertex(document, pickMode);
    if (pad < 0)
        return;
    CNet& net = CurrentNet();
    const int32_t padStack = net.GetVertexPadStack(pad);
    if (!IsMovablePadStack(document, padStack)) {
        m_nets.SelectNet(CurrentIndex(), false);
        return;
    }
    CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    stacks.SelectDefaultByName(stacks.GetName(padStack));
    m_padAngle = net.GetVertexRotation(pad);
    m_movedPad = pad;
    const CPoint at = net.GetVertexPoint(pad);
    document.SetCursor(at);
    document.SetAnchor(at);
    m_dragPrevious = at;
    document.PutMouseOnCursor();
    document.SetAction(CToolDocument::actionDragging);
}

void CTrackTool::ReplacePad(CToolDocument& document)
{
    const int32_t pad = FindPadVertex(document, pickMode);
    if (pad < 0)
        return;
    document.SaveUndoState();
    const CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    CNet& net = CurrentNet();
    // The pad type word keeps rotation and side in the flags.
    net.SetVertexPadType(pad, stacks.GetDefault(document.GetDefaultPadStackKind()));
    m_nets.SelectNet(CurrentIndex(), false);
    RecomputeCurrent(document);
    document.SetCursor(net.GetVertexPoint(pad));
    document.PutMouseOnCursor();
    document.SetModified();
    document.RedrawBoardViews();
}

void CTrackTool::AddPadManually(CToolDocument& document)
{
    const CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
    const int32_t padStack = stacks.GetDefault(document.GetDefaultPadStackKind());
    // Tested first, so that a pad that cannot go there leaves no snapshot behind.
    if (!PlacePadStack(document, padStack, m_padAngle, false))
        return;
    document.SaveUndoState();
    if (PlacePadStack(document, padStack, m_padAngle, true)) {
        RecomputeCurrent(document);
        document.SetModified();
        document.RedrawBoardViews();
    }
}

void CTrackTool::TurnPadAngle(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (mode == ID_PADS_MOVE && IsAction(document, CToolDocument::actionDragging)) {
        CNet& net = CurrentNet();
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsVertexSelected(v) && net.IsPadVertex(v)) {
                document.PushUndoForSelection();
                m_padAngle = NextQuarterTurn(net.GetVertexRotation(v));
                net.SetVertexRotation(v, m_padAngle);
                document.SetModified();
                break;
            }
        }
    } else if (mode == ID_PADS_COPY || mode == ID_PADS_ADD_MANUALLY) {
        m_padAngle = NextQuarterTurn(m_padAngle);
    }
    document.RedrawBoardViews();
}

void CTrackTool::OnPadToolClick(CToolDocument& document)
{
    const bool waiting = IsAction(document, CToolDocument::actionWaiting);
    const bool dragging = IsAction(document, CToolDocument::actionDragging);
    switch (document.GetMode()) {
    case ID_PADS_DELETE:
        DeletePad(document);
        break;
    case ID_PADS_ROTATE:
        RotatePad(document);
        break;
    case ID_PADS_SET_PAD_ORDER:
        SetPadOrderAt(document);
        break;
    case ID_PADS_COPY:
        if (waiting) {
            PickPadToCopy(document);
        } else if (dragging) {
            const CPadStackArray& stacks = document.GetEditableShapeCache().GetPadStacks();
            const int32_t padStack = stacks.GetDefault(document.GetDefaultPadStackKind());
            if (PlacePadStack(document, padStack, m_padAngle, false)) {
                document.SaveUndoState();
                PlacePadStack(document, padStack, m_padAngle, true);
                RecomputeCurrent(document);
                document.SetModified();
            }
            document.RedrawBoardViews();
        }
        break;
    case ID_PADS_ADD_MANUALLY:
        AddPadManually(document);
        break;
    case ID_PADS_MOVE:
        if (waiting) {
            PickPadToMove(document);
        } else if (dragging) {
            m_nets.SelectNet(CurrentIndex(), false);
            RecomputeCurrent(document);
            m_movedPad = -1;
            document.SetAction(CToolDocument::actionWaiting);
            document.RedrawBoardViews();
        }
        break;
    case ID_PADS_REPLACE:
        ReplacePad(document);
        break;
    default:
        break;
    }
}

void CTrackTool::OnPadToolChar(CToolDocument& document, uint32_t character)
{
    if (!IsAction(document, CToolDocument::actionWaiting))
        return;
    if (const uint32_t next = tool_keys::ModeOf(tool_keys::padTool, character)) {
        document.SetMode(next);
        return;
    }
    if (character == ' ')
        OnPadToolClick(document);
    // A second S in the pad tool opens its settings.
    else if (character == 's')
        document.SetMode(document.GetMode() == ID_PADS_ADD_MANUALLY ? ID_SETTINGS_GENERAL_PAD
                                                                    : ID_PADS_ADD_MANUALLY);
}

void CTrackTool::OnPadToolKeyDown(CToolDocument& document, uint32_t key)
{
    if (key == VK_F2)
        TurnPadAngle(document);
    else if (key == VK_RETURN || key == VK_ESCAPE)
        EndPadTool(document);
}

void CTrackTool::OnPadToolMouseMove(CToolDocument& document)
{
    if (document.GetMode() != ID_PADS_MOVE || !IsAction(document, CToolDocument::actionDragging))
        return;
    document.PushUndoForSelection();
    const CPoint cursor = document.GetCursor();
    m_nets.MoveSelected(Difference(cursor.x, m_dragPrevious.x),
                        Difference(cursor.y, m_dragPrevious.y));
    m_dragPrevious = cursor;
    document.SetAnchor(cursor);
    document.RedrawBoardViews();
}

std::vector<uint32_t> CTrackTool::OnPadToolContextMenu(CToolDocument& document, bool& replacesFirst)
{
    const uint32_t mode = document.GetMode();
    const bool shapeDocument = document.IsShapeDocument();
    replacesFirst = false;
    if (!IsAction(document, CToolDocument::actionWaiting)) {
        replacesFirst = true;
        const bool offersPadstacks = mode == ID_PADS_COPY || mode == ID_PADS_MOVE ||
                                     mode == ID_PADS_REPLACE || mode == ID_PADS_ADD_MANUALLY;
        if (shapeDocument && offersPadstacks)
            return {ID_END_MODE, ID_PADS_EDIT_COMPONENT_PADSTACKS};
        return {ID_END_MODE};
    }
    std::vector<uint32_t> items;
    if (shapeDocument)
        items.push_back(ID_PADS_EDIT_COMPONENT_PADSTACKS);
    else
        items.push_back(ID_SETTINGS_GENERAL_PAD);
    items.push_back(menuSeparator);
    tool_menus::Append(items, tool_menus::padCommands);
    items.insert(items.end(), {menuSeparator, ID_SETTINGS_PEN_WIDTH, menuSeparator});
    if (IsCopperLayer(document.GetWorkLayer()))
        tool_menus::Append(items, tool_menus::trackDrawing);
    else
        tool_menus::Append(items, tool_menus::lineDrawing);
    return items;
}

void CTrackTool::EndPadTool(CToolDocument& document)
{
    // A pad being moved stays where it is.
    m_nets.SelectAll(false);
    m_movedPad = -1;
    document.SetAction(CToolDocument::actionWaiting);
    document.SetMode(ID_VIEW);
}
