#include "document/CViewDispatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CViewCommandHost.h"
#include "document/CViewCommands.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "framework/CSettingsStore.h"
#include "framework/VirtualKeys.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CTrackTool.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"

namespace {

constexpr int32_t scale = 10;
// Every point used lies on the coarsest grid of the tools.
constexpr int32_t grid = 25600;
constexpr uint32_t shift = CViewDispatch::flagShift;
constexpr uint32_t control = CViewDispatch::flagControl;

// The board view's window: its switches, and the commands and repaints it was asked for.
class CRecordingHost : public CViewCommandHost {
public:
    void Redraw(bool full) override { ++(full ? fullRedraws : repaints); }
    bool IsLongCrosshair() const override { return crosshair; }
    void SetLongCrosshair(bool on) override { crosshair = on; }
    void WarpMouseToCursor() override { ++warps; }
    void UpdateStatusLine() override { ++statusUpdates; }
    CSize GetClientSize() const override { return {800, 600}; }
    bool SendCommand(uint32_t id) override
    {
        sent.push_back(id);
        return true;
    }
    void OpenContextMenuAtCorner() override { ++menus; }
    void FlashCross(bool diagonal) override { flashes.push_back(diagonal); }
    bool EndToolStep() override { return dispatch != nullptr && dispatch->EndToolStep(); }

