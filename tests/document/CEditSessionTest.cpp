#include "document/CEditSession.h"
#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CPadStackUse.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>

#include "document/CDocumentFrame.h"
#include "document/CDocumentViews.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CFakeServices.h"

namespace {

constexpr int32_t intMax = std::numeric_limits<int32_t>::max();

using CToolTest = CDocumentTest;

// ---- Tool mode ----------------------------------------------------------------------------------

// The board view ends a tool by starting the idle one; that must not ask it to end again.
TEST_F(CToolTest, EndModeFromTheViewDoesNotRecurse)
{
    views.onEndMode = [this] { doc->Session().SetMode(ID_VIEW); };
    doc->Design().GetLines().AddSegment(0, 0, 1000, 0, 21, 1, 0);
    doc->Design().GetLines().SelectAll(true);
    ASSERT_GT(doc->Session().GetSelectedCount(), 0);
    doc->Session().SetMode(ID_TRACKS_ADD);
    EXPECT_EQ(views.endModes, 1);
    EXPECT_EQ(doc->Session().GetMode(), ID_TRACKS_ADD);
    EXPECT_EQ(doc->Session().GetSelectedCount(), 0);
    doc->Session().SetMode(ID_VIEW);
    EXPECT_EQ(views.endModes, 1) << "nothing selected, nothing to end";
}

// ---- Selection filter and rectangle selection ---------------------------------------------------

TEST_F(CToolTest, SelectionFilterKeepsOneChoiceAndOneObjectKind)
{
    const struct {
        uint32_t toggled;
        uint32_t filter;
    } steps[] = {
        {CDesignSettings::filterPoints, 0x10000201},        // Points replaces Lines
        {CDesignSettings::filterNonElectrical, 0x20000201}, // the other kind comes on
        {CDesignSettings::filterElectrical, 0x10000201},    // and back
        {CDesignSettings::filterTexts, 0x10000601},         // a switch
        {CDesignSettings::filterTexts, 0x10000201},         // off again
        {CDesignSettings::filterElectrical, 0x30000201},    // both kinds
        {CDesignSettings::filterNets, 0x30000208},          // Nets replaces Points
    };
    for (const auto& step : steps) {
        doc->Session().ToggleSelectionFilter(step.toggled);
        EXPECT_EQ(doc->Session().GetSelectionFilter(), step.filter) << std::hex << step.toggled;
    }
    EXPECT_TRUE(doc->IsModified());

    // The cursor is snapped afresh from where the mouse is.
    doc->Session().CursorFromPixel(10, 7);
    doc->Session().SetCursor(CPoint(1, 1));
    doc->Session().SetSelectionFilter(CDesignSettings::filterLines, true);
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(6400, 3200));
    EXPECT_FALSE(doc->Session().HasCursorMoved());
}

class CSelectInRectTest : public CToolTest {
protected:
    void SetUp() override
    {
        CToolTest::SetUp();
        doc->Design().GetLines().AddSegment(0, 0, 10000, 0, 21, 1, 0);

        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        CPadStackArray& stacks = cache.GetPadStacks();
        doc->PadStackUse().NormalizePadStackKinds(cache);
        const int32_t pad = stacks.GetDefault(CEditState::kindPad);
        const int32_t via = stacks.GetDefault(CEditState::kindVia);
        CNetArray& nets = doc->Design().GetNets();
        CNet& net = *nets.GetNet(nets.AddNet("A"));
        net.AppendSegment(0, 20000, 10000, 20000, 1, 1, false);
        net.AppendPadVertex(30000, 20000, pad, 0, false);
        net.AppendPadVertex(40000, 20000, via, 0, false);

        const int32_t shape = cache.AddShape("R");
        cache.AddPadToShape(shape, 0, 0, pad, 0);
        CComponentArray& components = doc->Design().GetComponents();
        components.SetPosition(components.AddEmpty(shape), 20000, 40000);
        components.RecalcAllRects();

        CWevraText text;
        text.SetLayer(21);
        text.SetPosition(CPoint(5000, 50000));
        doc->Design().GetTexts().AddText(&text);

        auto plane = std::make_unique<CPour>(0, 1, 0, 0, 1, 3023, 6047, 0);
        plane->StartSquareAtCursor(1, CPoint(60000, 60000));
        doc->Design().GetPlanes().push_back(std::move(plane));
        doc->Session().SelectAll(false);
    }

