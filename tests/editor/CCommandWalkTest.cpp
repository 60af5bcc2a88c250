#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CViewDispatch.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CDocTemplate.h"
#include "editor/CLeftPane.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraView.h"
#include "framework/qt/CQtCommandBinder.h"
#include "model/CDialogService.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/editor/DemoWindowTest.h"
#include "tests/support/ArchiveBytes.h"

namespace {

// The tool modes of a design: the idle mode and every mode a command starts.
const uint32_t toolModes[] = {
    ID_VIEW,
    ID_EDIT_SELECT_MODE,
    ID_TRACKS_ADD_OR_REMOVE_VIA,
    ID_COMPONENTS_COPY,
    ID_COMPONENTS_DELETE,
    ID_COMPONENTS_FIX,
    ID_COMPONENTS_LOCK,
    ID_COMPONENTS_MIRROR,
    ID_COMPONENTS_MOVE_ROTATE,
    ID_COMPONENTS_MOVE_ROTATE_TEXT,
    ID_COMPONENTS_PROPERTIES,
    ID_COMPONENTS_REPLACE_PADS,
    ID_COMPONENTS_REPLACE_SHAPE,
    ID_COMPONENTS_ROTATE,
    ID_COMPONENTS_ROTATE_90_DEGR,
    ID_COMPONENTS_SET_POSITION,
    ID_COMPONENTS_SNAP_TO_GRID,
    ID_COMPONENTS_ADD,
    ID_LINES_EDIT,
    ID_LINES_CHANGE_LINE_WIDTH,
    ID_LINES_COPY_LINES,
    ID_LINES_DELETE_LINES,
    ID_LINES_DELETE_SEGMENTS,
    ID_LINES_ADD,
    ID_LINES_ADD_CIRCLES,
    ID_LINES_ADD_ELLIPSES,
    ID_LINES_ADD_RECTANGLES,
    ID_PADS_COPY,
    ID_PADS_DELETE,
    ID_PADS_MOVE,
    ID_PADS_REPLACE,
    ID_PADS_ROTATE,
    ID_PADS_SET_PAD_ORDER,
    ID_PADS_ADD_MANUALLY,
    ID_PLANES_NEW_PLANE,
    ID_PLANES_ADD_CIRCLE,
    ID_PLANES_ADD_POLYLINE,
    ID_PLANES_ADD_RECTANGLE,
    ID_PLANES_EDIT_POLYLINE,
    ID_PLANE_MOVE_SEEDPOINT_MODE,
    ID_BOARD_EDIT_TEXT,
    ID_BOARD_PLACE_TEXT,
    ID_TRACKS_EDIT,
    ID_TRACKS_CHANGE_TRACKS_WIDTH,
    ID_TRACKS_COPY_TRACKS,
    ID_TRACKS_DELETE_TRACKS,
    ID_TRACKS_DELETE_SEGMENTS,
    ID_TRACKS_ADD_CIRCLES,
    ID_TRACKS_ADD_ELLIPSES,
    ID_TRACKS_ADD_RECTANGLES,
    ID_TRACKS_ADD,
    ID_NETLIST_CONNECT_PINS_TO_NETS,
    ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS,
    ID_TOOLS_PINSWAPPING,
    ID_SETTINGS_SET_GRID_OFFSET,
    ID_BOARD_BOARD_SIZE_AND_OFFSET,
};

// A dialog service that answers Cancel to every dialog. It offers the dialogs the program's own
// service offers, or every dialog while `offerAll` is set: a command that only then is enabled
// waits for a dialog the program cannot show.
class CCancellingDialogs : public CDialogService {
public:
    explicit CCancellingDialogs(const CDialogService& program) : m_program(program) {}

    bool Offers(Dialog dialog) const override { return offerAll || m_program.Offers(dialog); }

