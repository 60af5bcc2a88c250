#include "dialogs/CNameDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"

CNameDlg::CNameDlg(const std::string& title, const std::string& name, QWidget* parent,
                   int32_t editId, const char* label, uint32_t helpContext)
    : CWevraDialog(helpContext, parent)
{
    setWindowTitle(CQtText::FromDesignText(title));
    m_name = NewEdit(editId);
    m_name->setText(CQtText::FromDesignText(name));
    auto* layout = new QVBoxLayout(this);
    if (label != nullptr) {
        auto* form = new QFormLayout;
        form->addRow(QString::fromLatin1(label), m_name);
        layout->addLayout(form);
    } else {
        layout->addWidget(m_name);
    }
    layout->addWidget(NewButtons());
}

std::string CNameDlg::GetName() const
{
    return CQtText::ToDesignText(m_name->text());
}