    bool crosshair = false;
    int32_t fullRedraws = 0;
    int32_t repaints = 0;
    int32_t warps = 0;
    int32_t statusUpdates = 0;
    int32_t menus = 0;
    std::vector<uint32_t> sent;
    std::vector<bool> flashes;
    CViewDispatch* dispatch = nullptr;
};

// A design with two nets, a default via and free pad, one two-pad component at (20, 20) grid
// steps, a board of 80 by 40 steps; the view at scale 10, offset 0, the top layer to work on.
class CViewDispatchTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        m_previousSettings = CServices::SetSettings(&settings);
        views.client = CSize(800, 600);
        doc->Design().SetBoardOutlineRect(0, 0, 80 * grid, 40 * grid);
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        CPadStackArray& stacks = cache.GetPadStacks();
        stacks.RemoveAll();
        const int32_t via = stacks.Add(CPadStack("V", PAD_ROUND, -2000, -2000, 2000, 2000, 3023,
                                                 LAYER_COMMON, PADSTACK_KIND_VIA));
        const int32_t pad = stacks.Add(
            CPadStack("P", PAD_SQUARE, -3000, -3000, 3000, 3000, 0, LAYER_TOP, PADSTACK_KIND_PAD));
        const int32_t shapePad = stacks.Add(CPadStack("S", PAD_SQUARE, -1000, -1000, 1000, 1000, 0,
                                                      LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        stacks.SetDefault(PADSTACK_KIND_VIA, via);
        stacks.SetDefault(PADSTACK_KIND_PAD, pad);
        const int32_t shape = cache.AddShape("TWO");
        cache.AddPadToShape(shape, -2000, 0, uint16_t(shapePad), 0);
        cache.AddPadToShape(shape, 2000, 0, uint16_t(shapePad), 0);
        cache.RecalcShapeExtent(shape);
        const int32_t i = doc->Design().GetComponents().AddEmpty(shape);
        doc->Design().GetComponents().GetComponent(i)->ResizePadNets(2);
        doc->Design().GetComponents().SetPosition(i, 20 * grid, 20 * grid);
        doc->Design().GetComponents().RebuildNetPins();
        doc->Design().GetNets().AddNet("A");
        doc->Design().GetNets().AddNet("B");
        doc->View().SetScale(scale);
        doc->View().SetOffset(0, 0);
        doc->Session().SetWorkLayer(LAYER_TOP);
        commands = std::make_unique<CViewCommands>(*doc, host);
        dispatch = std::make_unique<CViewDispatch>(*doc, *commands, host);
        host.dispatch = dispatch.get();
    }
    void TearDown() override
    {
        dispatch.reset();
        commands.reset();
        CServices::SetSettings(m_previousSettings);
        CDocumentTest::TearDown();
    }

    // The mouse over board point (x, y).
    void MoveTo(int32_t x, int32_t y, uint32_t flags = 0)
    {
        const CPoint offset = doc->View().GetViewOffset();
        dispatch->OnMouseMove(int32_t((int64_t(x) + offset.x) / doc->View().GetScale()),
                              int32_t((int64_t(y) + offset.y) / doc->View().GetScale()), flags);
    }
    void Click(int32_t x, int32_t y, uint32_t flags = 0)
    {
        MoveTo(x, y, flags);
        dispatch->OnSpaceBarDown(flags);
        dispatch->OnSpaceBarUp();
    }
    void Key(uint32_t key, uint32_t flags = 0) { dispatch->OnKeyDown(key, flags); }
    void Char(uint32_t character) { dispatch->OnChar(character, false, 0); }
    int32_t NetVertices(int32_t net)
    {
        return doc->Design().GetNets().GetNet(net)->GetVertexCount();
    }
    uint32_t ComponentFlags() { return doc->Design().GetComponents().GetComponent(0)->GetFlags(); }

    CSettingsStore settings;
    CRecordingHost host;
    std::unique_ptr<CViewCommands> commands;
    std::unique_ptr<CViewDispatch> dispatch;

private:
    CSettingsStore* m_previousSettings = nullptr;
};

// ---- Clicks, moves, keys and characters reach the tool of the mode ------------------------------

TEST_F(CViewDispatchTest, TrackToolTakesClicksMovesKeysAndCharacters)
{
    doc->Session().SetMode(ID_TRACKS_ADD);
    Click(2 * grid, 2 * grid);
    ASSERT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    EXPECT_EQ(doc->Session().GetAnchor(), CPoint(2 * grid, 2 * grid));
    EXPECT_EQ(doc->View().GetRulerOrigin(), CPoint(2 * grid, 2 * grid));
    MoveTo(6 * grid, 2 * grid);
    // A space is the tool's own click: a vertex at the cursor.
    Char(' ');
    MoveTo(6 * grid, 6 * grid);
    Key(VK_RETURN);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
    ASSERT_EQ(NetVertices(0), 3);
    EXPECT_EQ(doc->Design().GetNets().GetNet(0)->GetVertexPoint(2), CPoint(6 * grid, 6 * grid));

    // The figure modes get no characters: a space does not start anything.
    doc->Session().SetMode(ID_TRACKS_ADD_RECTANGLES);
    Char(' ');
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
}

TEST_F(CViewDispatchTest, MovesWithinOneSnapCellReachNoTool)
{
    doc->Session().SetMode(ID_TRACKS_ADD);
    Click(2 * grid, 2 * grid);
    MoveTo(4 * grid, 2 * grid);
    const CPoint end = doc->Design().GetNets().GetNet(0)->GetVertexPoint(NetVertices(0) - 1);
    const int32_t status = host.statusUpdates;
    // Less than half a snap step away: the snapped cursor stays.
    MoveTo(4 * grid + 1000, 2 * grid + 1000);
    EXPECT_EQ(host.statusUpdates, status);
    EXPECT_EQ(doc->Design().GetNets().GetNet(0)->GetVertexPoint(NetVertices(0) - 1), end);
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(4 * grid, 2 * grid));
}

