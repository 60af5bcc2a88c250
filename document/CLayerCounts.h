#pragma once

#include <array>
#include <cstdint>

#include "model/LayerIds.h"

// How many objects each layer holds, in two tables: drawn-line, track and shape-outline
// vertices in one, net and component pads in the other; entry 0 of each holds its total.
struct CLayerCounts {
    static constexpr int32_t lineTable = 0;
    static constexpr int32_t padTable = 1;

    std::array<std::array<int32_t, LAYER_COUNT>, 2> tables{};
};
