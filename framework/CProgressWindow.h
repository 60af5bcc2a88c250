#pragma once

#include <cstdint>
#include <string>

// One open progress window as CProgDlg drives it: a bar, a percentage text, a status line and
// a Cancel button. CProgDlg keeps the numbers; the window only shows them. Texts are
// Windows-1252.
class CProgressWindow {
public:
    virtual ~CProgressWindow();

    virtual void SetTitle(const std::string& text) = 0;
    // A new range, with the bar at the given position.
    virtual void SetBar(int32_t lower, int32_t upper, int32_t position) = 0;
    // The bar advanced by one step to the given position.
    virtual void StepTo(int32_t position) = 0;
    virtual void SetPercentText(const std::string& text) = 0;
    // The window may show a change a moment later, when the events are next handled; the last
    // change of each part is always shown.
    virtual void SetStatusText(const std::string& text) = 0;
    // Handles the events waiting, so that the user can press Cancel and other windows repaint
    // while a long operation runs. Called at every step: a window may skip calls that come
    // sooner after the last than a user could notice.
    virtual void ProcessEvents() = 0;
};
