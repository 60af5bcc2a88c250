#include "gridctrl/CGridEdit.h"

#include <algorithm>

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridDataSource.h"
#include "gridctrl/CGridSheetInfo.h"

CGridEdit::CGridEdit(CGridCtrl* grid) : QPlainTextEdit(grid), m_grid(grid)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setTabChangesFocus(false);
    document()->setDocumentMargin(1);
    connect(this, &QPlainTextEdit::textChanged, this, &CGridEdit::AutoGrow);
}

void CGridEdit::Begin(int cellWidth, int cellHeight)
{
    m_startWidth = cellWidth;
    m_startHeight = cellHeight;
    m_cancelled = false;
    m_continue = false;
    // Whether or not the focus moves (it stays when editing goes on in the next cell), the
    // first key typed replaces the whole text.
    selectAll();
}

bool CGridEdit::IsOneLineHigh() const
{
    return height() <= m_startHeight;
}

void CGridEdit::AutoGrow()
{
    if (!m_autoGrow || m_growing || !isVisible() || m_startWidth <= 0)
        return;
    m_growing = true;
    const QFontMetrics metrics(font());
    const QString text = toPlainText() + QStringLiteral(" X X");
    const int chrome = 2 * frameWidth() + 2 * int(document()->documentMargin()) + 2;
    const QWidget* area = parentWidget();
    const int maxWidth = area != nullptr ? area->width() - x() : m_startWidth;
    const int maxHeight = area != nullptr ? area->height() - y() : m_startHeight;

    // Widen over the following columns first, then grow downwards with the words wrapped.
    int newWidth = m_startWidth;
    const int wanted = metrics.horizontalAdvance(text) + chrome;
    for (int col = m_grid->GetEditCol() + 1; newWidth < wanted && col < m_grid->GetNumberCols();
         ++col)
        newWidth += m_grid->GetColWidth(col);
    newWidth = std::max(m_startWidth, std::min(newWidth, maxWidth));
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, std::max(1, newWidth - chrome), 1 << 20),
                                               Qt::TextWordWrap, text);
    const int newHeight =
        std::max(m_startHeight, std::min(wrapped.height() + chrome, std::max(maxHeight, 1)));
    if (newWidth != width() || newHeight != height())
        resize(newWidth, newHeight);
    m_growing = false;
}

void CGridEdit::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    m_cancelled = false;
    m_continue = false;
    AutoGrow();
    selectAll();
    ensureCursorVisible();
}

void CGridEdit::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    m_grid->EditLostFocus(QApplication::focusWidget(), event->reason());
}

bool CGridEdit::focusNextPrevChild(bool /*next*/)
{
    return false;
}

void CGridEdit::ContinueTo(int colStep, int rowStep)
{
    m_continue = true;
    m_grid->EditKeyEnd(colStep, rowStep, false);
}

void CGridEdit::keyPressEvent(QKeyEvent* event)
{
    m_lastKey = event->key();
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    switch (event->key()) {
    case Qt::Key_Tab:
        ContinueTo(shift ? -1 : 1, 0);
        return;
    case Qt::Key_Backtab:
        ContinueTo(-1, 0);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ContinueTo(0, 1);
        return;
    case Qt::Key_Down:
        if (IsOneLineHigh()) {
            ContinueTo(0, 1);
            return;
        }
        break;
    case Qt::Key_Up:
        if (IsOneLineHigh()) {
            ContinueTo(0, -1);
            return;
        }
        break;
    case Qt::Key_Escape:
        m_cancelled = true;
        m_continue = false;
        m_grid->EditKeyEnd(0, 0, true);
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed[0].isPrint()) {
        uint32_t ch = typed[0].unicode();
        const uint32_t original = ch;
        const int col = m_grid->GetEditCol();
        const int row = m_grid->GetEditRow();
        if (m_grid->GetSheet()->m_dataSource->OnEditKey(col, row, this, ch) == 0 ||
            m_grid->OnEditKey(col, row, this, ch) == 0)
            return;
        if (ch != original) {
            insertPlainText(QString(QChar(char16_t(ch))));
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}
