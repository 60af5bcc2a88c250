#pragma once

#include <string>
#include <vector>

#include "document/CTableRow.h"

class CShapeLib;
class CWevraDoc;

// The rows of the padstack table of one shape library: for each padstack a general row
// (number, purpose, name, use count), then one row per enabled board layer 1..26 with that
// layer's pad, and a last row holding a lone blank.
class CPadStackTable {
public:
    static constexpr int32_t columnCount = 10;
    static constexpr int32_t nameColumn = 2;

    // The use counts are those of the design as it is now; the library itself is left alone.
    // Lengths are in the design's unit.
    static std::vector<CTableRow> Rows(const CWevraDoc& document, const CShapeLib& library);
    // The name of the library's default padstack for the design's current pad kind.
    static std::string DefaultName(const CWevraDoc& document, const CShapeLib& library);
};
