#pragma once

#include <cstdint>

#include "dialogs/CWevraDialog.h"

class QButtonGroup;

// "Components Text Selector": which component text the Move/Rotate Text tool moves. OK waits
// for a choice.
class CSelCompTextDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idReference = 1588;
    static constexpr int32_t idType = 1594;
    static constexpr int32_t idShape = 1595;

    // `choice`: 0 reference, 1 type, 2 shape name; any other value checks none.
    explicit CSelCompTextDlg(int32_t choice, QWidget* parent = nullptr);

    // -1 while none is checked.
    int32_t GetChoice() const;

private:
    QButtonGroup* m_choices;
};
