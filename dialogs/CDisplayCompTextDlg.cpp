#include "dialogs/CDisplayCompTextDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "resources/CommandIds.h"

CDisplayCompTextDlg::CDisplayCompTextDlg(bool reference, bool shape, bool type, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_VIEW_COMPONENTS_TEXT, parent),
      m_reference(NewSwitch("Referencenames", idReference, reference)),
      m_shape(NewSwitch("Shapenames", idShape, shape)), m_type(NewSwitch("Typenames", idType, type))
{
    setWindowTitle(QStringLiteral("Display componentstext"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_reference);
    layout->addWidget(m_shape);
    layout->addWidget(m_type);
    layout->addWidget(NewButtons());
}

QCheckBox* CDisplayCompTextDlg::NewSwitch(const char* text, int32_t id, bool on)
{
    auto* box = WithId(new QCheckBox(QString::fromLatin1(text), this), id);
    box->setChecked(on);
    return box;
}

bool CDisplayCompTextDlg::IsReference() const
{
    return m_reference->isChecked();
}

bool CDisplayCompTextDlg::IsShape() const
{
    return m_shape->isChecked();
}

bool CDisplayCompTextDlg::IsType() const
{
    return m_type->isChecked();
}
