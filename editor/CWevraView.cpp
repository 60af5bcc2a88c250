#include "editor/CWevraView.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "document/CDesign.h"
#include "document/CDesignExtent.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentNetlist.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CJobPrintout.h"
#include "document/CPinSwapTool.h"
#include "document/CPrintoutCommands.h"
#include "document/CStatusLine.h"
#include "document/CViewCommands.h"
#include "document/CViewDispatch.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CConfig.h"
#include "editor/CMainFrame.h"
#include "editor/CTableCommands.h"
#include "editor/CViewToolTip.h"
#include "editor/CWevraApp.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CClipboardService.h"
#include "framework/CCommandRouter.h"
#include "framework/CCommandTarget.h"
#include "framework/CMessageService.h"
#include "framework/CPrintout.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "framework/Numeric.h"
#include "framework/qt/CQtDeviceContext.h"
#include "framework/qt/CQtImageCopy.h"
#include "framework/qt/CQtKeys.h"
#include "framework/qt/CQtText.h"
#include "model/CComponentArray.h"
#include "model/CComponentDocument.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutputArray.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr COLORREF labelColor = 0x00FFFFFF;
constexpr char readyTip[] = "Ready";

constexpr std::array<uint32_t, 5> tableIds = {CWevraView::componentTable, CWevraView::layerTable,
                                              CWevraView::netlistTable, CWevraView::padStackTable,
                                              CWevraView::shapeTable};

int32_t PixelOf(int32_t board, int32_t offset, int32_t scale)
{
    return SaturateToInt((int64_t(board) + offset) / std::max(scale, 1));
}

void SetPolicy(QAbstractScrollArea& area, bool horizontal, bool shown)
{
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontal && area.horizontalScrollBarPolicy() != policy)
        area.setHorizontalScrollBarPolicy(policy);
    if (!horizontal && area.verticalScrollBarPolicy() != policy)
        area.setVerticalScrollBarPolicy(policy);
}

// Shown while the design is at least as long as the visible stretch; the range then covers
// the design from first to last and the visible stretch from position to position + visible.
bool SetBar(QScrollBar& bar, int64_t first, int64_t last, int64_t position, int64_t visible)
{
    if (last - first < visible)
        return false;
    const QSignalBlocker quiet(bar);
    bar.setRange(SaturateToInt(std::min(first, position)),
                 SaturateToInt(std::max(last - visible, position)));
    bar.setPageStep(SaturateToInt(std::max<int64_t>(visible, 1)));
    bar.setSingleStep(SaturateToInt(std::max<int64_t>(visible / 10, 1)));
    bar.setValue(SaturateToInt(position));
    return true;
}

} // namespace

CWevraView::CWevraView(CWevraDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(document)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(1, 1);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    if (CMainFrame* main = GetMainFrame(); main != nullptr && main->GetConfig() != nullptr)
        m_scrollBarsShown = main->GetConfig()->IsScrollbars();
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(true, action); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(false, action); });
    m_commands = std::make_unique<CViewCommands>(document, *this);
    m_dispatch = std::make_unique<CViewDispatch>(document, *m_commands, *this);
    m_toolTip = std::make_unique<CViewToolTip>();
    m_toolTip->AddToolTip(*viewport(), readyTip);
}

CWevraView::~CWevraView()
{
    for (QPointer<QWidget>& table : m_tables)
        delete table.data();
}

CMainFrame* CWevraView::GetMainFrame()
{
    return dynamic_cast<CMainFrame*>(&CDocumentFrame::Get());
}

// ---- Updates ------------------------------------------------------------------------------------

void CWevraView::OnInitialUpdate()
{
    m_document.SetDesignPath("");
    UpdateScrollBars();
    m_document.Session().SetAction(CEditState::actionWaiting);
    CDocumentFrame::Get().SetStatusText(CWevraApp::LoadResString(IDS_READY));
}

void CWevraView::Redraw(bool full)
{
    if (!full) {
        viewport()->update();
        return;
    }
    if (m_sidePaneRefresh) {
        m_sidePaneRefresh = false;
        CDocumentFrame::Get().ShowLeftPane(true);
        m_document.Windows().RedrawLeftPane(-1);
    }
    // A rebuild is pending already: the paint to come shows this change too.
    if (m_document.Paint().IsBoardDirty())
        return;
    m_document.Paint().SetBoardDirty();
    UpdateScrollBars();
    UpdateOtherViews();
    while (QApplication::overrideCursor() != nullptr &&
           QApplication::overrideCursor()->shape() == Qt::WaitCursor)
        QApplication::restoreOverrideCursor();
    viewport()->update();
}

