#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CProgressWindow;

// The progress display of a long operation (plane fill, design-rule check, Gerber output),
// which runs on the one UI thread: the operation steps the bar and polls Cancel between its
// steps, and each step lets the program handle the events waiting so that the user can press
// Cancel. Pressing Cancel only raises a flag; the operation decides when to stop.
//
//     CProgDlg progress;
//     progress.Create();
//     progress.SetRange(0, count);
//     progress.SetStep(1);
//     for (...) { progress.StepIt(); ...; if (progress.CheckCancelButton()) break; }
//
// The window comes from the progress service of CServices; without a window system the
// headless one shows nothing and is never cancelled.
class CProgDlg {
public:
    // The window title is the string-table text of the id unless SetTitle gives one; 0 leaves
    // it empty. The caller names the id: the framework knows no texts of the program.
    explicit CProgDlg(uint32_t captionId = 0);
    ~CProgDlg();
    CProgDlg(const CProgDlg&) = delete;
    CProgDlg& operator=(const CProgDlg&) = delete;

    // Opens the window with the range, step and title set so far and the bar at the lower
    // bound. False when no window could be opened; the dialog still counts but shows nothing.
    bool Create();
    void DestroyWindow();
    bool IsOpen() const { return m_window != nullptr; }

    void SetTitle(const std::string& text);
    void SetRange(int32_t lower, int32_t upper);
    void SetStep(int32_t step) { m_step = step; }
    // Both write the line under the bar; only the status is remembered.
    void SetStatus(const std::string& text);
    void SetCaption(const std::string& text);

    // Handles the events waiting, advances the bar by one step and shows the percentage the
    // step reached. A position past the upper bound starts the bar over from the lower one.
    // Returns the position before the step.
    int32_t StepIt();
    // Handles the events waiting; true once for all presses of Cancel since the last call.
    bool CheckCancelButton();

    int32_t GetPos() const { return m_position; }
    const std::string& GetStatus() const { return m_status; }
    const std::string& GetPercentText() const { return m_percentText; }

    // "%d%" of the share of the range the position has covered; past 100 per cent the count
    // starts again ("10%" for 110 per cent). An empty range counts as done.
    static std::string PercentText(int32_t position, int32_t lower, int32_t upper);

    // True while a progress dialog is open anywhere: work that must not run in the middle of an
    // operation, such as a timed backup, waits until it ends.
    static bool IsAnyRunning() { return s_openCount > 0; }

private:
    void OnCancel() { m_cancel = true; }

    static int32_t s_openCount;

    uint32_t m_captionId;
    std::string m_title;
    std::string m_status;
    std::string m_percentText = " 0 %";
    int32_t m_lower = 0;
    int32_t m_upper = 100;
    int32_t m_step = 10;
    int32_t m_position = 0;
    bool m_cancel = false;
    bool m_counted = false;
    std::unique_ptr<CProgressWindow> m_window;
};
