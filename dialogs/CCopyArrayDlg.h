#pragma once

#include <cstdint>
#include <string>

#include "dialogs/CWevraDialog.h"

class QComboBox;
class QLineEdit;

// "Copy Rectangular Array...": columns and rows, their distances as length texts in the display
// unit, and the increment of the copies' references.
class CCopyArrayDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idIncrement = 1198;
    static constexpr int32_t idColumns = 1199;
    static constexpr int32_t idXDistance = 1200;
    static constexpr int32_t idRows = 1201;
    static constexpr int32_t idYDistance = 1202;

    // The increment is chosen by its text, "0" standing for "Default".
    CCopyArrayDlg(const std::string& xDistance, const std::string& yDistance,
                  const std::string& columns, const std::string& rows, const std::string& increment,
                  QWidget* parent = nullptr);

    std::string GetXDistance() const;
    std::string GetYDistance() const;
    std::string GetColumns() const;
    std::string GetRows() const;
    // "Default" reads as 0.
    std::string GetIncrement() const;

private:
    QLineEdit* m_columns;
    QLineEdit* m_rows;
    QLineEdit* m_xDistance;
    QLineEdit* m_yDistance;
    QComboBox* m_increment;
};
