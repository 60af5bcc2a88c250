#include "dialogs/CSelCompTextDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CSelCompTextDlg::CSelCompTextDlg(int32_t choice, QWidget* parent)
    : CWevraDialog(0, parent), m_choices(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("Components Text Selector"));
    auto* group = new QGroupBox(QStringLiteral("Choose"), this);
    auto* groupLayout = new QVBoxLayout(group);
    const struct {
        const char* text;
        int32_t id;
    } choices[] = {{"Referencenames", idReference}, {"Typenames", idType}, {"Shapenames", idShape}};
    int32_t k = 0;
    for (const auto& entry : choices) {
        auto* button = WithId(new QRadioButton(QString::fromLatin1(entry.text), group), entry.id);
        m_choices->addButton(button, k++);
        groupLayout->addWidget(button);
    }
    if (QAbstractButton* chosen = m_choices->button(choice))
        chosen->setChecked(true);
    QDialogButtonBox* buttons = NewButtons();
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(GetChoice() >= 0);
    connect(m_choices, &QButtonGroup::idClicked, ok, [ok](int) { ok->setEnabled(true); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int32_t CSelCompTextDlg::GetChoice() const
{
    return m_choices->checkedId();
}
