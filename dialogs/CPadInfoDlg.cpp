#include "dialogs/CPadInfoDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "resources/CommandIds.h"

namespace {

constexpr const char* choices[] = {"Nothing",        "Pinnumbers",       "Hole diameters",
                                   "Padstack names", "Padstack indexes", "Net names",
                                   "Net indexes"};

} // namespace

CPadInfoDlg::CPadInfoDlg(int32_t display, bool markers, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_COMPONENTS_PIN_INFO, parent),
      m_choices(new QButtonGroup(this)),
      m_markers(WithId(new QCheckBox(QStringLiteral("Show markers for not connected pins"), this),
                       idMarkers))
{
    setWindowTitle(QStringLiteral("Padinfo"));
    auto* group = new QGroupBox(QStringLiteral("Show padinfo"), this);
    auto* groupLayout = new QVBoxLayout(group);
    int32_t k = 0;
    for (const char* choice : choices) {
        auto* button =
            WithId(new QRadioButton(QString::fromLatin1(choice), group), idFirstChoice + k);
        m_choices->addButton(button, k++);
        groupLayout->addWidget(button);
    }
    if (QAbstractButton* chosen = m_choices->button(display))
        chosen->setChecked(true);
    m_markers->setChecked(markers);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_markers);
    layout->addWidget(NewButtons());
}

int32_t CPadInfoDlg::GetDisplay() const
{
    return m_choices->checkedId();
}

bool CPadInfoDlg::GetMarkers() const
{
    return m_markers->isChecked();
}
