#pragma once

#include <cstdint>
#include <span>

#include "resources/CommandIds.h"

// The letters that switch a waiting line, track or pad tool to another mode: one table, so the
// tools answer the same letter alike.
namespace tool_keys {

struct ToolKey {
    uint32_t character;
    uint32_t mode;
};

inline constexpr ToolKey lineTool[] = {{'e', ID_LINES_EDIT}, {'t', ID_LINES_ADD}};
inline constexpr ToolKey trackTool[] = {{'e', ID_TRACKS_EDIT},
                                        {'m', ID_COMPONENTS_MOVE_ROTATE},
                                        {'s', ID_PADS_ADD_MANUALLY},
                                        {'t', ID_TRACKS_ADD}};
inline constexpr ToolKey padTool[] = {{'v', ID_TRACKS_ADD_OR_REMOVE_VIA},
                                      {'V', ID_TRACKS_ADD_OR_REMOVE_VIA},
                                      {'e', ID_TRACKS_EDIT},
                                      {'m', ID_COMPONENTS_MOVE_ROTATE},
                                      {'t', ID_TRACKS_ADD}};

// The mode the letter switches to; 0 when the table has none for it.
inline uint32_t ModeOf(std::span<const ToolKey> keys, uint32_t character)
{
    for (const ToolKey& key : keys) {
        if (key.character == character)
            return key.mode;
    }
    return 0;
}

} // namespace tool_keys
