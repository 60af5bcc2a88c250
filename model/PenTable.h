#pragma once

#include <cstdint>
#include <vector>

// Pen tables of nets and drawn lines: widths in board units, entry 0 the pen-up width 0. A vertex
// names its pen in 4 bits, so a table holds at most penTableLimit entries.
inline constexpr int32_t penTableLimit = 16;
inline constexpr int32_t penWidthLimit = 0xFFFF;

// The first entry of that width, or -1.
int32_t FindPenWidth(const std::vector<uint16_t>& pens, int32_t width);

// The entry of that width, appended when the table has none; -1 for a width beyond the widest
// pen of the design's pen fields, and -1 with the string-table message `fullMessageId` when the
// table is full (a width past pen 15 would be drawn with another pen).
int32_t AddPenWidth(std::vector<uint16_t>& pens, int32_t width, uint32_t fullMessageId);
