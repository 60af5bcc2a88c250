#include "model/CTrackTool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using archive_bytes::Bytes;

// Board units per pixel of the tests' view; every point used lies on the 3200-unit grid.
constexpr int32_t scale = 10;
constexpr int32_t grid = 3200;

struct Vertex {
    int32_t x;
    int32_t y;
    int32_t pen; // -1 for a pad or via vertex
    bool operator==(const Vertex&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Vertex& v)
{
    return out << "(" << v.x << "," << v.y << " pen " << v.pen << ")";
}

std::vector<Vertex> VerticesOf(const CNet& net)
{
    std::vector<Vertex> vertices;
    for (int32_t i = 0; i < net.GetVertexCount(); ++i)
        vertices.push_back({net.GetVertex(i).x, net.GetVertex(i).y, net.GetVertexPen(i)});
    return vertices;
}

// A design with two nets besides net 0 and its own padstacks: a drilled via (round +-2000,
// drill 3023) as the default via, and a top-layer free pad (square +-3000) as
// the default free pad; the view at scale 10 and offset 0; the top layer to work on.
class CTrackToolTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        CPadStackArray& stacks = doc->Design().GetEditableShapeCache().GetPadStacks();
        stacks.RemoveAll();
        via = stacks.Add(CPadStack("V", PAD_ROUND, -2000, -2000, 2000, 2000, 3023, LAYER_COMMON,
                                   PADSTACK_KIND_VIA));
        pad = stacks.Add(
            CPadStack("P", PAD_SQUARE, -3000, -3000, 3000, 3000, 0, LAYER_TOP, PADSTACK_KIND_PAD));
        stacks.SetDefault(PADSTACK_KIND_VIA, via);
        stacks.SetDefault(PADSTACK_KIND_PAD, pad);
        doc->View().SetScale(scale);
        doc->View().SetOffset(0, 0);
        doc->Session().SetWorkLayer(LAYER_TOP);
        nets().AddNet("A");
        nets().AddNet("B");
    }

    CNetArray& nets() { return doc->Design().GetNets(); }
    CTrackTool& tool() { return nets().GetTrackTool(); }
    CNet& net(int32_t i) { return *nets().GetNet(i); }

    void Mode(uint32_t mode) { doc->Session().SetMode(mode); }
    void MoveTo(int32_t x, int32_t y)
    {
        // The view passes a move on only when the snapped cursor moved.
        if (!doc->Session().CursorFromPixel(x / scale, y / scale))
            return;
        if (CTrackTool::IsPadMode(doc->Session().GetMode()))
            tool().OnPadToolMouseMove(doc->Session());
        else
            tool().OnTrackToolMouseMove(doc->Session());
    }
    void Click(int32_t x, int32_t y)
    {
        MoveTo(x, y);
        if (CTrackTool::IsPadMode(doc->Session().GetMode()))
            tool().OnPadToolClick(doc->Session());
        else
            tool().OnTrackToolClick(doc->Session());
    }
    void Key(uint32_t key) { tool().OnTrackKeyDown(doc->Session(), key); }

    // A finished run of net i through the points, drawn with the net's pen 1.
    void AddRun(int32_t i, std::initializer_list<CPoint> points)
    {
        bool first = true;
        for (CPoint p : points) {
            net(i).AppendVertex(p.x, p.y, LAYER_TOP, first ? 0 : 1);
            first = false;
        }
        net(i).SelectAllVertices(false);
        net(i).CalcBoundingBox(doc->Link());
    }

    int32_t via = -1;
    int32_t pad = -1;
};

// ---- Drawing and editing tracks -----------------------------------------------------------------

TEST_F(CTrackToolTest, AddDrawsARunInNetZeroThatOneUndoTakesAway)
{
    const Bytes before = archive_bytes::Store(net(0));
    Mode(ID_TRACKS_ADD);
    Click(0, 0);
    ASSERT_TRUE(tool().IsEditing());
    EXPECT_EQ(nets().GetCurrentIndex(), 0) << "nothing hit: net 0";
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    MoveTo(10 * grid, 0);
    Click(10 * grid, 0);
    MoveTo(10 * grid, 10 * grid);
    Key(VK_RETURN);

    EXPECT_FALSE(tool().IsEditing());
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
    const int32_t pen = net(0).GetCurrentPen();
    EXPECT_EQ(VerticesOf(net(0)),
              (std::vector<Vertex>{{0, 0, 0}, {10 * grid, 0, pen}, {10 * grid, 10 * grid, pen}}));
    EXPECT_EQ(nets().GetSelectedCount(), 0);
    EXPECT_TRUE(doc->IsModified());

    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(*doc->Design().GetNets().GetNet(0)), before);
}

