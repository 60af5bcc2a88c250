#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CPinSwapTool.h"
#include "document/CToolCommands.h"
#include "document/CViewCommandHost.h"
#include "document/CViewCommands.h"
#include "document/CViewDispatch.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CResString.h"
#include "framework/Numeric.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentArray.h"
#include "model/CComponentTool.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLineTool.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"
#include "model/CTrackTool.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

constexpr uint32_t escapeCharacter = 27;
constexpr int32_t unitCount = 3;
constexpr int32_t lastKeyLayer = 30;

bool IsOneOf(uint32_t mode, std::initializer_list<uint32_t> modes)
{
    for (const uint32_t m : modes) {
        if (m == mode)
            return true;
    }
    return false;
}

// The track modes that take characters and offer a context menu; the figure modes do not.
bool IsTrackDrawingMode(uint32_t mode)
{
    return IsOneOf(mode, {ID_TRACKS_EDIT, ID_TRACKS_CHANGE_TRACKS_WIDTH, ID_TRACKS_COPY_TRACKS,
                          ID_TRACKS_DELETE_TRACKS, ID_TRACKS_DELETE_SEGMENTS, ID_TRACKS_ADD});
}

uint32_t Upper(uint32_t character)
{
    return character >= 'a' && character <= 'z' ? character - 'a' + 'A' : character;
}

} // namespace

// ---- Keys ---------------------------------------------------------------------------------------

void CViewDispatch::OnKeyDown(uint32_t key, uint32_t flags)
{
    m_document.History().GetBackup().NoteActivity();
    // The space bar is the click of the character handler.
    if (key == VK_SPACE)
        return;
    if (KeyOfView(key, flags))
        return;
    KeyByMode(key);
}

void CViewDispatch::SelectLayerKey(int32_t digit, uint32_t flags)
{
    const bool shift = (flags & flagShift) != 0;
    const bool control = (flags & flagControl) != 0;
    const int32_t layer = digit + (shift ? 10 : 0) + (control ? 20 : 0);
    if (layer > lastKeyLayer)
        return;
    m_document.Session().SelectLayerByKey(digit, shift, control);
    m_host.Redraw(true);
}

