#include "framework/qt/CQtDeviceContext.h"

#include "framework/CDrawList.h"
#include "framework/CWorkPool.h"
#include "framework/qt/CQtText.h"
#include "tests/support/CQtTestApplication.h"

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF black = 0x00000000;
constexpr COLORREF white = 0x00FFFFFF;
constexpr COLORREF red = 0x000000FF; // red sits in the lowest byte
constexpr COLORREF green = RGB(0, 255, 0);
constexpr COLORREF blue = RGB(0, 0, 255);

class CQtDeviceContextTest : public ::testing::Test {
protected:
    CQtDeviceContextTest() { Fill(black); }

    void Fill(COLORREF color) { image.fill(CQtDeviceContext::ToQColor(color)); }

    template <typename Drawing> void Draw(Drawing drawing)
    {
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        drawing(dc);
    }

    COLORREF At(int x, int y) const
    {
        const QRgb pixel = image.pixel(x, y);
        return RGB(uint8_t(qRed(pixel)), uint8_t(qGreen(pixel)), uint8_t(qBlue(pixel)));
    }

    int Count(COLORREF color, const CRect& area) const
    {
        const CRect inside = CRect::Intersection(area, CRect(0, 0, image.width(), image.height()));
        int count = 0;
        for (int y = inside.top; y < inside.bottom; ++y) {
            for (int x = inside.left; x < inside.right; ++x)
                count += At(x, y) == color ? 1 : 0;
        }
        return count;
    }

    int CountAll(COLORREF color) const
    {
        return Count(color, CRect(0, 0, image.width(), image.height()));
    }

    QImage image{40, 30, QImage::Format_RGB32};
};

using CQtDeviceContextLineTest = CQtDeviceContextTest;

TEST_F(CQtDeviceContextLineTest, HorizontalLineStopsBeforeItsEndInThePenColour)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 1, red));
        dc.MoveTo({2, 5});
        dc.LineTo({10, 5});
    });

    EXPECT_EQ(image.pixel(2, 5), qRgb(255, 0, 0));
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(At(x, 5), red) << x;
    EXPECT_EQ(At(1, 5), black);
    EXPECT_EQ(At(10, 5), black);
    EXPECT_EQ(CountAll(red), 8);
}

TEST_F(CQtDeviceContextLineTest, DiagonalLineCoversTheDiagonalPixels)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 0, blue));
        dc.MoveTo({3, 3});
        dc.LineTo({8, 8});
        dc.MoveTo({20, 8}); // drawn upward to the right
        dc.LineTo({25, 3});
    });

    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(At(3 + i, 3 + i), blue) << i;
        EXPECT_EQ(At(20 + i, 8 - i), blue) << i;
    }
    EXPECT_EQ(At(8, 8), black);
    EXPECT_EQ(At(25, 3), black);
    EXPECT_EQ(CountAll(blue), 10);
}

TEST_F(CQtDeviceContextLineTest, LineToMovesTheCurrentPositionAndPolylineDoesNot)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
        dc.MoveTo({1, 1});
        dc.LineTo({5, 1});
        const CPoint points[] = {{1, 20}, {9, 20}};
        dc.Polyline(points);
        EXPECT_EQ(dc.MoveTo({0, 0}), CPoint(5, 1));
    });
    EXPECT_EQ(CountAll(white), 4 + 8);
}

TEST_F(CQtDeviceContextLineTest, WidePenIsCentredOnTheLine)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 5, green));
        dc.MoveTo({5, 10});
        dc.LineTo({25, 10});
    });

    for (int y = 8; y <= 12; ++y)
        EXPECT_EQ(At(15, y), green) << y;
    EXPECT_EQ(At(15, 7), black);
    EXPECT_EQ(At(15, 13), black);
}

TEST_F(CQtDeviceContextLineTest, NullPenDrawsNothing)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen::Null());
        dc.MoveTo({0, 0});
        dc.LineTo({30, 20});
        dc.SelectBrush(CBrush::Null());
        dc.Rectangle(CRect(2, 2, 20, 20));
    });
    EXPECT_EQ(CountAll(black), 40 * 30);
}

TEST_F(CQtDeviceContextLineTest, AxisLinesCoverThePixelsOfTheSameLineAsAPolyline)
{
    const CPoint ends[][2] = {{{2, 5}, {30, 5}},     {{30, 8}, {2, 8}},
                              {{7, 1}, {7, 25}},     {{9, 25}, {9, 1}},
                              {{-10, 12}, {60, 12}}, {{12, -40}, {12, 90}},
                              {{5, 29}, {20, 29}},   {{3, 3}, {3, 3}},
                              {{33, 0}, {33, 1}},    {{-2147483647, 20}, {2147483647, 20}},
                              {{36, 2}, {36, 20}}};
    auto render = [&](bool polyline) {
        Fill(black);
        Draw([&](CDeviceContext& dc) {
            dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
            dc.IntersectClipRect(CRect(1, 0, 35, 28));
            for (const auto& line : ends) {
                if (polyline) {
                    dc.Polyline(line);
                } else {
                    dc.MoveTo(line[0]);
                    dc.LineTo(line[1]);
                }
            }
        });
        return image;
    };
    const QImage lines = render(false);
    EXPECT_EQ(lines, render(true));
    EXPECT_EQ(lines.pixel(2, 5), 0xFFFFFFFFu);
    EXPECT_EQ(lines.pixel(30, 5), 0xFF000000u);
    EXPECT_EQ(lines.pixel(2, 8), 0xFF000000u);
}

