#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CPen.h"
#include "model/CGridArr.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/CRecordingDC.h"

namespace {

using namespace archive_bytes;

// One stored grid: spacing, snap step, mode, snap switch, dot colour, line colour.
Bytes GridBytes(const Bytes& spacing, const Bytes& snap, uint8_t mode, const Bytes& colors)
{
    return Concat({spacing, spacing, snap, snap, {mode, 0, 0, 0}, {1, 0, 0, 0}, colors});
}

const Bytes k25600 = {0x00, 0x64, 0x00, 0x00};
const Bytes k3200 = {0x80, 0x0C, 0x00, 0x00};
const Bytes kColors = {0xFF, 0xFF, 0xFF, 0x00, 0x80, 0x80, 0x80, 0x00};

TEST(CGridArrTest, StoresAsWrittenByHandAndLoadsOnlyWhatIsStored)
{
    CGridArr grids;
    const Bytes defaults =
        Concat({GridBytes(k25600, k3200, 2, kColors), GridBytes(k25600, k25600, 2, kColors),
                GridBytes(k25600, k3200, 2, kColors)});
    EXPECT_EQ(Store(grids), defaults);
    ExpectEveryPrefixFails(defaults, [](CArchive& ar) { CGridArr().Serialize(ar); });

    // The selector and the last modes are not stored; the colours of the last grid are kept.
    grids.SetCurrentIndex(2);
    grids.SetSnapRange(3);
    grids.SetMode(1, CGridArr::modeDots);
    grids.SetMode(1, CGridArr::modeInvisible);
    const Bytes red = {0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00};
    const Bytes stored =
        Concat({GridBytes(k25600, k3200, 0, kColors), GridBytes(k3200, k25600, 1, kColors),
                GridBytes(k25600, k3200, 2, red)});
    Load(grids, stored);
    EXPECT_EQ(Store(grids),
              Concat({GridBytes(k25600, k3200, 0, red), GridBytes(k3200, k25600, 1, red),
                      GridBytes(k25600, k3200, 2, red)}));
    EXPECT_EQ(grids.GetSpacing(1), CSize(3200, 3200));
    EXPECT_EQ(grids.GetCurrentIndex(), 2);
    EXPECT_EQ(grids.GetSnapRange(), 3);
    EXPECT_EQ(grids.GetLastMode(1), CGridArr::modeDots);
    EXPECT_EQ(grids.GetLineColor(), 0x00FF0000u);
}

TEST(CGridArrTest, SettersKeepValuesAndIndexesInRange)
{
    CGridArr grids;
    grids.SetSpacing(0, 0, -5);
    EXPECT_EQ(grids.GetSpacing(0), CSize(1, 1));
    for (int32_t r : {-1, 3, 15}) {
        grids.SetSpacing(r, 999, 999);
        grids.SetCurrentIndex(r);
        EXPECT_EQ(grids.GetSpacing(r), CSize(1, 1));
        EXPECT_EQ(grids.GetCurrentIndex(), 0);
    }
    // The last visible mode survives switching the grid off.
    grids.CycleMode();
    EXPECT_EQ(grids.GetCurrentMode(), CGridArr::modeInvisible);
    EXPECT_EQ(grids.GetLastMode(0), CGridArr::modeLines);
}

TEST(CGridArrTest, SnapsToPinsAndToTheGrid)
{
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    const struct {
        int32_t grid, code;
        bool snapOn;
        int32_t x, y, originX, originY;
        CPoint expected;
    } cases[] = {
        // Halves away from the origin; far out the grid point is clamped.
        {0, 0, true, 1599, -1599, 0, 0, {0, 0}},
        {0, 0, true, 1600, -1600, 0, 0, {3200, -3200}},
        {0, 0, true, 1700, 1700, 100, -100, {3300, 3100}},
        {1, 0, true, 12800, -12800, 0, 0, {25600, -25600}},
        {0, 0, true, hi, lo, 1, -1, {hi, lo}},
        // Within the capture distance across and closer than the snap step along the axis.
        {0, 1, true, 101000, 60000, 0, 0, {100000, 60800}},
        {0, 1, true, 101000, 70000, 0, 0, {102400, 70400}},
        {0, 1, true, 99000, 50500, 0, 0, {100000, 50000}},
        // The nearer of two pins wins; on a tie the first.
        {0, 1, true, 101000, 98000, 0, 0, {100000, 100000}},
        {0, 1, true, 103000, 98000, 0, 0, {104000, 100000}},
        // 1 inch; a code above 4 is the distance itself.
        {0, 3, true, 101000, 250000, 0, 0, {100000, 249600}},
        {0, 9, true, 99000, 50008, 0, 0, {100000, 51200}},
        {0, 9, true, 99000, 50009, 0, 0, {99200, 51200}},
        {0, 1, false, 101000, 60000, 0, 0, {101000, 60000}},
    };
    const CPoint pins[] = {{100000, 50000}, {104000, 100000}, {100000, 100000}};
    for (const auto& c : cases) {
        CGridArr grids;
        grids.CollectSnapPoints(pins);
        grids.SetCurrentIndex(c.grid);
        grids.SetSnapRange(c.code);
        grids.SetCurrentSnapOn(c.snapOn);
        EXPECT_EQ(grids.SnapToPoints(c.x, c.y, c.originX, c.originY), c.expected)
            << "grid " << c.grid << " code " << c.code << " at " << c.x << "," << c.y;
    }
}

TEST(CGridArrTest, DrawsDotsXoredAndLinesInTheLineColour)
{
    const std::string pixel = " " + CRecordingDC::ColorText(0x00FFFFFF);
    const std::string gridPen =
        "SelectPen " + CRecordingDC::PenText(CPen(CPen::Style::Solid, 1, 0x00808080));
    const std::string oldPen = "SelectPen " + CRecordingDC::PenText(CPen());
    // The first column lies at or left of the area's edge.
    const std::vector<std::string> dots = {
        "SetROP2 7",
        "SetPixel -2 0" + pixel,
        "SetPixel -2 5" + pixel,
        "SetPixel 2 0" + pixel,
        "SetPixel 2 5" + pixel,
        "SetPixel 7 0" + pixel,
        "SetPixel 7 5" + pixel,
        "SetROP2 13",
    };
    const std::vector<std::string> lines = {
        gridPen,        "MoveTo 0 0", "LineTo 0 15", "MoveTo 10 0", "LineTo 10 15", "MoveTo 20 0",
        "LineTo 20 15", "MoveTo 0 0", "LineTo 25 0", "MoveTo 0 10", "LineTo 25 10", oldPen,
    };
    const struct {
        int32_t mode, originX, scale, width, height;
        std::vector<std::string> expected;
    } cases[] = {
        // 2 pixels apart: nothing; 5 pixels: dots but no lines.
        {1, 0, 10000, 20, 20, {}},
        {2, 0, 5000, 20, 20, {}},
        {0, 0, 2560, 20, 20, {}},
        {1, -12800, 5000, 10, 6, dots},
        {2, 25600 * 3, 2560, 25, 15, lines},
    };
    for (const auto& c : cases) {
        CGridArr grids;
        grids.SetMode(0, c.mode);
        CRecordingDC dc;
        grids.Draw(dc, c.originX, 0, c.width, c.height, c.scale);
        EXPECT_EQ(dc.Lines(), c.expected) << "mode " << c.mode << " scale " << c.scale;
    }
}

// A design file may hold any lengths: the grid is then neither drawn nor snapped with a step
// below 1.
TEST(CGridArrTest, ZeroLengthsFromAFileAreReadAsOne)
{
    const Bytes zero = {0, 0, 0, 0};
    const Bytes negative = {0xFF, 0xFF, 0xFF, 0xFF};
    CGridArr grids;
    Load(grids, Concat({GridBytes(zero, negative, 1, kColors),
                        GridBytes(negative, zero, 2, kColors), GridBytes(zero, zero, 7, kColors)}));
    EXPECT_EQ(grids.GetCurrentSnap(), CSize(1, 1));
    const CPoint pins[] = {{5, 5}};
    grids.CollectSnapPoints(pins);
    grids.SetSnapRange(1);
    CRecordingDC dc;
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        grids.SetCurrentIndex(r);
        EXPECT_EQ(grids.SnapToPoints(1599, -7, 3, 3), CPoint(1599, -7)) << r;
        grids.Draw(dc, 12345, -999, 100, 100, 1);
    }
    EXPECT_TRUE(dc.Lines().empty());
}

} // namespace
