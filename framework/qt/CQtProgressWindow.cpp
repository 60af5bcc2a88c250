#include "framework/qt/CQtProgressWindow.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "framework/qt/CQtText.h"

namespace {

// Esc and the close box cancel the operation instead of closing the window.
class CCancelOnlyDialog : public QDialog {
public:
    CCancelOnlyDialog(QWidget* parent, std::function<void()> onCancel)
        : QDialog(parent), m_onCancel(std::move(onCancel))
    {
    }

    void reject() override { m_onCancel(); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        m_onCancel();
    }

private:
    std::function<void()> m_onCancel;
};

} // namespace

CQtProgressWindow::CQtProgressWindow(std::function<void()> onCancel)
{
    auto* dialog = new CCancelOnlyDialog(QApplication::activeWindow(), onCancel);
    m_dialog = dialog;
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumWidth(320);

    m_bar = new QProgressBar(dialog);
    m_bar->setObjectName("progressBar");
    m_bar->setTextVisible(false);
    m_percent = new QLabel(dialog);
    m_percent->setObjectName("percentText");
    m_percent->setAlignment(Qt::AlignCenter);
    m_status = new QLabel(dialog);
    m_status->setObjectName("statusText");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, std::move(onCancel));
    m_showTimer = new QTimer(dialog);
    m_showTimer->setSingleShot(true);
    QObject::connect(m_showTimer, &QTimer::timeout, dialog, [this] { ShowChanges(); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(m_bar);
    layout->addWidget(m_percent);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    dialog->show();
}

CQtProgressWindow::~CQtProgressWindow()
{
    delete m_dialog.data();
}

void CQtProgressWindow::SetTitle(const std::string& text)
{
    if (m_dialog)
        m_dialog->setWindowTitle(CQtText::FromDesignText(text));
}

void CQtProgressWindow::SetBar(int32_t lower, int32_t upper, int32_t position)
{
    m_lower = lower;
    m_upper = upper;
    m_position = position;
    m_rangeChanged = true;
    ShowWhenDue();
}

void CQtProgressWindow::StepTo(int32_t position)
{
    if (position == m_position && !m_rangeChanged)
        return;
    m_position = position;
    m_positionChanged = true;
    ShowWhenDue();
}

void CQtProgressWindow::SetPercentText(const std::string& text)
{
    m_percentText = text;
    m_percentChanged = true;
    ShowWhenDue();
}

void CQtProgressWindow::SetStatusText(const std::string& text)
{
    m_statusText = text;
    m_statusChanged = true;
    ShowWhenDue();
}

void CQtProgressWindow::ProcessEvents()
{
    if (!m_sinceEvents.isValid()) {
        // The first call comes right after the dialog opened, before the operation's long first
        // stage: the dialog and what the closed menu covered are drawn now, once the window
        // system has shown the dialog (a moment on a remote display).
        m_sinceEvents.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, eventInterval);
        } while (m_dialog && m_dialog->windowHandle() != nullptr &&
                 !m_dialog->windowHandle()->isExposed() &&
                 m_sinceEvents.elapsed() < 10 * eventInterval);
        m_sinceEvents.start();
        return;
    }
    if (m_sinceEvents.elapsed() < eventInterval)
        return;
    m_sinceEvents.start();
    QCoreApplication::processEvents();
}

void CQtProgressWindow::ShowWhenDue()
{
    // The widgets are set from the event loop alone: a progress bar repaints itself at once
    // when its value is set.
    if (!m_dialog || m_showTimer->isActive())
        return;
    const qint64 waited = m_sinceShown.isValid() ? m_sinceShown.elapsed() : showInterval;
    m_showTimer->start(int(std::clamp<qint64>(showInterval - waited, 0, showInterval)));
}

void CQtProgressWindow::ShowChanges()
{
    if (!m_dialog)
        return;
    m_sinceShown.start();
    if (m_rangeChanged)
        m_bar->setRange(m_lower, m_upper);
    if (m_rangeChanged || m_positionChanged)
        m_bar->setValue(m_position);
    if (m_percentChanged)
        m_percent->setText(CQtText::FromDesignText(m_percentText));
    if (m_statusChanged)
        m_status->setText(CQtText::FromDesignText(m_statusText));
    m_rangeChanged = false;
    m_positionChanged = false;
    m_percentChanged = false;
    m_statusChanged = false;
}
