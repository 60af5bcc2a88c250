#include "document/CViewDispatch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/CDesign.h"
#include "document/CDesignExtent.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CPinSwapTool.h"
#include "document/CRoutingCommands.h"
#include "document/CViewCommandHost.h"
#include "document/CViewCommands.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CComponentTool.h"
#include "model/CDrawRecArray.h"
#include "model/CLineTool.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"
#include "model/CTrackTool.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

constexpr char unsupportedClick[] = "OnSpaceBarDown::NotSupported Action!";

} // namespace

CViewDispatch::Family CViewDispatch::FamilyOf(uint32_t mode)
{
    if (mode == ID_TRACKS_ADD_OR_REMOVE_VIA)
        return Family::via;
    if (CTrackTool::IsTrackMode(mode))
        return Family::track;
    if (CTrackTool::IsPadMode(mode))
        return Family::pad;
    if (CComponentTool::IsComponentMode(mode))
        return Family::component;
    if (CLineTool::IsLineMode(mode))
        return Family::line;
    if (CViewCommands::IsPlaneMode(mode))
        return Family::plane;
    switch (mode) {
    case ID_BOARD_EDIT_TEXT:
    case ID_BOARD_PLACE_TEXT:
        return Family::text;
    case ID_COMPONENTS_FIX:
    case ID_COMPONENTS_LOCK:
        return Family::componentLock;
    case ID_EDIT_SELECT_MODE:
        return Family::select;
    case ID_BOARD_BOARD_SIZE_AND_OFFSET:
    case ID_WORKSPACE_WORKSPACE_SIZE:
        return Family::boardSize;
    case ID_SETTINGS_SET_GRID_OFFSET:
        return Family::gridOffset;
    case ID_NETLIST_CONNECT_PINS_TO_NETS:
        return Family::connectPins;
    case ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS:
        return Family::routeManual;
    case ID_TOOLS_PINSWAPPING:
        return Family::pinSwap;
    case ID_VIEW:
        return Family::idle;
    default:
        return Family::none;
    }
}

CViewDispatch::CViewDispatch(CWevraDoc& document, CViewCommands& commands, CViewCommandHost& host)
    : m_document(document), m_commands(commands), m_host(host)
{
}

CViewDispatch::~CViewDispatch() = default;

bool CViewDispatch::IsAction(uint32_t action) const
{
    return m_document.Session().IsAction(action);
}

void CViewDispatch::SetMode(uint32_t mode)
{
    m_document.Session().SetMode(mode);
    FollowPinSwapMode();
    m_host.Redraw(true);
}

void CViewDispatch::RefreshStatus()
{
    m_host.UpdateStatusLine();
}

void CViewDispatch::FollowPinSwapMode()
{
    if (!m_document.Session().IsMode(ID_TOOLS_PINSWAPPING))
        m_pinSwap.reset();
    else if (!m_pinSwap)
        m_pinSwap = std::make_unique<CPinSwapTool>(m_document);
}

// ---- Click --------------------------------------------------------------------------------------

void CViewDispatch::OnSpaceBarDown(uint32_t flags)
{
    if (m_captured)
        return;
    m_captured = true;
    m_document.Session().SetAnchor();
    m_document.History().GetBackup().NoteActivity();
    if (!m_document.View().IsRulerLocked()) {
        m_document.View().SetRulerOrigin(m_document.Session().GetCursor());
        RefreshStatus();
    }
    if (m_document.View().IsZoomWindowPending()) {
        ClickZoomWindow();
        return;
    }
    ClickByMode(flags);
}

void CViewDispatch::OnSpaceBarUp()
{
    m_captured = false;
}

void CViewDispatch::ClickZoomWindow()
{
    if (IsAction(CEditState::actionWaiting)) {
        const CPoint raw = m_document.Session().GetRawCursor();
        m_document.View().SetZoomRect(CRect(raw.x, raw.y, raw.x, raw.y));
        m_document.Session().SetAction(CEditState::actionRectangleStart);
        return;
    }
    m_document.View().ZoomWindow();
    m_document.View().SetZoomWindowPending(false);
    m_document.Session().SetAction(CEditState::actionWaiting);
    m_host.SetWarpAfterRepaint(false);
    m_host.Redraw(true);
}