bool CViewDispatch::KeyOfView(uint32_t key, uint32_t flags)
{
    CWevraDoc& doc = m_document;
    const bool shift = (flags & flagShift) != 0;
    const bool control = (flags & flagControl) != 0;
    if (key >= '0' && key <= '9') {
        SelectLayerKey(int32_t(key - '0'), flags);
        return true;
    }
    if (doc.Session().MoveCursorByKey(key)) {
        OnCursorMoved(flags);
        m_host.WarpMouseToCursor();
        return true;
    }
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        // A cursor key that could not move the cursor any further.
        return true;
    case VK_F5:
        doc.OnToggleTransparentColors();
        return true;
    case VK_F6:
        doc.View().SetRulerOrigin(doc.Session().GetCursor());
        doc.View().SetRulerLocked(!doc.View().IsRulerLocked());
        RefreshStatus();
        return true;
    case VK_F9:
        m_host.SendCommand(ID_SETTINGS_QUICK_SELECT_GRID_SIZES);
        return true;
    case VK_ESCAPE:
        if (!IsAction(CEditState::actionBandOpen))
            return false;
        doc.Session().SetAction(CEditState::actionWaiting);
        doc.Session().SetRubberBandVisible(false);
        m_host.Redraw(false);
        return true;
    case 'A':
        if (control) {
            doc.Session().SelectAll(true);
            m_host.Redraw(true);
        } else if (shift) {
            m_host.SetLongCrosshair(!m_host.IsLongCrosshair());
            m_host.Redraw(false);
        } else {
            m_host.FlashCross(false);
        }
        return true;
    case 'C':
        if (!shift) {
            KeepCursorVisible(true);
        } else {
            const CPoint before = doc.View().GetViewOffset();
            doc.View().CenterOnCursor();
            if (doc.View().GetViewOffset() != before) {
                m_host.WarpMouseToCursor();
                m_host.SetWarpAfterRepaint(false);
                m_host.Redraw(true);
            }
        }
        return true;
    case 'D':
        m_host.SendCommand(control ? ID_TOOLS_DRC_ACTIVE : ID_VIEW_SELECT_LAYERSET);
        return true;
    case 'G':
        if (!control)
            return false;
        m_host.SendCommand(ID_SETTINGS_SET_GRID);
        return true;
    case 'H':
        m_host.SendCommand(ID_VIEW_TOOLTIP_AT_CURSOR);
        return true;
    case 'I':
        ZoomIn();
        return true;
    case 'O':
        ZoomOut();
        return true;
    case 'L':
        m_host.SendCommand(ID_SETTINGS_LAYER);
        return true;
    case 'N':
        m_host.SendCommand(ID_COMPONENTS_PIN_INFO);
        return true;
    case 'P':
    case 'W':
        m_host.SendCommand(IsAction(CEditState::actionWaiting) ? ID_SETTINGS_PEN_WIDTH
                                                               : ID_SELECT_PEN);
        return true;
    case 'Q':
        if (shift) {
            m_host.SetDiagonalCross(!m_host.IsDiagonalCross());
            m_host.Redraw(false);
        } else {
            m_host.FlashCross(true);
        }
        return true;
    case 'R':
        m_host.SendCommand(ID_AUTOROUTER1);
        return true;
    case 'U':
        if (!control)
            return false;
        doc.Design().SetUnit((doc.Session().GetUnit() + 1) % unitCount);
        RefreshStatus();
        doc.Windows().UpdateAllViews();
        return true;
    case 'X':
    case 'Y':
        m_host.SendCommand(ID_OTHER_INPUT_POSITION);
        return true;
    case 'Z':
        m_host.SendCommand(ID_VIEW_ZOOM_ZOOM);
        return true;
    default:
        return false;
    }
}

void CViewDispatch::KeyByMode(uint32_t key)
{
    CWevraDoc& doc = m_document;
    switch (FamilyOf(doc.Session().GetMode())) {
    case Family::track:
        doc.Design().GetNets().GetTrackTool().OnTrackKeyDown(doc.Session(), key);
        return;
    case Family::pad:
        doc.Design().GetNets().GetTrackTool().OnPadToolKeyDown(doc.Session(), key);
        return;
    case Family::component:
        doc.Design().GetComponents().GetComponentTool().OnToolKeyDown(doc.Session(), key);
        return;
    case Family::line:
        doc.Design().GetLines().GetLineTool().OnKeyDown(doc.Session(), key);
        return;
    case Family::text:
        doc.Design().GetTexts().OnKeyEsc(key);
        return;
    case Family::plane:
        if (doc.Planes().PlaneEditKey(key))
            m_host.Redraw(true);
        return;
    case Family::select:
        KeySelect(key);
        return;
    default:
        doc.Session().SetAction(CEditState::actionWaiting);
        if (key == VK_ESCAPE && !doc.Session().IsMode(ID_VIEW))
            SetMode(ID_VIEW);
        return;
    }
}

void CViewDispatch::KeySelect(uint32_t key)
{
    CWevraDoc& doc = m_document;
    if (IsAction(CEditState::actionWaiting)) {
        if (key == VK_ESCAPE)
            SetMode(ID_VIEW);
        return;
    }
    if (IsAction(CEditState::actionPlacingCopy)) {
        if (key != VK_ESCAPE)
            return;
        // The copy never placed goes again.
        doc.Editing().DeleteSelectedItems();
        doc.Session().DeselectAll();
        doc.Session().SetAction(CEditState::actionWaiting);
        m_host.Redraw(true);
        return;
    }
    if (!IsAction(CEditState::actionDragging) && !IsAction(CEditState::actionBandClosed))
        return;
    switch (key) {
    case VK_RETURN:
        m_commands.Send(ID_END_MODE);
        break;
    case VK_ESCAPE:
        m_commands.Send(ID_END_MODE);
        m_host.Redraw(true);
        break;
    case VK_DELETE:
        m_commands.Send(ID_OTHER_DELETE);
        break;
    case VK_F2:
        doc.Editing().RotateSelection90();
        m_host.Redraw(true);
        break;
    default:
        break;
    }
}

