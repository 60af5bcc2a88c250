#pragma once

#include <array>
#include <cstdint>

#include "framework/CBrush.h"
#include "framework/CPen.h"
#include "framework/ColorRef.h"
#include "model/LayerIds.h"

// What the document's drawing keeps between paints: the colours in use, the per-layer pens and
// brushes built for one target at one scale, and whether the board must be drawn afresh.
struct CPaintState {
    // Targets of the per-layer pens and brushes.
    static constexpr int32_t penKindScreen = 0;
    static constexpr int32_t penKindPrintColor = 2;
    static constexpr int32_t penKindPrintBlackWhite = 3;

    // The colours the drawing uses, normal and highlight set.
    std::array<std::array<COLORREF, LAYER_COUNT>, 2> drawColors{};
    // Normal and highlight set; valid only while pensBuilt.
    std::array<std::array<CPen, LAYER_COUNT>, 2> layerPens{};
    std::array<std::array<CBrush, LAYER_COUNT>, 2> layerBrushes{};
    // Top and bottom side, normal then highlight.
    std::array<CPen, 4> componentTextPens{};
    bool pensBuilt = false;
    // The target and scale the pens were built for: a screen paint rebuilds them for any other.
    int32_t penKind = penKindScreen;
    int32_t penScale = 0;
    bool boardDirty = true;
    bool unconnectedPinMarks = false;
    // Set while a page is printed: the page shows the current net like every other.
    bool printing = false;
};
