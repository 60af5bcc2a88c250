#pragma once

#include <string>
#include <vector>

#include "dialogs/CWevraDialog.h"

class QComboBox;

// "Set border size": one of the length texts it is given, the third preselected.
class CBorderSizeDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idBorder = 1670;

    explicit CBorderSizeDlg(const std::vector<std::string>& choices, QWidget* parent = nullptr);

    std::string GetChosen() const;

private:
    QComboBox* m_border = nullptr;
};