using CQtDeviceContextShapeTest = CQtDeviceContextTest;

TEST_F(CQtDeviceContextShapeTest, PolygonIsFilledWithTheBrushAndOutlinedThroughItsPoints)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 1, red));
        dc.SelectBrush(CBrush(blue));
        const CPoint square[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
        dc.Polygon(square);
    });

    EXPECT_EQ(At(5, 5), red);
    EXPECT_EQ(At(15, 15), red);
    EXPECT_EQ(At(10, 15), red);
    EXPECT_EQ(At(10, 10), blue);
    EXPECT_EQ(At(6, 6), blue);
    EXPECT_EQ(At(16, 10), black);
    EXPECT_EQ(At(10, 16), black);
    EXPECT_EQ(Count(red, CRect(5, 5, 16, 16)), 40);
    EXPECT_EQ(Count(blue, CRect(5, 5, 16, 16)), 81);
}

TEST_F(CQtDeviceContextShapeTest, RectangleCoversLeftToRightMinusOne)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen::Null());
        dc.SelectBrush(CBrush(green));
        dc.Rectangle(CRect(2, 3, 12, 8));
        dc.SelectPen(CPen(CPen::Style::Solid, 1, red));
        dc.SelectBrush(CBrush(blue));
        dc.Rectangle(CRect(20, 3, 30, 8));
    });

    EXPECT_EQ(Count(green, CRect(2, 3, 12, 8)), 50);
    EXPECT_EQ(CountAll(green), 50);

    EXPECT_EQ(At(20, 3), red);
    EXPECT_EQ(At(29, 7), red);
    EXPECT_EQ(At(30, 7), black);
    EXPECT_EQ(At(29, 8), black);
    EXPECT_EQ(Count(red, CRect(20, 3, 30, 8)), 26);
    EXPECT_EQ(Count(blue, CRect(20, 3, 30, 8)), 24);
}

TEST_F(CQtDeviceContextShapeTest, EllipseStaysInsideItsRectangle)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 1, red));
        dc.SelectBrush(CBrush(blue));
        dc.Ellipse(CRect(2, 2, 13, 13));
    });

    EXPECT_EQ(At(2, 7), red);
    EXPECT_EQ(At(12, 7), red);
    EXPECT_EQ(At(7, 2), red);
    EXPECT_EQ(At(7, 12), red);
    EXPECT_EQ(At(7, 7), blue);
    EXPECT_EQ(At(2, 2), black);
    EXPECT_EQ(At(12, 12), black);
    EXPECT_EQ(Count(red, CRect(2, 2, 13, 13)) + Count(blue, CRect(2, 2, 13, 13)),
              CountAll(red) + CountAll(blue));
}

TEST_F(CQtDeviceContextShapeTest, HatchedBrushLeavesBothColoursAndRunsUpToTheRight)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen::Null());
        dc.SelectBrush(CBrush(CBrush::Hatch::BackwardDiagonal, green));
        dc.SetBkMode(CDeviceContext::BkMode::Transparent);
        dc.Rectangle(CRect(0, 0, 16, 16));
        dc.SetBkMode(CDeviceContext::BkMode::Opaque);
        dc.SetBkColor(white);
        dc.Rectangle(CRect(16, 0, 32, 16));
    });

    EXPECT_GT(Count(green, CRect(0, 0, 16, 16)), 0);
    EXPECT_GT(Count(black, CRect(0, 0, 16, 16)), 0);
    EXPECT_EQ(Count(green, CRect(0, 0, 16, 16)) + Count(black, CRect(0, 0, 16, 16)), 256);
    EXPECT_EQ(At(5, 3), green);
    EXPECT_EQ(At(4, 4), At(5, 3)); // one line, one step up to the right
    EXPECT_NE(At(5, 5), At(5, 3));

    EXPECT_GT(Count(green, CRect(16, 0, 32, 16)), 0);
    EXPECT_EQ(Count(green, CRect(16, 0, 32, 16)) + Count(white, CRect(16, 0, 32, 16)), 256);
}

