#include "model/CLineTool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/VirtualKeys.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using archive_bytes::Bytes;

constexpr int32_t scale = 10;
constexpr int32_t grid = 3200;

struct Vertex {
    int32_t x;
    int32_t y;
    int32_t pen;
    bool operator==(const Vertex&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Vertex& v)
{
    return out << "(" << v.x << "," << v.y << " pen " << v.pen << ")";
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
    std::string width = "0";
    std::string height = "0";
    int32_t result = resultOk;
};

// Drawn lines on the top silkscreen, the view at scale 10 and offset 0.
class CLineToolTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        m_previousDialogs = CDialogService::Set(&sizes);
        doc->View().SetScale(scale);
        doc->View().SetOffset(0, 0);
        doc->Session().SetWorkLayer(LAYER_SILK_TOP);
        pen = lines().GetCurrentPen();
    }
    void TearDown() override
    {
        CDialogService::Set(m_previousDialogs);
        CDocumentTest::TearDown();
    }

    CDrawRecArray& lines() { return doc->Design().GetLines(); }
    CLineTool& tool() { return lines().GetLineTool(); }
    void MoveTo(int32_t x, int32_t y)
    {
        // The view passes a move on only when the snapped cursor moved.
        if (doc->Session().CursorFromPixel(x / scale, y / scale))
            tool().OnMoveCursor(doc->Session());
    }
    void Click(int32_t x, int32_t y)
    {
        MoveTo(x, y);
        tool().OnSpaceBarDown(doc->Session());
    }
    std::vector<Vertex> Vertices()
    {
        std::vector<Vertex> vertices;
        for (int32_t i = 0; i < lines().GetCount(); ++i)
            vertices.push_back({lines().GetPoint(i).x, lines().GetPoint(i).y, lines().GetPen(i)});
        return vertices;
    }
    void AddPolyline(std::initializer_list<CPoint> points)
    {
        bool first = true;
        for (CPoint p : points) {
            lines().AddVertex(p.x, p.y, LAYER_SILK_TOP, first ? 0 : pen, 0);
            first = false;
        }
    }

    CSizesDialog sizes;
    int32_t pen = 0;

private:
    CDialogService* m_previousDialogs = nullptr;
};

TEST_F(CLineToolTest, DrawEndsOnASecondClickAtTheSamePointAndIsUndoneAtOnce)
{
    const Bytes before = archive_bytes::Store(lines());
    doc->Session().SetMode(ID_LINES_ADD);
    Click(0, 0);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    Click(10 * grid, 0);
    Click(10 * grid, 10 * grid);
    Click(10 * grid, 10 * grid);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
    EXPECT_EQ(Vertices(),
              (std::vector<Vertex>{{0, 0, 0}, {10 * grid, 0, pen}, {10 * grid, 10 * grid, pen}}));
    EXPECT_EQ(lines().GetSelectedCount(), 0);

    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetLines()), before);
}

TEST_F(CLineToolTest, EllipsesTakeTheirStepFromTheLongerHalfAxis)
{
    CLineTool& t = tool();
    EXPECT_FALSE(t.AddEllipse(CRect(0, 0, 30, 100), LAYER_SILK_TOP)) << "half-width 15";
    EXPECT_EQ(lines().GetCount(), 0);

    ASSERT_TRUE(t.AddEllipse(CRect(0, 0, 90000, 90000), LAYER_SILK_TOP));
    EXPECT_EQ(lines().GetCount(), 1 + 181) << "radius 45000: 2 degrees";
    EXPECT_EQ(lines().GetPoint(0), CPoint(45000, 90000));
    EXPECT_EQ(lines().GetPoint(1), CPoint(45000, 90000));
    EXPECT_EQ(lines().GetPoint(46), CPoint(90000, 45000)) << "90 degrees: a sin t on x";
    EXPECT_EQ(lines().GetSelectedCount(), lines().GetCount());

    lines().SelectAll(false);
    const int32_t before = lines().GetCount();
    ASSERT_TRUE(t.AddEllipse(CRect(0, 0, 40, 40), LAYER_SILK_TOP));
    EXPECT_EQ(lines().GetCount() - before, 1 + 5) << "a square through four points";

    // 45000 / 7000 = 6, a divisor of 360.
    const int32_t third = lines().GetCount();
    ASSERT_TRUE(t.AddEllipse(CRect(0, 0, 14000, 2000), LAYER_SILK_TOP));
    EXPECT_EQ(lines().GetCount() - third, 1 + 61);
}

