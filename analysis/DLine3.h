#pragma once

#include <cstdint>

#include "framework/CPoint.h"

// One guide of the plane fill: a directed segment along which the boundary of the fill may run
// but which copper of the plane never crosses. Obstacles are wrapped in guides that run round
// them in the sense of increasing direction angle; the boundary walk follows guides from start
// to end.
struct DLine3 {
    // Visited by walks since the last clean-up.
    static constexpr uint32_t stateVisited = 1;
    // Merged away, used up or no longer relevant.
    static constexpr uint32_t stateRemoved = 2;
    // Made from the plane's own outline (such a guide is live).
    static constexpr uint32_t stateOutline = 4;
    // Bounds a thermal relief of the plane's own net: kept clear, but no other net's copper.
    static constexpr uint32_t stateThermal = 8;

    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    uint32_t state = 0;
    // The guide's place in the order the fill takes guides in, where several come into
    // question: by direction angle, and among equal angles as collected. The guides themselves
    // stay as collected. Filled by the optimisation; guides of equal rank go by index.
    int32_t rank = 0;
    // Direction in degrees [0, 360), y growing downwards; filled by the optimisation.
    double angle = 0.0;

    CPoint Start() const { return {x1, y1}; }
    CPoint End() const { return {x2, y2}; }
    bool IsLive() const { return (state & stateRemoved) == 0; }
    bool IsVisited() const { return (state & stateVisited) != 0; }
    bool IsThermal() const { return (state & stateThermal) != 0; }
    // Used up: only the thermal mark stays.
    void Remove() { state = (state & stateThermal) | stateRemoved; }

    bool operator==(const DLine3&) const = default;
};