TEST_F(CViewDispatchTest, EveryFamilyOfModesReachesItsHandler)
{
    // Pads: a click places the default free pad, F2 turns the angle of the next.
    doc->Session().SetMode(ID_PADS_ADD_MANUALLY);
    const int32_t before = NetVertices(0);
    Click(10 * grid, 10 * grid);
    EXPECT_EQ(NetVertices(0), before + 1);
    Key(VK_F2);
    EXPECT_EQ(doc->Design().GetNets().GetTrackTool().GetPadAngle(), CTrackTool::quarterTurn);

    // Via: a click places one, a second click at the same point takes it away.
    doc->Session().SetMode(ID_TRACKS_ADD_OR_REMOVE_VIA);
    doc->SetModifiedFlag(false);
    const int32_t withPad = NetVertices(0);
    Click(30 * grid, 10 * grid);
    EXPECT_EQ(NetVertices(0), withPad + 1);
    EXPECT_TRUE(doc->IsModified());
    Click(30 * grid, 10 * grid);
    EXPECT_EQ(NetVertices(0), withPad);

    // Components: Delete takes the component at the cursor.
    doc->Session().SetMode(ID_COMPONENTS_DELETE);
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 0);
    Key(VK_ESCAPE);

    // Lines: on a drawing layer a click starts a polyline that the moves drag.
    doc->Session().SetWorkLayer(LAYER_SILK_TOP);
    doc->Session().SetMode(ID_LINES_ADD);
    Click(2 * grid, 30 * grid);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    MoveTo(8 * grid, 30 * grid);
    Click(8 * grid, 30 * grid);
    Click(8 * grid, 30 * grid);
    EXPECT_GE(doc->Design().GetLines().GetCount(), 2);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);

    // Texts: Esc while waiting ends Edit Text.
    doc->Session().SetMode(ID_BOARD_EDIT_TEXT);
    Key(VK_ESCAPE);
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW));

    // Planes: two clicks span a rectangle plane.
    doc->Session().SetWorkLayer(LAYER_TOP);
    doc->Session().SetMode(ID_PLANES_ADD_RECTANGLE);
    Click(40 * grid, 2 * grid);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionBandOpen);
    MoveTo(60 * grid, 20 * grid);
    EXPECT_EQ(doc->Session().GetRubberBand().right, 60 * grid);
    Click(60 * grid, 20 * grid);
    EXPECT_EQ(doc->Design().GetPlaneCount(), 1);

    // Grid offset: the click's point becomes the grid origin.
    doc->Session().SetMode(ID_SETTINGS_SET_GRID_OFFSET);
    Click(4 * grid, 6 * grid);
    EXPECT_EQ(doc->Session().GetOrigin(), CPoint(4 * grid, 6 * grid));
    EXPECT_TRUE(doc->Session().IsMode(ID_SETTINGS_SET_GRID_OFFSET));
    doc->Design().SetUserOffset(CPoint());

    // Pin swap: the tool lives while its mode runs.
    doc->Session().SetMode(ID_TOOLS_PINSWAPPING);
    Click(30 * grid, 30 * grid);
    EXPECT_NE(dispatch->GetPinSwapTool(), nullptr);
    Key(VK_ESCAPE);
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW));
    EXPECT_EQ(dispatch->GetPinSwapTool(), nullptr);

    // Idle: a click does nothing and says nothing.
    Click(30 * grid, 30 * grid);
    EXPECT_TRUE(services.messages.Shown().empty());
    // A mode without a click handler says so and changes nothing.
    doc->Session().SetMode(ID_VIEW_GRID);
    Click(30 * grid, 30 * grid);
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{"OnSpaceBarDown::NotSupported Action!"});
}

TEST_F(CViewDispatchTest, FixAndLockClicksToggleTheLocksOfTheComponent)
{
    doc->Session().SetMode(ID_COMPONENTS_FIX);
    Click(20 * grid, 20 * grid);
    EXPECT_TRUE(services.messages.Shown().empty());
    EXPECT_EQ(ComponentFlags() & ComponentFlags::lockMove, ComponentFlags::lockMove);
    EXPECT_EQ(ComponentFlags() & ComponentFlags::lockDelete, 0u);
    EXPECT_TRUE(doc->IsModified());
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(ComponentFlags() & ComponentFlags::allLocks, 0u);

    doc->Session().SetMode(ID_COMPONENTS_LOCK);
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(ComponentFlags() & ComponentFlags::lockDelete, ComponentFlags::lockDelete);
    // Still selectable, so a second click unlocks it again.
    EXPECT_EQ(ComponentFlags() & ComponentFlags::lockSelect, 0u);
    doc->Session().SetMode(ID_COMPONENTS_DELETE);
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(doc->Design().GetComponents().GetCount(), 1);
    doc->Session().SetMode(ID_COMPONENTS_LOCK);
    Click(20 * grid, 20 * grid);
    EXPECT_EQ(ComponentFlags() & ComponentFlags::allLocks, 0u);
    doc->History().Undo();
    EXPECT_NE(ComponentFlags() & ComponentFlags::lockDelete, 0u);
}

