#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CStatusLine.h"
#include "document/CViewState.h"
#include "model/CLengthText.h"
#include "tests/document/DocTestViews.h"

namespace {

class CStatusLineTest : public CDocumentTest {
protected:
    void Place(CPoint cursor, CPoint ruler, CPoint grid = {})
    {
        doc->Session().SetCursor(cursor);
        doc->View().SetRulerOrigin(ruler);
        doc->Design().SetUserOffset(grid);
    }
    std::string Pane(int32_t pane) const
    {
        return CStatusLine::Format(doc->Design(), doc->Session(), doc->View())[size_t(pane)];
    }
};

constexpr int32_t mil = 256;

TEST_F(CStatusLineTest, PanesMeasureFromTheGridOriginAndTheRuler)
{
    doc->Design().SetUnit(CLengthText::unitMil);
    doc->View().SetInfoText("R1");
    // A 3-4-5 triangle from the ruler origin, down and to the right on the screen.
    Place({13 * mil, 24 * mil}, {10 * mil, 20 * mil}, {-2 * mil, 5 * mil});
    const auto panes = CStatusLine::Format(doc->Design(), doc->Session(), doc->View());
    EXPECT_EQ(panes[0], "R1");
    EXPECT_EQ(panes[1], "X:15 mil");
    EXPECT_EQ(panes[2], "Y:19 mil");
    EXPECT_EQ(panes[3], "Free");
    EXPECT_EQ(panes[4], "XR:3 mil");
    EXPECT_EQ(panes[5], "YR:4 mil");
    EXPECT_EQ(panes[6], "LN:5 mil");
    EXPECT_EQ(panes[7], "AN:306.870");

    // The grid origin moves X and Y only.
    doc->Design().SetUserOffset({0, 0});
    doc->View().SetRulerLocked(true);
    EXPECT_EQ(Pane(1), "X:13 mil");
    EXPECT_EQ(Pane(3), "Lock");
    EXPECT_EQ(Pane(4), "XR:3 mil");
    EXPECT_EQ(Pane(5), "YR:4 mil");

    Place({7, 9}, {7, 9}, {1, 1});
    EXPECT_EQ(Pane(6), "LN:0 mil");
    EXPECT_EQ(Pane(7), "AN:0.000");
}

TEST_F(CStatusLineTest, AngleCountsCounterClockwiseOnTheScreen)
{
    // Board y grows downwards: a negative YR points up the screen.
    const struct {
        CPoint relative;
        const char* text;
    } cases[] = {
        {{100, 0}, "AN:0.000"},       {{100, -100}, "AN:45.000"}, {{0, -50}, "AN:90.000"},
        {{-100, -100}, "AN:135.000"}, {{-5, 0}, "AN:180.000"},    {{-100, 100}, "AN:225.000"},
        {{0, 50}, "AN:270.000"},      {{100, 100}, "AN:315.000"},
    };
    for (const auto& c : cases) {
        Place(c.relative, {0, 0});
        EXPECT_EQ(Pane(7), c.text) << c.relative.x << "," << c.relative.y;
    }
}

TEST_F(CStatusLineTest, FarApartPointsDoNotWrapAround)
{
    doc->Design().SetUnit(CLengthText::unitMil);
    // 4e9 board units apart: beyond 32 bits, which would turn the direction around.
    Place({2000000000, 0}, {-2000000000, 0});
    EXPECT_EQ(Pane(7), "AN:0.000");
    EXPECT_EQ(Pane(4), "XR:" + CLengthText::FormatLength(CLengthText::unitMil, INT32_MAX));
    EXPECT_EQ(Pane(6), "LN:" + CLengthText::FormatLength(CLengthText::unitMil, INT32_MAX));
}

TEST(CStatusLineDesignTime, HoursAndMinutesHaveTwoDigitsAtLeast)
{
    EXPECT_EQ(CStatusLine::FormatDesignTime(0), "T:00:00");
    EXPECT_EQ(CStatusLine::FormatDesignTime((3 * 3600 + 7 * 60 + 59) * 1000u), "T:03:07");
    EXPECT_EQ(CStatusLine::FormatDesignTime((125 * 3600 + 40 * 60) * 1000u), "T:125:40");
}

} // namespace
