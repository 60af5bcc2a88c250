#pragma once

#include "framework/CColorChooserService.h"

// The colour chooser as Qt's modal colour dialog over the active window. Its sixteen custom
// colours start with the ones asked for; the rest are white.
class CQtColorChooser : public CColorChooserService {
public:
    std::optional<COLORREF> ChooseColor(COLORREF initial,
                                        const std::vector<COLORREF>& customColors) override;
};
