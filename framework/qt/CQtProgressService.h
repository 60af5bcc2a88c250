#pragma once

#include "framework/CProgressService.h"

// Progress windows as Qt dialogs. Needs the QApplication; without one no window opens.
class CQtProgressService : public CProgressService {
public:
    std::unique_ptr<CProgressWindow> OpenWindow(std::function<void()> onCancel) override;
};
