#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/CPoint.h"

// The fixed candidate paths the autorouter tries for one connection: straight, one bend,
// 45-degree steps, detours, sweeps and loops, each a list of at most maxPoints points from the
// connection's first end A to its second end B. Which patterns are tried, and in which order,
// follows from the connection's direction.
//
// The ends are ordered: A is the end with the smaller x, or with the smaller y when both x are
// equal. Coordinates are computed in 64 bits and saturate at the board unit's range, so far
// ends never wrap around.
class CRoutePatterns {
public:
    enum class Pattern {
        Straight,
        BumpH,
        DetourH,
        JogH,
        BumpV,
        DetourV,
        JogV,
        DiagonalHorizontal,
        HorizontalDiagonal,
        CentredDiagonalH,
        StepH,
        DoubleBendH,
        DiagonalVertical,
        VerticalDiagonal,
        CentredDiagonalV,
        DoubleBendV,
        SweepV,
        CornerH,
        CornerV,
        Dogleg,
        LoopBack,
    };
    using Path = std::vector<CPoint>;

    static constexpr int32_t maxPoints = 8;
    // Loop Back swings out this far at most.
    static constexpr int32_t loopReach = 256000;
    // Dogleg needs at least this much room.
    static constexpr int32_t doglegMinDx = 51200;
    static constexpr int32_t doglegMinDy = 19200;

    CRoutePatterns(CPoint p1, CPoint p2, int32_t routeWidth);

    CPoint GetA() const { return m_a; }
    CPoint GetB() const { return m_b; }

    // The patterns to try, in order: horizontal and vertical connections end with their own
    // detours; every other direction ends with the corners, the dogleg and the loop.
    std::vector<Pattern> Sequence() const;
    // The tries of one pattern, in order. The Bump patterns bend around `bumpCentre`, the centre
    // of the first pad the straight path hits, and give no try without one.
    std::vector<Path> Tries(Pattern pattern, std::optional<CPoint> bumpCentre = {}) const;

private:
    // The point (xA + dx, yA + dy) style offsets, saturated.
    static CPoint At(int64_t x, int64_t y);
    void Horizontal(Pattern pattern, std::optional<CPoint> c, std::vector<Path>& tries) const;
    void Vertical(Pattern pattern, std::optional<CPoint> c, std::vector<Path>& tries) const;
    void Sloped(Pattern pattern, std::vector<Path>& tries) const;
    void Tail(Pattern pattern, std::vector<Path>& tries) const;
    Path Through(std::initializer_list<CPoint> middle) const;

    CPoint m_a;
    CPoint m_b;
    int64_t m_dx = 0;
    int64_t m_dy = 0;
    // +1 when B lies below A (larger y), else -1.
    int64_t m_s = 1;
    int64_t m_h = 0;
    int64_t m_q = 0;
    int64_t m_w = 0;
};
