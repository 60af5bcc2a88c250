#include "model/CComponentTool.h"

#include <string>
#include <vector>

#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "framework/VirtualKeys.h"
#include "model/CAngleText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CFieldRange.h"
#include "model/CGridArr.h"
#include "model/CNetArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CToolDocument.h"
#include "model/CTrackTool.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

int32_t Difference(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) - b);
}

} // namespace

CComponentTool::CComponentTool(CComponentArray& components) : m_components(components) {}

bool CComponentTool::IsComponentMode(uint32_t mode)
{
    switch (mode) {
    case ID_COMPONENTS_ADD:
    case ID_COMPONENTS_COPY:
    case ID_COMPONENTS_DELETE:
    case ID_COMPONENTS_MIRROR:
    case ID_COMPONENTS_MOVE_ROTATE:
    case ID_COMPONENTS_MOVE_ROTATE_TEXT:
    case ID_COMPONENTS_PROPERTIES:
    case ID_COMPONENTS_REPLACE_PADS:
    case ID_COMPONENTS_REPLACE_SHAPE:
    case ID_COMPONENTS_ROTATE:
    case ID_COMPONENTS_ROTATE_90_DEGR:
    case ID_COMPONENTS_SET_POSITION:
    case ID_COMPONENTS_SNAP_TO_GRID:
        return true;
    default:
        return false;
    }
}

bool CComponentTool::IsAction(const CToolDocument& document, uint32_t action) const
{
    return document.GetAction() == action;
}

int32_t CComponentTool::Pick(CToolDocument& document, bool next)
{
    CPoint point = document.GetRawCursor();
    const uint32_t mask = LayerBit(document.GetWorkLayer());
    const int32_t found =
        next ? m_components.FindNextAtPoint(point, CComponentArray::hitSelect, mask)
             : m_components.FindAtPoint(point, CComponentArray::hitSelect, mask);
    document.SetCurrentComponent(found);
    return found;
}

void CComponentTool::SelectWithTracks(CToolDocument& document, int32_t i)
{
    m_components.Select(i, true);
    if (document.IsTracksOfComponents())
        document.GetNets().SelectVerticesAtComponentPins(i, true);
}

// ---- Click --------------------------------------------------------------------------------------

void CComponentTool::OnComponentClick(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    const bool waiting = IsAction(document, CToolDocument::actionWaiting);
    if (mode == ID_COMPONENTS_MOVE_ROTATE_TEXT) {
        if (waiting)
            PickText(document);
        else
            EndToolStep(document);
        return;
    }
    if ((mode == ID_COMPONENTS_ADD || mode == ID_COMPONENTS_COPY) &&
        IsAction(document, CToolDocument::actionDragging)) {
        // The dragged component stays; a copy of it floats on, in a drag of its own begun
        // before the copy is made, which the copy taken away again leaves as no step.
        document.SetAction(CToolDocument::actionWaiting);
        document.SetAction(CToolDocument::actionDragging);
        document.SaveUndoState();
        m_components.CopySelected();
        document.RedrawBoardViews();
        return;
    }
    if (mode == ID_COMPONENTS_MOVE_ROTATE && IsAction(document, CToolDocument::actionDragging)) {
        // The part hanging at the mouse is put down where it hangs, as Enter puts it.
        EndToolStep(document);
        return;
    }
    if (!waiting)
        return;
    if (mode == ID_COMPONENTS_ADD)
        StartAdd(document);
    else if (mode == ID_COMPONENTS_REPLACE_PADS)
        ReplacePad(document);
    else
        PickAndAct(document);
}