void CViewDispatch::ClickByMode(uint32_t flags)
{
    CWevraDoc& doc = m_document;
    const uint32_t mode = doc.Session().GetMode();
    switch (FamilyOf(mode)) {
    case Family::track:
        doc.Design().GetNets().GetTrackTool().OnTrackToolClick(doc.Session());
        return;
    case Family::pad:
        doc.Design().GetNets().GetTrackTool().OnPadToolClick(doc.Session());
        return;
    case Family::component:
        doc.Design().GetComponents().GetComponentTool().OnComponentClick(doc.Session());
        return;
    case Family::line:
        doc.Design().GetLines().GetLineTool().OnSpaceBarDown(doc.Session());
        return;
    case Family::text:
        doc.Design().GetTexts().OnClick();
        return;
    case Family::plane:
        ClickPlane();
        return;
    case Family::pinSwap:
        FollowPinSwapMode();
        m_pinSwap->OnClick();
        return;
    case Family::via:
        if (doc.Design().GetNets().GetTrackTool().ToggleViaAtCursor(doc.Session())) {
            doc.SetModified();
            m_host.Redraw(true);
        }
        return;
    case Family::routeManual:
        // As any edit: Undo takes the routed connection back and the design asks to be saved.
        if (IsAction(CEditState::actionWaiting)) {
            CRoutingCommands::RouteManualTracks(doc);
            m_host.Redraw(true);
        }
        return;
    case Family::connectPins:
        if (doc.Design().GetNets().OnConnectPinsClick())
            m_host.Redraw(true);
        return;
    case Family::select:
        ClickSelect(flags);
        return;
    case Family::boardSize:
        ClickRectangle();
        return;
    case Family::gridOffset:
        ClickGridOffset();
        return;
    case Family::componentLock:
        ClickComponentLock();
        return;
    case Family::idle:
        return;
    case Family::none:
        break;
    }
    CServices::Messages().MessageBox(unsupportedClick, "");
}

void CViewDispatch::ClickSelect(uint32_t flags)
{
    CWevraDoc& doc = m_document;
    switch (doc.Session().GetAction()) {
    case CEditState::actionWaiting:
        doc.Session().StartRubberBand();
        doc.Session().SetRubberBandVisible(true);
        doc.Session().SetAction(CEditState::actionBandOpen);
        m_host.Redraw(false);
        break;
    case CEditState::actionBandOpen:
        doc.Session().SetAction(CEditState::actionBandClosed);
        if (doc.Session().SelectInRect((flags & flagControl) != 0))
            m_host.Redraw(true);
        else
            m_commands.Send(ID_END_MODE);
        break;
    case CEditState::actionBandClosed:
        if (doc.Session().IsCursorInRubberBand()) {
            doc.Session().SetAnchor();
            m_host.WarpMouseToCursor();
            doc.Session().SetAction(CEditState::actionDragging);
            m_host.Redraw(true);
        } else {
            m_commands.Send(ID_END_MODE);
        }
        break;
    case CEditState::actionDragging:
        m_commands.Send(ID_END_MODE);
        break;
    case CEditState::actionPlacingCopy:
        doc.Editing().CopySelection();
        m_host.Redraw(true);
        break;
    default:
        break;
    }
}

void CViewDispatch::ClickRectangle()
{
    CWevraDoc& doc = m_document;
    if (IsAction(CEditState::actionWaiting)) {
        doc.Session().StartRubberBand();
        doc.Session().SetRubberBandVisible(true);
        doc.Session().SetAction(CEditState::actionBandOpen);
        m_host.Redraw(false);
        return;
    }
    doc.Session().BoardSizeFromRubberBand();
    SetMode(ID_VIEW);
}

void CViewDispatch::ClickGridOffset()
{
    CWevraDoc& doc = m_document;
    doc.Session().SnapCursor(true);
    if (!m_commands.TakeUserOffset(doc.Session().GetCursor()))
        return;
    doc.Session().SetMode(ID_SETTINGS_SET_GRID_OFFSET);
    doc.SetModified();
    m_host.Redraw(true);
}