void CWevraView::OnUpdate(const QWidget* sender, uint32_t hint)
{
    if (sender == this)
        return;
    // The transparency toggle changes every colour drawn, so its id asks for a full redraw.
    if (hint == ID_VIEW_TOGGLE_TRANSPARENT_COLORS)
        Redraw(true);
    else
        viewport()->update();
}

void CWevraView::UpdateOtherViews()
{
    if (m_updateOtherViews)
        m_updateOtherViews();
}

// ---- Status line --------------------------------------------------------------------------------

void CWevraView::WritePane(int32_t pane, const std::string& text) const
{
    if (CMainFrame* main = GetMainFrame())
        main->SetPaneText(pane, text);
}

void CWevraView::UpdateStatusLine()
{
    const auto panes =
        CStatusLine::Format(m_document.Design(), m_document.Session(), m_document.View());
    for (size_t pane = 0; pane < panes.size(); ++pane)
        WritePane(int32_t(pane), panes[pane]);
}

void CWevraView::ShowDesignTime()
{
    WritePane(CStatusLine::designTimePane,
              CStatusLine::FormatDesignTime(m_document.Design().GetDesignTime()));
}

// ---- Scroll bars --------------------------------------------------------------------------------

void CWevraView::SetScrollBarsShown(bool shown)
{
    m_scrollBarsShown = shown;
    UpdateScrollBars();
}

void CWevraView::SetTooltipAtCursor(bool on)
{
    m_tooltipAtCursor = on;
    m_toolTip->Activate(on);
}

void CWevraView::TakeFocus()
{
    setFocus(Qt::OtherFocusReason);
}

void CWevraView::UpdateScrollBars()
{
    if (!m_scrollBarsShown) {
        SetPolicy(*this, true, false);
        SetPolicy(*this, false, false);
        return;
    }
    const QSize client = viewport()->size();
    if (client.width() < 1 || client.height() < 1)
        return;
    // A bar's value is the board coordinate at the window's edge (minus the offset); its range
    // spans the whole design and the part in view, so that every item can be scrolled to and
    // the bar never jumps the view somewhere else.
    const int64_t scale = m_document.View().GetScale();
    const CRect design = CDesignExtent::Of(m_document.Design());
    const CPoint offset = m_document.View().GetViewOffset();
    const bool horizontal = SetBar(*horizontalScrollBar(), design.left, design.right,
                                   -int64_t(offset.x), client.width() * scale);
    const bool vertical = SetBar(*verticalScrollBar(), design.top, design.bottom,
                                 -int64_t(offset.y), client.height() * scale);
    SetPolicy(*this, true, horizontal);
    SetPolicy(*this, false, vertical);
}

void CWevraView::OnScrollAction(bool horizontal, int action)
{
    using Scroll = CViewDispatch::Scroll;
    const QScrollBar& bar = horizontal ? *horizontalScrollBar() : *verticalScrollBar();
    Scroll code = Scroll::other;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = Scroll::lineBack;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = Scroll::lineForward;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = Scroll::pageBack;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = Scroll::pageForward;
        break;
    case QAbstractSlider::SliderMove:
        code = Scroll::track;
        break;
    default:
        break;
    }
    if (code != Scroll::other)
        m_layoutChanged = true;
    m_dispatch->OnScroll(horizontal, code,
                         SaturateToInt(int64_t(bar.value()) - bar.sliderPosition()));
    // The bar's own step is over: it shows where the view went, also while a rebuild is due.
    UpdateScrollBars();
}

void CWevraView::scrollContentsBy(int, int) {}

// ---- Cursor -------------------------------------------------------------------------------------

CPoint CWevraView::CursorPixel() const
{
    const CPoint cursor = m_document.Session().GetCursor();
    const CPoint offset = m_document.View().GetViewOffset();
    const int32_t scale = m_document.View().GetScale();
    return CPoint(PixelOf(cursor.x, offset.x, scale), PixelOf(cursor.y, offset.y, scale));
}

