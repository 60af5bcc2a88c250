#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The state of one command's menu item or toolbar button, filled in by the update pass before
// a menu opens, while toolbars are idle and before the command runs.
struct CCmdUI {
    enum Check : uint8_t { unchecked = 0, checked = 1, indeterminate = 2 };

    uint32_t id = 0;
    bool enabled = true;
    Check check = unchecked;
    // Checked as one choice of a group (a dot instead of a tick).
    bool radio = false;
    // A replacement for the item's text; none keeps the text of the menu resource.
    std::optional<std::string> text;

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on = true) { check = on ? checked : unchecked; }
    void SetRadio(bool on = true)
    {
        radio = true;
        check = on ? checked : unchecked;
    }
    void SetText(std::string newText) { text = std::move(newText); }
};
