#pragma once

#include <optional>
#include <vector>

#include "framework/ColorRef.h"

// Lets the user choose a colour. Model code never opens a window itself; it asks the service
// installed in CServices.
class CColorChooserService {
public:
    virtual ~CColorChooserService();

    // Shows the chooser at `initial`, offering `customColors` as the first custom colours.
    // The colour chosen, or nothing when the user cancelled.
    virtual std::optional<COLORREF> ChooseColor(COLORREF initial,
                                                const std::vector<COLORREF>& customColors) = 0;
};