    bool offerAll = false;

private:
    const CDialogService& m_program;
};

// The commands of the board view's table, each to be found on a menu, a toolbar or a context
// menu, or in `reachedWithoutItem`.
const uint32_t viewCommands[] = {
    // Tools.
    ID_TRACKS_ADD_OR_REMOVE_VIA, ID_COMPONENTS_COPY, ID_COMPONENTS_DELETE, ID_COMPONENTS_MIRROR,
    ID_COMPONENTS_ROTATE, ID_COMPONENTS_ROTATE_90_DEGR, ID_COMPONENTS_SET_POSITION,
    ID_COMPONENTS_REPLACE_PADS, ID_COMPONENTS_PROPERTIES, ID_COMPONENTS_MOVE_ROTATE,
    ID_COMPONENTS_FIX, ID_COMPONENTS_LOCK, ID_COMPONENTS_REPLACE_SHAPE, ID_COMPONENTS_ADD,
    ID_COMPONENTS_SNAP_TO_GRID, ID_PADS_COPY, ID_PADS_DELETE, ID_PADS_MOVE, ID_PADS_REPLACE,
    ID_PADS_SET_PAD_ORDER, ID_PADS_ROTATE, ID_PADS_ADD_MANUALLY, ID_TRACKS_EDIT,
    ID_TRACKS_CHANGE_TRACKS_WIDTH, ID_TRACKS_COPY_TRACKS, ID_TRACKS_DELETE_TRACKS,
    ID_TRACKS_DELETE_SEGMENTS, ID_TRACKS_ADD_CIRCLES, ID_TRACKS_ADD_ELLIPSES,
    ID_TRACKS_ADD_RECTANGLES, ID_TRACKS_ADD, ID_LINES_EDIT, ID_LINES_CHANGE_LINE_WIDTH,
    ID_LINES_COPY_LINES, ID_LINES_DELETE_LINES, ID_LINES_DELETE_SEGMENTS, ID_LINES_ADD,
    ID_LINES_ADD_CIRCLES, ID_LINES_ADD_ELLIPSES, ID_LINES_ADD_RECTANGLES, ID_BOARD_EDIT_TEXT,
    ID_BOARD_PLACE_TEXT, ID_EDIT_SELECT_MODE, ID_NETLIST_CONNECT_PINS_TO_NETS, ID_AUTOROUTER1,
    ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS, ID_TOOLS_PINSWAPPING, ID_SETTINGS_SET_GRID_OFFSET,
    ID_PLANES_NEW_PLANE, ID_PLANES_ADD_CIRCLE, ID_PLANES_ADD_POLYLINE, ID_PLANES_ADD_RECTANGLE,
    ID_PLANES_EDIT_POLYLINE, ID_PLANES_MOVE_SEEDPOINT, ID_END_MODE, ID_PLANES_END_EDIT,
    ID_EDIT_CANCEL,
    // Selection filters.
    ID_EDIT_SELECTION_FILTERS_SELECT_POINTS, ID_EDIT_SELECTION_FILTERS_SELECT_SEGMENTS,
    ID_EDIT_SELECTION_FILTERS_SELECT_LINES, ID_EDIT_SELECTION_FILTERS_NETS,
    ID_EDIT_SELECTION_FILTERS_SELECT_BLOCKS, ID_EDIT_SELECTION_FILTERS_COMPONENTS,
    ID_EDIT_SELECTION_FILTERS_PADS, ID_EDIT_SELECTION_FILTERS_TEXTS, ID_EDIT_SELECTION_FILTERS_VIAS,
    ID_EDIT_SELECTION_FILTERS_PLANES, ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS,
    ID_EDIT_SELECTION_FILTERS_NON_ELECTRICAL_OBJECTS, ID_EDIT_SELECTION_FILTERS_ELECTRICAL_OBJECTS,
    ID_EDIT_SELECTION_FILTERS_ONLY_AT_WORKLAYER,
    // Display switches, units, zoom and the quick grid.
    ID_VIEW_SCROLL_BARS, ID_VIEW_GRID, ID_VIEW_LONG_CURSOR_CROSSHAIR, ID_VIEW_TOOLTIP_AT_CURSOR,
    ID_VIEW_AUTO_PANNING, ID_VIEW_HOLES_ALWAYS_VISIBLE, ID_VIEW_COMPONENTS_REF_NAMES,
    ID_VIEW_PLANES_HATCHVIEW, ID_VIEW_PLANES_WYSIWYG, ID_VIEW_PLANES_HIDE,
    ID_VIEW_COMPONENTS_PIN_INFO_HIDE, ID_VIEW_COMPONENTS_PIN_INFO_PIN_NUMBERS,
    ID_VIEW_COMPONENTS_PIN_INFO_HOLE_DIAMETERS, ID_VIEW_COMPONENTS_PIN_INFO_PADSTACK_NAMES,
    ID_VIEW_COMPONENTS_PIN_INFO_PADSTACK_INDEX, ID_VIEW_COMPONENTS_PIN_INFO_NET_NAMES,
    ID_VIEW_COMPONENTS_PIN_INFO_NET_INDEX, ID_VIEW_COMPONENTS_PIN_INFO_SUBNET_MARK,
    ID_COMPONENTS_PIN_INFO, ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO,
    ID_VIEW_COMPONENTS_TEXT_HIDE, ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT,
    ID_VIEW_COMPONENTS_TEXT_COMPONENT_SHAPE_TEXT, ID_VIEW_COMPONENTS_TEXT_COMPONENT_TYPE_TEXT,
    ID_VIEW_COMPONENTS_TEXT, ID_TOOLS_RATSNEST_ACTIVE, ID_TOOLS_DRC_ACTIVE,
    ID_SETTINGS_PENSTYLE_45_DEGREES, ID_SETTINGS_LOCK_RELATIVE_RULER,
    ID_TOOLS_AUTOROUTING_PATH_FINDER_1, ID_TOOLS_AUTOROUTING_PATH_FINDER_2, ID_VIEW_BOTTOM_PANE,
    ID_VIEW_LEFT_PANE, ID_VIEW_UPDATE_ALL_VIEWS, ID_VIEW_INCHES, ID_VIEW_MIL, ID_VIEW_METRIC,
    ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_ALL, ID_VIEW_ZOOM_WINDOW, ID_VIEW_ZOOM_HEIGHT,
    ID_VIEW_ZOOM_WIDTH, ID_VIEW_PCB_OR_WORKAREA, ID_VIEW_ZOOM_ZOOM_1, ID_VIEW_ZOOM_ZOOM_2,
    ID_VIEW_ZOOM_ZOOM_3, ID_VIEW_ZOOM_ZOOM_4, ID_VIEW_ZOOM_ZOOM_5, ID_VIEW_ZOOM_ZOOM,
    ID_SETTINGS_QUICK_SELECT_GRID_SIZES,
    // Editing.
    ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_PASTE, ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_DELETE_SELECTION,
    ID_OTHER_DELETE, ID_EDIT_ROTATE_90, ID_EDIT_ROTATE, ID_CONTEXT_COMPONENTS_MIRROR,
    ID_CONTEXT_COMPONENTS_ROTATE_90_DEGR, ID_CONTEXT_COMPONENTS_ROTATE, ID_EDIT_COPY_SELECTION,
    ID_EDIT_COPY_RECTANGULAR_ARRAY, ID_EDIT_EXTRACT_TRACKS_FROM_SHAPES,
    ID_EDIT_CHANGE_LAYER_ON_SELECTION, ID_EDIT_CHANGE_PEN_ON_SELECTION, ID_SELECT_PEN,
    ID_SETTINGS_PEN_WIDTH, ID_DRAW_NEXT_PEN, ID_DRAW_PREVIOUS_PEN, ID_TEXT_MODIFY,
    // Dialogs.
    ID_BOARD_BOARD_SIZE_AND_OFFSET, ID_WORKSPACE_WORKSPACE_SIZE, ID_BOARD_CONFIGURATION,
    ID_BOARD_GRID, ID_SETTINGS_SET_GRID, ID_SETTINGS_LAYER, ID_VIEW_SELECT_LAYERSET,
    ID_SETTINGS_GENERAL_PAD, ID_SETTINGS_VIA, ID_PADS_EDIT_COMPONENT_PADSTACKS,
    ID_PADS_ARRAY_RECTANGULAR, ID_PADS_ARRAY_CIRCULAR, ID_ROTATE_PAD,
    ID_COMPONENTS_MOVE_ALL_TEXT_TO_CENTER, ID_COMPONENTS_MOVE_ROTATE_TEXT,
    ID_COMPONENTS_TEXT_OPTIONS, ID_COMPONENTS_MOVE_ARRAY_CIRCULAR, ID_COMPONENTS_EDIT_SHAPE_LIBRARY,
    ID_NETLIST_ADD_NET, ID_NETLIST_DEFINE_NET_GROUPS, ID_PLANES_PROPERTIES, ID_BOARD_CLEAN,
    ID_OTHER_INPUT_POSITION,
    // Netlist, routing, checks, export and the planes.
    ID_NETLIST_UPDATE_FROM_NETPINS, ID_NETLIST_REBUILD_FROM_TRACKS,
    ID_NETLIST_DELETE_ALL_UNUSED_NETS, ID_NETLIST_ALL_NETS_TO_NET_0, ID_TOOLBARS_SELECT_NET,
    ID_TOOLBARS_SELECT_LAYER, ID_TOOLBARS_SELECT_PEN, ID_TOOLBARS_PAD_STACK_ARRAY,
    ID_PLANES_SELECT_PLANE, ID_TOOLS_AUTOROUTING_ROUTE_ALL_DEFAULT_LAYER,
    ID_TOOLS_AUTOROUTING_ROUTE_ALL_TOP_AND_BOT_LAYERS,
    ID_TOOLS_AUTOROUTING_UNROUTE_ALL_ONLY_AUTOROUTED, ID_TOOLS_AUTOROUTING_UNROUTE_NET,
    ID_TOOLS_DRC_TEST_ALL, ID_FILE_EXPORT_EXPORT_PLY_CNF_CMP_FORMAT,
    ID_FILE_EXPORT_EXPORT_COMPONENTS_NETNAMES, ID_FILE_OUTPUT, ID_TOOLS_RUN_SCHEMATIC_APPLICATION,
    ID_NETLIST_LOAD, ID_NETLIST_SAVE, ID_FILE_OPEN_INFOFILES, ID_PLANES_DELETE_PLANE,
    ID_PLANES_DELETE_ALL, ID_PLANES_REFILL_LAYER, ID_PLANES_REFILL_ALL,
    // Table windows, hidden commands and printing.
    ID_COMPONENTS_COMPONENT_TABLE, ID_BOARD_LAYER_TABLE, ID_NETLIST_NETLIST_TABLE,
    ID_PADS_PADSTACK_TABLE, ID_COMPONENTS_SHAPE_TABLE, ID_OTHER_TIMER, ID_OTHER_DOC_JUST_LOADED,
    ID_DRAW_REDRAW, ID_OTHER_NOTHING, ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW};

// Commands a key, a toolbar box, a timer or another command sends rather than an item of
// their own, and those of a component picked up by its tool.
const std::set<uint32_t> reachedWithoutItem = {ID_CONTEXT_COMPONENTS_MIRROR,
                                               ID_CONTEXT_COMPONENTS_ROTATE_90_DEGR,
                                               ID_CONTEXT_COMPONENTS_ROTATE,
                                               ID_OTHER_DELETE,
                                               ID_DRAW_NEXT_PEN,
                                               ID_DRAW_PREVIOUS_PEN,
                                               ID_SELECT_PEN,
                                               ID_ROTATE_PAD,
                                               ID_AUTOROUTER1,
                                               ID_COMPONENTS_PIN_INFO,
                                               ID_TOOLBARS_SELECT_NET,
                                               ID_TOOLBARS_SELECT_LAYER,
                                               ID_TOOLBARS_SELECT_PEN,
                                               ID_TOOLBARS_PAD_STACK_ARRAY,
                                               ID_PLANES_SELECT_PLANE,
                                               ID_OTHER_TIMER,
                                               ID_OTHER_DOC_JUST_LOADED,
                                               ID_DRAW_REDRAW,
                                               ID_OTHER_NOTHING,
                                               ID_OTHER_INPUT_POSITION,
                                               ID_WORKSPACE_WORKSPACE_SIZE};

// The zoom items that end every context menu.
const std::set<uint32_t> zoomItems = {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_WINDOW,
                                      ID_VIEW_ZOOM_ALL};

// Commands that take the design apart or close it: they run after every other one.
const uint32_t runLast[] = {ID_PLANES_DELETE_PLANE,
                            ID_PLANES_DELETE_ALL,
                            ID_NETLIST_ALL_NETS_TO_NET_0,
                            ID_NETLIST_DELETE_ALL_UNUSED_NETS,
                            ID_FILE_CLOSE,
                            ID_FILE_EXIT};

// An item as the user finds it.
struct Item {
    uint32_t id = 0;
    QAction* action = nullptr;
    bool enabled = false;
    bool checked = false;
};

void CollectMenu(const QList<QAction*>& actions, std::vector<Item>& items)
{
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu()) {
            // What a user opening the menu sees.
            emit menu->aboutToShow();
            CollectMenu(menu->actions(), items);
        } else if (const uint32_t id = CQtCommandBinder::CommandOf(*action);
                   id != 0 && action->isVisible()) {
            items.push_back({id, action, action->isEnabled(), action->isChecked()});
        }
    }
}

