#pragma once

#include <cstdint>

#include "model/CRecordArray.h"

// One straight stroke of a plane's fill, from (x1, y1) to (x2, y2) in board units. Computed by
// the plane fill, never stored.
struct FillStroke {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;

    bool operator==(const FillStroke&) const = default;
};

using CRectArray = CRecordArray<FillStroke>;
