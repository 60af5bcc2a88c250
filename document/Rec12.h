#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/CArchive.h"
#include "model/CRecordArray.h"

// One point of the board outline, 12 bytes in the design file: x, y and a pen that is 0 for
// the first point of a run and 1 for the points drawn from their predecessor.
struct Rec12 {
    static constexpr size_t recordSize = 12;

    int32_t x = 0;
    int32_t y = 0;
    int32_t pen = 0;

    void Write(CArchive& ar) const { ar << x << y << pen; }
    void Read(CArchive& ar) { ar >> x >> y >> pen; }

    bool operator==(const Rec12&) const = default;
};

using CRec12Array = CRecordArray<Rec12>;
