#include "dialogs/CPenWidthDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "framework/qt/CQtText.h"
#include "resources/CommandIds.h"

CPenWidthDlg::CPenWidthDlg(const std::string& title, const std::string& width, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_SELECT_PEN, parent),
      m_width(NewEdit(idWidth))
{
    setWindowTitle(title.empty() ? QStringLiteral("Edit Pen width")
                                 : CQtText::FromDesignText(title));
    m_width->setText(CQtText::FromDesignText(width));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Pen width:"), m_width);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

std::string CPenWidthDlg::GetWidth() const
{
    return CQtText::ToDesignText(m_width->text());
}