void CWevraView::WarpMouseToCursor()
{
    if (!hasFocus() && !viewport()->hasFocus())
        return;
    const CPoint pixel = CursorPixel();
    QCursor::setPos(viewport()->mapToGlobal(QPoint(pixel.x, pixel.y)));
}

void CWevraView::SaveCursor()
{
    m_savedCursor = m_document.Session().GetCursor();
}

void CWevraView::RestoreCursor()
{
    m_document.Session().SetCursor(m_savedCursor);
    WarpMouseToCursor();
}

bool CWevraView::IsMode(uint32_t mode) const
{
    return m_document.Session().IsMode(mode);
}

bool CWevraView::IsAction(uint32_t action) const
{
    return m_document.Session().IsAction(action);
}

void CWevraView::SetAction(uint32_t action)
{
    m_document.Session().SetAction(action);
}

// ---- Menus --------------------------------------------------------------------------------------

namespace {

QString TooltipText(uint32_t id)
{
    const std::string text = CWevraApp::LoadResString(id);
    const size_t newline = text.find('\n');
    return CQtText::FromDesignText(newline == std::string::npos ? text : text.substr(newline + 1));
}

} // namespace

QAction* CWevraView::AppendMenuItem(QMenu& menu, uint32_t id)
{
    if (id == 0)
        return menu.addSeparator();
    QAction* action = menu.addAction(TooltipText(id));
    action->setData(id);
    return action;
}

void CWevraView::ModifyMenuItem(QMenu& menu, int32_t position, uint32_t id)
{
    const QList<QAction*> actions = menu.actions();
    if (position < 0 || position >= actions.size())
        return;
    QAction* action = actions[position];
    action->setSeparator(id == 0);
    action->setText(id == 0 ? QString() : TooltipText(id));
    action->setData(id);
}

// ---- Table windows ------------------------------------------------------------------------------

QPointer<QWidget>* CWevraView::TableSlot(uint32_t dialogId)
{
    const auto found = std::find(tableIds.begin(), tableIds.end(), dialogId);
    return found == tableIds.end() ? nullptr : &m_tables[size_t(found - tableIds.begin())];
}

QWidget* CWevraView::GetTableWindow(uint32_t dialogId) const
{
    const auto found = std::find(tableIds.begin(), tableIds.end(), dialogId);
    return found == tableIds.end() ? nullptr : m_tables[size_t(found - tableIds.begin())].data();
}

void CWevraView::SetTableWindow(uint32_t dialogId, QWidget* window)
{
    if (QPointer<QWidget>* slot = TableSlot(dialogId)) {
        if (*slot != window)
            delete slot->data();
        *slot = window;
    }
}

bool CWevraView::OnCommand(uint32_t first, uint32_t second)
{
    if (QPointer<QWidget>* slot = TableSlot(first)) {
        if (second == ID_TABLE_CLOSED) {
            setFocus(Qt::OtherFocusReason);
            // The window reports from inside its own handler: it goes once that has returned.
            if (*slot)
                (*slot)->deleteLater();
            *slot = nullptr;
            return true;
        }
        if (second == ID_DRAW_REDRAW) {
            if (first == layerTable)
                m_document.Paint().CreatePens(CPaintState::penKindScreen,
                                              m_document.View().GetScale());
            Redraw(true);
            if (*slot) {
                (*slot)->activateWindow();
                (*slot)->setFocus(Qt::OtherFocusReason);
            }
            return true;
        }
    }
    if (first == ID_DRAW_REDRAW) {
        Redraw(true);
        return true;
    }
    return first == ID_OTHER_NOTHING;
}

// ---- Clipboard ----------------------------------------------------------------------------------

