#include "dialogs/CPensDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CNestedDialog.h"
#include "dialogs/CPenWidthDlg.h"
#include "document/CPenTables.h"
#include "framework/qt/CQtText.h"
#include "model/CLengthText.h"

namespace {

constexpr char addTitle[] = "Add New Width";
constexpr char changeTitle[] = "Change Width";

bool AskWidth(QWidget* owner, const char* title, std::string& width)
{
    CPenWidthDlg entry(title, width, owner);
    if (entry.Run() != CWevraDialog::idOk)
        return false;
    width = entry.GetWidth();
    return true;
}

CNestedDialog<CPensDlg::WidthEntry> s_widthEntry(&AskWidth);

} // namespace

CPensDlg::WidthEntry CPensDlg::SetWidthEntry(WidthEntry entry)
{
    return s_widthEntry.Replace(entry);
}

CPensDlg::CPensDlg(CPenTables& pens, QWidget* parent)
    : CWevraDialog(0, parent), m_pens(pens), m_list(WithId(new QListWidget(this), idList)),
      m_new(WithId(new QPushButton(QStringLiteral("&New"), this), idNew)),
      m_change(WithId(new QPushButton(QStringLiteral("&Change"), this), idChange)),
      m_delete(WithId(new QPushButton(QStringLiteral("&Delete"), this), idDelete))
{
    setWindowTitle(QStringLiteral("Pens"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_new);
    buttons->addWidget(m_change);
    buttons->addWidget(m_delete);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Nr,  Width,     Used"), this));
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    layout->addWidget(NewButtons());

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_filling || row < 0)
            return;
        m_pens.Select(row);
        UpdateButtons();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(m_new, &QPushButton::clicked, this, [this] { OnNew(); });
    connect(m_change, &QPushButton::clicked, this, [this] { OnChange(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    Refill(-1);
}

int32_t CPensDlg::SelectedRow() const
{
    return m_list->currentRow();
}

void CPensDlg::Refill(int32_t row)
{
    setWindowTitle(CQtText::FromDesignText(m_pens.GetTitle()));
    m_filling = true;
    m_list->clear();
    const int32_t count = int32_t(m_pens.GetRows().size());
    for (int32_t r = 0; r < count; ++r)
        m_list->addItem(CQtText::FromDesignText(m_pens.GetRowText(r)));
    const int32_t chosen = row >= 0 ? row : m_pens.GetCurrentRow();
    m_list->setCurrentRow(chosen < count ? chosen : -1);
    m_filling = false;
    UpdateButtons();
}

void CPensDlg::UpdateButtons()
{
    const int32_t row = SelectedRow();
    m_new->setEnabled(m_pens.CanAdd());
    m_change->setEnabled(row >= 0);
    m_delete->setEnabled(m_pens.CanDelete(row));
}

void CPensDlg::OnNew()
{
    std::string width = CLengthText::FormatLength(m_pens.GetUnit(), 0);
    if (!s_widthEntry(this, addTitle, width))
        return;
    const int32_t row = m_pens.Add(CLengthText::ParseLength(m_pens.GetUnit(), width));
    Refill(row);
    if (row >= 0)
        m_pens.Select(row);
}

void CPensDlg::OnChange()
{
    const int32_t row = SelectedRow();
    if (row < 0)
        return;
    std::string width = CLengthText::FormatLength(m_pens.GetUnit(), m_pens.GetWidth(row));
    if (!s_widthEntry(this, changeTitle, width))
        return;
    Refill(m_pens.Change(row, CLengthText::ParseLength(m_pens.GetUnit(), width)));
}

void CPensDlg::OnDelete()
{
    Refill(m_pens.Delete(SelectedRow()));
}

void CPensDlg::accept()
{
    m_pens.Confirm(SelectedRow());
    CWevraDialog::accept();
}
