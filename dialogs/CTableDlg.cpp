#include "dialogs/CTableDlg.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>

#include "dialogs/CTableGrid.h"
#include "document/CHelpTopics.h"
#include "document/CViewCommandHost.h"
#include "resources/CommandIds.h"

namespace {

// The margin around the table and the room for a scroll bar.
constexpr int fitMargin = 7;
constexpr int scrollBarRoom = 24;
// The window frame before the window manager has framed the window.
constexpr int frameWidth = 16;
constexpr int frameHeight = 40;

} // namespace

CTableDlg::CTableDlg(uint32_t dialogId, uint32_t commandId, const QString& title,
                     CViewCommandHost& view, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + commandId, parent), m_dialogId(dialogId),
      m_view(view)
{
    setWindowTitle(title);
    setModal(false);
    setSizeGripEnabled(false);
    // The grid takes every key it is given: help must not depend on the key reaching us.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WidgetWithChildrenShortcut);
    connect(help, &QShortcut::activated, this, [this] { CHelpTopics::Show(GetHelpContext()); });
}

CTableDlg::~CTableDlg() = default;

void CTableDlg::HostGrid(CTableGrid* grid, int32_t placeholderId)
{
    m_grid = grid;
    auto* placeholder = new QWidget(this);
    SetId(*placeholder, placeholderId);
    placeholder->setGeometry(rect());
    SetId(*grid, placeholderId);
    grid->SetDialogId(m_dialogId);
    grid->CreateFromDialogItem(placeholder);
    FitHostToGrid();
}

void CTableDlg::FitHostToGrid()
{
    if (m_grid == nullptr)
        return;
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const QRect free = shown != nullptr ? shown->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    const int maxWidth =
        std::max(1, free.width() - std::max(frame.width(), isVisible() ? 0 : frameWidth));
    const int maxHeight =
        std::max(1, free.height() - std::max(frame.height(), isVisible() ? 0 : frameHeight));

    int width = m_grid->GetTableWidth() + fitMargin;
    int height = m_grid->GetTableHeight() + fitMargin;
    const bool tooHigh = height > maxHeight;
    const bool tooWide = width > maxWidth;
    if (tooHigh)
        width += scrollBarRoom;
    if (tooWide)
        height += scrollBarRoom;
    resize(std::min(width, maxWidth), std::min(height, maxHeight));
    // A hidden window hears of its new size only when it is shown: the grid is laid out now.
    m_grid->setGeometry(rect());
    if (isVisible()) {
        // Keep the whole window on the screen it is on.
        const QRect now = frameGeometry();
        const int x =
            std::clamp(now.x(), free.left(), std::max(free.left(), free.right() + 1 - now.width()));
        const int y =
            std::clamp(now.y(), free.top(), std::max(free.top(), free.bottom() + 1 - now.height()));
        move(x, y);
    }
}

void CTableDlg::resizeEvent(QResizeEvent* event)
{
    CWevraDialog::resizeEvent(event);
    if (m_grid != nullptr)
        m_grid->setGeometry(rect());
}

void CTableDlg::reject()
{
    close();
}

void CTableDlg::closeEvent(QCloseEvent* event)
{
    // The view destroys the window once this handler has returned.
    event->accept();
    m_view.OnCommand(m_dialogId, ID_TABLE_CLOSED);
}