void CComponentTool::StartAdd(CToolDocument& document)
{
    CShapeLib& cache = document.GetEditableShapeCache();
    if (cache.GetCount() == 0 && !document.HasLibraryShapes()) {
        CServices::Messages().FileMessageBox(
            CResString::LoadWithFile(IDS_NO_SHAPE_TO_PLACE, document.GetShapeLibraryFile()), "",
            MB_OK, MB_ICONINFORMATION);
        return;
    }
    int32_t shape = -1;
    std::string prefix;
    std::string type;
    const std::vector<uint8_t> cached = cache.StoredBytes();
    if (CDialogService::Get().GetShape(cache, m_components.MakeShapeRequest(false), shape, prefix,
                                       type) != CDialogService::resultOk ||
        !cache.GetShape(shape))
        return;
    // A shape the dialog brought into the design stays there, whether the part is placed or not.
    if (cache.StoredBytes() != cached)
        document.SetModified();
    // The drag first: its snapshot holds the design without the part, so that a part placed is
    // one undo step and one abandoned is none.
    document.SetAction(CToolDocument::actionDragging);
    document.SaveUndoState();
    const int32_t i = m_components.AddEmpty(shape);
    const CPoint at = document.GetCursor();
    m_components.SetPosition(i, at.x, at.y);
    m_components.SetFlag(i, ComponentFlags::fromPlaceComponent, true);
    m_components.SetName(i, CComponent::textReference, m_components.NextReference(prefix, 0));
    m_components.SetName(i, CComponent::textType, type);
    m_components.GetComponent(i)->ResizePadNets(m_components.GetShapePadCount(i));
    document.RebuildNetPins();
    for (int32_t kind = 0; kind < CComponent::textKindCount; ++kind)
        m_components.ResetTextPosition(i, kind);
    m_components.Select(i, true);
    m_dragPrevious = at;
    document.RedrawBoardViews();
}

void CComponentTool::PickText(CToolDocument& document)
{
    CPoint point = document.GetRawCursor();
    if (!m_components.PickTextAtPoint(point)) {
        document.RedrawBoardViews();
        return;
    }
    document.SetAnchor(point);
    m_dragStart = point;
    m_dragPrevious = point;
    document.SetAction(CToolDocument::actionDragging);
    document.RedrawBoardViews();
}

void CComponentTool::ReplacePad(CToolDocument& document)
{
    m_components.SelectAll(false);
    const int32_t i = Pick(document, false);
    if (i < 0 || m_components.TestFlag(i, ComponentFlags::lockShape)) {
        m_components.SelectAll(false);
        return;
    }
    m_components.SetActiveIndex(i);
    // A click that changes no pad leaves no step to undo.
    if (m_components.FindReplaceablePad(i, document.GetCursor()) >= 0) {
        document.SaveUndoState();
        m_components.ReplacePadAtPoint(i, document.GetCursor());
        document.SetModified();
        document.RedrawBoardViews();
    }
    m_components.SelectAll(false);
}

void CComponentTool::PickAndAct(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    m_components.SelectAll(false);
    const int32_t i = Pick(document, false);
    if (i < 0)
        return;
    m_components.SetActiveIndex(i);
    const CPoint at = m_components.GetPosition(i);
    document.SetCursor(at);
    document.SetAnchor(at);
    m_dragStart = at;
    m_dragPrevious = at;
    document.PutMouseOnCursor();
    switch (mode) {
    case ID_COMPONENTS_COPY:
        document.SetAction(CToolDocument::actionDragging);
        document.SaveUndoState();
        m_components.CopySelected();
        document.RedrawBoardViews();
        break;
    case ID_COMPONENTS_DELETE:
        document.SaveUndoState();
        m_components.DeleteSelected();
        // The checks' errors may name its pads.
        document.GetNets().ClearErrors();
        document.RedrawBoardViews();
        break;
    case ID_COMPONENTS_MIRROR:
        document.SaveUndoState();
        m_components.MirrorSelected();
        m_components.Select(i, false);
        document.RedrawBoardViews();
        break;
    case ID_COMPONENTS_MOVE_ROTATE:
        if (document.IsTracksOfComponents())
            document.GetNets().SelectVerticesAtComponentPins(i, true);
        document.SetAction(CToolDocument::actionDragging);
        document.RedrawBoardViews();
        break;
    case ID_COMPONENTS_PROPERTIES:
        m_components.SelectAll(false);
        // The dialog records the undo state itself, on OK.
        if (CDialogService::Get().CompProperties(document, i) == CDialogService::resultOk) {
            document.SetModified();
            document.RebuildNetPins();
            // Values OK'd as they were shown leave no undo step.
            document.KeepRun();
            document.RedrawBoardViews();
        }
        break;
    case ID_COMPONENTS_REPLACE_SHAPE:
        if (m_replacementShape >= 0) {
            // A part given the shape it has leaves no undo step.
            document.SaveUndoStateUnlessAbandoned();
            m_components.ChangeShape(i, m_replacementShape);
            document.KeepRun();
            document.RedrawBoardViews();
        }
        break;
    case ID_COMPONENTS_ROTATE:
        RotateOne(document, i);
        break;
    case ID_COMPONENTS_ROTATE_90_DEGR:
        RotateTo(document, i, m_components.GetRotation(i) + quarterTurn);
        break;
    case ID_COMPONENTS_SET_POSITION:
        SetPositionOf(document, i);
        break;
    case ID_COMPONENTS_SNAP_TO_GRID:
        SnapToGrid(document, i);
        break;
    default:
        break;
    }
}