// The items of one state of the design window.
struct Items {
    std::vector<Item> menus;
    std::vector<Item> toolbar;
    std::vector<Item> context;
};

class CCommandWalkTest : public CDemoWindowTest {
protected:
    CCommandWalkTest() : CDemoWindowTest("wevra_command_walk_test") {}

    void SetUp() override
    {
        CDemoWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        // A smaller window paints faster.
        frame->resize(640, 480);
        dialogs = std::make_unique<CCancellingDialogs>(CDialogService::Get());
        m_programDialogs = CDialogService::Set(dialogs.get());
        // Whatever opens a window of its own past the scripted services is shut at once.
        QObject::connect(&m_guard, &QTimer::timeout, [this] { CloseWindows(); });
        m_guard.start(5);
    }

    void TearDown() override
    {
        m_guard.stop();
        if (dialogs)
            CDialogService::Set(m_programDialogs);
        CDemoWindowTest::TearDown();
    }

    const CCommandRouter& Router() const { return frame->GetRouter(); }

    void EnterMode(uint32_t mode, bool selectAll)
    {
        if (frame->GetDocTemplate().GetActiveDocument() != document)
            return;
        document->Session().SetMode(mode);
        if (selectAll)
            document->Session().SelectAll(true);
        QApplication::processEvents();
    }