// Upright rectangles, the pads of most boards, are painted by runs; a point added halfway along
// an edge changes no pixel but sends the polygon through the general filling and outlining. Both
// must agree: every corner order, empty and one-pixel rectangles, running over the edges and a
// clip, in every raster mode, with and without pen and brush, on an image and through Qt.
TEST_F(CQtDeviceContextShapeTest, UprightRectanglesLookAsTheSameOutlineWithOneMorePoint)
{
    const CRect boxes[] = {{5, 4, 12, 9},   {20, 6, 20, 6}, {25, 2, 26, 2},   {30, 10, 30, 16},
                           {3, 20, 4, 21},  {-3, -2, 6, 3}, {35, 25, 44, 33}, {14, 14, 23, 25},
                           {8, 11, 10, 13}, {1, 26, 2, 28}};
    const auto polygons = [&](CDeviceContext& dc, bool withMidpoint) {
        int turn = 0;
        for (const CRect& b : boxes) {
            // Four orders round the rectangle, the first point repeated at the end or not.
            const CPoint corners[] = {
                {b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
            std::vector<CPoint> points;
            for (int k = 0; k < 4; ++k)
                points.push_back(corners[turn % 2 == 0 ? (k + turn) % 4 : (4 - k + turn) % 4]);
            if (turn % 3 == 0)
                points.push_back(points.front());
            if (withMidpoint) {
                const CPoint half((points[0].x + points[1].x) / 2, (points[0].y + points[1].y) / 2);
                points.insert(points.begin() + 1, half);
                // Repeating the first point changes no pixel either.
                while (points.size() < 6)
                    points.push_back(points.front());
            }
            dc.Polygon(points);
            ++turn;
        }
    };
    const CPen pens[] = {CPen(CPen::Style::Solid, 1, red), CPen(CPen::Style::Solid, 0, red),
                         CPen::Null()};
    const CBrush brushes[] = {CBrush(RGB(0x30, 0x80, 0xF0)), CBrush::Null()};
    for (const int32_t mode : {R2_COPYPEN, R2_MERGEPEN, R2_XORPEN, R2_NOT}) {
        for (const CPen& pen : pens) {
            for (const CBrush& brush : brushes) {
                for (const bool clipped : {false, true}) {
                    for (const bool viaQt : {false, true}) {
                        SCOPED_TRACE(testing::Message()
                                     << "mode " << mode << " pen " << int(pen.style) << " brush "
                                     << int(brush.style) << " clip " << clipped << " Qt " << viaQt);
                        const auto render = [&](bool withMidpoint) {
                            Fill(RGB(0x11, 0x44, 0x22));
                            QPainter painter(&image);
                            if (viaQt)
                                painter.setClipRect(image.rect());
                            CQtDeviceContext dc(painter);
                            if (clipped)
                                dc.IntersectClipRect(CRect(7, 5, 33, 27));
                            dc.SetROP2(mode);
                            dc.SelectPen(pen);
                            dc.SelectBrush(brush);
                            polygons(dc, withMidpoint);
                            painter.end();
                            return image.copy();
                        };
                        EXPECT_EQ(render(false), render(true));
                    }
                }
            }
        }
    }
}

using CQtDeviceContextClipTest = CQtDeviceContextTest;

TEST_F(CQtDeviceContextClipTest, ClipRectangleStopsDrawingOutsideIt)
{
    Draw([](CDeviceContext& dc) {
        EXPECT_EQ(dc.GetClipBox(), CRect(0, 0, 40, 30));
        dc.IntersectClipRect(CRect(10, 10, 20, 20));
        EXPECT_EQ(dc.GetClipBox(), CRect(10, 10, 20, 20));
        dc.SelectPen(CPen(CPen::Style::Solid, 3, red));
        dc.SelectBrush(CBrush(red));
        dc.Rectangle(CRect(0, 0, 40, 30));
        dc.MoveTo({0, 15});
        dc.LineTo({40, 15});
        dc.FillSolidRect(CRect(0, 0, 40, 30), red);
    });

    EXPECT_EQ(Count(red, CRect(10, 10, 20, 20)), 100);
    EXPECT_EQ(CountAll(red), 100);
}

TEST_F(CQtDeviceContextClipTest, ClipRectanglesIntersectUntilReset)
{
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
        dc.IntersectClipRect(CRect(0, 0, 10, 10));
        dc.IntersectClipRect(CRect(20, 0, 30, 10));
        EXPECT_TRUE(dc.GetClipBox().IsRectEmpty());
        dc.MoveTo({0, 5});
        dc.LineTo({40, 5});
        dc.SetPixel({25, 5}, white);
        dc.FillSolidRect(CRect(0, 0, 40, 30), white);
        dc.ResetClip();
        EXPECT_EQ(dc.GetClipBox(), CRect(0, 0, 40, 30));
        dc.SetPixel({25, 25}, white);
    });

    EXPECT_EQ(CountAll(white), 1);
    EXPECT_EQ(At(25, 25), white);
}

using CQtDeviceContextRasterModeTest = CQtDeviceContextTest;

TEST_F(CQtDeviceContextRasterModeTest, NotInvertsWhateverThePenColour)
{
    Fill(RGB(0x12, 0x34, 0x56));
    Draw([](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 1, red));
        EXPECT_EQ(dc.SetROP2(R2_NOT), R2_COPYPEN);
        dc.MoveTo({0, 4});
        dc.LineTo({10, 4});
    });

    EXPECT_EQ(At(3, 4), RGB(0xED, 0xCB, 0xA9));
    EXPECT_EQ(At(3, 5), RGB(0x12, 0x34, 0x56));
}

TEST_F(CQtDeviceContextRasterModeTest, ClosedLoopInNotModeInvertsEveryPixelOnce)
{
    Draw([](CDeviceContext& dc) {
        dc.SetROP2(R2_NOT);
        dc.MoveTo({5, 5});
        dc.LineTo({15, 5});
        dc.LineTo({15, 12});
        dc.LineTo({5, 12});
        dc.LineTo({5, 5});
    });

    EXPECT_EQ(At(5, 5), white);
    EXPECT_EQ(At(15, 5), white);
    EXPECT_EQ(At(15, 12), white);
    EXPECT_EQ(At(5, 12), white);
    EXPECT_EQ(CountAll(white), 2 * 10 + 2 * 7);
}

