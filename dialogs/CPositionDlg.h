#pragma once

#include <string>

#include "dialogs/CWevraDialog.h"

class QLineEdit;

// "Position": a point typed as absolute values plus relative ones, as length texts.
class CPositionDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idXAbsolute = 1422;
    static constexpr int32_t idYAbsolute = 1423;
    static constexpr int32_t idXRelative = 1424;
    static constexpr int32_t idYRelative = 1425;

    // The point in board units, shown in `unit`; a non-empty title replaces "Position".
    CPositionDlg(int32_t unit, int32_t x, int32_t y, const std::string& title,
                 QWidget* parent = nullptr);

    int32_t GetX() const;
    int32_t GetY() const;

private:
    int32_t m_unit;
    QLineEdit* m_xAbsolute = nullptr;
    QLineEdit* m_yAbsolute = nullptr;
    QLineEdit* m_xRelative = nullptr;
    QLineEdit* m_yRelative = nullptr;
};
