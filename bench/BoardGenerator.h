#pragma once

#include <cstdint>

class CPour;
class CWevraDoc;

// What GenerateBoard makes.
struct BoardPlan {
    int32_t components = 2000;
    // About this many track vertices are laid; the share of pads on nets follows from it.
    int32_t trackVertices = 20000;
    uint32_t seed = 1;
};

// A plan of the given size with ten track vertices a component.
inline BoardPlan PlanOf(int64_t components)
{
    return BoardPlan{int32_t(components), int32_t(components * 10), 1};
}

struct BoardCounts {
    int32_t components = 0;
    int32_t nets = 0;
    int32_t pins = 0;
    int32_t trackVertices = 0;
    int32_t vias = 0;
};

// Lays out a plausible two-layer board in an empty design, through the model's own operations:
// four footprints in the shape cache (SMD resistors and transistors, through-hole strips),
// components placed in rows, nets over neighbouring pads of a row, each routed without shorts:
// a top-layer stub down from every pin, a via, and a bottom-layer run along a channel below the
// row, with several track widths; then the board outline, drawn lines, a ground pour on an inner
// layer and a few texts. Pins, boxes, clusters and ratsnest are computed. The same plan always
// gives the same board.
BoardCounts GenerateBoard(CWevraDoc& document, const BoardPlan& plan);

// A solid plane of the generated ground pour's net and outline on the bottom layer, where the
// tracks run, its seed in the empty margin; not filled yet.
CPour& AddBottomPlane(CWevraDoc& document);
