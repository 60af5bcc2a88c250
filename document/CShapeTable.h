#pragma once

#include <string>
#include <vector>

#include "document/CTableRow.h"

class CDesign;
class CShapeLib;

// The rows of the shape table of one shape library: for each shape first one row per pin,
// then one row per outline vertex ("MoveTo" at pen 0, else "LineTo" with the pen's width).
class CShapeTable {
public:
    static constexpr int32_t columnCount = 8;
    static constexpr int32_t nameColumn = 1;

    // Lengths are in the design's unit, layer names from the design's layer table.
    static std::vector<CTableRow> Rows(const CDesign& design, const CShapeLib& library);
};
