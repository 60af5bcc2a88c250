#pragma once

#include <functional>

#include <QDialog>
#include <QPointer>

#include "framework/CProgressWindow.h"

class QLabel;
class QProgressBar;

// A progress dialog that is shown without a local event loop and is application modal: the
// user can press its Cancel button while the operation pumps events, but reach no other window.
// Cancel, Esc and the close box never close it; they only call `onCancel`. The dialog sits over
// the window active when it opened, and the window closes with this object.
class CQtProgressWindow : public CProgressWindow {
public:
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
    // Guarded: the dialog goes with its parent window should that close first.
    QPointer<QDialog> m_dialog;
    QProgressBar* m_bar = nullptr;
    QLabel* m_percent = nullptr;
    QLabel* m_status = nullptr;
};