// ---- Select tool and rectangles -----------------------------------------------------------------

TEST_F(CViewDispatchTest, SelectRunsBandSelectionDragAndDrop)
{
    doc->Session().SetSelectionFilter(
        CDesignSettings::filterElectrical | CDesignSettings::filterComponents, true);
    doc->Design().GetLayers().SetVisible(LAYER_TOP, true);
    doc->Session().UpdateLayerMask();
    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    Click(15 * grid, 15 * grid);
    ASSERT_EQ(doc->Session().GetAction(), CEditState::actionBandOpen);
    // The band follows the mouse unsnapped.
    MoveTo(25 * grid + 130, 25 * grid + 70);
    EXPECT_EQ(doc->Session().GetCursor(), doc->Session().GetRawCursor());
    EXPECT_EQ(doc->Session().GetRubberBand().right, 25 * grid + 130);

    // Esc closes the band only; the tool stays.
    Key(VK_ESCAPE);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
    EXPECT_FALSE(doc->Session().IsRubberBandVisible());
    EXPECT_TRUE(doc->Session().IsMode(ID_EDIT_SELECT_MODE));

    Click(15 * grid, 15 * grid);
    Click(25 * grid, 25 * grid);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionBandClosed);
    ASSERT_EQ(doc->Design().GetComponents().GetSelectedCount(), 1);

    // A click inside the band drags; Shift keeps the move on the longer axis.
    Click(20 * grid, 20 * grid);
    ASSERT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    MoveTo(22 * grid, 21 * grid, shift);
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(22 * grid, 20 * grid));
    EXPECT_EQ(doc->Design().GetComponents().GetPosition(0), CPoint(22 * grid, 20 * grid));
    // Equal distances keep x.
    MoveTo(23 * grid, 23 * grid, shift);
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(20 * grid, 23 * grid));

    // F2 turns the selection; Enter drops it.
    Key(VK_F2);
    EXPECT_EQ(doc->Design().GetComponents().GetComponent(0)->GetRotation(),
              CTrackTool::quarterTurn);
    Key(VK_RETURN);
    EXPECT_EQ(doc->Session().GetSelectedCount(), 0);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
    Key(VK_ESCAPE);
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW));
}

TEST_F(CViewDispatchTest, BoardSizeRectangleBecomesTheBoard)
{
    doc->Session().SetMode(ID_BOARD_BOARD_SIZE_AND_OFFSET);
    Click(4 * grid, 2 * grid);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionBandOpen);
    MoveTo(44 * grid, 32 * grid);
    Click(44 * grid, 32 * grid);
    EXPECT_EQ(doc->Design().GetBoardWidth(), 40 * grid);
    EXPECT_EQ(doc->Design().GetBoardHeight(), 30 * grid);
    EXPECT_EQ(doc->Design().GetComponents().GetPosition(0), CPoint(16 * grid, 18 * grid));
    EXPECT_TRUE(doc->Session().IsMode(ID_VIEW));
}

// ---- Capture ------------------------------------------------------------------------------------

