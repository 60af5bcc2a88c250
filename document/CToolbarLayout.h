#pragma once

#include <cstdint>
#include <vector>

// The buttons, separators and combo boxes of the main toolbar for a document's tool mode. The
// toolbar's left part (files, undo, zoom) is the same in every layout; the right part follows
// the tool in use.
class CToolbarLayout {
public:
    // Width of a separator in pixels.
    static constexpr int32_t separatorWidth = 8;

    struct Slot {
        enum Kind { button, separator, combo };
        Kind kind = button;
        // The command of a button, the control id of a combo box.
        uint32_t id = 0;
        // The image of a button in the toolbar strip.
        int32_t image = -1;
        // The width of a separator or a combo box, in pixels.
        int32_t width = 0;
    };

    // The layout without a document: one Open button.
    static std::vector<Slot> WithoutDocument();
    // The layout of a tool mode in a design document (false) or a shape document (true).
    static std::vector<Slot> ForMode(uint32_t mode, bool shapeDocument);
};
