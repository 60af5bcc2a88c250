#pragma once

#include <cstdint>
#include <string>

#include "dialogs/CTextFields.h"
#include "dialogs/CWevraDialog.h"

// "Input sizes": the width and height of a circle, ellipse or rectangle as length texts. OK
// gives them back; "Window" ends the dialog with its own id, to draw the figure with the mouse.
class CInputSizesDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idHeight = 1413;
    static constexpr int32_t idWidth = 1659;
    static constexpr int32_t idWindow = 1660;

    CInputSizesDlg(std::string& width, std::string& height, QWidget* parent = nullptr);

    void accept() override;

private:
    CTextFields m_fields;
};
