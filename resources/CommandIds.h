#pragma once

#include <cstdint>

// Ids of the menus', toolbars' and hidden commands, named after their menu items
// (resources/Commands.def). A tool mode is the id of the command that started the tool.
#define WEVRA_COMMAND(name, id) inline constexpr uint32_t name = id;
#include "resources/Commands.def"
#undef WEVRA_COMMAND

// The plane tool's modes come in two ranges; Delete Plane between them is none of them.
inline constexpr uint32_t ID_PLANES_FIRST = 32893;
inline constexpr uint32_t ID_PLANES_ADD_LAST = 32899;
inline constexpr uint32_t ID_PLANES_LAST = ID_PLANE_MOVE_SEEDPOINT_MODE;