void CWevraView::RegisterCommands(CCommandTarget& target)
{
    // Paste, Copy and Cut join the view's own commands in the same table.
    target.OnCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    target.OnUpdate(ID_EDIT_PASTE, [this](CCmdUI& ui) { ui.Enable(CanPaste()); });
    // There is nothing to copy or cut: a design is pasted whole, never merged.
    target.OnCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    target.OnUpdate(ID_EDIT_COPY, [](CCmdUI& ui) { ui.Enable(false); });
    target.OnCommand(ID_EDIT_CUT, [this] { OnEditCut(); });
    target.OnUpdate(ID_EDIT_CUT, [](CCmdUI& ui) { ui.Enable(false); });
    target.OnCommand(ID_OTHER_DOC_JUST_LOADED, [this] { OnDocJustLoaded(); });
    target.OnCommand(ID_NETLIST_LOAD, [this] { OnNetlistLoad(); });
    target.OnCommand(ID_TOOLS_PINSWAPPING, [this] {
        m_document.Session().SetMode(ID_TOOLS_PINSWAPPING);
        m_dispatch->FollowPinSwapMode();
        Redraw(true);
    });
    target.OnUpdate(ID_TOOLS_PINSWAPPING,
                    [this](CCmdUI& ui) { ui.SetCheck(IsMode(ID_TOOLS_PINSWAPPING)); });
    CTableCommands::Register(target, *this,
                             {m_document.Design(), m_document.Session(), m_document.Link()});
    // The board prints through its output jobs; without a job there is nothing to print, and
    // without one for the printer the print tells the user so.
    CPrintoutCommands::Register(
        target,
        [this]() -> std::unique_ptr<CPrintout> {
            return std::make_unique<CJobPrintout>(m_document.Design(), m_document.Paint(),
                                                  m_document.Planes(), m_document.Windows(),
                                                  m_document.GetDesignName());
        },
        [this] { return m_document.Design().GetOutputJobs().GetCount() > 0; });
}

void CWevraView::OnDocJustLoaded()
{
    if (!m_netlistWatch || !m_document.IsNetlistNewer())
        return;
    std::error_code error;
    const auto written =
        std::filesystem::last_write_time(m_document.Design().GetNetlistPath(), error);
    if (error || written == m_netlistOffered)
        return;
    m_netlistOffered = written;
    if (CServices::Messages().MessageBox("Netlist is Newer, Reload Netlist?",
                                         m_document.GetDesignName(), MB_OKCANCEL,
                                         MB_ICONQUESTION) != IDOK) {
        m_netlistWatch = false;
        return;
    }
    if (CDocumentNetlist(m_document).Reload())
        m_document.Windows().RedrawLeftPane(-1);
}

void CWevraView::OnNetlistLoad()
{
    const std::optional<std::string> chosen = CDocumentNetlist(m_document).ChooseNetlist();
    if (chosen)
        LoadNetlist(*chosen);
}

void CWevraView::LoadNetlist(const std::string& path)
{
    // A netlist the user loads is watched again, also after the offer to reload was declined.
    m_netlistWatch = true;
    m_netlistOffered = {};
    if (CDocumentNetlist(m_document).LoadChosen(path))
        m_document.Windows().RedrawLeftPane(-1);
}

// ---- Mouse and keys -----------------------------------------------------------------------------

namespace {

uint32_t FlagsOf(Qt::KeyboardModifiers modifiers)
{
    uint32_t flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= CViewDispatch::flagShift;
    if (modifiers & Qt::ControlModifier)
        flags |= CViewDispatch::flagControl;
    return flags;
}

} // namespace

void CWevraView::mousePressEvent(QMouseEvent* event)
{
    // The right button's menu comes as a context menu event, which toolkits may send only for
    // a press nobody took.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    // The click acts at the snapped cursor, which the mouse's moves have put there.
    m_dispatch->OnSpaceBarDown(FlagsOf(event->modifiers()));
    UpdatePointer();
}

void CWevraView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_dispatch->OnSpaceBarUp();
}

void CWevraView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint pixel = event->position().toPoint();
    if (QWidget* focus = QApplication::focusWidget();
        focus != nullptr && (focus->inherits("CLeftPane") || focus->inherits("CBottomView"))) {
        TakeFocus();
        m_dispatch->OnFocusFromPane(pixel.x(), pixel.y());
    }
    m_dispatch->OnMouseMove(pixel.x(), pixel.y(), FlagsOf(event->modifiers()));
    UpdatePointer();
}

void CWevraView::DragFromPane(QPoint pixel)
{
    if (m_document.Session().IsAction(CEditState::actionMoveFromPane))
        m_dispatch->OnFocusFromPane(pixel.x(), pixel.y());
    m_dispatch->OnMouseMove(pixel.x(), pixel.y(), 0);
    UpdatePointer();
}

