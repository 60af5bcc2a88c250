#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include "framework/CProgressWindow.h"

class QLabel;
class QProgressBar;
class QTimer;

// A progress dialog that is shown without a local event loop and is application modal: the
// user can press its Cancel button while the operation pumps events, but reach no other window.
// Cancel, Esc and the close box never close it; they only call `onCancel`. The dialog sits over
// the window active when it opened, and the window closes with this object.
//
// An operation may step and set its texts hundreds of thousands of times: the dialog shows what
// changed at most every `showInterval` (the last change too, once the interval is over) and
// handles the events waiting at most every `eventInterval`, so that it costs the operation
// nothing and still answers Cancel at once. It is painted by the event loop, never by a step.
class CQtProgressWindow : public CProgressWindow {
public:
    static constexpr int showInterval = 40;  // milliseconds
    static constexpr int eventInterval = 20; // milliseconds

    explicit CQtProgressWindow(std::function<void()> onCancel);
    ~CQtProgressWindow() override;
    CQtProgressWindow(const CQtProgressWindow&) = delete;
    CQtProgressWindow& operator=(const CQtProgressWindow&) = delete;

    void SetTitle(const std::string& text) override;
    void SetBar(int32_t lower, int32_t upper, int32_t position) override;
    void StepTo(int32_t position) override;
    void SetPercentText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void ProcessEvents() override;

    QDialog* GetDialog() const { return m_dialog.data(); }

private:
    // Shows the changes now when the last showing is an interval ago, else when it will be.
    void ShowWhenDue();
    void ShowChanges();

    // Guarded: the dialog goes with its parent window should that close first.
    QPointer<QDialog> m_dialog;
    QProgressBar* m_bar = nullptr;
    QLabel* m_percent = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_showTimer = nullptr;
    QElapsedTimer m_sinceShown;
    QElapsedTimer m_sinceEvents;

    // What the dialog is to show once its widgets catch up.
    int32_t m_lower = 0;
    int32_t m_upper = 100;
    int32_t m_position = 0;
    std::string m_percentText;
    std::string m_statusText;
    bool m_rangeChanged = false;
    bool m_positionChanged = false;
    bool m_percentChanged = false;
    bool m_statusChanged = false;
};