TEST_F(CTrackToolTest, AddOnATrackTakesItsNet)
{
    AddRun(2, {{0, 0}, {20 * grid, 0}});
    Mode(ID_TRACKS_ADD);
    Click(5 * grid, 0);
    EXPECT_EQ(nets().GetCurrentIndex(), 2);
    MoveTo(5 * grid, 5 * grid);
    Key(VK_RETURN);
    ASSERT_EQ(net(2).GetVertexCount(), 4);
    EXPECT_EQ(net(2).GetVertexPoint(2), CPoint(5 * grid, 0));
    EXPECT_EQ(net(2).GetVertexPoint(3), CPoint(5 * grid, 5 * grid));
}

// Esc puts back the net as it was before the edit's first click, byte for byte, also when the
// current net changed while drawing.
TEST_F(CTrackToolTest, EscRestoresTheEditedNetExactly)
{
    AddRun(1, {{0, 0}, {20 * grid, 0}, {20 * grid, 20 * grid}});
    const Bytes netOne = archive_bytes::Store(net(1));
    const Bytes netZero = archive_bytes::Store(net(0));

    for (bool switchNet : {false, true}) {
        Mode(ID_TRACKS_EDIT);
        Click(20 * grid, 20 * grid);
        ASSERT_TRUE(tool().IsEditing());
        ASSERT_EQ(nets().GetCurrentIndex(), 1);
        MoveTo(25 * grid, 25 * grid);
        Click(25 * grid, 25 * grid);
        MoveTo(30 * grid, 20 * grid);
        ASSERT_NE(archive_bytes::Store(net(1)), netOne);
        if (switchNet)
            nets().SetCurrentNet(0);
        Key(VK_ESCAPE);

        EXPECT_FALSE(tool().IsEditing());
        EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
        EXPECT_EQ(archive_bytes::Store(net(1)), netOne) << "switched " << switchNet;
        EXPECT_EQ(archive_bytes::Store(net(0)), netZero) << "switched " << switchNet;
        EXPECT_EQ(nets().GetSelectedCount(), 0);
    }
}

TEST_F(CTrackToolTest, EditMovesAVertexAndOneUndoPutsItBack)
{
    AddRun(1, {{0, 0}, {20 * grid, 0}, {20 * grid, 20 * grid}});
    const Bytes before = archive_bytes::Store(net(1));
    Mode(ID_TRACKS_EDIT);
    Click(20 * grid, 20 * grid);
    MoveTo(20 * grid, 30 * grid);
    MoveTo(20 * grid, 40 * grid);
    tool().EndTrackTool(doc->Session());
    EXPECT_EQ(VerticesOf(net(1)).back(), (Vertex{20 * grid, 40 * grid, 1}));
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(net(1)), before);
}

TEST_F(CTrackToolTest, BackspaceTrimsAndDelDeletesTheRun)
{
    Mode(ID_TRACKS_ADD);
    Click(0, 0);
    MoveTo(10 * grid, 0);
    Click(10 * grid, 0);
    MoveTo(10 * grid, 10 * grid);
    Key(VK_BACK);
    EXPECT_TRUE(tool().IsEditing()) << "the run goes on from the vertex before";
    EXPECT_EQ(net(0).GetCurrentVertexPoint(), CPoint(10 * grid, 0));
    Key(VK_DELETE);
    EXPECT_FALSE(tool().IsEditing());
    EXPECT_EQ(net(0).GetVertexCount(), 0);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
}

// ---- Vias ---------------------------------------------------------------------------------------

TEST_F(CTrackToolTest, ViaToggleLandsInNetZeroAndIsUndone)
{
    Mode(ID_TRACKS_ADD_OR_REMOVE_VIA);
    const int32_t undoBefore = doc->History().GetUndoCount();
    Click(10 * grid, 10 * grid);
    ASSERT_EQ(VerticesOf(net(0)), (std::vector<Vertex>{{10 * grid, 10 * grid, -1}}));
    EXPECT_EQ(net(0).GetVertexPadStack(0), via);
    EXPECT_GT(doc->History().GetUndoCount(), undoBefore);
    doc->History().Undo();
    EXPECT_EQ(net(0).GetVertexCount(), 0);

    Click(10 * grid, 10 * grid);
    Click(10 * grid, 10 * grid);
    EXPECT_EQ(net(0).GetVertexCount(), 0) << "a second click takes the via away";
}