TEST_F(CQtDeviceContextRasterModeTest, DrawingTwiceInXorModeRestoresThePicture)
{
    Fill(RGB(10, 200, 30));
    Draw([](CDeviceContext& dc) { dc.FillSolidRect(CRect(0, 0, 20, 30), RGB(90, 80, 70)); });
    const QImage before = image.copy();

    auto drawing = [](CDeviceContext& dc) {
        dc.SetROP2(R2_XORPEN);
        dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
        dc.SelectBrush(CBrush(RGB(1, 2, 3)));
        const CPoint pad[] = {{12, 4}, {28, 6}, {25, 20}, {10, 18}};
        dc.Polygon(pad);
        dc.Ellipse(CRect(3, 3, 17, 25));
        dc.SetPixel({35, 25}, white);
        dc.MoveTo({0, 29});
        dc.LineTo({39, 0});
        dc.SelectPen(CPen(CPen::Style::Solid, 4, RGB(0, 255, 255)));
        dc.Rectangle(CRect(5, 5, 35, 25));
    };
    Draw(drawing);
    EXPECT_NE(image, before);
    Draw(drawing);
    EXPECT_EQ(image, before);
}

TEST_F(CQtDeviceContextRasterModeTest, ShapesInNotModeInvertEveryPixelTheyCover)
{
    // Outline and filling must not overlap, or the overlap would be inverted back.
    auto shapes = [](CDeviceContext& dc) {
        const CPoint pad[] = {{12, 4}, {28, 6}, {25, 20}, {10, 18}};
        dc.Polygon(pad);
        dc.Ellipse(CRect(30, 2, 39, 28));
        dc.Rectangle(CRect(1, 20, 8, 29));
    };
    Draw([&](CDeviceContext& dc) {
        dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
        dc.SelectBrush(CBrush(white));
        shapes(dc);
    });
    const QImage copied = image.copy();
    Fill(black);
    Draw([&](CDeviceContext& dc) {
        dc.SetROP2(R2_NOT);
        dc.SelectPen(CPen(CPen::Style::Solid, 1, red));
        dc.SelectBrush(CBrush(CBrush::Hatch::Cross, red));
        dc.SetBkMode(CDeviceContext::BkMode::Opaque);
        shapes(dc);
    });
    EXPECT_EQ(image, copied);
}

TEST_F(CQtDeviceContextRasterModeTest, MergeModeOrsTheColours)
{
    Fill(RGB(0x10, 0x20, 0x00));
    Draw([](CDeviceContext& dc) {
        dc.SetROP2(R2_MERGEPEN);
        dc.SelectPen(CPen::Null());
        dc.SelectBrush(CBrush(RGB(0x01, 0x22, 0x40)));
        dc.Rectangle(CRect(0, 0, 10, 10));
    });

    EXPECT_EQ(At(5, 5), RGB(0x11, 0x22, 0x40));
    EXPECT_EQ(At(15, 5), RGB(0x10, 0x20, 0x00));
}

TEST_F(CQtDeviceContextRasterModeTest, UnknownModeIsRefusedAndTextAndSolidFillsAlwaysCopy)
{
    Draw([](CDeviceContext& dc) {
        dc.SetROP2(R2_XORPEN);
        EXPECT_EQ(dc.SetROP2(3), 0);
        EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
        dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(0x60, 0x60, 0x60));
        dc.FillSolidRect(CRect(0, 0, 5, 10), RGB(0x60, 0x60, 0x60));
    });

    EXPECT_EQ(At(2, 2), RGB(0x60, 0x60, 0x60));
}

class CQtDeviceContextTextTest : public CQtDeviceContextTest {
protected:
    static void SetUpTestSuite() { CQtTestApplication::Begin(); }
    static void TearDownTestSuite() { CQtTestApplication::End(); }
};

TEST_F(CQtDeviceContextTextTest, TextDrawsInsideItsExtentInTheTextColour)
{
    CSize extent;
    Draw([&](CDeviceContext& dc) {
        CFontDesc font;
        font.height = -14;
        dc.SelectFont(font);
        dc.SetTextColor(white);
        dc.SetBkMode(CDeviceContext::BkMode::Transparent);
        extent = dc.GetTextExtent("Wv");
        dc.TextOut({2, 2}, "Wv");
    });

    EXPECT_GT(extent.cx, 10);
    EXPECT_GE(extent.cy, 14);
    // Glyph edges may be smoothed toward the background; the strokes' cores are white.
    const CRect cell(2, 2, 2 + extent.cx, 2 + extent.cy);
    EXPECT_GT(Count(white, cell), 0);
    EXPECT_GT(extent.cx * extent.cy - Count(black, cell), 20);
    EXPECT_EQ(Count(black, CRect(0, 2 + extent.cy, 40, 30)), 40 * (28 - extent.cy));
}

TEST_F(CQtDeviceContextTextTest, OpaqueTextFillsItsCellWithTheBackgroundColour)
{
    CSize extent;
    Draw([&](CDeviceContext& dc) {
        dc.SetTextColor(white);
        dc.SetBkColor(blue);
        extent = dc.GetTextExtent("i");
        dc.TextOut({0, 0}, "i");
    });

    EXPECT_EQ(At(0, 0), blue);
    EXPECT_EQ(At(extent.cx - 1, extent.cy - 1), blue);
    EXPECT_EQ(At(extent.cx, 0), black);
}

