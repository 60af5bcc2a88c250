#pragma once

#include <cstdint>

// Every coordinate and size a board uses lies within this either way: at or beyond 2^30 two
// points are further apart than a board unit count can say. Only a damaged file holds more.
inline constexpr int32_t BOARD_COORDINATE_LIMIT = (int32_t(1) << 30) - 1;
