#include "dialogs/CSwitchesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

CSwitchesDlg::CSwitchesDlg(const char* title, uint32_t helpContext,
                           std::initializer_list<Switch> switches, QWidget* parent)
    : CWevraDialog(helpContext, parent)
{
    setWindowTitle(QString::fromLatin1(title));
    auto* layout = new QVBoxLayout(this);
    for (const Switch& entry : switches) {
        auto* box = WithId(new QCheckBox(QString::fromLatin1(entry.text), this), entry.id);
        box->setChecked(entry.on);
        layout->addWidget(box);
        m_boxes.push_back(box);
    }
    layout->addWidget(NewButtons());
}

bool CSwitchesDlg::IsChecked(int32_t id) const
{
    const QString name = QString::number(id);
    for (const QCheckBox* box : m_boxes) {
        if (box->objectName() == name)
            return box->isChecked();
    }
    return false;
}