TEST_F(CTrackToolTest, ViaJoinsTheTrackItTouchesAndNeedsANetWithTheCheckOn)
{
    AddRun(2, {{0, 0}, {20 * grid, 0}});
    doc->Design().SetDrcActive(1);
    Mode(ID_TRACKS_ADD_OR_REMOVE_VIA);
    const int32_t undoBefore = doc->History().GetUndoCount();
    Click(10 * grid, 20 * grid);
    EXPECT_EQ(net(0).GetVertexCount(), 0) << "touching no net";
    EXPECT_EQ(doc->History().GetUndoCount(), undoBefore) << "nothing placed, no snapshot left";
    Click(10 * grid, 0);
    ASSERT_EQ(net(2).GetVertexCount(), 3);
    EXPECT_TRUE(net(2).IsPadVertex(2));
}

TEST_F(CTrackToolTest, ViaHoleAtExactlyTheSumOfTheRadiiIsRefused)
{
    // Drill 3023: radius 1511 each, so centres 3022 apart are just too near.
    const int32_t radius = 3023 / 2;
    net(2).AppendPadVertex(0, 0, via, 0, false);
    net(2).CalcBoundingBox(doc->Link());
    CTrackTool& t = tool();
    doc->Session().SetCursor(CPoint(2 * radius, 0));
    EXPECT_FALSE(t.AddViaAtCursor(doc->Session()));
    EXPECT_EQ(net(2).GetVertexCount(), 1);
    EXPECT_EQ(net(0).GetVertexCount(), 0);
}

// ---- Pads ---------------------------------------------------------------------------------------

TEST_F(CTrackToolTest, PadAngleTurnsToTheNextQuarter)
{
    EXPECT_EQ(CTrackTool::NextQuarterTurn(45000), 90000);
    EXPECT_EQ(CTrackTool::NextQuarterTurn(0), 90000);
    EXPECT_EQ(CTrackTool::NextQuarterTurn(270000), 0);
    Mode(ID_PADS_ADD_MANUALLY);
    tool().SetPadAngle(45000);
    tool().OnPadToolKeyDown(doc->Session(), VK_F2);
    EXPECT_EQ(tool().GetPadAngle(), 90000);
}

TEST_F(CTrackToolTest, AddManuallyPlacesFreePadsWhereTheyFit)
{
    Mode(ID_PADS_ADD_MANUALLY);
    tool().SetPadAngle(90000);
    Click(10 * grid, 10 * grid);
    ASSERT_EQ(VerticesOf(net(0)), (std::vector<Vertex>{{10 * grid, 10 * grid, -1}}));
    EXPECT_EQ(net(0).GetVertexPadStack(0), pad);
    EXPECT_EQ(net(0).GetVertexRotation(0), 90000);
    const int32_t undoCount = doc->History().GetUndoCount();
    Click(10 * grid, 10 * grid);
    EXPECT_EQ(net(0).GetVertexCount(), 2) << "pads of net 0 do not refuse each other";

    doc->Design().SetDrcActive(1);
    Click(30 * grid, 30 * grid);
    EXPECT_EQ(net(0).GetVertexCount(), 2) << "touching no net with the check on";
    EXPECT_EQ(doc->History().GetUndoCount(), undoCount + 1) << "the refused pad leaves no snapshot";
}

TEST_F(CTrackToolTest, SetPadOrderSwapsByRankAndStopsAtTheLastPad)
{
    for (int32_t i = 0; i < 3; ++i)
        net(0).AppendPadVertex(i * 10 * grid, 0, pad, 0, false);
    net(0).CalcBoundingBox(doc->Link());
    Mode(ID_PADS_SET_PAD_ORDER);
    Click(20 * grid, 0);
    EXPECT_EQ(net(0).GetVertexPoint(0), CPoint(20 * grid, 0)) << "first click: rank 1";
    Click(0, 0);
    EXPECT_EQ(net(0).GetVertexPoint(1), CPoint(0, 0));
    Click(10 * grid, 0);
    EXPECT_EQ(tool().GetPadOrder(), 4);

    const Bytes ordered = archive_bytes::Store(net(0));
    const int32_t undoCount = doc->History().GetUndoCount();
    Click(0, 0);
    EXPECT_EQ(archive_bytes::Store(net(0)), ordered) << "no fourth pad to swap with";
    EXPECT_EQ(tool().GetPadOrder(), 4);
    EXPECT_EQ(doc->History().GetUndoCount(), undoCount);
}