// Deleting the first vertex of a polyline makes the next one start it, instead of drawing a
// segment over from the polyline before.
TEST_F(CLineToolTest, DeletingAVertexNeverJoinsTwoPolylines)
{
    AddPolyline({{0, 0}, {10 * grid, 0}});
    AddPolyline({{0, 10 * grid}, {10 * grid, 10 * grid}, {20 * grid, 10 * grid}});
    doc->Session().SetMode(ID_LINES_EDIT);
    Click(0, 10 * grid);
    ASSERT_EQ(lines().GetCurrentVertex(), 2);
    tool().OnKeyDown(doc->Session(), VK_DELETE);
    EXPECT_EQ(Vertices(), (std::vector<Vertex>{{0, 0, 0},
                                               {10 * grid, 0, pen},
                                               {10 * grid, 10 * grid, 0},
                                               {20 * grid, 10 * grid, pen}}));
}

TEST_F(CLineToolTest, ChangeLineWidthIsUndoneWithTheSegmentItSplit)
{
    lines().SetCurrentPen(1);
    AddPolyline({{0, 0}, {20 * grid, 0}});
    lines().SetPen(1, 2);
    const Bytes before = archive_bytes::Store(lines());
    doc->Session().SetMode(ID_LINES_CHANGE_LINE_WIDTH);
    Click(10 * grid, 0);
    EXPECT_EQ(lines().GetCount(), 3) << "the click split the segment";
    EXPECT_EQ(lines().GetPen(1), 1);
    EXPECT_EQ(lines().GetPen(2), 1);
    doc->History().Undo();
    EXPECT_EQ(archive_bytes::Store(doc->Design().GetLines()), before);
}

TEST_F(CLineToolTest, CopyLinesFollowsTheMouseAndEscDropsTheMovingCopy)
{
    AddPolyline({{0, 0}, {10 * grid, 0}});
    doc->Session().SetMode(ID_LINES_COPY_LINES);
    Click(5 * grid, 0);
    MoveTo(5 * grid, 5 * grid);
    Click(5 * grid, 5 * grid);
    MoveTo(5 * grid, 10 * grid);
    EXPECT_EQ(lines().GetCount(), 6);
    tool().OnKeyDown(doc->Session(), VK_ESCAPE);
    EXPECT_EQ(Vertices(),
              (std::vector<Vertex>{
                  {0, 0, 0}, {10 * grid, 0, pen}, {0, 5 * grid, 0}, {10 * grid, 5 * grid, pen}}));
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionWaiting);
}

TEST_F(CLineToolTest, CircleBandStaysSquareAndTheFigureFollowsTheMouse)
{
    sizes.result = CDialogService::resultWindow;
    doc->Session().SetMode(ID_LINES_ADD_CIRCLES);
    Click(0, 0);
    ASSERT_EQ(doc->Session().GetAction(), CEditState::actionBandOpen);
    MoveTo(10 * grid, 3 * grid);
    EXPECT_EQ(doc->Session().GetRubberBand().Width(), doc->Session().GetRubberBand().Height());
    MoveTo(-2 * grid, 8 * grid);
    EXPECT_EQ(doc->Session().GetRubberBand().right - doc->Session().GetRubberBand().left, 8 * grid);
    Click(-2 * grid, 8 * grid);
    ASSERT_GT(lines().GetCount(), 0);
    EXPECT_EQ(doc->Session().GetAction(), CEditState::actionDragging);
    tool().OnKeyDown(doc->Session(), VK_ESCAPE);
    EXPECT_EQ(lines().GetCount(), 0) << "Esc drops the figure still following the mouse";
}

TEST_F(CLineToolTest, RectangleBySizeHasFiveVertices)
{
    doc->Design().SetUnit(1); // millimetres
    sizes.width = "2";
    sizes.height = "1";
    doc->Session().SetMode(ID_LINES_ADD_RECTANGLES);
    Click(grid, grid);
    const int32_t w = 20157;
    const int32_t h = 10078;
    EXPECT_EQ(Vertices(), (std::vector<Vertex>{{grid, grid, 0},
                                               {grid + w, grid, pen},
                                               {grid + w, grid + h, pen},
                                               {grid, grid + h, pen},
                                               {grid, grid, pen}}));
    EXPECT_EQ(lines().GetSelectedCount(), 0);
}

} // namespace
