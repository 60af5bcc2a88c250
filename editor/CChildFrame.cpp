#include "editor/CChildFrame.h"

#include <algorithm>

#include <QApplication>
#include <QResizeEvent>
#include <QSplitter>

#include "document/CDesign.h"
#include "document/CDocumentFrame.h"
#include "document/CViewCommands.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CBottomView.h"
#include "editor/CLeftPane.h"
#include "editor/CMiniView.h"
#include "editor/CWevraApp.h"
#include "editor/CWevraView.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "framework/qt/CQtText.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

QSplitter* MakeSplitter(Qt::Orientation orientation, QWidget* parent)
{
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setChildrenCollapsible(true);
    return splitter;
}

int32_t Total(const QList<int>& sizes)
{
    int32_t total = 0;
    for (int size : sizes)
        total += size;
    return total;
}

} // namespace

CChildFrame::CChildFrame(CWevraDoc& document, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    m_outer = MakeSplitter(Qt::Horizontal, this);
    m_left = MakeSplitter(Qt::Vertical, m_outer);
    m_right = MakeSplitter(Qt::Vertical, m_outer);
    m_outer->addWidget(m_left);
    m_outer->addWidget(m_right);

    m_miniView = new CMiniView(document.Design(), document.View(), m_left);
    m_leftPane = new CLeftPane(document, m_left);
    m_left->addWidget(m_miniView);
    m_left->addWidget(m_leftPane);

    m_boardView = new CWevraView(document, m_right);
    m_bottomView = new CBottomView(document, m_right);
    m_right->addWidget(m_boardView);
    m_right->addWidget(m_bottomView);

    // The side column and the bottom row keep their sizes when the frame is resized.
    m_outer->setStretchFactor(0, 0);
    m_outer->setStretchFactor(1, 1);
    m_right->setStretchFactor(0, 1);
    m_right->setStretchFactor(1, 0);
    m_left->setStretchFactor(0, 0);
    m_left->setStretchFactor(1, 1);

    m_focusWatch = connect(qApp, &QApplication::focusChanged, this,
                           [this](QWidget*, QWidget* now) { OnFocusChanged(now); });

    m_document.SetViews(this);
    m_boardView->SetOtherViewsUpdate([this] {
        m_leftPane->OnUpdate();
        m_bottomView->OnUpdate();
        m_miniView->OnUpdate();
    });
    // The clipboard commands join the board view's own.
    m_boardView->RegisterCommands(m_boardView->GetCommands());
    m_leftPane->RegisterCommands(m_leftPaneCommands);
    m_boardView->OnInitialUpdate();
    OnTitleChanged(m_document.GetTitle());
    m_activeView = m_boardView;
}

CChildFrame::~CChildFrame()
{
    // The panes go after this part of the frame, and may hand the focus on as they go.
    disconnect(m_focusWatch);
    m_document.SetViews(nullptr);
}

// ---- Layout -------------------------------------------------------------------------------------

void CChildFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_outer->setGeometry(rect());
    if (!m_laidOut && width() > 0 && height() > 0) {
        m_laidOut = true;
        ApplyInitialSizes();
    }
}

void CChildFrame::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        ActivateBoardView();
    }
}

void CChildFrame::ApplyInitialSizes()
{
    const CDocumentFrame& settings = CDocumentFrame::Get();
    const int32_t width = std::max(this->width() - m_outer->handleWidth(), 0);
    const int32_t height = std::max(this->height() - m_right->handleWidth(), 0);
    // A pane the design asked for while it was read or imported, before this frame existed,
    // opens with the frame.
    const CViewState& view = m_document.View();
    const int32_t left = settings.IsLeftPaneSetting() || view.IsLeftPaneShown()
                             ? std::min(initialPaneSize, width)
                             : 0;
    m_outer->setSizes({left, width - left});
    const int32_t bottom = settings.IsBottomPaneSetting() || view.IsBottomPaneShown()
                               ? std::min(initialPaneSize, height)
                               : 0;
    m_right->setSizes({height - bottom, bottom});
    const int32_t overview = std::max(this->height() - m_left->handleWidth(), 0) / 2;
    m_left->setSizes({overview, overview});
}

void CChildFrame::SetOverviewHeight(int32_t height)
{
    int32_t total = Total(m_left->sizes());
    if (total <= 0)
        total = std::max(m_left->height() - m_left->handleWidth(), 0);
    height = std::clamp(height, 0, total);
    m_left->setSizes({height, total - height});
}