void CComponentTool::RotateTo(CToolDocument& document, int32_t i, int32_t angle)
{
    const int32_t before = m_components.GetRotation(i);
    document.SaveUndoState();
    m_components.SelectAll(false);
    SelectWithTracks(document, i);
    const CPoint at = m_components.GetPosition(i);
    m_components.RotateSelected(angle, true);
    document.GetNets().RotateSelected(at.x, at.y, Difference(angle, before));
    document.DeselectAll();
    document.RebuildNetPins();
    document.SetModified();
    document.RedrawBoardViews();
}

void CComponentTool::RotateOne(CToolDocument& document, int32_t i)
{
    const int32_t rotation = m_components.GetRotation(i);
    std::string text = CAngleText::Format(rotation);
    bool absolute = m_absolute;
    if (CDialogService::Get().Rotation(text, absolute) != CDialogService::resultOk) {
        document.DeselectAll();
        return;
    }
    m_absolute = absolute;
    int32_t angle = CAngleText::Parse(text);
    document.SetRotateAngle(angle);
    if (!absolute)
        angle = SaturateToInt(int64_t(angle) + rotation);
    if (angle != rotation)
        RotateTo(document, i, angle);
    else
        document.DeselectAll();
}

void CComponentTool::SetPositionOf(CToolDocument& document, int32_t i)
{
    if (m_components.TestFlag(i, ComponentFlags::lockMove)) {
        document.DeselectAll();
        return;
    }
    // The dialog shows every point as the user reads it, relative to the user offset.
    const CPoint origin = document.GetOrigin();
    const auto shown = [origin](CPoint point) {
        return CPoint(Difference(point.x, origin.x), Difference(point.y, origin.y));
    };
    CDialogService::PinnedComponent component = m_components.MakePinnedComponent(i);
    for (CPoint& pin : component.pins)
        pin = shown(pin);
    int32_t dx = 0;
    int32_t dy = 0;
    if (CDialogService::Get().CompSetPosition(
            document.GetUnit(), component, shown(m_components.GetCenter(i)),
            shown(document.GetCursor()), dx, dy) != CDialogService::resultOk ||
        (dx == 0 && dy == 0)) {
        document.DeselectAll();
        return;
    }
    const CPoint at = shown(m_components.GetPosition(i));
    const CFieldRange places = m_components.PlacesOf(i);
    const int32_t unit = document.GetUnit();
    if (!places.Less(origin.x).TakeLength(unit, int64_t(at.x) + dx, "Component x") ||
        !places.Less(origin.y).TakeLength(unit, int64_t(at.y) + dy, "Component y")) {
        document.DeselectAll();
        return;
    }
    document.SaveUndoState();
    SelectWithTracks(document, i);
    document.MoveSelection(dx, dy);
    document.DeselectAll();
    document.RebuildNetPins();
    document.SetModified();
    document.RedrawBoardViews();
}

void CComponentTool::SnapToGrid(CToolDocument& document, int32_t i)
{
    const CPoint at = m_components.GetPosition(i);
    const CPoint origin = document.GetOrigin();
    const CPoint snapped = document.GetGridSettings().SnapToPoints(at.x, at.y, origin.x, origin.y);
    if (snapped == at) {
        document.DeselectAll();
        return;
    }
    document.SaveUndoState();
    SelectWithTracks(document, i);
    document.MoveSelection(Difference(snapped.x, at.x), Difference(snapped.y, at.y));
    document.RebuildNetPins();
    document.RedrawBoardViews();
    document.DeselectAll();
}

// ---- Selection commands -------------------------------------------------------------------------

void CComponentTool::MirrorSelected(CToolDocument& document)
{
    if (m_components.GetSelectedCount() == 0)
        return;
    document.SaveUndoState();
    m_components.MirrorSelected();
    document.RebuildNetPins();
    document.SetModified();
    document.RedrawBoardViews();
}