    // What the user finds on the menus, the toolbar and the board's context menu now.
    Items Collect()
    {
        Items items;
        CollectMenu(frame->menuBar()->actions(), items.menus);
        frame->UpdateCommandUI();
        for (QAction* button : frame->GetToolbar().actions()) {
            if (const uint32_t id = CQtCommandBinder::CommandOf(*button))
                items.toolbar.push_back({id, button, button->isEnabled(), button->isChecked()});
        }
        items.context = ContextMenu(view->viewport());
        return items;
    }

    void ActivateBoardView()
    {
        if (auto* child = dynamic_cast<CChildFrame*>(frame->GetDocTemplate().GetActiveFrame()))
            child->ActivateBoardView();
        QApplication::processEvents();
    }

    // The side pane's own menu over its component list; the pane stays the active view.
    std::vector<Item> SidePaneMenu()
    {
        auto* child = dynamic_cast<CChildFrame*>(frame->GetDocTemplate().GetActiveFrame());
        if (child == nullptr)
            return {};
        CLeftPane* pane = child->GetLeftPane();
        if (!pane->isVisible())
            Router().Execute(ID_VIEW_LEFT_PANE);
        // The right button's press makes the pane the active view.
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
        pane->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(child->GetActiveView(), pane);
        return ContextMenu(pane->viewport());
    }

