#include "dialogs/CPadArrayCircDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "resources/CommandIds.h"

CPadArrayCircDlg::CPadArrayCircDlg(CDialogService::CircPadArray& values, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_PADS_ARRAY_CIRCULAR, parent),
      m_values(values),
      m_increment(WithId(new QCheckBox(QStringLiteral("Increment Pad Rotation"), this),
                         idIncrementRotation))
{
    setWindowTitle(QStringLiteral("Place a Circular Array of Pads"));
    auto* form = new QFormLayout;
    m_fields.Add(*this, *form, "Center X", idXCenter, values.xCenter);
    m_fields.Add(*this, *form, "Center Y", idYCenter, values.yCenter);
    m_fields.Add(*this, *form, "Radius", idRadius, values.radius);
    m_fields.Add(*this, *form, "Angle First Pad", idFirstAngle, values.firstAngle);
    m_fields.Add(*this, *form, "Angle Last Pad", idLastAngle, values.lastAngle);
    m_fields.Add(*this, *form, "Rotation First Pad", idFirstRotation, values.firstRotation);
    m_fields.Add(*this, *form, "Number of Pads", idCount, values.count);
    m_increment->setChecked(values.incrementRotation);
    form->addRow(m_increment);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

void CPadArrayCircDlg::accept()
{
    m_fields.Store();
    m_values.incrementRotation = m_increment->isChecked();
    CWevraDialog::accept();
}
