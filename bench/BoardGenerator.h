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
    // Boards whose nets reach across the board. One net for every `farNetsEvery` nets routed
    // (0: none) joins 2 to 5 pads anywhere on the board, as a netlist loaded before placement
    // leaves them: it takes the pads off the nets that had them, whose tracks stay.
    int32_t farNetsEvery = 0;
    // Parallel tracks at 45 degrees from edge to edge of the board, each a net of its own.
    int32_t diagonals = 0;
    // Vias of the ground pour's net on a square grid over the board (the largest square count
    // up to this).
    int32_t stitchingVias = 0;
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
// layer and a few texts, and the nets the plan has reach across the board. Pins, boxes, clusters
// and ratsnest are computed. The same plan always gives the same board.
BoardCounts GenerateBoard(CWevraDoc& document, const BoardPlan& plan);

// A solid plane of the generated ground pour's net and outline on the bottom layer, where the
// tracks run, its seed in the empty margin; not filled yet.
CPour& AddBottomPlane(CWevraDoc& document);