    // The items of the context menu the right button opens on `widget`.
    std::vector<Item> ContextMenu(QWidget* widget)
    {
        std::vector<Item> items;
        m_onPopup = [&items](QMenu& menu) {
            for (QAction* action : menu.actions())
                if (!action->isSeparator())
                    items.push_back({action->data().toUInt(), action, action->isEnabled(),
                                     action->isChecked()});
        };
        const QPoint middle(widget->width() / 2, widget->height() / 2);
        QContextMenuEvent rightButton(QContextMenuEvent::Mouse, middle,
                                      widget->mapToGlobal(middle));
        QApplication::sendEvent(widget, &rightButton);
        m_onPopup = nullptr;
        for (Item& item : items)
            item.action = nullptr;
        return items;
    }

    // Checks an item against its command's update twin, and notes a command that has no
    // handler or waits for a dialog the program cannot show.
    void Inspect(const Item& item, const std::string& where)
    {
        seen.insert(item.id);
        const CCmdUI ui = Router().Query(item.id);
        EXPECT_EQ(item.enabled, ui.enabled) << item.id << " on the " << where;
        if (item.action != nullptr && item.action->isCheckable()) {
            EXPECT_EQ(item.checked, ui.check != CCmdUI::unchecked)
                << item.id << " on the " << where;
        }
        CheckHandler(item.id, where);
    }

