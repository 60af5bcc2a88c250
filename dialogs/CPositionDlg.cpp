#include "dialogs/CPositionDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "framework/Numeric.h"
#include "framework/qt/CQtText.h"

CPositionDlg::CPositionDlg(int32_t unit, int32_t x, int32_t y, const std::string& title,
                           QWidget* parent)
    : CWevraDialog(0x180DB, parent), m_unit(unit)
{
    setWindowTitle(title.empty() ? QStringLiteral("Position") : CQtText::FromDesignText(title));
    m_xAbsolute = NewEdit(idXAbsolute);
    m_yAbsolute = NewEdit(idYAbsolute);
    m_xRelative = NewEdit(idXRelative);
    m_yRelative = NewEdit(idYRelative);
    ShowLength(*m_xAbsolute, unit, x);
    ShowLength(*m_yAbsolute, unit, y);
    ShowLength(*m_xRelative, unit, 0);
    ShowLength(*m_yRelative, unit, 0);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("X &Absolute"), m_xAbsolute);
    form->addRow(QStringLiteral("Y A&bsolute"), m_yAbsolute);
    form->addRow(QStringLiteral("X &Relative"), m_xRelative);
    form->addRow(QStringLiteral("Y R&elative"), m_yRelative);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

int32_t CPositionDlg::GetX() const
{
    return SaturateToInt(int64_t(ParseLength(*m_xAbsolute, m_unit)) +
                         ParseLength(*m_xRelative, m_unit));
}

int32_t CPositionDlg::GetY() const
{
    return SaturateToInt(int64_t(ParseLength(*m_yAbsolute, m_unit)) +
                         ParseLength(*m_yRelative, m_unit));
}