void CComponentTool::RotateSelectedDialog(CToolDocument& document)
{
    if (m_components.GetCount() == 0)
        return;
    const int32_t last = m_components.GetRotation(m_components.GetCount() - 1);
    std::string text = CAngleText::Format(last);
    bool absolute = m_absolute;
    if (CDialogService::Get().Rotation(text, absolute) != CDialogService::resultOk)
        return;
    m_absolute = absolute;
    const int32_t angle = CAngleText::Parse(text);
    document.SetRotateAngle(angle);
    if (angle == 0 && !absolute)
        return;
    document.SaveUndoState();
    // Relative turns each component by the angle from its own rotation; one absolute angle
    // for all would throw away every rotation but the last component's.
    m_components.RotateSelected(angle, absolute);
    document.RebuildNetPins();
    document.SetModified();
    document.RedrawBoardViews();
}

// ---- Keys and moves -----------------------------------------------------------------------------

void CComponentTool::OnChar(CToolDocument& document, uint32_t character)
{
    // Space is the click: it also puts down a part hanging in Move/Rotate.
    if (character == ' ' && (IsAction(document, CToolDocument::actionWaiting) ||
                             (document.GetMode() == ID_COMPONENTS_MOVE_ROTATE &&
                              IsAction(document, CToolDocument::actionDragging))))
        OnComponentClick(document);
}

void CComponentTool::OnToolKeyDown(CToolDocument& document, uint32_t key)
{
    const bool dragging = IsAction(document, CToolDocument::actionDragging);
    const uint32_t mode = document.GetMode();
    switch (key) {
    case VK_RETURN:
        if (dragging)
            EndToolStep(document);
        break;
    case VK_ESCAPE:
        if (dragging)
            CancelDrag(document);
        else
            EndToolStep(document);
        break;
    case VK_F2:
        if (mode == ID_COMPONENTS_REPLACE_PADS) {
            // The angle of the pads the pad tools place next.
            CTrackTool& pads = document.GetNets().GetTrackTool();
            pads.SetPadAngle(CTrackTool::NextQuarterTurn(pads.GetPadAngle()));
            document.RedrawBoardViews();
            break;
        }
        if (!dragging)
            break;
        document.PushUndoForSelection();
        if (mode == ID_COMPONENTS_ADD || mode == ID_COMPONENTS_COPY)
            m_components.RotateSelected(quarterTurn, false);
        else if (mode == ID_COMPONENTS_MOVE_ROTATE)
            document.RotateSelection(quarterTurn);
        else if (mode == ID_COMPONENTS_MOVE_ROTATE_TEXT)
            m_components.RotateCurrentText();
        document.SetModified();
        document.RedrawBoardViews();
        break;
    default:
        break;
    }
}

void CComponentTool::OnToolMouseMove(CToolDocument& document)
{
    if (!IsAction(document, CToolDocument::actionDragging))
        return;
    const uint32_t mode = document.GetMode();
    const CPoint cursor = document.GetCursor();
    if (mode == ID_COMPONENTS_ADD || mode == ID_COMPONENTS_COPY) {
        m_components.MoveLastTo(cursor.x, cursor.y);
    } else if (mode == ID_COMPONENTS_MOVE_ROTATE) {
        // The document's move takes the undo snapshot when one is due.
        document.MoveSelection(Difference(cursor.x, m_dragPrevious.x),
                               Difference(cursor.y, m_dragPrevious.y));
        const int32_t active = m_components.GetActiveIndex();
        if (m_components.IsIndex(active))
            m_components.UpdatePins(active);
    } else if (mode == ID_COMPONENTS_MOVE_ROTATE_TEXT) {
        document.PushUndoForSelection();
        m_components.MoveCurrentText(Difference(cursor.x, m_dragPrevious.x),
                                     Difference(cursor.y, m_dragPrevious.y));
    } else {
        return;
    }
    m_dragPrevious = cursor;
    document.SetAnchor(cursor);
    document.RedrawBoardViews();
}

void CComponentTool::BeginDrag(CPoint from, CPoint at)
{
    m_dragStart = from;
    m_dragPrevious = at;
}