TEST_F(CViewDispatchTest, AClickHoldsTheCaptureUntilItsRelease)
{
    doc->Session().SetSelectionFilter(
        CDesignSettings::filterElectrical | CDesignSettings::filterComponents, true);
    doc->Design().GetLayers().SetVisible(LAYER_TOP, true);
    doc->Session().UpdateLayerMask();
    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    MoveTo(15 * grid, 15 * grid);
    // The space bar held: its repeats are no clicks.
    Char(' ');
    ASSERT_EQ(doc->Session().GetAction(), CEditState::actionBandOpen);
    dispatch->OnChar(' ', true, 0);
    dispatch->OnSpaceBarDown();
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionBandOpen);
    dispatch->OnSpaceBarUp();
    MoveTo(25 * grid, 25 * grid);
    Char(' ');
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionBandClosed);
    // A window that lost the keyboard gets no release.
    dispatch->CancelCapture();
    EXPECT_FALSE(dispatch->IsCaptured());
}

// ---- Keys and characters of the view ------------------------------------------------------------

TEST_F(CViewDispatchTest, DigitKeysChooseLayersZeroToThirty)
{
    // Every layer of a fresh design is in use.
    const struct {
        uint32_t key;
        uint32_t flags;
        int32_t layer;
    } cases[] = {{'7', 0, 7},
                 {'7', shift, 17},
                 {'7', control, 27},
                 {'0', shift | control, 30},
                 {'1', shift | control, 30},
                 {'2', 0, 2}};
    for (const auto& c : cases) {
        Key(c.key, c.flags);
        EXPECT_EQ(doc->Session().GetWorkLayer(), c.layer) << char(c.key) << " " << c.flags;
    }
}

TEST_F(CViewDispatchTest, LetterKeysAndCharactersDoWhatTheHotkeysSay)
{
    const struct {
        uint32_t key;
        uint32_t flags;
        uint32_t command;
    } sends[] = {{'H', 0, ID_VIEW_TOOLTIP_AT_CURSOR},
                 {'G', control, ID_SETTINGS_SET_GRID},
                 {'D', control, ID_TOOLS_DRC_ACTIVE},
                 {'D', 0, ID_VIEW_SELECT_LAYERSET},
                 {'L', 0, ID_SETTINGS_LAYER},
                 {'N', 0, ID_COMPONENTS_PIN_INFO},
                 {'P', 0, ID_SETTINGS_PEN_WIDTH},
                 {'R', 0, ID_AUTOROUTER1},
                 {'X', 0, ID_OTHER_INPUT_POSITION},
                 {'Z', 0, ID_VIEW_ZOOM_ZOOM},
                 {VK_F9, 0, ID_SETTINGS_QUICK_SELECT_GRID_SIZES}};
    for (const auto& s : sends) {
        host.sent.clear();
        Key(s.key, s.flags);
        EXPECT_EQ(host.sent, std::vector<uint32_t>{s.command}) << s.key;
    }

    const int32_t unit = doc->Session().GetUnit();
    Key('U', control);
    EXPECT_EQ(doc->Session().GetUnit(), (unit + 1) % 3);
    Key('U', control);
    Key('U', control);
    EXPECT_EQ(doc->Session().GetUnit(), unit);
    Key('A', shift);
    EXPECT_TRUE(host.crosshair);
    Key('Q');
    EXPECT_EQ(host.flashes, std::vector<bool>{true});
    MoveTo(3 * grid, 3 * grid);
    Key(VK_F6);
    EXPECT_TRUE(doc->View().IsRulerLocked());
    EXPECT_EQ(doc->View().GetRulerOrigin(), CPoint(3 * grid, 3 * grid));
    Click(5 * grid, 5 * grid);
    EXPECT_EQ(doc->View().GetRulerOrigin(), CPoint(3 * grid, 3 * grid));
    Key(VK_F5);
    EXPECT_TRUE(doc->Design().IsTransparentColors());

    // Cursor keys step by the snap step and say where the cursor went.
    const CSize step = doc->Design().GetGridSettings().GetCurrentSnap();
    const CPoint at = doc->Session().GetCursor();
    const int32_t warps = host.warps;
    Key(VK_NEXT);
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(at.x + step.cx, at.y + step.cy));
    EXPECT_EQ(host.warps, warps + 1);

    // Characters: E and T choose by the work layer, V only when idle.
    host.sent.clear();
    Char('e');
    EXPECT_EQ(host.sent, std::vector<uint32_t>{ID_TRACKS_EDIT});
    doc->Session().SetWorkLayer(LAYER_SILK_TOP);
    Char('t');
    EXPECT_TRUE(doc->Session().IsMode(ID_LINES_ADD));
    host.sent.clear();
    Char('v');
    EXPECT_TRUE(host.sent.empty());
    doc->Session().SetMode(ID_VIEW);
    Char('V');
    Char('.');
    Char('/');
    EXPECT_EQ(host.sent, (std::vector<uint32_t>{ID_TRACKS_ADD_OR_REMOVE_VIA, ID_VIEW_GRID}));
    EXPECT_EQ(host.menus, 1);
}