TEST_F(CTrackToolTest, PadEditsAreEachUndoneByOneUndo)
{
    net(0).AppendPadVertex(0, 0, pad, 0, false);
    net(0).CalcBoundingBox(doc->Link());
    const Bytes before = archive_bytes::Store(net(0));

    Mode(ID_PADS_ROTATE);
    tool().SetPadAngle(90000);
    Click(0, 0);
    EXPECT_EQ(net(0).GetVertexRotation(0), 90000);
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(*nets().GetNet(0)), before) << "rotate";

    Mode(ID_PADS_MOVE);
    Click(0, 0);
    MoveTo(10 * grid, 0);
    Click(10 * grid, 0);
    EXPECT_EQ(nets().GetNet(0)->GetVertexPoint(0), CPoint(10 * grid, 0));
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(*nets().GetNet(0)), before) << "move";

    Mode(ID_PADS_DELETE);
    Click(0, 0);
    EXPECT_EQ(nets().GetNet(0)->GetVertexCount(), 0);
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(*nets().GetNet(0)), before) << "delete";
}

// ---- Track commands -----------------------------------------------------------------------------

TEST_F(CTrackToolTest, DeleteSegmentSplitsTheRun)
{
    AddRun(1, {{0, 0}, {10 * grid, 0}, {20 * grid, 0}, {30 * grid, 0}});
    Mode(ID_TRACKS_DELETE_SEGMENTS);
    Click(15 * grid, 0);
    EXPECT_EQ(
        VerticesOf(net(1)),
        (std::vector<Vertex>{{0, 0, 0}, {10 * grid, 0, 1}, {20 * grid, 0, 0}, {30 * grid, 0, 1}}));
    doc->History().Undo();
    EXPECT_EQ(nets().GetNet(1)->GetVertexCount(), 4);
}

TEST_F(CTrackToolTest, CopyTracksFloatsACopyAndEndingDropsIt)
{
    AddRun(1, {{0, 0}, {10 * grid, 0}});
    Mode(ID_TRACKS_COPY_TRACKS);
    Click(5 * grid, 0);
    MoveTo(5 * grid, 5 * grid);
    Click(5 * grid, 5 * grid);
    MoveTo(5 * grid, 10 * grid);
    EXPECT_EQ(net(1).GetVertexCount(), 6);
    tool().EndTrackTool(doc->Session());
    EXPECT_EQ(VerticesOf(net(1)),
              (std::vector<Vertex>{
                  {0, 0, 0}, {10 * grid, 0, 1}, {0, 5 * grid, 0}, {10 * grid, 5 * grid, 1}}));
}

// A scripted "Input sizes" dialog.
class CSizesDialog : public CDialogService {
public:
    int32_t InputSizes(std::string& w, std::string& h) override
    {
        w = width;
        h = height;
        return result;
    }
    std::string width;
    std::string height;
    int32_t result = resultOk;
};

TEST_F(CTrackToolTest, RectangleOfTrackBySizeOrByTheBand)
{
    CSizesDialog sizes;
    CDialogService* previous = CDialogService::Set(&sizes);
    doc->Design().SetUnit(1); // millimetres
    sizes.width = "5";
    sizes.height = "2";
    Mode(ID_TRACKS_ADD_RECTANGLES);
    Click(0, 0);
    EXPECT_EQ(net(0).GetVertexCount(), 5);
    EXPECT_EQ(net(0).GetVertexPoint(2).x - net(0).GetVertexPoint(0).x, 50393);

    sizes.result = CDialogService::resultWindow;
    Click(20 * grid, 0);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionBandOpen);
    MoveTo(30 * grid, 10 * grid);
    Click(30 * grid, 10 * grid);
    EXPECT_EQ(net(0).GetVertexCount(), 10);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    tool().EndTrackTool(doc->Session());
    EXPECT_EQ(net(0).GetVertexCount(), 5) << "the floating figure goes";
    CDialogService::Set(previous);
}

// ---- Online clearance check ---------------------------------------------------------------------

TEST_F(CTrackToolTest, TrackTooNearAnotherNetIsRecorded)
{
    AddRun(2, {{0, 2 * grid}, {20 * grid, 2 * grid}});
    doc->Design().SetDrcActive(1);
    Mode(ID_TRACKS_ADD);
    Click(0, 10 * grid);
    MoveTo(20 * grid, 10 * grid);
    Key(VK_RETURN);
    EXPECT_EQ(nets().GetErrorCount(), 0);
    EXPECT_FALSE(doc->View().IsBottomPaneShown());

    // 3200 apart: the 2015-wide tracks with 2015 clearance come too near.
    Click(0, 3 * grid);
    MoveTo(20 * grid, 3 * grid);
    Key(VK_RETURN);
    ASSERT_EQ(nets().GetErrorCount(), 1);
    EXPECT_EQ(nets().GetError(0)->GetSecond().net, 2);
    EXPECT_EQ(nets().GetError(0)->GetSecond().text, "Track");
    EXPECT_TRUE(doc->View().IsBottomPaneShown());
}