    // Drags the Select tool's band over the whole design with only these filter bits.
    bool SelectAllInBand(uint32_t filter)
    {
        doc->Session().SetMode(ID_EDIT_SELECT_MODE);
        doc->Session().SetSelectionFilter(0xFFFFFFFF, false);
        doc->Session().SetSelectionFilter(filter, true);
        Band(CPoint(100000, 100000), CPoint(-5000, -5000));
        return doc->Session().SelectInRect(false);
    }

    // The Select tool's band follows the mouse unsnapped.
    void Band(CPoint from, CPoint to)
    {
        doc->View().SetOffset(-from.x, -from.y);
        doc->Session().CursorFromPixel(0, 0);
        doc->Session().StartRubberBand();
        doc->View().SetOffset(-to.x, -to.y);
        doc->Session().CursorFromPixel(0, 0);
        doc->Session().ClampRubberBandToBoard();
    }
};

TEST_F(CSelectInRectTest, FilterBitsChooseWhatTheBandTakes)
{
    const struct {
        uint32_t filter;
        int32_t lines, nets, components, texts, planes;
    } rows[] = {
        {0x10000204, 2, 0, 0, 0, 0},         // drawn lines
        {0x10000201, 2, 0, 0, 0, 0},         // drawn-line points
        {0x10000400, 0, 0, 0, 1, 0},         // texts
        {0x10001000, 0, 0, 0, 0, 1},         // planes
        {0x20000200, 0, 1, 0, 0, 0},         // the free pad, not the via
        {0x20000800, 0, 1, 0, 0, 0},         // the via
        {0x20000004, 0, 2, 0, 0, 0},         // the track's run
        {0x20000100, 0, 0, 1, 0, 0},         // the component
        {0x20000004 | 0x400, 0, 2, 0, 1, 0}, // texts in either kind
        {0x30001F04, 2, 4, 1, 1, 1},         // everything
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SelectAllInBand(row.filter),
                  row.lines + row.nets + row.components + row.texts + row.planes > 0);
        EXPECT_EQ(doc->Design().GetLines().GetSelectedCount(), row.lines) << std::hex << row.filter;
        EXPECT_EQ(doc->Design().GetNets().GetSelectedCount(), row.nets) << std::hex << row.filter;
        EXPECT_EQ(doc->Design().GetComponents().GetSelectedCount(), row.components)
            << std::hex << row.filter;
        EXPECT_EQ(doc->Design().GetTexts().GetSelectedCount(), row.texts) << std::hex << row.filter;
        EXPECT_EQ(doc->Design().GetPlanes()[0]->IsSelected(), row.planes == 1)
            << std::hex << row.filter;
    }
}

TEST_F(CSelectInRectTest, CtrlAddsToTheSelection)
{
    SelectAllInBand(0x10000204);
    doc->Session().SetSelectionFilter(CDesignSettings::filterTexts, true);
    doc->Session().SetSelectionFilter(CDesignSettings::filterLines, false);
    // Select mode is kept; the lines stay selected while the texts are added.
    Band(CPoint(-5000, -5000), CPoint(100000, 100000));
    EXPECT_TRUE(doc->Session().SelectInRect(true));
    EXPECT_EQ(doc->Design().GetLines().GetSelectedCount(), 2);
    EXPECT_EQ(doc->Design().GetTexts().GetSelectedCount(), 1);
    EXPECT_TRUE(doc->Session().SelectInRect(false));
    EXPECT_EQ(doc->Design().GetLines().GetSelectedCount(), 0);
    EXPECT_EQ(doc->Design().GetTexts().GetSelectedCount(), 1);
}