// ---- Characters ---------------------------------------------------------------------------------

void CViewDispatch::OnChar(uint32_t character, bool repeat, uint32_t /*flags*/)
{
    // A held space bar is one click, not one per repeat.
    if (character == ' ' && repeat)
        return;
    if (CharOfView(character))
        return;
    CharByMode(character);
}

void CViewDispatch::QuickSnap()
{
    CWevraDoc& doc = m_document;
    CGridArr& grids = doc.Design().GetGridSettings();
    const bool wasOn = grids.IsCurrentSnapOn();
    grids.SetCurrentSnapOn(true);
    const CPoint cursor = doc.Session().GetCursor();
    const CPoint origin = doc.Session().GetOrigin();
    doc.Session().MoveCursorTo(grids.SnapToPoints(cursor.x, cursor.y, origin.x, origin.y));
    grids.SetCurrentSnapOn(wasOn);
    doc.Editing().MoveSelectionToCursor();
    m_host.WarpMouseToCursor();
    RefreshStatus();
    m_host.Redraw(false);
}

bool CViewDispatch::CharOfView(uint32_t character)
{
    CWevraDoc& doc = m_document;
    const bool board = !doc.IsShapeDocument();
    const bool copper = IsCopperLayer(doc.Session().GetWorkLayer());
    switch (character) {
    case escapeCharacter:
        return true;
    case '*':
        QuickSnap();
        return true;
    case '.':
        m_host.SendCommand(ID_VIEW_GRID);
        return true;
    case '/':
        m_host.OpenContextMenuAtCorner();
        return true;
    default:
        break;
    }
    const uint32_t letter = Upper(character);
    if (!board && letter != 'E' && letter != 'S' && letter != 'T')
        return false;
    switch (letter) {
    case ';':
        m_host.SendCommand(ID_VIEW_COMPONENTS_TEXT);
        m_host.Redraw(true);
        return true;
    case 'E':
        if (copper)
            m_host.SendCommand(ID_TRACKS_EDIT);
        else
            SetMode(ID_LINES_EDIT);
        return true;
    case 'M':
        m_host.SendCommand(ID_COMPONENTS_MOVE_ROTATE);
        return true;
    case 'S':
        if (copper)
            m_host.SendCommand(ID_PADS_ADD_MANUALLY);
        return true;
    case 'T':
        if (copper)
            m_host.SendCommand(ID_TRACKS_ADD);
        else
            SetMode(ID_LINES_ADD);
        return true;
    case 'V':
        if (!doc.Session().IsMode(ID_VIEW))
            return false;
        m_host.SendCommand(ID_TRACKS_ADD_OR_REMOVE_VIA);
        return true;
    case '[':
        m_host.SendCommand(ID_OTHER_SNAP_TO_GUIDES_DECREMENT);
        return true;
    case ']':
        m_host.SendCommand(ID_OTHER_SNAP_TO_GUIDES_INCREMENT);
        return true;
    default:
        return false;
    }
}

