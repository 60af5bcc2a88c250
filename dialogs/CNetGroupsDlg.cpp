#include "dialogs/CNetGroupsDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CNameDlg.h"
#include "framework/qt/CQtText.h"

namespace {

std::string Selected(const QListWidget& list)
{
    const QListWidgetItem* item = list.currentItem();
    return item != nullptr ? CQtText::ToDesignText(item->text()) : std::string();
}

} // namespace

CNetGroupsDlg::CNetGroupsDlg(QWidget* parent) : CWevraDialog(0, parent)
{
    setWindowTitle(QStringLiteral("Edit Netgroups"));
    m_groupA = WithId(new QListWidget(this), idGroupA);
    m_groupB = WithId(new QListWidget(this), idGroupB);
    m_spacing = NewEdit(idSpacing);
    auto* newGroup = WithId(new QPushButton(QStringLiteral("&New Group"), this), idNewGroup);
    auto* deleteA = WithId(new QPushButton(QStringLiteral("&Delete A"), this), idDeleteA);
    connect(newGroup, &QPushButton::clicked, this, [this] {
        CNameDlg name("Input Name", "", this);
        name.Run();
    });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Group A"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Group B"), this), 0, 1);
    grid->addWidget(m_groupA, 1, 0);
    grid->addWidget(m_groupB, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Minimum Space between Group A and Group B"), this),
                    2, 0, 1, 2);
    grid->addWidget(m_spacing, 3, 0, 1, 2);
    grid->addWidget(newGroup, 4, 0);
    grid->addWidget(deleteA, 4, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(NewButtons());
}

std::string CNetGroupsDlg::GetGroupA() const
{
    return Selected(*m_groupA);
}

std::string CNetGroupsDlg::GetGroupB() const
{
    return Selected(*m_groupB);
}

std::string CNetGroupsDlg::GetSpacing() const
{
    return CQtText::ToDesignText(m_spacing->text());
}