// Only at Worklayer: the band takes what lies on the work layer, pads and vias whose padstack
// reaches it, and components with a pad there; nothing of the other layers shown.
TEST_F(CSelectInRectTest, OnlyAtWorklayerTakesTheWorkLayersItems)
{
    const struct {
        int32_t workLayer;
        int32_t lines, nets, components, texts, planes;
    } rows[] = {
        {1, 0, 4, 1, 0, 1},  // the track, the free pad, the via, the component, the plane
        {21, 2, 0, 0, 1, 0}, // the drawn line and the text
        {2, 0, 2, 1, 0, 0},  // what reaches through the board: the pads and the via
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(doc->Session().SetWorkLayer(row.workLayer));
        doc->Session().SetWorkLayerOnly(true);
        SelectAllInBand(0x30001F04);
        EXPECT_EQ(doc->Design().GetLines().GetSelectedCount(), row.lines) << row.workLayer;
        EXPECT_EQ(doc->Design().GetNets().GetSelectedCount(), row.nets) << row.workLayer;
        EXPECT_EQ(doc->Design().GetComponents().GetSelectedCount(), row.components)
            << row.workLayer;
        EXPECT_EQ(doc->Design().GetTexts().GetSelectedCount(), row.texts) << row.workLayer;
        EXPECT_EQ(doc->Design().GetPlanes()[0]->IsSelected(), row.planes == 1) << row.workLayer;
    }
}

// ---- Rubber band --------------------------------------------------------------------------------

TEST_F(CToolTest, RubberBandSizesAndBoardSize)
{
    const struct {
        CRect band;
        bool selects;
    } sizes[] = {{CRect(0, 0, 2014, 5000), false}, {CRect(5000, 5000, 2985, 2985), true}};
    for (const auto& size : sizes) {
        doc->Session().SetCursor(CPoint(size.band.left, size.band.top));
        doc->Session().StartRubberBand();
        doc->Session().SetCursor(CPoint(size.band.right, size.band.bottom));
        doc->Session().ClampRubberBandToBoard();
        EXPECT_TRUE(doc->History().IsSnapshotNeeded());
        EXPECT_EQ(doc->Session().NormaliseRubberBand(), size.selects) << size.band.right;
    }

    // The board needs more than 50393 units both ways; the design moves onto it.
    doc->Design().GetLines().AddSegment(20000, 30000, 90000, 30000, 21, 1, 0);
    doc->Design().GetTexts().AddText(nullptr);
    doc->Design().GetTexts().GetText(0)->SetPosition(CPoint(20000, 30000));
    for (const int32_t right : {60393, 60394}) {
        doc->Session().SetCursor(CPoint(10000, 20000));
        doc->Session().StartRubberBand();
        doc->Session().SetCursor(CPoint(right, 80001));
        doc->Session().ClampRubberBandToBoard();
        EXPECT_EQ(doc->Session().BoardSizeFromRubberBand(), right == 60394);
        EXPECT_FALSE(doc->Session().IsRubberBandVisible());
    }
    EXPECT_EQ(doc->Design().GetBoardWidth(), 50394);
    EXPECT_EQ(doc->Design().GetBoardHeight(), 60001);
    EXPECT_EQ(doc->Design().GetLines().GetPoint(0), CPoint(10000, 10000));
    EXPECT_EQ(doc->Design().GetTexts().GetText(0)->GetPosition(), CPoint(10000, 10000));
}