void CWevraView::DropFromPane(QPoint pixel)
{
    DragFromPane(pixel);
    if (!m_document.Session().IsAction(CEditState::actionDragging))
        return;
    TakeFocus();
    m_dispatch->OnSpaceBarDown(0);
    m_dispatch->OnSpaceBarUp();
    UpdatePointer();
}

void CWevraView::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const QPoint angle = event->angleDelta();
    uint32_t flags = FlagsOf(event->modifiers());
    // Some window systems turn Shift+wheel into a sideways turn themselves; a tilted wheel
    // scrolls sideways too.
    int32_t delta = angle.y();
    if (delta == 0 && angle.x() != 0) {
        delta = angle.x();
        if ((flags & CViewDispatch::flagControl) == 0)
            flags |= CViewDispatch::flagShift;
    }
    const QPoint pixel = event->position().toPoint();
    m_layoutChanged = true;
    m_dispatch->OnWheel(pixel.x(), pixel.y(), delta, flags);
    UpdateScrollBars();
}

void CWevraView::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    const uint32_t flags = FlagsOf(event->modifiers());
    if (const uint32_t key = CQtKeys::VirtualKey(*event))
        m_dispatch->OnKeyDown(key, flags);
    else
        m_document.History().GetBackup().NoteActivity();
    const QString text = event->text();
    if (!text.isEmpty()) {
        const std::string character = CQtText::ToDesignText(text.left(1));
        if (character.size() == 1)
            m_dispatch->OnChar(uint8_t(character[0]), event->isAutoRepeat(), flags);
    }
    UpdatePointer();
}

void CWevraView::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    // The repeats of a held space bar come with releases of their own; only the last one
    // ends the click.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        m_dispatch->OnSpaceBarUp();
}

void CWevraView::UpdatePointer()
{
    switch (m_dispatch->GetPointer()) {
    case CViewDispatch::Pointer::crosshair:
        viewport()->setCursor(Qt::CrossCursor);
        break;
    case CViewDispatch::Pointer::move:
        viewport()->setCursor(Qt::SizeAllCursor);
        break;
    case CViewDispatch::Pointer::arrow:
        viewport()->setCursor(Qt::ArrowCursor);
        break;
    }
}

bool CWevraView::EndToolStep()
{
    return m_dispatch->EndToolStep();
}

CSize CWevraView::GetClientSize() const
{
    return CSize(viewport()->width(), viewport()->height());
}

bool CWevraView::SendCommand(uint32_t id)
{
    if (CMainFrame* main = GetMainFrame())
        return main->GetRouter().Execute(id);
    return m_commands->Send(id);
}

void CWevraView::SetToolTipText(const std::string& text)
{
    m_toolTip->SetText(text);
}

void CWevraView::FlashCross(bool diagonal)
{
    m_flashCross = diagonal ? 2 : 1;
    viewport()->repaint();
}

bool CWevraView::CanPaste() const
{
    return CServices::Clipboard().HasFormat(clipboardFormat);
}

void CWevraView::OnEditPaste()
{
    std::optional<std::vector<uint8_t>> data = CServices::Clipboard().GetData(clipboardFormat);
    if (!data)
        return;
    CArchive ar(std::move(*data));
    // The document reads into a design of its own and takes it only when all was read.
    if (!m_document.PasteDesign(ar, CWindows1252::ToUtf8(CWevraApp::LoadResString(IDS_APP_TITLE))))
        return;
    UpdateOtherViews();
    Redraw(true);
}

void CWevraView::OnEditCopy()
{
    try {
        CArchive ar;
        m_document.Serialize(ar);
        CServices::Clipboard().SetData(clipboardFormat, ar.GetBuffer());
    } catch (const CArchiveException& error) {
        CServices::Messages().FileMessageBox(
            error.what(), CWindows1252::ToUtf8(CWevraApp::LoadResString(IDS_APP_TITLE)), MB_OK,
            MB_ICONEXCLAMATION);
    }
}

void CWevraView::OnEditCut()
{
    OnEditCopy();
    m_document.SetModified();
    UpdateOtherViews();
    Redraw(true);
}

// ---- Window events ------------------------------------------------------------------------------

