#pragma once

#include <cstdint>

// The settings of one grid of the three a design keeps (drawing, block and text mode): the
// visible grid drawn with the board and the snap grid the cursor is snapped to. Lengths are
// board units.
struct GridRec {
    int32_t spacingX = 25600;
    int32_t spacingY = 25600;
    int32_t snapX = 3200;
    int32_t snapY = 3200;
    // CGridArr::modeInvisible, modeDots or modeLines.
    int32_t mode = 2;
    // Stored as an int32 switch; any nonzero value counts as on.
    int32_t snapOn = 1;
    // The last visible mode set, so that switching the grid back on restores it.
    int32_t lastMode = 2;

    bool operator==(const GridRec&) const = default;
};
