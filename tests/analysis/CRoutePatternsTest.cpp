#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "analysis/CRoutePatterns.h"

namespace {

using Pattern = CRoutePatterns::Pattern;
using Path = CRoutePatterns::Path;

struct Case {
    const char* what;
    CPoint p1, p2;
    Pattern pattern;
    std::vector<Path> tries;
    std::optional<CPoint> centre = {};
    int32_t width = 2000;
};

// Each pattern's points worked out by hand from the connection's ends. The ends are given in
// either order: the patterns start at the end with the smaller x.
const CPoint hA{100000, 50000}, hB{200000, 50000};
const CPoint vA{50000, 100000}, vB{50000, 200000};
const CPoint sA{100000, 100000}, sB{200000, 140000}; // dx 100000, dy 40000, down
const CPoint uA{100000, 140000}, uB{200000, 100000}; // the same, up
const CPoint tA{100000, 100000}, tB{140000, 200000}; // dx 40000, dy 100000

const std::vector<Case> cases = {
    {"straight", hB, hA, Pattern::Straight, {{hA, hB}}},
    {"bump H",
     hB,
     hA,
     Pattern::BumpH,
     {{hA, {130800, 50000}, {143600, 37200}, {156400, 37200}, {169200, 50000}, hB},
      {hA, {106400, 50000}, {119200, 62800}, {180800, 62800}, {193600, 50000}, hB}},
     CPoint(150000, 50000)},
    {"bump H without a pad hit", hA, hB, Pattern::BumpH, {}},
    {"detour H",
     hA,
     hB,
     Pattern::DetourH,
     {{hA, {124800, 50000}, {137600, 37200}, {162400, 37200}, {175200, 50000}, hB},
      {hA, {124800, 50000}, {137600, 62800}, {162400, 62800}, {175200, 50000}, hB},
      {hA, {106400, 50000}, {119200, 37200}, {180800, 37200}, {193600, 50000}, hB},
      {hA, {106400, 50000}, {119200, 62800}, {180800, 62800}, {193600, 50000}, hB}}},
    {"short detour H bends backwards",
     hA,
     {110000, 50000},
     Pattern::DetourH,
     {{hA, {94800, 50000}, {107600, 37200}, {102400, 37200}, {115200, 50000}, {110000, 50000}},
      {hA, {94800, 50000}, {107600, 62800}, {102400, 62800}, {115200, 50000}, {110000, 50000}},
      {hA, {106400, 50000}, {119200, 37200}, {90800, 37200}, {103600, 50000}, {110000, 50000}},
      {hA, {106400, 50000}, {119200, 62800}, {90800, 62800}, {103600, 50000}, {110000, 50000}}}},
    {"jog H",
     hA,
     hB,
     Pattern::JogH,
     {{hA, {100000, 43600}, {106400, 37200}, {193600, 37200}, {200000, 43600}, hB},
      {hA, {100000, 56400}, {106400, 62800}, {193600, 62800}, {200000, 56400}, hB}}},
    {"bump V",
     vB,
     vA,
     Pattern::BumpV,
     {{vA, {50000, 130800}, {37200, 143600}, {37200, 156400}, {50000, 169200}, vB},
      {vA, {50000, 106400}, {62800, 119200}, {62800, 180800}, {50000, 193600}, vB}},
     CPoint(50000, 150000)},
    {"detour V",
     vA,
     vB,
     Pattern::DetourV,
     {{vA, {50000, 124800}, {37200, 137600}, {37200, 162400}, {50000, 175200}, vB},
      {vA, {50000, 124800}, {62800, 137600}, {62800, 162400}, {50000, 175200}, vB},
      {vA, {50000, 106400}, {37200, 119200}, {37200, 180800}, {50000, 193600}, vB},
      {vA, {50000, 106400}, {62800, 119200}, {62800, 180800}, {50000, 193600}, vB}}},
    {"jog V",
     vA,
     vB,
     Pattern::JogV,
     {{vA, {43600, 100000}, {37200, 106400}, {37200, 193600}, {43600, 200000}, vB},
      {vA, {56400, 100000}, {62800, 106400}, {62800, 193600}, {56400, 200000}, vB}}},
    {"diagonal-horizontal", sB, sA, Pattern::DiagonalHorizontal, {{sA, {140000, 140000}, sB}}},
    {"diagonal-horizontal up", uA, uB, Pattern::DiagonalHorizontal, {{uA, {140000, 100000}, uB}}},
    {"horizontal-diagonal", sA, sB, Pattern::HorizontalDiagonal, {{sA, {160000, 100000}, sB}}},
    {"centred diagonal H",
     sA,
     sB,
     Pattern::CentredDiagonalH,
     {{sA, {130000, 100000}, {170000, 140000}, sB}}},
    {"step H",
     sA,
     sB,
     Pattern::StepH,
     {{sA, {106400, 100000}, {119200, 112800}, {166400, 112800}, {193600, 140000}, sB}}},
    {"step H up",
     uA,
     uB,
     Pattern::StepH,
     {{uA, {106400, 140000}, {119200, 127200}, {166400, 127200}, {193600, 100000}, uB}}},
    {"double bend H",
     sA,
     sB,
     Pattern::DoubleBendH,
     {{sA, {100000, 110000}, {110000, 120000}, {190000, 120000}, {200000, 130000}, sB}}},
    {"diagonal-vertical", tA, tB, Pattern::DiagonalVertical, {{tA, {140000, 140000}, tB}}},
    {"vertical-diagonal", tA, tB, Pattern::VerticalDiagonal, {{tA, {100000, 160000}, tB}}},
    {"centred diagonal V",
     tA,
     tB,
     Pattern::CentredDiagonalV,
     {{tA, {100000, 130000}, {140000, 170000}, tB}}},
    {"double bend V",
     tA,
     tB,
     Pattern::DoubleBendV,
     {{tA, {110000, 100000}, {120000, 110000}, {120000, 190000}, {130000, 200000}, tB}}},
    {"sweep V without a width stays at its first position",
     tA,
     tB,
     Pattern::SweepV,
     {{tA, {110000, 100000}, {120000, 110000}, {120000, 190000}, {130000, 200000}, tB}},
     {},
     0},
    {"corner H", sA, sB, Pattern::CornerH, {{sA, {180000, 100000}, {200000, 120000}, sB}}},
    {"corner V", sA, sB, Pattern::CornerV, {{sA, {100000, 120000}, {120000, 140000}, sB}}},
    {"dogleg",
     sA,
     sB,
     Pattern::Dogleg,
     {{sA,
       {106400, 100000},
       {119200, 112800},
       {174400, 112800},
       {180800, 119200},
       {180800, 133600},
       {187200, 140000},
       sB},
      {sA,
       {112800, 100000},
       {119200, 112800},
       {174400, 112800},
       {180800, 119200},
       {180800, 133600},
       {193600, 140000},
       sB},
      {sA,
       {112800, 100000},
       {119200, 87200},
       {174400, 87200},
       {180800, 80800},
       {180800, 146400},
       {193600, 140000},
       sB}}},
    {"dogleg up has no second try",
     uA,
     uB,
     Pattern::Dogleg,
     {{uA,
       {106400, 140000},
       {119200, 127200},
       {174400, 127200},
       {180800, 120800},
       {180800, 106400},
       {187200, 100000},
       uB},
      {uA,
       {112800, 140000},
       {119200, 127200},
       {174400, 127200},
       {180800, 120800},
       {180800, 106400},
       {193600, 100000},
       uB}}},
    {"dogleg needs room", tA, tB, Pattern::Dogleg, {}},
};

TEST(CRoutePatternsTest, EachPatternGivesItsPoints)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CRoutePatterns patterns(c.p1, c.p2, c.width);
        EXPECT_EQ(patterns.Tries(c.pattern, c.centre), c.tries);
    }
}