void CWevraView::EnsureBackBuffer()
{
    // As large as the main window, so that growing this pane needs no new buffer.
    const QSize wanted = window()->size().expandedTo(viewport()->size());
    if (!m_backBuffer.isNull() && wanted.width() <= m_backBuffer.width() &&
        wanted.height() <= m_backBuffer.height())
        return;
    m_backBuffer = QImage(wanted, QImage::Format_RGB32);
    m_document.Paint().ForgetPaintedBoard();
    m_document.Paint().SetBoardDirty();
}

void CWevraView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    EnsureBackBuffer();
}

void CWevraView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (isVisible())
        EnsureBackBuffer();
    const QSize client = viewport()->size();
    if (client.width() >= 1 && client.height() >= 1)
        UpdateScrollBars();
    m_layoutChanged = true;
    Redraw(true);
}

void CWevraView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    CDocumentFrame& frame = CDocumentFrame::Get();
    if (m_document.IsShapeDocument()) {
        // Asked once each time the view is made active, not again whenever the focus comes
        // back from the question itself or another message box.
        if (m_askOnFocus && frame.GetEditedShapeLibrary() == nullptr)
            frame.PostCommand(ID_COMPONENTS_EDIT_SHAPE_LIBRARY);
        m_askOnFocus = false;
    } else {
        Redraw(true);
    }
    ShowDesignTime();
}

void CWevraView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    // A modal window or a popup takes the focus for a while; any other window of the program
    // takes this view's turn.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_askOnFocus = true;
    ShowDesignTime();
    m_document.Paint().DeletePens();
    // No release comes to a window that lost the keyboard.
    m_dispatch->CancelCapture();
}

void CWevraView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard)
        OpenContextMenuAtCorner();
    else
        ShowContextMenu(event->globalPos());
}

void CWevraView::OpenContextMenuAtCorner()
{
    constexpr int inset = 5;
    ShowContextMenu(viewport()->mapToGlobal(QPoint(inset, inset)));
}

void CWevraView::ShowContextMenu(const QPoint& global)
{
    const CMainFrame* main = GetMainFrame();
    QMenu menu(this);
    for (const uint32_t id : m_dispatch->BuildContextMenu()) {
        QAction* action = AppendMenuItem(menu, id);
        if (id != 0)
            action->setEnabled(main != nullptr ? main->GetRouter().Query(id).enabled
                                               : m_commands->IsEnabled(id));
    }
    if (QAction* chosen = menu.exec(global); chosen != nullptr && !chosen->isSeparator())
        SendCommand(chosen->data().toUInt());
    WarpMouseToCursor();
}

// ---- Painting -----------------------------------------------------------------------------------

void CWevraView::SetShapePreview(const CShapeLib* library, int32_t shape)
{
    m_previewLibrary = library;
    m_previewShape = shape;
}

void CWevraView::paintEvent(QPaintEvent* event)
{
    if (m_document.Design().GetBoardOutline().GetSize() < 1)
        return;
    const QRect area = event->rect();
    m_repaintRect = CRect(area.left(), area.top(), area.right() + 1, area.bottom() + 1);

    EnsureBackBuffer();
    if (m_document.Paint().IsBoardDirty()) {
        if (!m_layoutChanged && m_warpAfterRepaint)
            WarpMouseToCursor();
        m_layoutChanged = false;
        RenderBoard();
    }

    // The live items are drawn over a copy of the board, so that inverted lines invert the
    // board and nothing else.
    const QSize client = viewport()->size();
    if (m_frame.size() != client)
        m_frame = QImage(client, QImage::Format_RGB32);
    CQtImageCopy::Copy(m_backBuffer, QRect(QPoint(0, 0), client), m_frame, QPoint(0, 0));
    {
        QPainter painter(&m_frame);
        CQtDeviceContext dc(painter);
        DrawOverlays(dc);
    }
    QPainter screen(viewport());
    screen.drawImage(area, m_frame, area);
    ShowDesignTime();
    ReportPadStackErrorLater();
}

void CWevraView::ReportPadStackErrorLater()
{
    if (m_padStackReportPending || !m_document.Design().GetPadStacks().HasPendingError())
        return;
    // A message box would paint the view again from inside this paint.
    m_padStackReportPending = true;
    QTimer::singleShot(0, this, [this] {
        m_padStackReportPending = false;
        m_document.Design().GetEditableShapeCache().GetPadStacks().ReportPendingError();
    });
}