// ---- Extract Tracks from Shapes -----------------------------------------------------------------

TEST_F(CTrackToolTest, ExtractTakesCopperOutlinesAndBreaksRunsAtSkippedVertices)
{
    CShapeLib& cache = doc->Design().GetEditableShapeCache();
    const int32_t shape = cache.AddShape("S");
    const auto word = [](int32_t layer, int32_t pen) { return uint16_t((layer << 4) | pen); };
    cache.AddOutlineToShape(shape, 0, 0, word(LAYER_TOP, 0));
    cache.AddOutlineToShape(shape, 1000, 0, word(LAYER_TOP, 1));
    cache.AddOutlineToShape(shape, 2000, 0, word(LAYER_SILK_TOP, 1));
    cache.AddOutlineToShape(shape, 3000, 0, word(LAYER_TOP, 1));
    cache.AddOutlineToShape(shape, 4000, 0, word(LAYER_TOP, 1));
    CComponentArray& components = doc->Design().GetComponents();
    const int32_t c = components.AddEmpty(shape);
    components.SetPosition(c, 100000, 50000);
    components.SetMirrored(c, true);
    components.Select(c, true);

    tool().ExtractTracksFromShapes(doc->Session());
    const int32_t pen = net(0).FindPen(cache.GetPenWidth(1));
    ASSERT_GE(pen, 1);
    std::vector<Vertex> expected = {
        {100000, 50000, 0}, {99000, 50000, pen}, {97000, 50000, 0}, {96000, 50000, pen}};
    EXPECT_EQ(VerticesOf(net(0)), expected);
    for (int32_t i = 0; i < net(0).GetVertexCount(); ++i)
        EXPECT_EQ(net(0).GetVertexLayer(i), LAYER_BOTTOM) << "mirrored: the opposite layer";
    doc->History().Undo();
    EXPECT_EQ(nets().GetNet(0)->GetVertexCount(), 0);
}

// ---- Keys and menus -----------------------------------------------------------------------------

TEST_F(CTrackToolTest, KeysWhileWaitingSwitchTools)
{
    Mode(ID_TRACKS_ADD);
    tool().OnTrackChar(doc->Session(), 'e');
    EXPECT_EQ(doc->Session().GetMode(), ID_TRACKS_EDIT);
    Key(VK_DELETE);
    EXPECT_EQ(doc->Session().GetMode(), ID_TRACKS_DELETE_SEGMENTS);
    Key(VK_ESCAPE);
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);

    Mode(ID_PADS_MOVE);
    tool().OnPadToolChar(doc->Session(), 's');
    EXPECT_EQ(doc->Session().GetMode(), ID_PADS_ADD_MANUALLY);
    tool().OnPadToolKeyDown(doc->Session(), VK_ESCAPE);
    EXPECT_EQ(doc->Session().GetMode(), ID_VIEW);
}

TEST_F(CTrackToolTest, ContextMenusFollowTheState)
{
    bool first = false;
    Mode(ID_TRACKS_CHANGE_TRACKS_WIDTH);
    EXPECT_EQ(
        tool().OnTrackToolContextMenu(doc->Session(), first),
        (std::vector<uint32_t>{ID_SETTINGS_PEN_WIDTH, ID_DRAW_NEXT_PEN, ID_DRAW_PREVIOUS_PEN}));
    EXPECT_TRUE(first);
    Mode(ID_TRACKS_ADD);
    Click(0, 0);
    EXPECT_EQ(tool().OnTrackToolContextMenu(doc->Session(), first),
              (std::vector<uint32_t>{ID_END_MODE, ID_SELECT_PEN}));
    Key(VK_ESCAPE);
    Mode(ID_PADS_COPY);
    doc->Session().SetWorkLayer(LAYER_SILK_TOP);
    const std::vector<uint32_t> items = tool().OnPadToolContextMenu(doc->Session(), first);
    EXPECT_FALSE(first);
    EXPECT_EQ(items.front(), ID_SETTINGS_GENERAL_PAD);
    EXPECT_EQ(items.back(), ID_LINES_DELETE_LINES) << "no copper work layer: the line commands";
}

} // namespace
