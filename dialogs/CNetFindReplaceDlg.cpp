#include "dialogs/CNetFindReplaceDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"

CNetFindReplaceDlg::CNetFindReplaceDlg(const std::string& find, const std::string& replacement,
                                       uint32_t helpContext, QWidget* parent)
    : CWevraDialog(helpContext, parent)
{
    setWindowTitle(QStringLiteral("Find and Replace"));
    m_find = NewEdit(idFind);
    m_find->setText(CQtText::FromDesignText(find));
    m_replacement = NewEdit(idReplace);
    m_replacement->setText(CQtText::FromDesignText(replacement));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Find"), m_find);
    form->addRow(QStringLiteral("Replace with"), m_replacement);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

std::string CNetFindReplaceDlg::GetFind() const
{
    return CQtText::ToDesignText(m_find->text());
}

std::string CNetFindReplaceDlg::GetReplacement() const
{
    return CQtText::ToDesignText(m_replacement->text());
}
