#pragma once

#include <cstdint>

class QKeyEvent;

// The key code the cell types and hooks are given for a key press (0 for keys they ignore).
uint32_t ToVirtualKey(const QKeyEvent& event);

inline constexpr uint32_t GRID_VK_TAB = 0x09;
