#pragma once

#include "dialogs/CWevraDialog.h"

class QCheckBox;
class QLineEdit;

// "Set Grid": the snap sizes of the current grid as length texts, and its snap switch. With
// "X Match Y" checked Size Y follows Size X.
class CSetGridDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idSizeX = 1403;
    static constexpr int32_t idSizeY = 1404;
    static constexpr int32_t idSnap = 1607;
    static constexpr int32_t idMatch = 1608;

    // Sizes in board units, shown in `unit`.
    CSetGridDlg(int32_t unit, int32_t x, int32_t y, bool snapOn, QWidget* parent = nullptr);

    int32_t GetX() const;
    int32_t GetY() const;
    bool IsSnapOn() const;

private:
    void Reformat(QLineEdit& edit) const;
    void FollowX();

    int32_t m_unit;
    QLineEdit* m_sizeX = nullptr;
    QLineEdit* m_sizeY = nullptr;
    QCheckBox* m_snap = nullptr;
    QCheckBox* m_match = nullptr;
};