void CViewDispatch::CharByMode(uint32_t character)
{
    CWevraDoc& doc = m_document;
    const uint32_t mode = doc.Session().GetMode();
    switch (FamilyOf(mode)) {
    case Family::track:
        if (IsTrackDrawingMode(mode))
            doc.Design().GetNets().GetTrackTool().OnTrackChar(doc.Session(), character);
        return;
    case Family::pad:
        doc.Design().GetNets().GetTrackTool().OnPadToolChar(doc.Session(), character);
        return;
    case Family::component:
        doc.Design().GetComponents().GetComponentTool().OnChar(doc.Session(), character);
        return;
    case Family::line:
        doc.Design().GetLines().GetLineTool().OnChar(doc.Session(), character);
        return;
    case Family::text:
        doc.Design().GetTexts().OnKeySpace(character);
        return;
    case Family::plane:
        if (doc.Planes().PlaneChar(char(character)))
            m_host.Redraw(true);
        return;
    case Family::connectPins:
        if (character == '+')
            m_host.SendCommand(ID_NETLIST_ADD_NET);
        else if (character == ' ')
            OnSpaceBarDown();
        return;
    // The tools without a character handler of their own take the space bar as their click.
    case Family::select:
    case Family::pinSwap:
    case Family::via:
    case Family::routeManual:
    case Family::boardSize:
    case Family::gridOffset:
    case Family::componentLock:
        if (character == ' ')
            OnSpaceBarDown();
        return;
    default:
        return;
    }
}

// ---- Context menu and End Mode ------------------------------------------------------------------

void CViewDispatch::AppendToolMenu(std::vector<uint32_t>& items, bool& replacedFirst)
{
    CWevraDoc& doc = m_document;
    const uint32_t mode = doc.Session().GetMode();
    const auto take = [&items, &replacedFirst](const std::vector<uint32_t>& tool, bool replaces) {
        if (tool.empty())
            return;
        if (replaces) {
            items[0] = tool[0];
            items.insert(items.end(), tool.begin() + 1, tool.end());
        } else {
            items.insert(items.end(), tool.begin(), tool.end());
        }
        replacedFirst = true;
    };
    bool replaces = false;
    switch (FamilyOf(mode)) {
    case Family::track:
        if (IsTrackDrawingMode(mode)) {
            const std::vector<uint32_t> tool =
                doc.Design().GetNets().GetTrackTool().OnTrackToolContextMenu(doc.Session(),
                                                                             replaces);
            take(tool, replaces);
        }
        return;
    case Family::pad: {
        const std::vector<uint32_t> tool =
            doc.Design().GetNets().GetTrackTool().OnPadToolContextMenu(doc.Session(), replaces);
        take(tool, replaces);
        return;
    }
    case Family::component:
        // The component tool's first item is End Mode itself.
        if (!doc.IsShapeDocument() &&
            IsOneOf(mode, {ID_COMPONENTS_COPY, ID_COMPONENTS_DELETE, ID_COMPONENTS_SNAP_TO_GRID,
                           ID_COMPONENTS_ADD}))
            take(
                doc.Design().GetComponents().GetComponentTool().BuildToolContextMenu(doc.Session()),
                true);
        return;
    case Family::line:
        take(doc.Design().GetLines().GetLineTool().OnContextMenu(doc.Session()),
             !IsAction(CEditState::actionWaiting));
        return;
    case Family::text:
        if (!doc.IsShapeDocument())
            take(doc.Design().GetTexts().GetContextMenuItems(), false);
        return;
    case Family::plane:
        if (!doc.IsShapeDocument()) {
            items.clear();
            items = m_commands.GetPlaneContextMenu();
            replacedFirst = true;
        }
        return;
    default:
        return;
    }
}

