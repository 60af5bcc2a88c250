#include "dialogs/CSetGridDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CSetGridDlg::CSetGridDlg(int32_t unit, int32_t x, int32_t y, bool snapOn, QWidget* parent)
    : CWevraDialog(0, parent), m_unit(unit)
{
    setWindowTitle(QStringLiteral("Set Grid"));
    m_sizeX = NewEdit(idSizeX);
    m_sizeY = NewEdit(idSizeY);
    ShowLength(*m_sizeX, unit, x);
    ShowLength(*m_sizeY, unit, y);
    m_snap = WithId(new QCheckBox(QStringLiteral("&Snap to grid"), this), idSnap);
    m_snap->setChecked(snapOn);
    m_match = WithId(new QCheckBox(QStringLiteral("X &Match Y"), this), idMatch);
    m_match->setChecked(true);
    m_sizeY->setEnabled(false);

    connect(m_sizeX, &QLineEdit::editingFinished, this, [this] {
        Reformat(*m_sizeX);
        if (m_match->isChecked())
            FollowX();
    });
    connect(m_sizeY, &QLineEdit::editingFinished, this, [this] { Reformat(*m_sizeY); });
    connect(m_match, &QCheckBox::clicked, this, [this](bool checked) {
        m_sizeY->setEnabled(!checked);
        if (checked)
            FollowX();
    });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Size &X:"), m_sizeX);
    form->addRow(QStringLiteral("Size &Y:"), m_sizeY);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_snap);
    layout->addWidget(m_match);
    layout->addWidget(NewButtons());
}

void CSetGridDlg::Reformat(QLineEdit& edit) const
{
    ShowLength(edit, m_unit, ParseLength(edit, m_unit));
}

void CSetGridDlg::FollowX()
{
    m_sizeY->setText(m_sizeX->text());
}

int32_t CSetGridDlg::GetX() const
{
    return ParseLength(*m_sizeX, m_unit);
}

int32_t CSetGridDlg::GetY() const
{
    // Size Y may not have been left since Size X changed.
    const QLineEdit* y = m_match->isChecked() ? m_sizeX : m_sizeY;
    return ParseLength(*y, m_unit);
}

bool CSetGridDlg::IsSnapOn() const
{
    return m_snap->isChecked();
}
