#include "dialogs/CPadArrayRectDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "resources/CommandIds.h"

CPadArrayRectDlg::CPadArrayRectDlg(CDialogService::RectPadArray& values, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_PADS_ARRAY_RECTANGULAR, parent)
{
    setWindowTitle(QStringLiteral("Place a Rectangular Array of Pads"));
    auto* form = new QFormLayout;
    m_fields.Add(*this, *form, "X Start:", idXStart, values.xStart);
    m_fields.Add(*this, *form, "Y Start:", idYStart, values.yStart);
    m_fields.Add(*this, *form, "X Distance:", idXDistance, values.xDistance);
    m_fields.Add(*this, *form, "Y Distance:", idYDistance, values.yDistance);
    m_fields.Add(*this, *form, "X Number of Pads", idXCount, values.xCount);
    m_fields.Add(*this, *form, "Y Number of Pads", idYCount, values.yCount);
    m_fields.Add(*this, *form, "Rotation Array", idArrayRotation, values.arrayRotation);
    m_fields.Add(*this, *form, "Rotation Pads", idPadRotation, values.padRotation);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

void CPadArrayRectDlg::accept()
{
    m_fields.Store();
    CWevraDialog::accept();
}
