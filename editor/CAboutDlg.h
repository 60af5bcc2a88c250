#pragma once

#include <cstdint>
#include <string>

#include <QDialog>

#include "resources/CommandIds.h"

class QLabel;

// The About box: the program's version line, an OK button and a Help button.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // The help context of the Help button: the About command + 0x10000.
    static constexpr uint32_t helpContext = 0x10000 + ID_HELP_ABOUT_WEVRA;

    // `productVersion` is the program's "ProductVersion" text.
    explicit CAboutDlg(const std::string& productVersion, QWidget* parent = nullptr);

    QString GetVersionLine() const;

private:
    QLabel* m_version = nullptr;
};
