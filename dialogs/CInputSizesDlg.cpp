#include "dialogs/CInputSizesDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

CInputSizesDlg::CInputSizesDlg(std::string& width, std::string& height, QWidget* parent)
    : CWevraDialog(0, parent)
{
    setWindowTitle(QStringLiteral("Input sizes"));
    auto* form = new QFormLayout;
    m_fields.Add(*this, *form, "Width:", idWidth, width);
    m_fields.Add(*this, *form, "Height:", idHeight, height);
    auto* buttons = NewButtons();
    auto* window = WithId(new QPushButton(QStringLiteral("Window"), this), idWindow);
    buttons->addButton(window, QDialogButtonBox::ActionRole);
    connect(window, &QPushButton::clicked, this, [this] { done(idWindow); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CInputSizesDlg::accept()
{
    m_fields.Store();
    CWevraDialog::accept();
}