    void CheckHandler(uint32_t id, const std::string& where)
    {
        const bool enabled = Router().Query(id).enabled;
        dialogs->offerAll = true;
        const bool enabledWithEveryDialog = Router().Query(id).enabled;
        dialogs->offerAll = false;
        if (!Router().IsHandled(id) || (enabledWithEveryDialog && !enabled))
            withoutHandler.emplace(id, where);
    }

    // Runs an enabled command as its item would, then puts the tool back.
    void Run(uint32_t id, uint32_t mode, bool selectAll)
    {
        if (!Router().Query(id).enabled)
            return;
        EXPECT_TRUE(Router().Execute(id)) << id << " in mode " << mode;
        QApplication::processEvents();
        ran.insert(id);
        EnterMode(mode, selectAll);
    }

    std::unique_ptr<CCancellingDialogs> dialogs;
    std::set<uint32_t> seen;
    std::set<uint32_t> ran;
    // Each command without a handler, with the first place it was found.
    std::map<uint32_t, std::string> withoutHandler;
    std::set<std::string> closedWindows;

private:
    void CloseWindows()
    {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            if (m_onPopup)
                m_onPopup(*menu);
            menu->close();
        }
        if (QWidget* modal = QApplication::activeModalWidget()) {
            closedWindows.insert(modal->metaObject()->className());
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    }

    CDialogService* m_programDialogs = nullptr;
    QTimer m_guard;
    std::function<void(QMenu&)> m_onPopup;
};

std::string ModeName(uint32_t mode, bool selectAll)
{
    return "mode " + std::to_string(mode) + (selectAll ? " with everything selected" : "");
}

TEST_F(CCommandWalkTest, EveryItemOfEveryToolFollowsItsTwinAndHasAHandler)
{
    const std::vector<Item> paneMenu = SidePaneMenu();
    EXPECT_FALSE(paneMenu.empty());
    for (const Item& item : paneMenu)
        Inspect(item, "side pane's menu");
    ActivateBoardView();

    for (const uint32_t mode : toolModes) {
        for (const bool selectAll : {false, true}) {
            if (selectAll && mode != ID_EDIT_SELECT_MODE)
                continue;
            EnterMode(mode, selectAll);
            const std::string where = ModeName(mode, selectAll);
            const Items items = Collect();
            for (const Item& item : items.menus)
                Inspect(item, "menu in " + where);
            for (const Item& item : items.toolbar)
                Inspect(item, "toolbar in " + where);
            for (const Item& item : items.context)
                Inspect(item, "context menu in " + where);
        }
    }

    EnterMode(ID_VIEW, false);
    for (const uint32_t id : viewCommands) {
        if (reachedWithoutItem.contains(id))
            CheckHandler(id, "keys");
        else
            EXPECT_TRUE(seen.contains(id)) << id << " is on no menu, toolbar or context menu";
    }

    for (const auto& [id, where] : withoutHandler)
        ADD_FAILURE() << id << " has no handler (" << where << ")";
}

