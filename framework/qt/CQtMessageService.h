#pragma once

#include <QString>

#include "framework/CMessageService.h"

// Message boxes as QMessageBox dialogs over the active window. Needs the QApplication.
class CQtMessageService : public CMessageService {
public:
    int32_t MessageBox(const std::string& text, const std::string& caption,
                       MessageButtons buttons = MB_OK, MessageIcon icon = MB_ICONNONE) override;
    int32_t FileMessageBox(const std::string& text, const std::string& caption,
                           MessageButtons buttons = MB_OK, MessageIcon icon = MB_ICONNONE) override;

private:
    static int32_t Show(const QString& text, const QString& caption, MessageButtons buttons,
                        MessageIcon icon);
};
