#pragma once

#include <cstdint>
#include <string>

// One keystroke of an accelerator table and the command it sends. The keys are written as
// "Ctrl+Z", "Alt+Backspace", "Shift+Ins": modifiers, then the key, joined by "+".
struct CAccelerator {
    std::string keys;
    uint32_t command = 0;

    bool operator==(const CAccelerator&) const = default;
};
