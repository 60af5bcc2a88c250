#pragma once

#include <cstdint>
#include <vector>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CSize.h"

class CNetArray;
class CViewState;

// The arithmetic of the overview pane: the whole board drawn small at a divisor (board units
// per overview pixel) of at least 100, the part the board view shows, the pins and pads marked
// as single pixels, and where a click or a dragged rectangle puts the board view.
class COverviewMap {
public:
    static constexpr int32_t firstDivisor = 100;
    // A drag counts once the pointer moved this far both ways.
    static constexpr int32_t dragDistance = 5;
    // The pane draws only when it is wider and higher than this.
    static constexpr int32_t minClientSize = 24;

    // The smallest divisor from 100 on at which the board's width fits the client width.
    static int32_t Divisor(int64_t boardWidth, int32_t clientWidth);
    // The same where the height must fit too.
    static int32_t Divisor(int64_t boardWidth, int64_t boardHeight, CSize client);

    // The part of the board the board view shows (its client area at the scale, from the
    // view offset), in overview pixels.
    static CRect VisibleRect(CPoint viewOffset, CSize viewPixels, int32_t scale, int32_t divisor);

    // Overview pixels of every net's pins and of its pad and via vertices.
    static std::vector<CPoint> Marks(const CNetArray& nets, int32_t divisor);

    // Whether the pointer moved far enough from the button-down point to drag.
    static bool IsDrag(CPoint down, CPoint now);

    struct Target {
        CPoint point;
        // A dragged rectangle also sets the scale, board units per pixel.
        bool zoom = false;
        int64_t scale = 0;
    };
    // A click aims at its point; a drag at the rectangle's centre, at the scale that shows the
    // rectangle's larger side.
    static Target Aim(CPoint down, CPoint up, bool dragged, int32_t divisor);
    // Applies the target: the scale (held to the document's limits) and the board centred on
    // the point; the board view is redrawn.
    static void Apply(CViewState& view, const Target& target);
};