// The R key starts the routing tool; its click routes the connection at the cursor as an edit
// that asks to be saved and that Undo takes back. A click that routes nothing is no edit.
TEST_F(CCommandWalkTest, RoutedConnectionIsAnEditThatUndoTakesBack)
{
    TakeTracksOfNet("OUT");
    CNetArray& nets = document->Design().GetNets();
    document->Design().SetAutoRatsnest(true);
    nets.RecalcAll();
    document->Session().SetWorkLayer(LAYER_TOP);
    document->SetModifiedFlag(false);
    QTest::keyClick(view, Qt::Key_R);
    ASSERT_TRUE(document->Session().IsMode(ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS));
    EXPECT_TRUE(Router().Query(ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS).check);

    // Clicks at the connections in turn, until one can be laid on the top layer.
    const auto vertices = [&nets] {
        int32_t count = 0;
        for (int32_t i = 0; i < nets.GetCount(); ++i)
            count += nets.GetNet(i)->GetVertexCount();
        return count;
    };
    const int32_t unrouted = vertices();
    const int32_t undoSteps = document->History().GetUndoCount();
    // A click where there is nothing to route is no edit.
    document->Session().SetCursor(CPoint(-2560000, -2560000));
    view->GetDispatch().OnSpaceBarDown(0);
    view->GetDispatch().OnSpaceBarUp();
    ASSERT_EQ(vertices(), unrouted);
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(document->History().GetUndoCount(), undoSteps);

    archive_bytes::Bytes before;
    for (int32_t i = 1; i < nets.GetCount() && vertices() == unrouted; ++i) {
        for (int32_t r = 0; r < nets.GetNet(i)->GetRatsLineCount() && vertices() == unrouted; ++r) {
            const RatsLine line = nets.GetNet(i)->GetRatsLine(r);
            document->Session().SetCursor(CPoint(line.x1, line.y1));
            before = archive_bytes::Store(nets);
            // The left button's click at the cursor.
            view->GetDispatch().OnSpaceBarDown(0);
            view->GetDispatch().OnSpaceBarUp();
        }
    }
    ASSERT_GT(vertices(), unrouted) << "the sample design has a connection to route";
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->History().GetUndoCount(), undoSteps + 1)
        << "one step, for the routed click only";
    ASSERT_TRUE(Router().Execute(ID_EDIT_UNDO));
    EXPECT_EQ(archive_bytes::Store(nets), before);
}

// The tool modes whose items run in one test.
struct ModeGroup {
    const char* name;
    std::vector<uint32_t> modes;
};

class CCommandRunTest : public CCommandWalkTest, public ::testing::WithParamInterface<ModeGroup> {};