// Labels are laid out once per text and reused; the pixels must stay those of Qt's own text
// drawing, also for cells cut by the clip box or lying outside it.
TEST_F(CQtDeviceContextTextTest, RepeatedLabelsDrawAsQtsOwnTextDoes)
{
    // Short texts are found by their packed bytes, longer ones by their string. The last ones
    // start left of the clip, wide or kerned, and only their ends reach into it.
    const char* const texts[] = {"1",   "17",   "250",          "17",      "1",     "Wv",
                                 "250", "17",   "GND_0.40",     "1234567", "17",    "GND_0.40",
                                 "WWW", "AVAV", "\xC6\xC6\xC6", "Ta",      "W_AV_W"};
    const QPoint at[] = {{3, 3},    {30, 4},   {-4, 10},  {60, 20}, {95, -5},  {8, 40},
                         {70, 42},  {112, 30}, {20, 25},  {40, 12}, {100, 14}, {75, -6},
                         {-22, 30}, {-20, 16}, {-19, 34}, {-6, 22}, {-40, 6}};
    const QRect clip(5, 2, 100, 42);
    // Glyph edges are blended with what lies under them: over black and under white ink, and
    // over a gradient under a colour.
    QImage gradient(120, 50, QImage::Format_RGB32);
    for (int y = 0; y < gradient.height(); ++y) {
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgb(x * 2, y * 5, (x + y) & 255));
    }
    QImage black(120, 50, QImage::Format_RGB32);
    black.fill(Qt::black);
    const COLORREF amber = RGB(200, 120, 40);
    for (const int32_t pixels : {0, 9, 13}) {
        for (const bool opaque : {false, true}) {
            for (const bool coloured : {false, true}) {
                SCOPED_TRACE(testing::Message() << "pixels " << pixels << " opaque " << opaque
                                                << " coloured " << coloured);
                const COLORREF ink = coloured ? amber : white;
                const QImage& under = coloured ? gradient : black;
                QImage cached = under.copy();
                QImage plain = under.copy();
                {
                    QPainter painter(&cached);
                    CQtDeviceContext dc(painter);
                    CFontDesc desc;
                    desc.height = -pixels;
                    dc.SelectFont(desc);
                    dc.SetTextColor(ink);
                    dc.SetBkColor(blue);
                    dc.SetBkMode(opaque ? CDeviceContext::BkMode::Opaque
                                        : CDeviceContext::BkMode::Transparent);
                    dc.IntersectClipRect(
                        CRect(clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1));
                    for (size_t k = 0; k < std::size(texts); ++k)
                        dc.TextOut(CPoint(at[k].x(), at[k].y()), texts[k]);
                }
                {
                    QPainter painter(&plain);
                    painter.setClipRect(clip);
                    QFont font;
                    font.setWeight(QFont::Weight(CFontDesc::normalWeight));
                    font.setItalic(false);
                    if (pixels > 0)
                        font.setPixelSize(pixels);
                    const QFontMetrics metrics(font, painter.device());
                    painter.setFont(font);
                    painter.setPen(CQtDeviceContext::ToQColor(ink));
                    for (size_t k = 0; k < std::size(texts); ++k) {
                        const QString text = QString::fromLatin1(texts[k]);
                        if (opaque)
                            painter.fillRect(QRect(at[k].x(), at[k].y(),
                                                   metrics.horizontalAdvance(text),
                                                   metrics.height()),
                                             CQtDeviceContext::ToQColor(blue));
                        painter.drawText(at[k] + QPoint(0, metrics.ascent()), text);
                    }
                }
                EXPECT_EQ(cached, plain);
                EXPECT_NE(cached, under);
            }
        }
    }
}

// A text keeps a few pictures, one per ink: drawing it in more inks than that, again and again,
// replaces them while the inked labels still pointed at the ones that went.
TEST_F(CQtDeviceContextTextTest, ALabelInManyInksKeepsEachInk)
{
    const COLORREF inks[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                             RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255)};
    QImage cached(120, 30, QImage::Format_RGB32);
    cached.fill(Qt::black);
    QImage plain = cached.copy();
    {
        QPainter painter(&cached);
        CQtDeviceContext dc(painter);
        dc.SetBkMode(CDeviceContext::BkMode::Transparent);
        for (int round = 0; round < 3; ++round) {
            for (size_t k = 0; k < std::size(inks); ++k) {
                dc.SetTextColor(inks[k]);
                dc.TextOut(CPoint(int32_t(k) * 18, round * 9), "42");
            }
        }
    }
    {
        QPainter painter(&plain);
        const QFontMetrics metrics(painter.font(), painter.device());
        for (int round = 0; round < 3; ++round) {
            for (size_t k = 0; k < std::size(inks); ++k) {
                painter.setPen(CQtDeviceContext::ToQColor(inks[k]));
                painter.drawText(QPoint(int(k) * 18, round * 9 + metrics.ascent()), "42");
            }
        }
    }
    EXPECT_EQ(cached, plain);
}