void CViewDispatch::ClickPlane()
{
    CWevraDoc& doc = m_document;
    switch (doc.Session().GetMode()) {
    case ID_PLANES_NEW_PLANE:
        // Cancelled, the tool waits for the next click.
        if (doc.Planes().AddFullBoardPlaneAtCursor() != nullptr)
            SetMode(ID_PLANES_EDIT_POLYLINE);
        break;
    case ID_PLANES_ADD_CIRCLE:
    case ID_PLANES_ADD_RECTANGLE:
        if (IsAction(CEditState::actionWaiting)) {
            doc.Session().StartRubberBand();
            doc.Session().SetRubberBandVisible(true);
            doc.Session().SetAction(CEditState::actionBandOpen);
            m_host.Redraw(false);
        } else {
            const CRect box = doc.Session().TakeRubberBand();
            doc.Session().SetAction(CEditState::actionWaiting);
            if (box.Width() > 0 && box.Height() > 0) {
                if (doc.Session().IsMode(ID_PLANES_ADD_CIRCLE))
                    doc.Planes().AddCirclePlane(box);
                else
                    doc.Planes().AddRectanglePlane(box);
            }
            m_host.Redraw(true);
        }
        break;
    case ID_PLANES_ADD_POLYLINE:
        if (IsAction(CEditState::actionWaiting)) {
            doc.Planes().AddPolylinePlane(doc.Session().GetCursor());
            m_host.Redraw(true);
        }
        break;
    case ID_PLANE_MOVE_SEEDPOINT_MODE:
        doc.Planes().MovePlaneSeed(doc.Session().GetCursor());
        break;
    default:
        if (doc.Planes().PlaneEditClick())
            m_host.Redraw(true);
        break;
    }
}

void CViewDispatch::ClickComponentLock()
{
    CWevraDoc& doc = m_document;
    CComponentArray& components = doc.Design().GetComponents();
    CPoint point = doc.Session().GetRawCursor();
    const int32_t i = components.FindAtPoint(point, CComponentArray::hitIgnoreSelectLock,
                                             LayerBit(doc.Session().GetWorkLayer()));
    if (i < 0)
        return;
    // Fix keeps a component where it is; Lock refuses every edit but the selection, so that
    // the component can still be picked to unlock it.
    const uint32_t bits =
        doc.Session().IsMode(ID_COMPONENTS_FIX)
            ? ComponentFlags::lockMove | ComponentFlags::lockRotate | ComponentFlags::lockMirror
            : ComponentFlags::allLocks & ~ComponentFlags::lockSelect;
    const bool on = (components.GetComponent(i)->GetFlags() & bits) != bits;
    doc.History().SaveUndoState();
    components.SetFlag(i, bits, on);
    doc.SetModified();
    m_host.Redraw(true);
}

// ---- Mouse --------------------------------------------------------------------------------------

void CViewDispatch::OnFocusFromPane(int32_t x, int32_t y)
{
    CWevraDoc& doc = m_document;
    if (doc.Design().GetComponents().GetSelectedCount() != 1 ||
        doc.Session().GetCurrentComponentIndex() < 0)
        return;
    if (IsAction(CEditState::actionMoveFromPane)) {
        // The cursor still stands where it was when the part was picked; the part goes to
        // the mouse and follows it from there.
        doc.Session().CursorFromPixel(x, y);
        const CPoint from =
            doc.Design().GetComponents().GetPosition(doc.Session().GetCurrentComponentIndex());
        doc.Editing().MoveCurrentComponentToCursor();
        doc.Design().GetComponents().GetComponentTool().BeginDrag(from, doc.Session().GetCursor());
        doc.Session().SetAnchor();
        doc.Session().SetAction(CEditState::actionDragging);
        doc.Windows().UpdateAllViews();
    } else {
        doc.Session().DeselectAll();
    }
    m_host.Redraw(true);
}

void CViewDispatch::OnMouseMove(int32_t x, int32_t y, uint32_t flags)
{
    CWevraDoc& doc = m_document;
    const bool bandOpen =
        doc.Session().IsMode(ID_EDIT_SELECT_MODE) && IsAction(CEditState::actionBandOpen);
    const bool moved = doc.Session().CursorFromPixel(x, y);
    if (bandOpen) {
        // The band follows the mouse itself, not the grid.
        doc.Session().SetCursor(doc.Session().GetRawCursor());
        OnCursorMoved(flags);
    } else if (moved) {
        OnCursorMoved(flags);
    }

    if (m_host.IsLongCrosshair() || !IsAction(CEditState::actionWaiting)) {
        m_host.SetToolTipText("");
        return;
    }
    if (!m_host.IsTooltipAtCursor())
        return;
    CNetArray& nets = doc.Design().GetNets();
    const int32_t before = nets.GetCurrentIndex();
    const CPoint raw = doc.Session().GetRawCursor();
    if (nets.GetInfoAt(raw.x, raw.y, doc.Session().GetSelectableLayerMask())) {
        doc.View().SetInfoText(nets.GetInfoText());
        m_host.SetToolTipText(nets.GetInfoText());
        RefreshStatus();
    } else {
        m_host.SetToolTipText("");
    }
    if (nets.GetCurrentIndex() != before)
        m_host.Redraw(true);
}