TEST(CRoutePatternsTest, SweepAndLoopStepThroughTheirPositions)
{
    const CRoutePatterns patterns(tA, tB, 2000);
    const std::vector<Path> sweep = patterns.Tries(Pattern::SweepV);
    // k = 20000, 22000, 16000, 26000, ... 0, then 42000 leaves 0..dx.
    ASSERT_EQ(sweep.size(), 11u);
    EXPECT_EQ(
        sweep[1],
        (Path{tA, {111000, 100000}, {122000, 111000}, {122000, 191000}, {131000, 200000}, tB}));
    EXPECT_EQ(
        sweep[2],
        (Path{tA, {108000, 100000}, {116000, 108000}, {116000, 188000}, {128000, 200000}, tB}));
    EXPECT_EQ(sweep[10], (Path{tA, tA, tA, {100000, 180000}, {120000, 200000}, tB}));

    const std::vector<Path> loops = CRoutePatterns(sA, sB, 2000).Tries(Pattern::LoopBack);
    ASSERT_EQ(loops.size(), 38u);
    EXPECT_EQ(loops[0], (Path{sA,
                              {93600, 100000},
                              {87200, 106400},
                              {87200, 146400},
                              {93600, 152800},
                              {180800, 152800},
                              {193600, 140000},
                              sB}));
    EXPECT_EQ(loops[37][2], CPoint(100000 - 249600, 106400));
    for (const Path& path : loops)
        EXPECT_LE(path.size(), size_t(CRoutePatterns::maxPoints));
}

TEST(CRoutePatternsTest, DirectionChoosesTheSequence)
{
    using P = Pattern;
    EXPECT_EQ(CRoutePatterns(hA, hA, 0).Sequence(),
              (std::vector<P>{P::Straight, P::BumpH, P::DetourH, P::JogH}))
        << "coincident ends count as horizontal";
    EXPECT_EQ(CRoutePatterns(vB, vA, 0).Sequence(),
              (std::vector<P>{P::Straight, P::BumpV, P::DetourV, P::JogV}));
    EXPECT_EQ(CRoutePatterns({0, 0}, {5000, -5000}, 0).Sequence(),
              (std::vector<P>{P::Straight, P::CornerH, P::CornerV, P::Dogleg, P::LoopBack}));
    EXPECT_EQ(
        CRoutePatterns(sA, sB, 0).Sequence(),
        (std::vector<P>{P::DiagonalHorizontal, P::HorizontalDiagonal, P::CentredDiagonalH, P::StepH,
                        P::DoubleBendH, P::CornerH, P::CornerV, P::Dogleg, P::LoopBack}));
    EXPECT_EQ(CRoutePatterns(tB, tA, 0).Sequence(),
              (std::vector<P>{P::DiagonalVertical, P::VerticalDiagonal, P::CentredDiagonalV,
                              P::DoubleBendV, P::SweepV, P::CornerH, P::CornerV, P::Dogleg,
                              P::LoopBack}));
}

TEST(CRoutePatternsTest, PointsNearTheRangeEndSaturate)
{
    constexpr int32_t low = std::numeric_limits<int32_t>::min();
    constexpr int32_t high = std::numeric_limits<int32_t>::max();
    const CPoint a{low + 1000, high - 50000}, b{low + 100000, high - 1000};
    const std::vector<Path> loops = CRoutePatterns(a, b, 0).Tries(Pattern::LoopBack);
    ASSERT_FALSE(loops.empty());
    EXPECT_EQ(loops[0][1], CPoint(low, a.y));
    EXPECT_EQ(loops[0][3], CPoint(low, high));
}

} // namespace
