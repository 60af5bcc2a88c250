#include "dialogs/CBorderSizeDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"

CBorderSizeDlg::CBorderSizeDlg(const std::vector<std::string>& choices, QWidget* parent)
    : CWevraDialog(0, parent)
{
    setWindowTitle(QStringLiteral("Set border size"));
    m_border = WithId(new QComboBox(this), idBorder);
    for (const std::string& choice : choices)
        m_border->addItem(CQtText::FromDesignText(choice));
    m_border->setCurrentIndex(choices.size() > 2 ? 2 : int(choices.size()) - 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_border);
    layout->addWidget(NewButtons());
}

std::string CBorderSizeDlg::GetChosen() const
{
    return CQtText::ToDesignText(m_border->currentText());
}
