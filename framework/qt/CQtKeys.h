#pragma once

#include <cstdint>

class QKeyEvent;

// Where Qt's keys become the key codes of framework/VirtualKeys.h that the panes, the board
// view and the tools act on.
class CQtKeys {
public:
    // The cursor keys and Enter; 0 for any other key.
    static uint32_t NavigationKey(const QKeyEvent& event);
    // Every key the board view and its tools know: letters and digits as their upper-case
    // character, the digit row by its physical key (Shift+7 is "7" on every keyboard layout),
    // the editing and function keys; 0 for any other key.
    static uint32_t VirtualKey(const QKeyEvent& event);
};
