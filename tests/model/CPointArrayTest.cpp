#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "framework/CArchive.h"
#include "model/CPointArray.h"
#include "tests/support/ArchiveBytes.h"

namespace {

using namespace archive_bytes;

TEST(CPointArrayGrowthTest, AutomaticStepIsAnEighthOfTheSizeClampedTo4And1024)
{
    CPointArray points;
    points.SetSize(1);
    EXPECT_EQ(points.GetCapacity(), 4);
    points.SetSize(5);
    EXPECT_EQ(points.GetCapacity(), 8);
    // The step is too small for the request, which is then taken as it is.
    points.SetSize(100);
    EXPECT_EQ(points.GetCapacity(), 100);
    points.SetSize(101);
    EXPECT_EQ(points.GetCapacity(), 112);
    points.SetSize(20000);
    points.SetSize(20001);
    EXPECT_EQ(points.GetCapacity(), 21024);
    EXPECT_EQ(points.GetSize(), 20001);
}

TEST(CPointArrayGrowthTest, ExplicitStepIsKeptUntilReplaced)
{
    CPointArray points;
    points.SetSize(1, 10);
    EXPECT_EQ(points.GetCapacity(), 10);
    points.SetSize(11);
    EXPECT_EQ(points.GetCapacity(), 20);
    points.SetSize(21, -1);
    EXPECT_EQ(points.GetCapacity(), 30);
    points.SetSize(31, 0);
    EXPECT_EQ(points.GetCapacity(), 34);
    points.SetSize(0);
    EXPECT_EQ(points.GetCapacity(), 0);
    EXPECT_EQ(points.GetSize(), 0);
}

TEST(CPointArrayGrowthTest, NewElementsAreZeroAndOldOnesSurviveGrowth)
{
    CPointArray points;
    points.SetAtGrow(0, 1, 2);
    points.SetAtGrow(2, 3, 4);
    points.SetSize(2);
    points.SetSize(3);
    EXPECT_EQ(points[2], CPoint(0, 0));
    points[1] = CPoint(5, 6);
    points.SetAtGrow(40, 7, 8);
    ASSERT_EQ(points.GetSize(), 41);
    EXPECT_EQ(points[0], CPoint(1, 2));
    EXPECT_EQ(points[1], CPoint(5, 6));
    EXPECT_EQ(points[39], CPoint(0, 0));
    EXPECT_EQ(points.GetAt(40), CPoint(7, 8));

    points.SetAtGrow(-1, 9, 9);
    points.SetSize(-3);
    EXPECT_EQ(points.GetSize(), 0);
}

TEST(CPointArraySerializeTest, ShortCountThenLittleEndianPoints)
{
    CPointArray points;
    points.SetAtGrow(0, 1, -2);
    points.SetAtGrow(1, 0x01020304, -1);
    const Bytes expected = {0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF,
                            0xFF, 0x04, 0x03, 0x02, 0x01, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Store(points), expected);

    CPointArray loaded;
    loaded.SetSize(50);
    Load(loaded, expected);
    ASSERT_EQ(loaded.GetSize(), 2);
    EXPECT_EQ(loaded[0], CPoint(1, -2));
    EXPECT_EQ(loaded[1], CPoint(0x01020304, -1));
}

TEST(CPointArraySerializeTest, CountsFrom65535OnTakeTheLongForm)
{
    CPointArray points;
    points.SetSize(65534);
    const Bytes shortForm = Store(points);
    EXPECT_EQ(Bytes(shortForm.begin(), shortForm.begin() + 2), (Bytes{0xFE, 0xFF}));
    points.SetSize(65535);
    const Bytes longForm = Store(points);
    EXPECT_EQ(Bytes(longForm.begin(), longForm.begin() + 6),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));

    points.SetSize(70000);
    points[0] = CPoint(-7, 8);
    points[69999] =
        CPoint(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min());
    const Bytes bytes = Store(points);
    ASSERT_EQ(bytes.size(), 6u + 70000u * 8u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14),
              (Bytes{0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00, 0xF9, 0xFF, 0xFF, 0xFF, 0x08, 0x00, 0x00,
                     0x00}));
    EXPECT_EQ(Bytes(bytes.end() - 8, bytes.end()),
              (Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80}));

    CPointArray loaded;
    Load(loaded, bytes);
    ASSERT_EQ(loaded.GetSize(), 70000);
    EXPECT_EQ(loaded[0], CPoint(-7, 8));
    EXPECT_EQ(loaded[69999], points[69999]);
}

TEST(CPointArraySerializeTest, TruncatedInputIsRefused)
{
    const Bytes valid = {0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00,
                         0x00, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00};
    for (size_t length = 0; length < valid.size(); ++length) {
        CPointArray loaded;
        EXPECT_THROW(Load(loaded, Bytes(valid.begin(), valid.begin() + length)), CArchiveException)
            << length;
    }
    // A count of two billion points over eight bytes fails before anything is allocated.
    CPointArray loaded;
    try {
        Load(loaded, Bytes{0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 1, 2, 3, 4, 5, 6, 7, 8});
        FAIL() << "huge count accepted";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::badCount);
    }
    EXPECT_EQ(loaded.GetCapacity(), 0);
}

} // namespace
