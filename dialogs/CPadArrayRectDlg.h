#pragma once

#include <cstdint>

#include "dialogs/CTextFields.h"
#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

// "Place a Rectangular Array of Pads": shows the values and gives them back on OK.
class CPadArrayRectDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idArrayRotation = 1011;
    static constexpr int32_t idPadRotation = 1012;
    static constexpr int32_t idXStart = 1013;
    static constexpr int32_t idXCount = 1014;
    static constexpr int32_t idXDistance = 1015;
    static constexpr int32_t idYStart = 1016;
    static constexpr int32_t idYCount = 1017;
    static constexpr int32_t idYDistance = 1018;

    CPadArrayRectDlg(CDialogService::RectPadArray& values, QWidget* parent = nullptr);

    void accept() override;

private:
    CTextFields m_fields;
};
