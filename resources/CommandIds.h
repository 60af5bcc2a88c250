#pragma once

#include <cstdint>

// Command ids of the menus, toolbars and hidden commands, named after their menu texts. A tool
// mode is the id of the command that started the tool.
inline constexpr uint32_t ID_COMPONENTS_MOVE_ROTATE = 32856;
inline constexpr uint32_t ID_COMPONENTS_PROPERTIES = 32859;
inline constexpr uint32_t ID_TRACKS_EDIT = 32921;
inline constexpr uint32_t ID_TRACKS_ADD = 33055;
