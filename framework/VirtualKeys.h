#pragma once

#include <cstdint>

// Key codes that the board view hands to the document and the tools' key handlers. They keep
// the values of the key codes the tools were designed around, so a key code kept anywhere keeps
// its meaning; the view translates its toolkit's keys to them.
inline constexpr uint32_t VK_BACK = 0x08;
inline constexpr uint32_t VK_RETURN = 0x0D;
inline constexpr uint32_t VK_ESCAPE = 0x1B;
inline constexpr uint32_t VK_SPACE = 0x20;
inline constexpr uint32_t VK_PRIOR = 0x21;
inline constexpr uint32_t VK_NEXT = 0x22;
inline constexpr uint32_t VK_END = 0x23;
inline constexpr uint32_t VK_HOME = 0x24;
inline constexpr uint32_t VK_LEFT = 0x25;
inline constexpr uint32_t VK_UP = 0x26;
inline constexpr uint32_t VK_RIGHT = 0x27;
inline constexpr uint32_t VK_DOWN = 0x28;
inline constexpr uint32_t VK_INSERT = 0x2D;
inline constexpr uint32_t VK_DELETE = 0x2E;
inline constexpr uint32_t VK_ADD = 0x6B;      // keypad +
inline constexpr uint32_t VK_SUBTRACT = 0x6D; // keypad -
inline constexpr uint32_t VK_F2 = 0x71;
inline constexpr uint32_t VK_F5 = 0x74;
inline constexpr uint32_t VK_F6 = 0x75;
inline constexpr uint32_t VK_F9 = 0x78;
