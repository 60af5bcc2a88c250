#include "dialogs/CWevraDialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "document/CHelpTopics.h"
#include "framework/qt/CQtText.h"
#include "model/CLengthText.h"

CWevraDialog::CWevraDialog(uint32_t helpContext, QWidget* parent)
    : QDialog(parent), m_helpContext(helpContext)
{
}

void CWevraDialog::SetId(QWidget& widget, int32_t id)
{
    widget.setObjectName(QString::number(id));
}

void CWevraDialog::ShowLength(QLineEdit& edit, int32_t unit, int32_t length)
{
    edit.setText(CQtText::FromDesignText(CLengthText::FormatLength(unit, length)));
}

void CWevraDialog::FitWidthToTitle(QWidget& window)
{
    // Window managers draw the title bold, beside an icon and the window buttons, and cut a
    // title that does not fit in its middle.
    constexpr int titleBarButtons = 140;
    QFont titleFont = window.font();
    titleFont.setBold(true);
    const int needed =
        QFontMetrics(titleFont).horizontalAdvance(window.windowTitle()) + titleBarButtons;
    if (window.minimumWidth() < needed)
        window.setMinimumWidth(needed);
    if (window.width() < needed)
        window.resize(needed, window.height());
}

int32_t CWevraDialog::ParseLength(const QLineEdit& edit, int32_t unit)
{
    return CLengthText::ParseLength(unit, CQtText::ToDesignText(edit.text()));
}

int32_t CWevraDialog::Run()
{
    const int result = exec();
    if (result == QDialog::Accepted)
        return idOk;
    if (result == QDialog::Rejected)
        return idCancel;
    return result;
}

void CWevraDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (m_helpContext != 0)
            CHelpTopics::Show(m_helpContext);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CWevraDialog::showEvent(QShowEvent* event)
{
    // Titles are set after construction, some only just before the dialog is shown.
    FitWidthToTitle(*this);
    QDialog::showEvent(event);
}

QLabel* CWevraDialog::NewLabel(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, this);
    label->setBuddy(buddy);
    return label;
}

QLineEdit* CWevraDialog::NewEdit(int32_t id)
{
    return WithId(new QLineEdit(this), id);
}

QDialogButtonBox* CWevraDialog::NewButtons(bool withCancel)
{
    auto* buttons = new QDialogButtonBox(this);
    WithId(buttons->addButton(QDialogButtonBox::Ok), idOk);
    if (withCancel)
        WithId(buttons->addButton(QDialogButtonBox::Cancel), idCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}
