#pragma once

#include <cstdint>

#include "dialogs/CSwitchesDlg.h"

// "Display componentstext": which component texts the display layer set shows.
class CDisplayCompTextDlg : public CSwitchesDlg {
    Q_OBJECT

public:
    static constexpr int32_t idReference = 1248;
    static constexpr int32_t idShape = 1249;
    static constexpr int32_t idType = 1250;

    CDisplayCompTextDlg(bool reference, bool shape, bool type, QWidget* parent = nullptr);
};
