#pragma once

#include <cstdint>

#include "dialogs/CSwitchesDlg.h"

// "Center All Text": which component texts go back to the centre of their components.
class CCenterTextDlg : public CSwitchesDlg {
    Q_OBJECT

public:
    static constexpr int32_t idReference = 1073;
    static constexpr int32_t idShape = 1074;
    static constexpr int32_t idType = 1075;

    CCenterTextDlg(bool reference, bool type, bool shape, QWidget* parent = nullptr);
};