void CViewDispatch::OnCursorMoved(uint32_t flags)
{
    CWevraDoc& doc = m_document;
    if (m_host.IsLongCrosshair() || m_host.IsDiagonalCross())
        m_host.Redraw(false);

    if (doc.View().IsZoomWindowPending()) {
        if (!IsAction(CEditState::actionWaiting)) {
            KeepCursorVisible(false);
            CRect zoom = doc.View().GetZoomRect();
            const CPoint raw = doc.Session().GetRawCursor();
            zoom.right = raw.x;
            zoom.bottom = raw.y;
            doc.View().SetZoomRect(zoom);
            m_host.Redraw(false);
        }
        return;
    }
    if (m_host.HasShapePreview()) {
        m_host.Redraw(false);
        return;
    }
    if ((flags & flagShift) != 0 && IsAction(CEditState::actionDragging)) {
        // One axis only: the one with the larger distance from the anchor, y when equal.
        const CPoint anchor = doc.Session().GetAnchor();
        CPoint cursor = doc.Session().GetCursor();
        if (std::llabs(int64_t(cursor.x) - anchor.x) <= std::llabs(int64_t(cursor.y) - anchor.y))
            cursor.x = anchor.x;
        else
            cursor.y = anchor.y;
        doc.Session().SetCursor(cursor);
        m_host.WarpMouseToCursor();
    }
    if (doc.Session().IsMode(ID_EDIT_SELECT_MODE) && IsAction(CEditState::actionBandOpen)) {
        MoveSelectBand();
        return;
    }
    if (!doc.Session().HasCursorMoved())
        return;
    if (!IsAction(CEditState::actionWaiting))
        KeepCursorVisible(false);
    RefreshStatus();
    MoveByMode();
}

void CViewDispatch::MoveSelectBand()
{
    KeepCursorVisible(false);
    m_document.Session().ClampRubberBandToBoard();
    m_host.Redraw(false);
    RefreshStatus();
}

void CViewDispatch::MoveByMode()
{
    CWevraDoc& doc = m_document;
    const uint32_t mode = doc.Session().GetMode();
    switch (FamilyOf(mode)) {
    case Family::track:
        doc.Design().GetNets().GetTrackTool().OnTrackToolMouseMove(doc.Session());
        return;
    case Family::pad:
        doc.Design().GetNets().GetTrackTool().OnPadToolMouseMove(doc.Session());
        return;
    case Family::component:
        doc.Design().GetComponents().GetComponentTool().OnToolMouseMove(doc.Session());
        return;
    case Family::line:
        doc.Design().GetLines().GetLineTool().OnMoveCursor(doc.Session());
        return;
    case Family::text:
        doc.Design().GetTexts().OnMoveCursor();
        return;
    case Family::plane:
        if (mode == ID_PLANES_ADD_CIRCLE || mode == ID_PLANES_ADD_RECTANGLE) {
            if (IsAction(CEditState::actionBandOpen)) {
                doc.Session().UpdateRubberBand(false);
                m_host.Redraw(false);
            }
        } else {
            doc.Planes().PlaneEditMouseMove();
            m_host.Redraw(false);
        }
        return;
    case Family::via:
        m_host.Redraw(false);
        return;
    case Family::boardSize:
        if (!IsAction(CEditState::actionWaiting))
            MoveSelectBand();
        return;
    case Family::select:
        if (doc.Session().GetSelectedCount() > 0 &&
            (IsAction(CEditState::actionDragging) || IsAction(CEditState::actionPlacingCopy))) {
            doc.Editing().MoveSelectionToCursor();
            m_host.Redraw(false);
        }
        return;
    default:
        return;
    }
}

CViewDispatch::Pointer CViewDispatch::GetPointer() const
{
    if (m_host.IsLongCrosshair() || m_host.IsDiagonalCross())
        return Pointer::crosshair;
    if (IsAction(CEditState::actionDragging) || IsAction(CEditState::actionMoveFromPane))
        return Pointer::move;
    return Pointer::arrow;
}

// ---- Automatic panning --------------------------------------------------------------------------