// A board's first paint meets its texts all at once: numbers are laid from the font's glyphs,
// and any other text gets a picture drawn on every core, each thread with a font of its own.
// The pixels must be those of Qt's own text whatever the thread count, for texts met again or in
// a second ink in the same paint, and where glyphs of an italic font reach over one another.
TEST_F(CQtDeviceContextTextTest, ManyNewLabelsAtOnceDrawAsQtsOwnTextDoes)
{
    const int threadsWere = CWorkPool::ThreadCount();
    const COLORREF amber = RGB(200, 120, 40);
    int first = 2000000;
    struct Font {
        int32_t pixels;
        bool italic;
    };
    for (const int threads : {1, 4}) {
        for (const auto [pixels, italic] :
             {Font{9, false}, Font{13, false}, Font{11, true}, Font{26, true}}) {
            SCOPED_TRACE(testing::Message()
                         << "threads " << threads << " pixels " << pixels << " italic " << italic);
            CWorkPool::SetThreadCount(threads);
            QImage cached(200, 120, QImage::Format_RGB32);
            cached.fill(Qt::black);
            QImage plain = cached.copy();
            // Texts this thread has not laid before, with every pair of digits, points and
            // dashes; every seventh again, every eleventh in a second ink.
            std::vector<std::pair<std::string, COLORREF>> labels;
            for (int k = 0; k < 900; ++k) {
                const int text = k % 7 == 6 ? first + k - 3 : first + k;
                std::string written = std::to_string(int64_t(text) * 7919 % 1000000);
                if (k % 5 == 4 && written.size() > 4)
                    written = "-" + written.substr(0, 2) + "." + written.substr(2, 3);
                labels.emplace_back(written, k % 11 == 10 ? amber : white);
            }
            first += 1000;
            const auto at = [](size_t k) {
                return QPoint(int(k * 37 % 230) - 20, int(k % 67) * 2 - 10);
            };
            {
                QPainter painter(&cached);
                CQtDeviceContext dc(painter);
                CFontDesc desc;
                desc.height = -pixels;
                desc.italic = italic;
                dc.SelectFont(desc);
                dc.SetBkMode(CDeviceContext::BkMode::Transparent);
                for (size_t k = 0; k < labels.size(); ++k) {
                    dc.SetTextColor(labels[k].second);
                    dc.TextOut(CPoint(at(k).x(), at(k).y()), labels[k].first);
                }
            }
            {
                QPainter painter(&plain);
                QFont font;
                font.setWeight(QFont::Weight(CFontDesc::normalWeight));
                font.setItalic(italic);
                font.setPixelSize(pixels);
                painter.setFont(font);
                const int ascent = QFontMetrics(font, painter.device()).ascent();
                for (size_t k = 0; k < labels.size(); ++k) {
                    painter.setPen(CQtDeviceContext::ToQColor(labels[k].second));
                    painter.drawText(at(k) + QPoint(0, ascent),
                                     QString::fromStdString(labels[k].first));
                }
            }
            EXPECT_EQ(cached, plain);
        }
    }
    CWorkPool::SetThreadCount(threadsWere);
}

// Texts the thread laid in an earlier paint come again among many new ones, after every inked
// label went (a text drawn in more inks than a label keeps pictures for): in their first ink
// they keep their pictures, in a second one they get another beside it; either way the pixels
// are those of Qt's own text. Every tenth text holds a pair the font kerns or a Windows-1252
// byte past ASCII, and a few texts met in a batch are then written on their background, in
// the cell Qt's metrics give them.
TEST_F(CQtDeviceContextTextTest, KnownTextsAmongNewOnesDrawAsQtsOwnTextDoes)
{
    const int threadsWere = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(4);
    const COLORREF amber = RGB(200, 120, 40);
    const COLORREF inks[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), amber, white};
    // Euro sign, A with diaeresis, S with caron, e with acute, sharp s; a space, which counts
    // at the end of a text too.
    const char* const among[] = {"AV",   "To",   "WA",   "Ty",   "\x80",
                                 "\xc4", "\x8a", "\xe9", "\xdf", " "};
    std::vector<std::string> texts;
    for (size_t k = 0; k < 600; ++k) {
        std::string text = std::to_string(3000000 + k);
        if (k % 10 == 5) {
            // In front, between digits or behind them.
            text = std::to_string(100 + k);
            text.insert(k / 10 % 4, among[k / 10 % std::size(among)]);
        }
        texts.push_back(text);
    }
    // The digits overlap one another; the others lie apart, below them, over nothing else:
    // where two glyphs of one text share a pixel, Qt blends each over what lies there, and a
    // picture both at once.
    const auto at = [](size_t k) {
        if (k % 10 == 5)
            return QPoint(int(k / 10 % 5) * 48, 140 + int(k / 50) * 15);
        return QPoint(int(k * 41 % 230) - 20, int(k % 71) * 2 - 10);
    };
    const auto paint = [](QImage& image, const auto& labels) {
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        dc.SetBkMode(CDeviceContext::BkMode::Transparent);
        labels(dc);
    };
    QImage cached(240, 350, QImage::Format_RGB32);
    cached.fill(Qt::black);
    QImage plain = cached.copy();
    // The first half, all new.
    paint(cached, [&](CDeviceContext& dc) {
        dc.SetTextColor(white);
        for (size_t k = 0; k < texts.size() / 2; ++k)
            dc.TextOut(CPoint(at(k).x(), at(k).y()), texts[k]);
    });
    paint(cached, [&](CDeviceContext& dc) {
        for (size_t k = 0; k < std::size(inks); ++k) {
            dc.SetTextColor(inks[k]);
            dc.TextOut(CPoint(int32_t(k) * 20, 0), texts[0]);
        }
    });
    // Every text, those seen before in their ink or in another.
    cached.fill(Qt::black);
    const auto inkOf = [&](size_t k) { return k < texts.size() / 2 && k % 3 == 1 ? amber : white; };
    // Kerned pairs in front and behind, a space behind, texts first met in the earlier paint.
    const size_t opaque[] = {5, 315, 325, 395, 345, 235};
    const auto opaqueAt = [](size_t i) { return QPoint(int(i % 3) * 80, 320 + int(i / 3) * 15); };
    paint(cached, [&](CDeviceContext& dc) {
        for (size_t k = 0; k < texts.size(); ++k) {
            dc.SetTextColor(inkOf(k));
            dc.TextOut(CPoint(at(k).x(), at(k).y()), texts[k]);
        }
        dc.SetBkMode(CDeviceContext::BkMode::Opaque);
        dc.SetBkColor(blue);
        for (size_t i = 0; i < std::size(opaque); ++i) {
            dc.SetTextColor(inkOf(opaque[i]));
            dc.TextOut(CPoint(opaqueAt(i).x(), opaqueAt(i).y()), texts[opaque[i]]);
        }
    });
    {
        QPainter painter(&plain);
        const QFontMetrics metrics(painter.font(), painter.device());
        for (size_t k = 0; k < texts.size(); ++k) {
            painter.setPen(CQtDeviceContext::ToQColor(inkOf(k)));
            painter.drawText(at(k) + QPoint(0, metrics.ascent()),
                             CQtText::FromDesignText(texts[k]));
        }
        for (size_t i = 0; i < std::size(opaque); ++i) {
            const QString text = CQtText::FromDesignText(texts[opaque[i]]);
            painter.fillRect(
                QRect(opaqueAt(i), QSize(metrics.horizontalAdvance(text), metrics.height())),
                CQtDeviceContext::ToQColor(blue));
            painter.setPen(CQtDeviceContext::ToQColor(inkOf(opaque[i])));
            painter.drawText(opaqueAt(i) + QPoint(0, metrics.ascent()), text);
        }
    }
    EXPECT_EQ(cached, plain);
    CWorkPool::SetThreadCount(threadsWere);
}

