#pragma once

#include "framework/CMessageService.h"

// Message boxes as QMessageBox dialogs over the active window. Needs the QApplication.
class CQtMessageService : public CMessageService {
public:
    int32_t MessageBox(const std::string& text, const std::string& caption,
                       MessageButtons buttons = MB_OK, MessageIcon icon = MB_ICONNONE) override;
};