TEST_F(CToolTest, RubberBandStartsAtTheRawCursorOnlyInSelect)
{
    doc->Session().CursorFromPixel(10, 7); // raw (6000, 4200), snapped (6400, 3200)
    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    doc->Session().StartRubberBand();
    EXPECT_EQ(doc->Session().GetRubberBand(), CRect(6000, 4200, 6000, 4200));

    // A plane rectangle starts at the snapped cursor and stays on the board.
    doc->Session().SetMode(ID_PLANES_ADD_RECTANGLE);
    doc->Session().SetCursor(CPoint(-500, 900));
    doc->Session().StartRubberBand();
    doc->Session().SetCursor(CPoint(5000, -7));
    doc->Session().ClampRubberBandToBoard();
    EXPECT_EQ(doc->Session().GetRubberBand(), CRect(0, 800, 1000, 0));
    EXPECT_FALSE(doc->Session().CancelRubberBand());
    EXPECT_EQ(doc->Session().GetRubberBand(), CRect(0, 0, 1000, 800));
}

// ---- Work layer ---------------------------------------------------------------------------------

TEST_F(CToolTest, LayerKeysAndTheLayerSet)
{
    COutput& display = *doc->Design().GetDisplaySets().GetJob(0);
    display.SetCurrentItem(2);
    const std::string storedName = display.GetItem(2)->GetDisplayName();

    doc->Session().SelectLayerByKey(0, true, true);
    EXPECT_EQ(doc->Session().GetWorkLayer(), 30);
    EXPECT_EQ(display.GetCurrentItem(), 0) << "a stored set is never changed";
    EXPECT_EQ(display.GetItem(0)->GetDisplayName(), "Custom");
    EXPECT_EQ(display.GetItem(2)->GetDisplayName(), storedName);
    const COutputRec& set = *doc->Design().GetCurrentLayerSet();
    EXPECT_EQ(set.GetLayer(set.GetLayerCount() - 1), 30);

    doc->Session().SelectLayerByKey(1, false, false);
    EXPECT_EQ(set.GetLayer(set.GetLayerCount() - 1), 1) << "moved to the top";
    EXPECT_EQ(doc->Design().GetLayers().GetRefLayer(), 1);

    doc->Design().SetViewFlag(CDesignSettings::viewHolesAlwaysVisible, true);
    doc->Session().SelectLayerByKey(0, false, false);
    EXPECT_EQ(set.GetLayerCount(), 1);
    EXPECT_EQ(set.GetLayer(0), 26);
    EXPECT_EQ(doc->Session().GetWorkLayer(), 0);
    EXPECT_FALSE(doc->Session().SetWorkLayer(31));
}

TEST_F(CToolTest, WorkLayerSwitchesBetweenTrackAndLineTools)
{
    const struct {
        uint32_t mode;
        int32_t layer;
        uint32_t after;
    } rows[] = {
        {ID_TRACKS_ADD, 21, ID_LINES_ADD},
        {ID_TRACKS_EDIT, 27, ID_LINES_EDIT},
        {ID_LINES_ADD, 1, ID_TRACKS_ADD},
        {ID_LINES_EDIT, 16, ID_TRACKS_EDIT},
        {ID_TRACKS_ADD, 2, ID_TRACKS_ADD},
        {ID_LINES_ADD, 26, ID_LINES_ADD},
        {ID_VIEW, 21, ID_VIEW},
    };
    for (const auto& row : rows) {
        doc->Session().SetMode(row.mode);
        EXPECT_TRUE(doc->Session().SetWorkLayer(row.layer));
        EXPECT_EQ(doc->Session().GetMode(), row.after) << row.mode << " on layer " << row.layer;
    }

    // While a track is drawn it follows a copper layer and ignores the others.
    doc->Session().SetMode(ID_TRACKS_ADD);
    doc->Session().SetWorkLayer(1);
    CNet& zero = *doc->Design().GetNets().GetNet(0);
    zero.AppendSegment(0, 0, 1000, 0, 1, 1, false);
    zero.SetCurrentVertex(1);
    doc->Session().SetAction(CEditState::actionDragging);
    doc->Session().SetWorkLayer(2);
    EXPECT_EQ(zero.GetVertexLayer(1), 2);
    EXPECT_EQ(doc->Session().GetWorkLayer(), 2);
    doc->Session().SetWorkLayer(21);
    EXPECT_EQ(zero.GetVertexLayer(1), 2);
    EXPECT_EQ(doc->Session().GetMode(), ID_TRACKS_ADD);
    EXPECT_EQ(doc->Session().GetWorkLayer(), 2);
}