bool CChildFrame::ShowBottomPane(bool show)
{
    const QList<int> sizes = m_right->sizes();
    const int32_t total = Total(sizes);
    if (sizes[1] > rememberAbove)
        m_bottomHeight = sizes[1];
    if (show) {
        if (sizes[1] > 0)
            return false;
        const int32_t bottom = std::min(m_bottomHeight, total);
        m_right->setSizes({total - bottom, bottom});
    } else {
        m_right->setSizes({total, 0});
    }
    return true;
}

bool CChildFrame::ShowLeftPane(bool show)
{
    const QList<int> sizes = m_outer->sizes();
    const int32_t total = Total(sizes);
    if (sizes[0] > rememberAbove)
        m_leftWidth = sizes[0];
    if (show) {
        if (sizes[0] > 0)
            return false;
        const int32_t left = std::min(m_leftWidth, total);
        m_outer->setSizes({left, total - left});
    } else {
        if (sizes[0] < 1)
            return false;
        m_outer->setSizes({0, total});
    }
    return true;
}

// ---- Active view --------------------------------------------------------------------------------

void CChildFrame::ActivateBoardView()
{
    m_activeView = m_boardView;
    m_boardView->setFocus(Qt::OtherFocusReason);
}

QWidget* CChildFrame::PaneOf(QWidget* window) const
{
    for (QWidget* pane :
         {static_cast<QWidget*>(m_miniView), static_cast<QWidget*>(m_leftPane),
          static_cast<QWidget*>(m_boardView), static_cast<QWidget*>(m_bottomView)}) {
        if (window && (pane == window || pane->isAncestorOf(window)))
            return pane;
    }
    return nullptr;
}

void CChildFrame::OnFocusChanged(QWidget* now)
{
    if (QWidget* pane = PaneOf(now))
        m_activeView = pane;
}

QWidget* CChildFrame::GetActiveView() const
{
    if (m_activeView)
        return m_activeView;
    QWidget* focus = QApplication::focusWidget();
    return focus && isAncestorOf(focus) ? focus : nullptr;
}

const CCommandTarget* CChildFrame::GetActiveViewCommands() const
{
    const QWidget* view = GetActiveView();
    if (view == m_boardView)
        return &m_boardView->GetCommands();
    if (view == m_leftPane)
        return &m_leftPaneCommands;
    return nullptr;
}

// ---- What the document asks of its windows ------------------------------------------------------

void CChildFrame::EndMode()
{
    m_boardView->GetCommands().Send(ID_END_MODE);
}

void CChildFrame::SendViewCommand(uint32_t id)
{
    m_boardView->GetCommands().Send(id);
}

bool CChildFrame::RedrawBoardView()
{
    m_boardView->Redraw(true);
    m_miniView->update();
    return true;
}

void CChildFrame::RepaintBoardView()
{
    m_boardView->Redraw(false);
    m_miniView->update();
}

void CChildFrame::RedrawLeftPanes(int32_t row)
{
    m_leftPane->OnRedrawCommand(row);
}

void CChildFrame::UpdateAllViews()
{
    m_leftPane->OnUpdate();
    m_bottomView->OnUpdate();
    m_miniView->OnUpdate();
    // The design may have changed under every view: the board is rendered afresh.
    m_boardView->Redraw(true);
}

CSize CChildFrame::GetClientSize() const
{
    const QWidget* client = m_boardView->viewport();
    return CSize(client->width(), client->height());
}

void CChildFrame::OnTitleChanged(const std::string& title)
{
    setWindowTitle(CQtText::FromPath(title));
}

bool CChildFrame::SaveModifiedDesign()
{
    // The question names the file, so it is asked in the file system's encoding.
    std::string name = m_document.GetPathNameRef();
    if (name.empty())
        name = CWindows1252::ToUtf8(CWevraApp::LoadResString(IDS_UNNAMED));
    std::string question = CWindows1252::ToUtf8(CWevraApp::LoadResString(IDS_SAVE_CHANGES));
    if (const size_t at = question.find("%s"); at != std::string::npos)
        question.replace(at, 2, name);
    switch (CServices::Messages().FileMessageBox(
        question, CWindows1252::ToUtf8(CWevraApp::LoadResString(IDS_APP_TITLE)), MB_YESNOCANCEL,
        MB_ICONEXCLAMATION)) {
    case IDYES:
        // Without a way to save, the design stays open rather than being lost.
        return m_save && m_save();
    case IDNO:
        return true;
    default:
        return false;
    }
}
