#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "resources/CommandIds.h"

// Runs of context-menu entries that several tools offer alike. A 0 entry is a separator.
namespace tool_menus {

inline constexpr uint32_t separator = 0;

// The pad commands, in menu order.
inline constexpr std::array<uint32_t, 7> padCommands = {
    ID_PADS_ADD_MANUALLY, ID_PADS_COPY,    ID_PADS_DELETE,       ID_PADS_MOVE,
    ID_PADS_ROTATE,       ID_PADS_REPLACE, ID_PADS_SET_PAD_ORDER};

// The drawing commands offered on a copper work layer, and their drawn-line twins.
inline constexpr std::array<uint32_t, 7> trackDrawing = {
    ID_TRACKS_ADD,  ID_TRACKS_ADD_CIRCLES, ID_TRACKS_ADD_ELLIPSES, ID_TRACKS_ADD_RECTANGLES,
    ID_TRACKS_EDIT, ID_TRACKS_COPY_TRACKS, ID_TRACKS_DELETE_TRACKS};
inline constexpr std::array<uint32_t, 7> lineDrawing = {
    ID_LINES_ADD,  ID_LINES_ADD_CIRCLES, ID_LINES_ADD_ELLIPSES, ID_LINES_ADD_RECTANGLES,
    ID_LINES_EDIT, ID_LINES_COPY_LINES,  ID_LINES_DELETE_LINES};

template <size_t N> void Append(std::vector<uint32_t>& items, const std::array<uint32_t, N>& run)
{
    // One by one: GCC 12 misreads the inlined range insert as a copy past the array at -O2.
    for (const uint32_t id : run)
        items.push_back(id);
}

} // namespace tool_menus