void CComponentTool::CancelDrag(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    const CPoint anchor = m_dragPrevious;
    if (mode == ID_COMPONENTS_MOVE_ROTATE) {
        document.MoveSelection(Difference(m_dragStart.x, anchor.x),
                               Difference(m_dragStart.y, anchor.y));
        document.DeselectAll();
        document.RebuildNetPins();
    } else if (mode == ID_COMPONENTS_MOVE_ROTATE_TEXT) {
        m_components.MoveCurrentText(Difference(m_dragStart.x, anchor.x),
                                     Difference(m_dragStart.y, anchor.y));
        m_components.ClearCurrent();
    } else if (mode == ID_COMPONENTS_ADD || mode == ID_COMPONENTS_COPY) {
        m_components.DeleteSelected();
        document.RebuildNetPins();
    } else {
        document.SetMode(ID_COMPONENTS_MOVE_ROTATE);
        return;
    }
    m_dragPrevious = m_dragStart;
    document.SetAction(CToolDocument::actionWaiting);
    document.RedrawBoardViews();
}

void CComponentTool::EndToolStep(CToolDocument& document)
{
    const uint32_t mode = document.GetMode();
    if (IsAction(document, CToolDocument::actionWaiting)) {
        document.DeselectAll();
        document.SetMode(mode == ID_COMPONENTS_MOVE_ROTATE ? ID_VIEW : ID_COMPONENTS_MOVE_ROTATE);
        return;
    }
    document.SetModified();
    if (mode == ID_COMPONENTS_ADD || mode == ID_COMPONENTS_COPY) {
        // The floating copy goes; the ones dropped before stay.
        m_components.DeleteSelected();
        document.RebuildNetPins();
    } else if (mode == ID_COMPONENTS_MOVE_ROTATE) {
        document.RebuildNetPins();
        if (document.IsAutoRatsnest())
            document.GetNets().RecalcDirtyRatsnest();
    } else if (mode == ID_COMPONENTS_MOVE_ROTATE_TEXT) {
        m_components.ClearCurrent();
    }
    document.SetAction(CToolDocument::actionWaiting);
    document.DeselectAll();
    document.RedrawBoardViews();
}

std::vector<uint32_t> CComponentTool::BuildToolContextMenu(CToolDocument& document) const
{
    const uint32_t mode = document.GetMode();
    std::vector<uint32_t> items = {ID_END_MODE};
    if (mode == ID_COMPONENTS_REPLACE_PADS)
        items.push_back(ID_PADS_EDIT_COMPONENT_PADSTACKS);
    if (IsAction(document, CToolDocument::actionDragging)) {
        if (mode == ID_COMPONENTS_ADD)
            items.insert(items.end(),
                         {menuSeparator, ID_CONTEXT_COMPONENTS_MIRROR,
                          ID_CONTEXT_COMPONENTS_ROTATE_90_DEGR, ID_CONTEXT_COMPONENTS_ROTATE});
        else if (mode == ID_COMPONENTS_MOVE_ROTATE)
            items.insert(items.end(), {menuSeparator, ID_CONTEXT_COMPONENTS_ROTATE_90_DEGR,
                                       ID_CONTEXT_COMPONENTS_ROTATE});
        return items;
    }
    items.insert(items.end(), {menuSeparator,
                               ID_COMPONENTS_ADD,
                               ID_COMPONENTS_MOVE_ROTATE,
                               menuSeparator,
                               ID_COMPONENTS_COPY,
                               ID_COMPONENTS_DELETE,
                               ID_COMPONENTS_MIRROR,
                               ID_COMPONENTS_REPLACE_PADS,
                               ID_COMPONENTS_REPLACE_SHAPE,
                               ID_COMPONENTS_ROTATE,
                               ID_COMPONENTS_ROTATE_90_DEGR,
                               ID_COMPONENTS_SET_POSITION,
                               ID_COMPONENTS_SNAP_TO_GRID,
                               menuSeparator,
                               ID_COMPONENTS_MOVE_ARRAY_CIRCULAR,
                               menuSeparator,
                               ID_COMPONENTS_TEXT_OPTIONS,
                               ID_COMPONENTS_MOVE_ROTATE_TEXT,
                               ID_COMPONENTS_MOVE_ALL_TEXT_TO_CENTER,
                               menuSeparator,
                               ID_PADS_EDIT_COMPONENT_PADSTACKS,
                               ID_COMPONENTS_COMPONENT_TABLE,
                               ID_COMPONENTS_SHAPE_TABLE,
                               ID_COMPONENTS_EDIT_SHAPE_LIBRARY,
                               menuSeparator,
                               ID_COMPONENTS_PROPERTIES});
    return items;
}
