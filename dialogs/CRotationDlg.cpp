#include "dialogs/CRotationDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "framework/qt/CQtText.h"

CRotationDlg::CRotationDlg(const std::string& angle, bool absolute, uint32_t helpCommand,
                           QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + helpCommand, parent), m_angle(NewEdit(idAngle)),
      m_absolute(WithId(new QCheckBox(QStringLiteral("&Absolute"), this), idAbsolute))
{
    setWindowTitle(QStringLiteral("Rotation"));
    m_angle->setText(CQtText::FromDesignText(angle));
    m_absolute->setChecked(absolute);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Degrees"), m_angle);
    form->addRow(m_absolute);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

std::string CRotationDlg::GetAngle() const
{
    return CQtText::ToDesignText(m_angle->text());
}

bool CRotationDlg::IsAbsolute() const
{
    return m_absolute->isChecked();
}
