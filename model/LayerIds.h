#pragma once

#include <cstdint>

// Layer numbers. They index the layer table, the pads of a padstack, the pens of a layer and the
// layer sets of output jobs, and they are stored in every design file.
inline constexpr int32_t LAYER_COMMON = 0;
inline constexpr int32_t LAYER_TOP = 1;
inline constexpr int32_t LAYER_BOTTOM = 2;
inline constexpr int32_t LAYER_GROUND = 3;
inline constexpr int32_t LAYER_POWER = 4;
inline constexpr int32_t LAYER_INNER_1 = 5;
inline constexpr int32_t LAYER_INNER_12 = 16;
inline constexpr int32_t LAYER_MASK_TOP = 17;
inline constexpr int32_t LAYER_MASK_BOTTOM = 18;
inline constexpr int32_t LAYER_PASTE_TOP = 19;
inline constexpr int32_t LAYER_PASTE_BOTTOM = 20;
inline constexpr int32_t LAYER_SILK_TOP = 21;
inline constexpr int32_t LAYER_SILK_BOTTOM = 22;
inline constexpr int32_t LAYER_ASSEMBLY_TOP = 23;
inline constexpr int32_t LAYER_ASSEMBLY_BOTTOM = 24;
inline constexpr int32_t LAYER_DRILL_DRAWING = 25;
inline constexpr int32_t LAYER_DRILL = 26;
inline constexpr int32_t LAYER_DRAWING_1 = 27;
inline constexpr int32_t LAYER_DRAWING_4 = 30;

// Layers 0..30 exist; a padstack has pads on layers 0..26 only.
inline constexpr int32_t LAYER_COUNT = 31;
inline constexpr int32_t PADSTACK_LAYER_COUNT = 27;

// The mask of layer 0, which stands for every layer.
inline constexpr uint32_t LAYER_MASK_ALL = 0xFFFFFFFFu;

// Whether a set of shown layers, one bit per layer number (1 << layer), holds the layer.
constexpr bool IsLayerShown(uint32_t shownLayers, int32_t layer)
{
    return layer >= 0 && layer < 32 && ((shownLayers >> layer) & 1u) != 0;
}