void CWevraView::RenderBoard()
{
    ++m_renderCount;
    {
        QPainter painter(&m_backBuffer);
        CQtDeviceContext dc(painter);
        m_lastRenderWhole = DrawBoardPicture(dc);
    }
#if defined(__SANITIZE_ADDRESS__)
    // The checked build draws every partial picture whole as well: a change that reached the
    // screen without being found would leave stale pixels.
    if (!m_lastRenderWhole && !IsBackBufferWhole()) {
        std::fprintf(stderr, "The board picture drawn again in part differs from the whole one.\n");
        std::abort();
    }
#endif
    UpdateStatusLine();
}

bool CWevraView::DrawBoardPicture(CDeviceContext& dc)
{
    const CFontDesc previous = dc.SelectFont(m_document.Design().GetPinInfoFont());
    const bool whole = m_document.Paint().RedrawBoard(
        dc, &m_backBuffer, CRect(0, 0, m_backBuffer.width(), m_backBuffer.height()),
        backgroundColor, [this](CDeviceContext& target) { DrawOverBoard(target); });
    dc.SelectFont(previous);
    return whole;
}

void CWevraView::DrawOverBoard(CDeviceContext& dc)
{
    if (!m_document.IsShapeDocument() &&
        m_document.Session().IsMode(ID_COMPONENTS_MOVE_ROTATE_TEXT))
        m_document.Design().GetComponents().DrawCurrent(dc);
    if (m_document.Session().IsAutoRatsnest()) {
        m_document.Paint().DrawOtherRatsnest(dc);
        m_document.Paint().DrawNetRatsnest(dc);
    }
}

bool CWevraView::IsBackBufferWhole()
{
    QImage whole(m_backBuffer.size(), m_backBuffer.format());
    {
        QPainter painter(&whole);
        CQtDeviceContext dc(painter);
        dc.FillSolidRect(CRect(0, 0, whole.width(), whole.height()), backgroundColor);
        const CFontDesc previous = dc.SelectFont(m_document.Design().GetPinInfoFont());
        m_document.Paint().DrawBoard(dc);
        DrawOverBoard(dc);
        dc.SelectFont(previous);
    }
    // Only the view's part of the buffer is ever shown.
    const QRect shown(QPoint(0, 0), viewport()->size());
    return whole.copy(shown) == m_backBuffer.copy(shown);
}

void CWevraView::DrawEditedItem(CDeviceContext& dc)
{
    const uint32_t mode = m_document.Session().GetMode();
    const bool dragging = m_document.Session().IsAction(CEditState::actionDragging);
    switch (mode) {
    case ID_COMPONENTS_MOVE_ROTATE_TEXT:
        if (dragging)
            m_document.Design().GetComponents().DrawCurrentText(dc);
        break;
    case ID_TRACKS_ADD_OR_REMOVE_VIA:
    case ID_COMPONENTS_REPLACE_PADS:
    case ID_PADS_REPLACE:
    case ID_PADS_ADD_MANUALLY:
        m_document.Paint().DrawPadAtCursor(dc, true, CComponentDocument::highlightSet);
        break;
    case ID_PADS_COPY:
    case ID_PADS_MOVE:
        if (dragging)
            m_document.Paint().DrawPadAtCursor(dc, true, CComponentDocument::highlightSet);
        break;
    case ID_BOARD_EDIT_TEXT:
    case ID_BOARD_PLACE_TEXT:
        if (dragging) {
            std::array<COLORREF, LAYER_COUNT> highlight{};
            for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
                highlight[size_t(layer)] =
                    m_document.Paint().LayerColor(layer, CComponentDocument::highlightSet);
            const CPoint offset = m_document.View().GetViewOffset();
            m_document.Design().GetTexts().DrawSelected(dc, m_document.Design().GetFont(),
                                                        highlight, offset.x, offset.y,
                                                        m_document.View().GetScale());
        }
        break;
    case ID_TRACKS_EDIT:
    case ID_TRACKS_ADD:
        if (dragging) {
            if (const CNet* net = m_document.Design().GetNets().GetCurrentNet())
                net->DrawEditedRun(dc, m_document.Link());
        }
        break;
    default:
        break;
    }
}

