#pragma once

#include <cstdint>

// Pad shape codes: the low byte of a pad's shape word, stored in every library and design file.
inline constexpr int32_t PAD_UNDEFINED = 0; // no pad on this layer
inline constexpr int32_t PAD_ROUND = 1;
inline constexpr int32_t PAD_OVAL = 2;
inline constexpr int32_t PAD_SQUARE = 3;
inline constexpr int32_t PAD_RECTANGLE = 4;
inline constexpr int32_t PAD_OCTAGON = 5;
inline constexpr int32_t PAD_OCTAGON_W = 6;
inline constexpr int32_t PAD_CONNECTOR = 7;
inline constexpr int32_t PAD_DEVICE = 8;
inline constexpr int32_t PAD_LINE = 9;
inline constexpr int32_t PAD_SHAPE_COUNT = 10;

// Padstack kinds: the kind-flag bits of a padstack, the three defaults of a padstack table and
// the modes of the standard-pad generator.
inline constexpr int32_t PADSTACK_KIND_PAD = 1;       // usable as a free pad
inline constexpr int32_t PADSTACK_KIND_SHAPE_PAD = 2; // used by the pads of shapes
inline constexpr int32_t PADSTACK_KIND_VIA = 4;

// Vertex and shape-pad records keep a padstack index in 9 bits, so a table never holds more
// padstacks than that can name.
inline constexpr int32_t PADSTACK_INDEX_LIMIT = 512;
