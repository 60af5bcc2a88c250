#include "dialogs/CBoardSizeDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"

CBoardSizeDlg::CBoardSizeDlg(const std::string& width, const std::string& height, bool workspace,
                             QWidget* parent)
    : CWevraDialog(workspace ? 0x18150 : 0x18010, parent)
{
    setWindowTitle(workspace ? QStringLiteral("Define Workspace") : QStringLiteral("Board Size"));
    m_sizeX = NewEdit(idSizeX);
    m_sizeY = NewEdit(idSizeY);
    m_sizeX->setText(CQtText::FromDesignText(width));
    m_sizeY->setText(CQtText::FromDesignText(height));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Size &X:"), m_sizeX);
    form->addRow(QStringLiteral("Size &Y:"), m_sizeY);
    QDialogButtonBox* buttons = NewButtons();
    QPushButton* window = WithId(
        buttons->addButton(QStringLiteral("&Window"), QDialogButtonBox::ActionRole), idWindow);
    connect(window, &QPushButton::clicked, this, [this] { done(idWindow); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

std::string CBoardSizeDlg::GetWidth() const
{
    return CQtText::ToDesignText(m_sizeX->text());
}

std::string CBoardSizeDlg::GetHeight() const
{
    return CQtText::ToDesignText(m_sizeY->text());
}
