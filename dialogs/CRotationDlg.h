#pragma once

#include <cstdint>
#include <string>

#include "dialogs/CWevraDialog.h"

class QCheckBox;
class QLineEdit;

// "Rotation": an angle in degrees and whether it is absolute.
class CRotationDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idAngle = 1597;
    static constexpr int32_t idAbsolute = 1598;

    CRotationDlg(const std::string& angle, bool absolute, uint32_t helpCommand,
                 QWidget* parent = nullptr);

    std::string GetAngle() const;
    bool IsAbsolute() const;

private:
    QLineEdit* m_angle;
    QCheckBox* m_absolute;
};