TEST_F(CViewDispatchTest, StarSnapsTheCursorOnceEvenWithSnappingOff)
{
    CGridArr& grids = doc->Design().GetGridSettings();
    grids.SetCurrentSnapOn(false);
    MoveTo(3 * grid + 1230, 2 * grid + 470);
    ASSERT_EQ(doc->Session().GetCursor(), CPoint(3 * grid + 1230, 2 * grid + 470));
    Char('*');
    const CSize step = grids.GetCurrentSnap();
    EXPECT_EQ(doc->Session().GetCursor().x % step.cx, 0);
    EXPECT_EQ(doc->Session().GetCursor().y % step.cy, 0);
    EXPECT_FALSE(grids.IsCurrentSnapOn());
}

// ---- Zoom, panning and scrolling ----------------------------------------------------------------

TEST_F(CViewDispatchTest, ZoomKeysStayWithinTheScaleRange)
{
    doc->View().SetScale(1000);
    Key('I');
    EXPECT_EQ(doc->View().GetScale(), 800);
    Key('O');
    EXPECT_EQ(doc->View().GetScale(), 1000);
    Key('O');
    EXPECT_EQ(doc->View().GetScale(), 1200);

    doc->View().SetScale(10);
    Key('I');
    EXPECT_EQ(doc->View().GetScale(), 10);
    doc->View().SetScale(999999);
    Key('O');
    EXPECT_EQ(doc->View().GetScale(), CDesignSettings::maxScale);
    Key('O');
    EXPECT_EQ(doc->View().GetScale(), CDesignSettings::maxScale);
}

TEST_F(CViewDispatchTest, ZoomWindowTakesTwoClicksAndIgnoresAnEmptyRectangle)
{
    doc->Session().SetMode(ID_TRACKS_ADD);
    doc->View().SetZoomWindowPending(true);
    Click(10 * grid, 10 * grid);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionRectangleStart);
    Click(10 * grid, 10 * grid);
    EXPECT_EQ(doc->View().GetScale(), scale);
    EXPECT_FALSE(doc->View().IsZoomWindowPending());
    EXPECT_EQ(NetVertices(0), 0) << "the tool saw none of the clicks";

    doc->View().SetScale(1000);
    doc->View().SetZoomWindowPending(true);
    Click(10 * grid, 10 * grid);
    Click(20 * grid, 15 * grid);
    // 256 by 128 pixels in an 800 by 600 window: three times closer.
    EXPECT_EQ(doc->View().GetScale(), 333);
}

TEST_F(CViewDispatchTest, AutoPanningKeepsTheCursorInTheWindow)
{
    // 800 by 600 pixels at scale 10: half a window is 4000 by 3000 units.
    doc->Session().SetCursor(CPoint(7900, 100));
    dispatch->KeepCursorVisible(false);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(0, 0)) << "automatic panning is off";

    doc->Design().SetViewFlag(CDesignSettings::viewAutoPanning, true);
    dispatch->KeepCursorVisible(false);
    // Only the axis with the larger distance from the middle moves.
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(-3900, 0));

    doc->View().SetOffset(0, 0);
    doc->Session().SetCursor(CPoint(4100, 3100));
    dispatch->KeepCursorVisible(false);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(0, 0)) << "near the middle";
    // Forced, the cursor comes to the middle; of two equal distances along y.
    Key('C');
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(0, -100));

    doc->View().SetOffset(0, 0);
    doc->Session().SetCursor(CPoint(20000, 20000));
    dispatch->KeepCursorVisible(false);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(-16000, -17000)) << "far out both ways";
}

