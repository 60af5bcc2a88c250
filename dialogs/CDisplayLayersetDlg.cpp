#include "dialogs/CDisplayLayersetDlg.h"

#include <string>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CWevraDoc.h"
#include "framework/TextTrim.h"
#include "framework/qt/CQtText.h"
#include "model/CLayerArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"

namespace {

// Set 0 is the user's own arrangement, never listed: row r shows set r + 1.
constexpr int32_t firstListedSet = 1;

} // namespace

CDisplayLayersetDlg::CDisplayLayersetDlg(CWevraDoc& document, QWidget* parent)
    : CWevraDialog(helpContext, parent), m_document(document),
      m_list(WithId(new QListWidget(this), idList)), m_workLayer(NewEdit(idWorkLayer))
{
    setWindowTitle(QStringLiteral("Display Layerset"));
    m_workLayer->setReadOnly(true);
    if (COutput* sets = Sets()) {
        m_startSet = sets->GetCurrentItem();
        if (m_startSet < firstListedSet && sets->GetItemCount() > firstListedSet)
            sets->SetCurrentItem(firstListedSet);
    }
    auto* edit = WithId(new QPushButton(QStringLiteral("Edit..."), this), idEdit);
    auto* buttons = NewButtons(false);
    buttons->addButton(edit, QDialogButtonBox::ActionRole);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Work layer"), m_workLayer);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, &CDisplayLayersetDlg::Select);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CDisplayLayersetDlg::accept);
    connect(edit, &QPushButton::clicked, this, &CDisplayLayersetDlg::Edit);
    Fill();
}

COutput* CDisplayLayersetDlg::Sets() const
{
    COutputArray& jobs = m_document.Design().GetDisplaySets();
    return jobs.GetJob(jobs.GetCurrent());
}

void CDisplayLayersetDlg::Fill()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    const COutput* sets = Sets();
    if (!sets) {
        ShowWorkLayer();
        return;
    }
    for (int32_t i = firstListedSet; i < sets->GetItemCount(); ++i)
        m_list->addItem(QString::number(i) + QStringLiteral("  ") +
                        CQtText::FromDesignText(sets->GetItem(i)->GetDisplayName()));
    m_list->setCurrentRow(sets->GetCurrentItem() - firstListedSet);
    ShowWorkLayer();
}

void CDisplayLayersetDlg::ShowWorkLayer()
{
    const COutput* sets = Sets();
    const COutputRec* set = sets ? sets->GetCurrentRec() : nullptr;
    m_workLayer->setText(
        set ? CQtText::FromDesignText(
                  TrimBlanks(m_document.Design().GetLayers().GetLayerName(set->GetRefLayer())))
            : QString());
}

void CDisplayLayersetDlg::MakeCurrent(int32_t set)
{
    if (COutput* sets = Sets())
        sets->SetCurrentItem(set);
    m_document.Windows().SendViewCommand(ID_VIEW_UPDATE_ALL_VIEWS);
}

void CDisplayLayersetDlg::Select(int row)
{
    if (row < 0)
        return;
    MakeCurrent(row + firstListedSet);
    ShowWorkLayer();
}

void CDisplayLayersetDlg::accept()
{
    // Without a chosen row the user's own arrangement is shown.
    const QList<QListWidgetItem*> chosen = m_list->selectedItems();
    if (COutput* sets = Sets())
        sets->SetCurrentItem(chosen.isEmpty() ? 0 : m_list->row(chosen.front()) + firstListedSet);
    CWevraDialog::accept();
}

void CDisplayLayersetDlg::reject()
{
    MakeCurrent(m_startSet);
    CWevraDialog::reject();
}

void CDisplayLayersetDlg::Edit()
{
    m_document.EditDesignConfig(0);
    m_document.Windows().SendViewCommand(ID_VIEW_UPDATE_ALL_VIEWS);
    m_document.SetModified();
    // The sets may have changed: the list follows them.
    Fill();
}