void CViewDispatch::AppendSelectMenu(std::vector<uint32_t>& items)
{
    CWevraDoc& doc = m_document;
    const bool waiting = IsAction(CEditState::actionWaiting);
    const bool selected = doc.Session().GetSelectedCount() > 0;
    if (doc.IsShapeDocument()) {
        if (!selected && waiting)
            items.insert(items.end(), {ID_LINES_ADD,
                                       ID_LINES_ADD_CIRCLES,
                                       ID_LINES_ADD_ELLIPSES,
                                       ID_LINES_ADD_RECTANGLES,
                                       ID_LINES_EDIT,
                                       ID_LINES_COPY_LINES,
                                       ID_LINES_DELETE_LINES,
                                       ID_LINES_DELETE_SEGMENTS,
                                       0,
                                       ID_PADS_ADD_MANUALLY,
                                       ID_PADS_COPY,
                                       ID_PADS_DELETE,
                                       ID_PADS_MOVE,
                                       ID_PADS_ROTATE,
                                       ID_PADS_REPLACE,
                                       ID_PADS_SET_PAD_ORDER,
                                       0,
                                       ID_EDIT_SELECTION_FILTERS_SELECT_POINTS,
                                       ID_EDIT_SELECTION_FILTERS_SELECT_LINES,
                                       0,
                                       ID_EDIT_SELECTION_FILTERS_PADS});
        else if (selected)
            items.insert(items.end(), {0, ID_EDIT_DELETE_SELECTION, ID_EDIT_ROTATE_90,
                                       ID_EDIT_ROTATE, ID_EDIT_CHANGE_LAYER_ON_SELECTION});
        return;
    }
    if (waiting) {
        items.insert(
            items.end(),
            {0, ID_EDIT_SELECTION_FILTERS_NON_ELECTRICAL_OBJECTS,
             ID_EDIT_SELECTION_FILTERS_ELECTRICAL_OBJECTS, 0,
             ID_EDIT_SELECTION_FILTERS_SELECT_POINTS, ID_EDIT_SELECTION_FILTERS_SELECT_LINES,
             ID_EDIT_SELECTION_FILTERS_NETS, ID_EDIT_SELECTION_FILTERS_SELECT_BLOCKS, 0,
             ID_EDIT_SELECTION_FILTERS_COMPONENTS, ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS,
             ID_EDIT_SELECTION_FILTERS_PADS});
        return;
    }
    if (IsAction(CEditState::actionDragging) ||
        (selected && !IsAction(CEditState::actionPlacingCopy))) {
        items.insert(items.end(),
                     {0, ID_EDIT_ROTATE_90, ID_EDIT_ROTATE, 0, ID_EDIT_CHANGE_LAYER_ON_SELECTION,
                      ID_EDIT_CHANGE_PEN_ON_SELECTION, 0, ID_EDIT_COPY_SELECTION,
                      ID_EDIT_COPY_RECTANGULAR_ARRAY});
        if (doc.Design().GetComponents().GetSelectedCount() > 0)
            items.push_back(ID_EDIT_EXTRACT_TRACKS_FROM_SHAPES);
        items.insert(items.end(), {0, ID_EDIT_DELETE_SELECTION});
    }
}

std::vector<uint32_t> CViewDispatch::BuildContextMenu()
{
    CWevraDoc& doc = m_document;
    const bool shape = doc.IsShapeDocument();
    std::vector<uint32_t> items = {shape ? uint32_t(ID_FILE_CLOSE) : uint32_t(ID_END_MODE)};
    if (shape)
        items.push_back(0);
    bool toolItems = false;
    AppendToolMenu(items, toolItems);
    const bool select = doc.Session().IsMode(ID_EDIT_SELECT_MODE);
    if (select)
        AppendSelectMenu(items);
    else if (!shape && !toolItems && IsAction(CEditState::actionWaiting)) {
        items[0] = IsCopperLayer(doc.Session().GetWorkLayer()) ? ID_TRACKS_EDIT : ID_LINES_EDIT;
        items.push_back(ID_COMPONENTS_MOVE_ROTATE);
    }
    items.insert(items.end(),
                 {0, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_WINDOW, ID_VIEW_ZOOM_ALL});
    return items;
}

bool CViewDispatch::EndToolStep()
{
    if (!CToolCommands::EndToolStep(m_document))
        return false;
    FollowPinSwapMode();
    m_host.Redraw(true);
    return true;
}
