#pragma once

#include <cstdint>
#include <string>

#include "dialogs/CWevraDialog.h"

class QLineEdit;

// "Edit Pen width": one width as a length text; a title given replaces the dialog's own.
class CPenWidthDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idWidth = 1273;

    CPenWidthDlg(const std::string& title, const std::string& width, QWidget* parent = nullptr);

    std::string GetWidth() const;

private:
    QLineEdit* m_width;
};