// In the idle mode every enabled item runs once; in the other modes the items of their
// context menus and those the idle mode left disabled.
TEST_P(CCommandRunTest, EnabledItemsRun)
{
    EnterMode(ID_VIEW, false);
    const Items idle = Collect();
    std::set<uint32_t> idleEnabled;
    for (const std::vector<Item>* list : {&idle.menus, &idle.toolbar})
        for (const Item& item : *list)
            if (item.enabled)
                idleEnabled.insert(item.id);

    const std::set<uint32_t> last(std::begin(runLast), std::end(runLast));
    const bool runsIdle = GetParam().modes.empty();
    if (runsIdle) {
        for (const Item& item : SidePaneMenu())
            Run(item.id, ID_VIEW, false);
        ActivateBoardView();
    }
    const std::vector<uint32_t> modes =
        runsIdle ? std::vector<uint32_t>{ID_VIEW} : GetParam().modes;
    for (const uint32_t mode : modes) {
        for (const bool selectAll : {false, true}) {
            if (selectAll && mode != ID_EDIT_SELECT_MODE)
                continue;
            EnterMode(mode, selectAll);
            const Items items = Collect();
            std::vector<uint32_t> toRun;
            for (const Item& item : items.context)
                if (runsIdle || !zoomItems.contains(item.id))
                    toRun.push_back(item.id);
            for (const std::vector<Item>* list : {&items.menus, &items.toolbar})
                for (const Item& item : *list)
                    if (runsIdle || !idleEnabled.contains(item.id))
                        toRun.push_back(item.id);
            std::set<uint32_t> done;
            for (const uint32_t id : toRun) {
                if (!last.contains(id) && done.insert(id).second)
                    Run(id, mode, selectAll);
            }
        }
    }
    if (runsIdle) {
        for (const uint32_t id : runLast)
            Run(id, ID_VIEW, false);
        EXPECT_TRUE(ran.contains(ID_FILE_EXIT));
    }
    EXPECT_TRUE(closedWindows.empty() || runsIdle)
        << "a window past the scripted services: " << *closedWindows.begin();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CCommandRunTest,
    ::testing::Values(
        ModeGroup{"Idle", {}}, ModeGroup{"Select", {ID_EDIT_SELECT_MODE}},
        ModeGroup{"Components",
                  {ID_COMPONENTS_COPY, ID_COMPONENTS_DELETE, ID_COMPONENTS_FIX, ID_COMPONENTS_LOCK,
                   ID_COMPONENTS_MIRROR, ID_COMPONENTS_MOVE_ROTATE, ID_COMPONENTS_MOVE_ROTATE_TEXT,
                   ID_COMPONENTS_PROPERTIES, ID_COMPONENTS_REPLACE_PADS,
                   ID_COMPONENTS_REPLACE_SHAPE, ID_COMPONENTS_ROTATE, ID_COMPONENTS_ROTATE_90_DEGR,
                   ID_COMPONENTS_SET_POSITION, ID_COMPONENTS_SNAP_TO_GRID, ID_COMPONENTS_ADD}},
        ModeGroup{"PadsAndTracks",
                  {ID_PADS_COPY, ID_PADS_DELETE, ID_PADS_MOVE, ID_PADS_REPLACE, ID_PADS_ROTATE,
                   ID_PADS_SET_PAD_ORDER, ID_PADS_ADD_MANUALLY, ID_TRACKS_ADD_OR_REMOVE_VIA,
                   ID_TRACKS_EDIT, ID_TRACKS_CHANGE_TRACKS_WIDTH, ID_TRACKS_COPY_TRACKS,
                   ID_TRACKS_DELETE_TRACKS, ID_TRACKS_DELETE_SEGMENTS, ID_TRACKS_ADD_CIRCLES,
                   ID_TRACKS_ADD_ELLIPSES, ID_TRACKS_ADD_RECTANGLES, ID_TRACKS_ADD}},
        ModeGroup{"LinesTextsAndPlanes",
                  {ID_LINES_EDIT, ID_LINES_CHANGE_LINE_WIDTH, ID_LINES_COPY_LINES,
                   ID_LINES_DELETE_LINES, ID_LINES_DELETE_SEGMENTS, ID_LINES_ADD,
                   ID_LINES_ADD_CIRCLES, ID_LINES_ADD_ELLIPSES, ID_LINES_ADD_RECTANGLES,
                   ID_BOARD_EDIT_TEXT, ID_BOARD_PLACE_TEXT, ID_PLANES_NEW_PLANE,
                   ID_PLANES_ADD_CIRCLE, ID_PLANES_ADD_POLYLINE, ID_PLANES_ADD_RECTANGLE,
                   ID_PLANES_EDIT_POLYLINE, ID_PLANE_MOVE_SEEDPOINT_MODE}},
        ModeGroup{"Others",
                  {ID_NETLIST_CONNECT_PINS_TO_NETS, ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS,
                   ID_TOOLS_PINSWAPPING, ID_SETTINGS_SET_GRID_OFFSET,
                   ID_BOARD_BOARD_SIZE_AND_OFFSET}}),
    [](const ::testing::TestParamInfo<ModeGroup>& info) { return info.param.name; });

} // namespace