TEST_F(CViewDispatchTest, ScrollStepsAreTenthsOfTheExtent)
{
    using Scroll = CViewDispatch::Scroll;
    EXPECT_EQ(CViewDispatch::ScrollShift(10000, Scroll::lineBack, 0), 100);
    EXPECT_EQ(CViewDispatch::ScrollShift(10000, Scroll::pageForward, 0), -1000);
    EXPECT_EQ(CViewDispatch::ScrollShift(-10000, Scroll::pageBack, 0), 1000);
    EXPECT_EQ(CViewDispatch::ScrollShift(5, Scroll::lineForward, 0), -1);
    EXPECT_EQ(CViewDispatch::ScrollShift(0, Scroll::pageBack, 0), 1);
    EXPECT_EQ(CViewDispatch::ScrollShift(10000, Scroll::track, -37), -37);
    EXPECT_EQ(CViewDispatch::ScrollShift(10000, Scroll::other, 5), 0);
}

// ---- Context menu and End Mode ------------------------------------------------------------------

TEST_F(CViewDispatchTest, ContextMenuFollowsTheMode)
{
    const std::vector<uint32_t> zoom = {0, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_WINDOW,
                                        ID_VIEW_ZOOM_ALL};
    doc->Session().SetMode(ID_VIEW);
    std::vector<uint32_t> expected = {ID_TRACKS_EDIT, ID_COMPONENTS_MOVE_ROTATE};
    expected.insert(expected.end(), zoom.begin(), zoom.end());
    EXPECT_EQ(dispatch->BuildContextMenu(), expected);

    doc->Session().SetWorkLayer(LAYER_SILK_TOP);
    EXPECT_EQ(dispatch->BuildContextMenu()[0], uint32_t(ID_LINES_EDIT));

    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    std::vector<uint32_t> select = dispatch->BuildContextMenu();
    EXPECT_EQ(select[0], uint32_t(ID_END_MODE));
    EXPECT_NE(std::find(select.begin(), select.end(), ID_EDIT_SELECTION_FILTERS_PADS),
              select.end());

    doc->Session().SetMode(ID_PLANES_ADD_RECTANGLE);
    std::vector<uint32_t> planes = commands->GetPlaneContextMenu();
    planes.insert(planes.end(), zoom.begin(), zoom.end());
    EXPECT_EQ(dispatch->BuildContextMenu(), planes);

    // A track being drawn offers its end first.
    doc->Session().SetWorkLayer(LAYER_TOP);
    doc->Session().SetMode(ID_TRACKS_ADD);
    Click(2 * grid, 2 * grid);
    EXPECT_EQ(dispatch->BuildContextMenu()[0], uint32_t(ID_END_MODE));
    EXPECT_EQ(dispatch->BuildContextMenu()[1], uint32_t(ID_SELECT_PEN));
}

TEST_F(CViewDispatchTest, EndModeEndsTheStepOfTheRunningTool)
{
    doc->Session().SetMode(ID_TRACKS_ADD);
    Click(2 * grid, 2 * grid);
    MoveTo(6 * grid, 2 * grid);
    ASSERT_TRUE(doc->Design().GetNets().GetTrackTool().IsEditing());
    EXPECT_TRUE(commands->Send(ID_END_MODE));
    EXPECT_FALSE(doc->Design().GetNets().GetTrackTool().IsEditing());
    EXPECT_EQ(NetVertices(0), 2);
}

} // namespace
