#include "editor/CListPane.h"

#include <algorithm>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "document/CHelpTopics.h"
#include "editor/CChildFrame.h"
#include "framework/qt/CQtKeys.h"
#include "framework/qt/CQtText.h"

namespace {

// "Verdana" (or the desktop's sans serif) as large as still fits one row.
QFont PaneFont(int32_t rowHeight)
{
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    for (int32_t size = rowHeight; size > 1; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= rowHeight)
            break;
    }
    return font;
}

} // namespace

CListPane::CListPane(CWevraDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(document), m_font(PaneFont(rowHeight))
{
    m_ascent = QFontMetrics(m_font).ascent();
    setFocusPolicy(Qt::StrongFocus);
    // The splitters may shrink a pane to nothing and hide it.
    setMinimumSize(1, 1);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(palette);
    viewport()->setBackgroundRole(QPalette::Base);
}

void CListPane::OnRedrawCommand(int32_t row)
{
    m_selection.SetSelected(row);
    ScrollToSelected();
    viewport()->update();
}

void CListPane::SetExtent(int32_t width, int32_t rows)
{
    m_width = width;
    m_rows = rows;
    UpdateScrollBars();
}

void CListPane::UpdateScrollBars()
{
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_width - client.width()));
    horizontalScrollBar()->setSingleStep(lineStep);
    horizontalScrollBar()->setPageStep(std::max(client.width(), 1));
    verticalScrollBar()->setRange(0, std::max(0, m_rows * rowHeight - client.height()));
    verticalScrollBar()->setSingleStep(rowHeight);
    verticalScrollBar()->setPageStep(pageRows * rowHeight);
}

int32_t CListPane::ScrollY() const
{
    return verticalScrollBar()->value();
}

int32_t CListPane::RowsPerPage() const
{
    return std::max(viewport()->height() / rowHeight, 1);
}

void CListPane::ScrollToSelected()
{
    verticalScrollBar()->setValue(CPaneSelection::ScrollToShow(m_selection.GetSelected(), ScrollY(),
                                                               viewport()->height(), rowHeight));
}

CChildFrame* CListPane::Frame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CChildFrame*>(w))
            return frame;
    }
    return nullptr;
}

void CListPane::FillRow(QPainter& painter, int32_t row, const QColor& color) const
{
    const int32_t right = std::max(m_width, horizontalScrollBar()->value() + viewport()->width());
    painter.fillRect(0, RowTop(row), right, rowHeight, color);
}

void CListPane::DrawText(QPainter& painter, int32_t x, int32_t top, const std::string& text,
                         bool alignRight) const
{
    const QString shown = CQtText::FromDesignText(text);
    if (alignRight)
        x -= QFontMetrics(m_font).horizontalAdvance(shown);
    painter.drawText(x, top + m_ascent, shown);
}

std::pair<int32_t, int32_t> CListPane::RowsInSight(int32_t count) const
{
    const int32_t first = std::max(ScrollY() / rowHeight - 1, 0);
    const int32_t last = std::min((ScrollY() + viewport()->height()) / rowHeight, count - 1);
    return {first, last};
}

bool CListPane::IsInSight() const
{
    // A splitter keeps a pane, or the column holding it, that it shrank to nothing out of its
    // own area.
    for (const QWidget* w = this; w && !w->isWindow(); w = w->parentWidget()) {
        if (w->parentWidget()->rect().intersected(w->geometry()).isEmpty())
            return false;
    }
    return true;
}

void CListPane::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setFont(m_font);
    painter.setPen(Qt::black);
    painter.translate(-horizontalScrollBar()->value(), -ScrollY());
    PaintList(painter);
}

void CListPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int32_t row = ChooseRowAt(event->position().toPoint().y());
    if (row >= 0)
        OnRowClicked(row);
}

int32_t CListPane::ChooseRowAt(int32_t y)
{
    const int32_t row = m_selection.RowAt(ScrollY(), y, rowHeight);
    if (row >= 0) {
        m_selection.Select(row);
        viewport()->update();
    }
    return row;
}

void CListPane::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The row under the pointer, whether or not a press chose it first.
    const int32_t row = ChooseRowAt(event->position().toPoint().y());
    if (row >= 0)
        OnRowDoubleClicked(row);
}

void CListPane::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        CHelpTopics::Show(GetHelpContext());
        return;
    }
    const uint32_t key = CQtKeys::NavigationKey(*event);
    if (key == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (m_selection.MoveByKey(key, RowsPerPage())) {
        ScrollToSelected();
        viewport()->update();
    }
    OnKeyDown(key);
}

void CListPane::keyReleaseEvent(QKeyEvent* event)
{
    const uint32_t key = CQtKeys::NavigationKey(*event);
    if (key == 0 || event->isAutoRepeat()) {
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    OnKeyUp(key);
}

void CListPane::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    // Told after the splitter's layout has ended: the document may lay the frame out again.
    QTimer::singleShot(0, this, [this] {
        if (window()->isVisible())
            OnVisibilityChanged(IsInSight());
    });
}
