#include "dialogs/CConfigDisplay.h"

#include <memory>

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dialogs/CDisplayItemDlg.h"
#include "dialogs/CPreviewFrame.h"
#include "dialogs/CWevraDialog.h"
#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "framework/qt/CQtText.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"

namespace {

// Set 0 is the user's own arrangement, never listed: row r shows set r + 1.
constexpr int32_t firstListedSet = 1;

} // namespace

CConfigDisplay::CConfigDisplay(CDesign& design, CEditSession& session, CDocumentPaint& paint,
                               QWidget* parent)
    : QWidget(parent), m_design(design), m_session(session), m_paint(paint),
      m_list(CWevraDialog::WithId(new QListWidget(this), idList)),
      m_preview(CWevraDialog::WithId(new CPreviewFrame(
                                         [this](CDeviceContext& dc, int width, int height) {
                                             if (m_list->currentRow() >= 0)
                                                 m_paint.DrawLayerSetPreview(dc, width, height);
                                         },
                                         Qt::black, this),
                                     idPreview))
{
    if (COutput* sets = Sets();
        sets && sets->GetCurrentItem() < firstListedSet && sets->GetItemCount() > firstListedSet)
        sets->SetCurrentItem(firstListedSet);

    const auto button = [this](const char* text, int32_t id, void (CConfigDisplay::*handler)()) {
        auto* pushButton =
            CWevraDialog::WithId(new QPushButton(QString::fromLatin1(text), this), id);
        connect(pushButton, &QPushButton::clicked, this, handler);
        return pushButton;
    };
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(button("Add", idAdd, &CConfigDisplay::Add));
    buttons->addWidget(button("Edit", idEdit, &CConfigDisplay::Edit));
    buttons->addWidget(button("Delete", idDelete, &CConfigDisplay::Delete));
    buttons->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->addWidget(m_preview, 0, 2);
    layout->setColumnStretch(2, 1);

    connect(m_list, &QListWidget::currentRowChanged, this, &CConfigDisplay::Select);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CConfigDisplay::Edit);
    Fill();
}

COutput* CConfigDisplay::Sets() const
{
    COutputArray& jobs = m_design.GetDisplaySets();
    return jobs.GetJob(jobs.GetCurrent());
}

void CConfigDisplay::Fill()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    if (const COutput* sets = Sets()) {
        for (int32_t i = firstListedSet; i < sets->GetItemCount(); ++i)
            m_list->addItem(CQtText::FromDesignText(sets->GetItem(i)->GetDisplayName()));
        m_list->setCurrentRow(sets->GetCurrentItem() - firstListedSet);
    }
    m_preview->update();
}

void CConfigDisplay::Select(int row)
{
    if (COutput* sets = Sets(); sets && row >= 0)
        sets->SetCurrentItem(row + firstListedSet);
    m_preview->update();
}

void CConfigDisplay::Add()
{
    COutput* sets = Sets();
    if (!sets)
        return;
    auto set = std::make_unique<COutputRec>();
    set->SetColor(true);
    sets->SetCurrentItem(sets->AddItem(std::move(set)));
    m_session.SetModified();
    Fill();
    Edit();
}

void CConfigDisplay::Edit()
{
    const COutput* sets = Sets();
    if (!sets || sets->GetItemCount() <= firstListedSet || sets->GetCurrentItem() < firstListedSet)
        return;
    CDisplayItemDlg dialog(m_design, m_session, m_paint, this);
    dialog.Run();
    Fill();
}

void CConfigDisplay::Delete()
{
    COutput* sets = Sets();
    // Set 0 stays whatever is chosen.
    if (!sets || sets->GetItemCount() <= firstListedSet || sets->GetCurrentItem() < firstListedSet)
        return;
    sets->RemoveItem(sets->GetCurrentItem());
    m_session.SetModified();
    Fill();
}
