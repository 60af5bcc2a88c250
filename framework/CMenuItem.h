#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of a menu resource: a command, a separator, or a popup with entries of its own.
// A menu resource is a popup whose entries are the menu bar's popups.
struct CMenuItem {
    enum Kind : uint8_t { command = 0, separator = 1, popup = 2 };

    Kind kind = command;
    uint32_t id = 0;
    // "&" marks the access key; a tab separates the shortcut text shown on the right.
    std::string text;
    std::vector<CMenuItem> items;

    // The popup entry whose text is `text` (access-key marks included); nullptr when none.
    const CMenuItem* FindPopup(const std::string& popupText) const
    {
        for (const CMenuItem& item : items)
            if (item.kind == popup && item.text == popupText)
                return &item;
        return nullptr;
    }

    bool operator==(const CMenuItem&) const = default;
};
