#pragma once

#include <string>

#include "dialogs/CWevraDialog.h"

class QLineEdit;

// "Board Size": the board's width and height as length texts; "Window" ends it with idWindow
// so that the user draws the rectangle with the mouse instead.
class CBoardSizeDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idWindow = 1028;
    static constexpr int32_t idSizeX = 1029;
    static constexpr int32_t idSizeY = 1030;

    // `workspace`: the dialog sizes the workspace of a shape document.
    CBoardSizeDlg(const std::string& width, const std::string& height, bool workspace,
                  QWidget* parent = nullptr);

    std::string GetWidth() const;
    std::string GetHeight() const;

private:
    QLineEdit* m_sizeX = nullptr;
    QLineEdit* m_sizeY = nullptr;
};