void CWevraView::DrawOverlays(CDeviceContext& dc)
{
    DrawEditedItem(dc);

    if (m_document.Session().GetSelectedCount() > 0) {
        m_document.Paint().DrawSelection(dc);
        const int32_t component = m_document.Session().GetCurrentComponentIndex();
        if (m_document.Design().GetComponents().GetSelectedCount() == 1 && component >= 0)
            m_document.Design().GetNets().DrawComponentRatsnest(dc, component);
    }
    if (const CPinSwapTool* pinSwap = m_dispatch->GetPinSwapTool())
        pinSwap->Draw(dc);
    if (m_document.Session().IsAutoRatsnest())
        m_document.Paint().DrawNetRatsnest(dc);
    const CPoint offset = m_document.View().GetViewOffset();
    const int32_t scale = m_document.View().GetScale();
    m_document.Design().GetNets().DrawErrors(dc, offset.x, offset.y, scale);

    if (m_document.Session().IsRubberBandVisible())
        m_document.Paint().DrawRubberBand(dc);
    if (m_document.View().IsZoomWindowPending())
        m_document.Paint().DrawSecondRubberBand(dc);

    if (m_document.Planes().GetCurrentPlane() != nullptr) {
        m_document.Planes().DrawPlaneOutline(dc, true);
        m_document.Planes().DrawPlaneSeed(dc);
    }

    if (m_previewLibrary != nullptr) {
        const CPoint cursor = m_document.Session().GetCursor();
        m_previewLibrary->DrawShapePreview(dc, m_previewShape,
                                           SaturateToInt(int64_t(cursor.x) + offset.x),
                                           SaturateToInt(int64_t(cursor.y) + offset.y));
    }

    const CPoint pixel = CursorPixel();
    if (m_longCrosshair || m_flashCross == 1)
        DrawCursorCross(dc, pixel.x, pixel.y, false);
    if (m_diagonalCross || m_flashCross == 2)
        DrawCursorCross(dc, pixel.x, pixel.y, true);
    m_flashCross = 0;
}

void CWevraView::DrawCursorCross(CDeviceContext& dc, int32_t x, int32_t y, bool diagonal)
{
    const int32_t width = viewport()->width();
    const int32_t height = viewport()->height();
    const int32_t previousMode = dc.SetROP2(R2_NOT);
    if (diagonal) {
        const int32_t d = std::max(width, height);
        const auto at = [](int64_t a, int64_t b) {
            return CPoint(SaturateToInt(a), SaturateToInt(b));
        };
        dc.MoveTo(at(int64_t(x) - d, int64_t(y) - d));
        dc.LineTo(at(int64_t(x) + d, int64_t(y) + d));
        dc.MoveTo(at(int64_t(x) - d, int64_t(y) + d));
        dc.LineTo(at(int64_t(x) + d, int64_t(y) - d));
    } else {
        dc.MoveTo(CPoint(0, y));
        dc.LineTo(CPoint(width, y));
        dc.MoveTo(CPoint(x, 0));
        dc.LineTo(CPoint(x, height));
    }
    dc.SetROP2(previousMode);

    if (m_tooltipAtCursor && m_document.Session().IsAction(CEditState::actionWaiting))
        DescribeObjectAtCursor(dc, CPoint(x, y));
}

void CWevraView::DescribeObjectAtCursor(CDeviceContext& dc, CPoint pixel)
{
    CNetArray& nets = m_document.Design().GetNets();
    const int32_t before = nets.GetCurrentIndex();
    const CPoint raw = m_document.Session().GetRawCursor();
    if (!nets.GetInfoAt(raw.x, raw.y, m_document.Session().GetSelectableLayerMask()))
        return;
    m_document.View().SetInfoText(nets.GetInfoText());
    UpdateStatusLine();
    const COLORREF color = dc.SetTextColor(labelColor);
    const CDeviceContext::BkMode mode = dc.SetBkMode(CDeviceContext::BkMode::Transparent);
    dc.TextOut(pixel, nets.GetNetName(nets.GetCurrentIndex()));
    dc.SetBkMode(mode);
    dc.SetTextColor(color);
    if (nets.GetCurrentIndex() != before) {
        m_layoutChanged = true;
        Redraw(true);
    }
}
