#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dialogs/CWevraDialog.h"

class QLineEdit;

// "Component Text": the height and the pen width of the reference, type and shape texts of the
// components, as length texts. OK gives them back.
class CCompTextDlg : public CWevraDialog {
    Q_OBJECT

public:
    // Per kind (reference, type, shape).
    static constexpr std::array<int32_t, 3> idSizes = {1648, 1649, 1650};
    static constexpr std::array<int32_t, 3> idPens = {1654, 1655, 1656};

    CCompTextDlg(std::array<std::string, 3>& sizes, std::array<std::string, 3>& pens,
                 QWidget* parent = nullptr);

    void accept() override;

private:
    std::array<std::string, 3>& m_sizes;
    std::array<std::string, 3>& m_pens;
    std::array<QLineEdit*, 3> m_sizeEdits{};
    std::array<QLineEdit*, 3> m_penEdits{};
};
