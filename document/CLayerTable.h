#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/CTableRow.h"
#include "framework/ColorRef.h"

class CDesign;

// The rows of the layer table: one per enabled layer in layer order with its name, its three
// colours, its two object counts, its code and the code of its opposite layer; and the colour
// edit of the table's colour columns.
class CLayerTable {
public:
    static constexpr int32_t columnCount = 8;
    static constexpr int32_t nameColumn = 0;
    static constexpr int32_t firstColorColumn = 1;
    static constexpr int32_t colorSetCount = 3;

    struct Row {
        CTableRow row;
        int32_t layer = 0;
        // The backgrounds of the colour columns: screen, highlight and print colour.
        std::array<COLORREF, colorSetCount> colors{};
    };

    // Stores a layer's colour of one colour set in the design (CWevraDoc::SetStoredColor).
    using StoreColor = std::function<void(int32_t set, int32_t layer, COLORREF color)>;

    // The design recounts its per-layer tables first.
    static std::vector<Row> Rows(CDesign& design);
    // The colour chooser for the colour of column `column` of the layer named `layerName`,
    // showing the layer's three colours as its custom colours. The colour chosen becomes the
    // layer's in the design through `store`; nothing happens outside the colour columns, for a
    // name no enabled layer has, or on Cancel.
    static std::optional<COLORREF> EditColor(const CDesign& design, int32_t column,
                                             const std::string& layerName, const StoreColor& store);
};