// Label pictures take a bounded share of memory: past it, a board's further labels are drawn by
// Qt, and pictures no recent paint laid make room for new ones; every paint looks the same.
TEST_F(CQtDeviceContextTextTest, LabelsPastThePicturesShareDrawAsQtsOwnTextDoes)
{
    // 2,500 labels 50 pixels tall run past 64 MB of pictures.
    struct Limit {
        size_t was = CQtDeviceContext::SetLabelPictureLimit(size_t(64) << 20);
        ~Limit() { CQtDeviceContext::SetLabelPictureLimit(was); }
    } limit;
    CFontDesc desc;
    desc.height = -50;
    const auto texts = [](int first) {
        std::vector<std::string> made;
        for (int k = first; k < first + 2500; ++k)
            made.push_back(std::to_string(1000000 + k));
        return made;
    };
    for (const int first : {0, 0, 5000}) {
        SCOPED_TRACE(first);
        QImage cached(300, 120, QImage::Format_RGB32);
        cached.fill(Qt::black);
        QImage plain = cached.copy();
        const std::vector<std::string> labels = texts(first);
        {
            QPainter painter(&cached);
            CQtDeviceContext dc(painter);
            dc.SelectFont(desc);
            dc.SetTextColor(white);
            dc.SetBkMode(CDeviceContext::BkMode::Transparent);
            for (size_t k = 0; k < labels.size(); ++k)
                dc.TextOut(CPoint(int32_t(k % 97) - 40, int32_t(k % 89) - 20), labels[k]);
        }
        {
            QPainter painter(&plain);
            QFont font;
            font.setWeight(QFont::Weight(CFontDesc::normalWeight));
            font.setItalic(false);
            font.setPixelSize(50);
            painter.setFont(font);
            painter.setPen(Qt::white);
            const int ascent = QFontMetrics(font, painter.device()).ascent();
            for (size_t k = 0; k < labels.size(); ++k)
                painter.drawText(QPoint(int(k % 97) - 40, int(k % 89) - 20 + ascent),
                                 QString::fromStdString(labels[k]));
        }
        EXPECT_EQ(cached, plain);
        // Paints of other things in between.
        for (int k = 0; k < 10; ++k) {
            QPainter painter(&plain);
            CQtDeviceContext other(painter);
        }
    }
}

using CQtDeviceContextBandTest = CQtDeviceContextTest;

// A whole picture's background and a board outline seen whole are millions of pixels, written in
// bands of rows side by side: the background as Qt's own fill, the outline as one thread fills
// it, inside the clip only.
TEST_F(CQtDeviceContextBandTest, BigFillsAreWrittenInBandsWithinTheClip)
{
    const int threadsWere = CWorkPool::ThreadCount();
    const CPoint outline[] = {{-30, 40}, {1100, -20}, {1230, 700}, {400, 1010}, {-5, 900}};
    for (const bool clipped : {false, true}) {
        SCOPED_TRACE(clipped ? "clipped" : "whole");
        const CRect clip = clipped ? CRect(70, 33, 1070, 833) : CRect(0, 0, 1200, 1000);
        QImage background(1200, 1000, QImage::Format_RGB32);
        background.fill(Qt::darkGray);
        {
            QPainter painter(&background);
            painter.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
            painter.fillRect(QRect(-10, 5, 1300, 990), QColor(0x60, 0x60, 0x60));
        }
        std::vector<QImage> pictures;
        for (const int threads : {1, 4}) {
            CWorkPool::SetThreadCount(threads);
            QImage image(1200, 1000, QImage::Format_RGB32);
            image.fill(Qt::darkGray);
            QPainter painter(&image);
            CQtDeviceContext dc(painter);
            dc.IntersectClipRect(clip);
            dc.FillSolidRect(CRect(-10, 5, 1290, 995), RGB(0x60, 0x60, 0x60));
            EXPECT_EQ(image, background) << threads << " threads";
            dc.SelectPen(CPen(CPen::Style::Null, 0, 0));
            dc.SelectBrush(CBrush(RGB(0, 0x80, 0x40)));
            dc.Polygon(outline);
            pictures.push_back(image.copy());
        }
        EXPECT_EQ(pictures[1], pictures[0]);
        EXPECT_EQ(pictures[0].copy(0, 0, 1200, clip.top), background.copy(0, 0, 1200, clip.top));
        EXPECT_NE(pictures[0], background);
    }
    CWorkPool::SetThreadCount(threadsWere);
}