void CViewDispatch::KeepCursorVisible(bool force)
{
    CWevraDoc& doc = m_document;
    if (!force && !doc.Design().GetViewFlag(CDesignSettings::viewAutoPanning))
        return;
    const CSize client = m_host.GetClientSize();
    const int64_t scale = doc.View().GetScale();
    const int64_t hw = int64_t(double(client.cx) * double(scale) * 0.5);
    const int64_t hh = int64_t(double(client.cy) * double(scale) * 0.5);
    const CPoint offset = doc.View().GetViewOffset();
    const CPoint cursor = doc.Session().GetCursor();
    int64_t dx = hw - offset.x - cursor.x;
    int64_t dy = hh - offset.y - cursor.y;
    if (!force) {
        if (0.75 * double(hw) > double(std::llabs(dx)))
            dx = 0;
        if (0.75 * double(hh) > double(std::llabs(dy)))
            dy = 0;
    }
    if (dx == 0 && dy == 0)
        return;
    if (!(std::llabs(dx) > hw && std::llabs(dy) > hh)) {
        if (std::llabs(dx) > std::llabs(dy))
            dy = 0;
        else
            dx = 0;
    }
    doc.View().ScrollBy(SaturateToInt(dx), SaturateToInt(dy));
    m_host.SetWarpAfterRepaint(true);
    m_host.Redraw(true);
    m_host.WarpMouseToCursor();
}

// ---- Zoom and scrolling -------------------------------------------------------------------------

void CViewDispatch::ZoomIn()
{
    m_commands.ZoomBy(true);
}

void CViewDispatch::ZoomOut()
{
    m_commands.ZoomBy(false);
}

void CViewDispatch::OnWheel(int32_t x, int32_t y, int32_t delta, uint32_t flags)
{
    CWevraDoc& doc = m_document;
    if ((flags & flagControl) != 0) {
        if (delta == 0)
            return;
        doc.Session().CursorFromPixel(x, y);
        m_commands.ZoomAtPixel(delta > 0, x, y);
        return;
    }
    // By the window, not by the board: the same turn moves the view alike at every zoom.
    const bool horizontal = (flags & flagShift) != 0;
    const CSize client = m_host.GetClientSize();
    const int64_t window = int64_t(horizontal ? client.cx : client.cy) * doc.View().GetScale();
    const int64_t shift = window * delta / (int64_t(wheelNotch) * wheelStepsPerWindow);
    if (!doc.View().ScrollBy(horizontal ? SaturateToInt(shift) : 0,
                             horizontal ? 0 : SaturateToInt(shift)))
        return;
    m_host.SetWarpAfterRepaint(false);
    m_host.Redraw(true);
}

int32_t CViewDispatch::ScrollShift(int32_t extent, Scroll code, int32_t track)
{
    const int32_t page = std::max(int32_t(std::llabs(int64_t(extent)) / 10), 1);
    const int32_t line = std::max(page / 10, 1);
    switch (code) {
    case Scroll::lineBack:
        return line;
    case Scroll::lineForward:
        return -line;
    case Scroll::pageBack:
        return page;
    case Scroll::pageForward:
        return -page;
    case Scroll::track:
        return track;
    case Scroll::other:
        break;
    }
    return 0;
}

void CViewDispatch::OnScroll(bool horizontal, Scroll code, int32_t track)
{
    if (code == Scroll::other) {
        m_host.Redraw(false);
        return;
    }
    const CSize extent = m_document.View().GetBoardExtent();
    int64_t shift = ScrollShift(horizontal ? extent.cx : extent.cy, code, track);
    // The bar ends at the design's edges (or where the view already is beyond them).
    const CRect design = CDesignExtent::Of(m_document.Design());
    const CPoint offset = m_document.View().GetViewOffset();
    const CSize client = m_host.GetClientSize();
    const int64_t position = -int64_t(horizontal ? offset.x : offset.y);
    const int64_t visible =
        int64_t(horizontal ? client.cx : client.cy) * m_document.View().GetScale();
    const int64_t first = std::min<int64_t>(horizontal ? design.left : design.top, position);
    const int64_t last =
        std::max<int64_t>((horizontal ? design.right : design.bottom) - visible, position);
    shift = position - std::clamp(position - shift, first, last);
    m_document.View().ScrollBy(horizontal ? SaturateToInt(shift) : 0,
                               horizontal ? 0 : SaturateToInt(shift));
    m_host.SetWarpAfterRepaint(false);
    m_host.Redraw(true);
}
