#include "framework/qt/CQtProgressWindow.h"

#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>

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
    if (!m_dialog)
        return;
    m_bar->setRange(lower, upper);
    m_bar->setValue(position);
}

void CQtProgressWindow::StepTo(int32_t position)
{
    if (m_dialog)
        m_bar->setValue(position);
}

void CQtProgressWindow::SetPercentText(const std::string& text)
{
    if (m_dialog)
        m_percent->setText(CQtText::FromDesignText(text));
}

void CQtProgressWindow::SetStatusText(const std::string& text)
{
    if (!m_dialog)
        return;
    m_status->setText(CQtText::FromDesignText(text));
    m_status->repaint();
}

void CQtProgressWindow::ProcessEvents()
{
    QCoreApplication::processEvents();
}