// Ranges recorded side by side and played in bands of rows must give the pixels of one thread
// drawing in turn: lines and shapes that cross bands, wide pens reaching past their points, the
// raster modes, lines that go on from where the range before ended, in a clipped part of the
// image as in a partial repaint; and a wide pen one range leaves selected for the next.
TEST_F(CQtDeviceContextBandTest, RangesPlayedInBandsGiveThePixelsOfOneThread)
{
    const int threadsWere = CWorkPool::ThreadCount();
    // A list long enough to be cut into bands, of which only every 29th item draws: the others
    // would paint over what went wrong. With `leavePen`, drawing item 497 leaves a wide pen that
    // the drawing items after it draw with.
    const size_t count = CDrawList::minBandedItems + 3613;
    const auto item = [](CDeviceContext& dc, size_t k, bool leavePen) {
        if (k % 29 != 0)
            return;
        k /= 29;
        const int32_t x = int32_t(k * 37 % 300), y = int32_t(k * 53 % 240);
        const COLORREF color = RGB(uint8_t(k * 40), uint8_t(255 - k * 7), uint8_t(k * 91));
        if (leavePen && k > 497 && (k % 7 == 0 || k % 7 == 5)) {
            dc.LineTo(CPoint(x, y));
            return;
        }
        switch (k % 7) {
        case 0: {
            const int32_t width = leavePen && k == 497 ? 31 : int32_t(k % 5) * 3;
            const CPen previous = dc.SelectPen(CPen(CPen::Style::Solid, width, color));
            dc.LineTo(CPoint(300 - x, 240 - y));
            if (!leavePen || k != 497)
                dc.SelectPen(previous);
            break;
        }
        case 1:
            dc.MoveTo(CPoint(x, 0));
            dc.LineTo(CPoint(300 - x, 240));
            break;
        case 2: {
            const CPoint points[] = {{x, y}, {x + 60, y + 90}, {x - 20, y + 130}, {x + 5, y + 2}};
            const CBrush previous = dc.SelectBrush(CBrush(color));
            dc.Polygon(points);
            dc.Polyline(points);
            dc.SelectBrush(previous);
            break;
        }
        case 3: {
            const int32_t previous = dc.SetROP2(k % 2 == 0 ? R2_XORPEN : R2_NOT);
            dc.Ellipse(CRect(x, y, x + 70, y + 45));
            dc.Rectangle(CRect(x + 10, y + 80, x - 30, y + 20));
            dc.SetROP2(previous);
            break;
        }
        case 4:
            dc.SetPixel(CPoint(x, y), color);
            dc.FillSolidRect(CRect(x, y, x + 9, y + 70), color);
            break;
        case 5: {
            const CPen previous = dc.SelectPen(CPen(CPen::Style::Dash, 1, color));
            dc.LineTo(CPoint(x, y));
            dc.SelectPen(previous);
            break;
        }
        default: {
            const int32_t previous = dc.SetROP2(k % 3 == 0 ? R2_MERGEPEN : R2_NOTXORPEN);
            dc.Ellipse(CRect(x, y, x + 12, y + 300));
            dc.SetROP2(previous);
            break;
        }
        }
    };
    for (const bool leavePen : {false, true}) {
        for (const bool clipped : {false, true}) {
            std::vector<QImage> pictures;
            for (const int threads : {1, 3, 8}) {
                CWorkPool::SetThreadCount(threads);
                QImage picture(300, 240, QImage::Format_RGB32);
                picture.fill(Qt::darkGray);
                {
                    QPainter painter(&picture);
                    CQtDeviceContext dc(painter);
                    if (clipped)
                        dc.IntersectClipRect(CRect(20, 70, 260, 203));
                    dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
                    EXPECT_EQ(dc.Bands().empty(), threads == 1);
                    CDrawList::DrawInRanges(dc, count, 10,
                                            [&](CDeviceContext& target, size_t first, size_t last) {
                                                for (size_t k = first; k < last; ++k)
                                                    item(target, k, leavePen);
                                            });
                    // What the ranges left stays, as drawn in turn.
                    dc.LineTo(CPoint(150, 239));
                    dc.Ellipse(CRect(100, 100, 180, 160));
                }
                pictures.push_back(picture);
            }
            const auto trace = testing::Message()
                               << "pen left " << leavePen << ", clipped " << clipped;
            EXPECT_EQ(pictures[1], pictures[0]) << "3 threads, " << trace;
            EXPECT_EQ(pictures[2], pictures[0]) << "8 threads, " << trace;
        }
    }
    CWorkPool::SetThreadCount(threadsWere);
}

} // namespace