// ---- Cursor -------------------------------------------------------------------------------------

TEST_F(CToolTest, CursorSnapsToTheGridOfTheMode)
{
    CGridArr& grids = doc->Design().GetGridSettings();
    grids.SetSnap(CGridArr::gridText, 5000, 5000);
    const struct {
        uint32_t mode;
        CPoint origin;
        bool snapOff;
        CPoint snapped;
    } rows[] = {
        {ID_VIEW, {}, false, {6400, 3200}},
        {ID_VIEW, {1000, 1000}, false, {7400, 4200}},
        {ID_VIEW, {}, true, {6000, 4200}},
        {ID_COMPONENTS_MOVE_ROTATE, {}, false, {0, 0}},
        {ID_COMPONENTS_ADD, {-20000, 0}, false, {5600, 0}},
        {ID_BOARD_PLACE_TEXT, {}, false, {5000, 5000}},
        {ID_COMPONENTS_MOVE_ROTATE_TEXT, {0, -1000}, false, {5000, 4000}},
    };
    for (const auto& row : rows) {
        doc->Session().SetMode(row.mode);
        doc->Design().SetUserOffset(row.origin);
        grids.SetCurrentSnapOn(!row.snapOff);
        doc->Session().SetCursor(CPoint(-1, -1));
        EXPECT_TRUE(doc->Session().CursorFromPixel(10, 7));
        EXPECT_EQ(doc->Session().GetRawCursor(), CPoint(6000, 4200));
        EXPECT_EQ(doc->Session().GetCursor(), row.snapped) << row.mode;
        EXPECT_FALSE(doc->Session().CursorFromPixel(10, 7));
        grids.SetCurrentSnapOn(true);
    }

    // Keys step by the snap of the mode's grid; a drag follows by the displacement.
    doc->Design().SetUserOffset(CPoint());
    doc->Session().SetCursor(CPoint(5000, 5000));
    EXPECT_TRUE(doc->Session().MoveCursorByKey(VK_HOME));
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(0, 0));
    EXPECT_TRUE(doc->Session().MoveCursorByKey(VK_NEXT));
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(5000, 5000));
    EXPECT_EQ(doc->Session().GetPreviousCursor(), CPoint(0, 0));
    EXPECT_FALSE(doc->Session().MoveCursorByKey('A'));
}

// ---- Scale, scrolling and zoom ------------------------------------------------------------------

TEST_F(CToolTest, ZoomAllFitsAndCentresTheBoard)
{
    const struct {
        CSize client;
        int32_t width, height;
        int32_t scale;
        CPoint offset;
    } rows[] = {
        {{800, 600}, 2540000, 1600000, 3172, {0, 152256}},
        // A small board is centred at the smallest scale the view takes.
        {{800, 600}, 1000, 800, 10, {3500, 2600}},
        {{0, 0}, 1000, 800, 1001, {0, 0}},
        {{100, 100}, intMax, intMax, CDesignSettings::maxScale, {-1024000000, -1024000000}},
    };
    for (const auto& row : rows) {
        views.client = row.client;
        doc->Design().SetBoardSize(row.width, row.height);
        doc->View().ZoomAll();
        EXPECT_EQ(doc->View().GetScale(), row.scale) << row.width;
        EXPECT_EQ(doc->View().GetViewOffset(), row.offset) << row.width;
    }

    // Nothing for a board without width.
    doc->Design().SetBoardSize(0, 800);
    doc->View().SetScale(700);
    doc->View().ZoomAll();
    EXPECT_EQ(doc->View().GetScale(), 700);
}

