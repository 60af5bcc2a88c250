#pragma once

#include <cstdint>

// Command ids of the menus, toolbars and hidden commands, named after their menu texts. A tool
// mode is the id of the command that started the tool.
// The side pane writes the placing information with a command of its own, so that Save with
// the pane active still saves the design.
inline constexpr uint32_t ID_FILE_PLACING_INFO = 700;
// Hidden: sent to the side and bottom panes with the row to show chosen.
inline constexpr uint32_t ID_DRAW_REDRAW = 33063;
inline constexpr uint32_t ID_SHOW_RATSNEST = 33242;
inline constexpr uint32_t ID_FILE_PRINT = 57607;
inline constexpr uint32_t ID_FILE_PRINT_DIRECT = 57608;
inline constexpr uint32_t ID_EDIT_COPY = 57634;
inline constexpr uint32_t ID_EDIT_CUT = 57635;
inline constexpr uint32_t ID_EDIT_PASTE = 57637;
inline constexpr uint32_t ID_TRACKS_ADD_OR_REMOVE_VIA = 32775;
inline constexpr uint32_t ID_OTHER_DELETE = 32838;
inline constexpr uint32_t ID_COMPONENTS_COPY = 32851;
inline constexpr uint32_t ID_COMPONENTS_DELETE = 32852;
inline constexpr uint32_t ID_COMPONENTS_MIRROR = 32855;
inline constexpr uint32_t ID_COMPONENTS_MOVE_ROTATE = 32856;
inline constexpr uint32_t ID_COMPONENTS_MOVE_ROTATE_TEXT = 32858;
inline constexpr uint32_t ID_COMPONENTS_PROPERTIES = 32859;
inline constexpr uint32_t ID_COMPONENTS_REPLACE_PADS = 32860;
inline constexpr uint32_t ID_COMPONENTS_SET_POSITION = 32864;
inline constexpr uint32_t ID_LINES_EDIT = 32870;
// The plane commands come in two ranges; Delete Plane (32900) between them is none of them.
inline constexpr uint32_t ID_PLANES_FIRST = 32893;
inline constexpr uint32_t ID_PLANES_ADD_RECTANGLE = 32898;
inline constexpr uint32_t ID_PLANES_ADD_LAST = 32899;
inline constexpr uint32_t ID_PLANES_DELETE_ALL = 32901;
inline constexpr uint32_t ID_PLANES_EDIT_POLYLINE = 32904;
inline constexpr uint32_t ID_PLANES_LAST = 32908;
// The plane tool's Move Seedpoint mode (started by Plane/Move Seedpoint, 32903).
inline constexpr uint32_t ID_PLANE_MOVE_SEEDPOINT_MODE = 32908;
inline constexpr uint32_t ID_BOARD_EDIT_TEXT = 32920;
inline constexpr uint32_t ID_TRACKS_EDIT = 32921;
// Ends the running tool step, or the tool when it waits.
inline constexpr uint32_t ID_END_MODE = 32939;
inline constexpr uint32_t ID_TRACKS_ADD = 33055;
inline constexpr uint32_t ID_TEXT_MODIFY = 33129;
inline constexpr uint32_t ID_COMPONENTS_ADD = 33044;
inline constexpr uint32_t ID_LINES_ADD = 33046;
inline constexpr uint32_t ID_BOARD_PLACE_TEXT = 33054;
inline constexpr uint32_t ID_EDIT_SELECT_MODE = 33067;
inline constexpr uint32_t ID_SETTINGS_SET_GRID_OFFSET = 33103;
inline constexpr uint32_t ID_SETTINGS_SNAP_TO_GUIDELINES = 33107;
// Hidden: the idle tool mode.
inline constexpr uint32_t ID_VIEW = 33183;
inline constexpr uint32_t ID_VIEW_LEFT_PANE = 33197;
inline constexpr uint32_t ID_VIEW_ZOOM_ALL = 33233;
