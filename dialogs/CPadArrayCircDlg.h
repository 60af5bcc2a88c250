#pragma once

#include <cstdint>

#include "dialogs/CTextFields.h"
#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

class QCheckBox;

// "Place a Circular Array of Pads": shows the values and gives them back on OK.
class CPadArrayCircDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idFirstAngle = 1003;
    static constexpr int32_t idLastAngle = 1004;
    static constexpr int32_t idCount = 1005;
    static constexpr int32_t idIncrementRotation = 1006;
    static constexpr int32_t idFirstRotation = 1007;
    static constexpr int32_t idRadius = 1008;
    static constexpr int32_t idXCenter = 1009;
    static constexpr int32_t idYCenter = 1010;

    CPadArrayCircDlg(CDialogService::CircPadArray& values, QWidget* parent = nullptr);

    void accept() override;

private:
    CDialogService::CircPadArray& m_values;
    CTextFields m_fields;
    QCheckBox* m_increment;
};