// The smallest fitting scale is computed, not counted up to: the same scale as counting.
TEST_F(CToolTest, FittingScaleMatchesCountingUp)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> clientSize(1, 900);
    for (int32_t run = 0; run < 200; ++run) {
        const CSize client(clientSize(random), clientSize(random));
        std::uniform_int_distribution<int32_t> side(10 * client.cx, 3000 * client.cx);
        const int32_t width = side(random);
        const int32_t height = side(random);
        int32_t expected = 1;
        while (width / expected > client.cx)
            ++expected;
        while (height / expected > client.cy)
            ++expected;
        views.client = client;
        doc->Design().SetBoardSize(width, height);
        doc->View().ZoomAll();
        ASSERT_EQ(doc->View().GetScale(), std::max(expected, CDesignSettings::minScale))
            << width << " x " << height << " in " << client.cx << " x " << client.cy;
    }
}

TEST_F(CToolTest, ZoomStaysWithinTheScaleLimits)
{
    views.client = CSize(800, 600);
    const struct {
        int32_t scale;
        bool in;
        int32_t after;
    } rows[] = {
        {10, true, 10},  {12, true, 10},           {1000, true, 800},         {1000, false, 1200},
        {10, false, 12}, {900000, false, 1000000}, {1000000, false, 1000000},
    };
    for (const auto& row : rows) {
        doc->View().SetScale(row.scale);
        doc->Session().SetCursor(CPoint(50000, 40000));
        row.in ? doc->View().ZoomIn() : doc->View().ZoomOut();
        EXPECT_EQ(doc->View().GetScale(), row.after) << row.scale << (row.in ? " in" : " out");
        EXPECT_EQ(doc->View().GetViewOffset(),
                  CPoint(400 * row.after - 50000, 300 * row.after - 40000));
    }
    doc->View().SetScale(3);
    EXPECT_EQ(doc->View().GetScale(), 10);
    doc->View().SetScale(intMax);
    EXPECT_EQ(doc->View().GetScale(), CDesignSettings::maxScale);

    // Pixels far out at the largest scale saturate instead of wrapping around.
    doc->View().SetOffset(0, 0);
    views.client = CSize(5000, 5000);
    doc->Session().CursorFromPixel(5000, -5000);
    EXPECT_EQ(doc->Session().GetRawCursor(), CPoint(intMax, std::numeric_limits<int32_t>::min()));
    doc->View().CenterOn(0, 0);
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(intMax, intMax));
}

TEST_F(CToolTest, ZoomWindowNeverZoomsOutOrDividesByZero)
{
    views.client = CSize(800, 600);
    const struct {
        CRect window;
        bool zoomed;
        int32_t scale;
    } rows[] = {
        {CRect(8000, 6000, 0, 0), true, 10},
        {CRect(0, 0, 200000, 100000), true, 100},
        {CRect(0, 0, 99, 100000), false, 100},
    };
    for (const auto& row : rows) {
        doc->View().SetScale(100);
        doc->Session().SetCursor(CPoint(8000, 6000));
        doc->View().SetZoomRect(row.window);
        EXPECT_EQ(doc->View().ZoomWindow(), row.zoomed);
        EXPECT_EQ(doc->View().GetScale(), row.scale);
    }
    // The cursor went from the corner to the middle, which is now the view's centre.
    doc->View().SetZoomRect(CRect(0, 0, 8000, 6000));
    doc->Session().SetCursor(CPoint(8000, 6000));
    doc->View().SetScale(100);
    ASSERT_TRUE(doc->View().ZoomWindow());
    EXPECT_EQ(doc->Session().GetCursor(), CPoint(4000, 3000));
    EXPECT_EQ(doc->View().GetViewOffset(), CPoint(0, 0));
}

} // namespace
