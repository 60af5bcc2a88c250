#pragma once

#include <cstddef>
#include <cstdint>

#include "model/CRecordArray.h"

class CArchive;

// One line of a net's ratsnest: from the pin on the side already reached (x1, y1) to the pin of
// the connected part it joins (x2, y2). Computed, never stored with the net.
struct RatsLine {
    static constexpr size_t recordSize = 16;

    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;

    void Write(CArchive& ar) const;
    void Read(CArchive& ar);

    bool operator==(const RatsLine&) const = default;
};

using CRec16Array = CRecordArray<RatsLine>;
