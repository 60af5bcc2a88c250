#include "dialogs/CCopyArrayDlg.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"

namespace {

constexpr const char* increments[] = {"Default", "10", "20", "50", "100", "200", "500", "1000"};

} // namespace

CCopyArrayDlg::CCopyArrayDlg(const std::string& xDistance, const std::string& yDistance,
                             const std::string& columns, const std::string& rows,
                             const std::string& increment, QWidget* parent)
    : CWevraDialog(0, parent), m_columns(NewEdit(idColumns)), m_rows(NewEdit(idRows)),
      m_xDistance(NewEdit(idXDistance)), m_yDistance(NewEdit(idYDistance)),
      m_increment(WithId(new QComboBox(this), idIncrement))
{
    setWindowTitle(QStringLiteral("Copy Rectangular Array..."));
    m_columns->setText(CQtText::FromDesignText(columns));
    m_rows->setText(CQtText::FromDesignText(rows));
    m_xDistance->setText(CQtText::FromDesignText(xDistance));
    m_yDistance->setText(CQtText::FromDesignText(yDistance));
    for (const char* entry : increments)
        m_increment->addItem(QString::fromLatin1(entry));
    m_increment->setCurrentIndex(
        std::max(0, m_increment->findText(CQtText::FromDesignText(increment))));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Columns (X)"), m_columns);
    form->addRow(QStringLiteral("Rows (Y)"), m_rows);
    form->addRow(QStringLiteral("X Distance"), m_xDistance);
    form->addRow(QStringLiteral("Y Distance"), m_yDistance);
    form->addRow(QStringLiteral("Incr. References:"), m_increment);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

std::string CCopyArrayDlg::GetXDistance() const
{
    return CQtText::ToDesignText(m_xDistance->text());
}

std::string CCopyArrayDlg::GetYDistance() const
{
    return CQtText::ToDesignText(m_yDistance->text());
}

std::string CCopyArrayDlg::GetColumns() const
{
    return CQtText::ToDesignText(m_columns->text());
}

std::string CCopyArrayDlg::GetRows() const
{
    return CQtText::ToDesignText(m_rows->text());
}

std::string CCopyArrayDlg::GetIncrement() const
{
    return m_increment->currentIndex() == 0 ? std::string("0")
                                            : CQtText::ToDesignText(m_increment->currentText());
}
