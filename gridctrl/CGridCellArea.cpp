#include "gridctrl/CGridCellArea.h"

#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "framework/VirtualKeys.h"
#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridCellType.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridDataSource.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridKeys.h"
#include "gridctrl/GridPaint.h"

namespace {

constexpr int kWheelNotch = 120;
constexpr int kRowsPerNotch = 3;

} // namespace

CGridCellArea::CGridCellArea(CGridCtrl* grid) : QWidget(grid), m_grid(grid)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CGridCellArea::SetDoubleBuffer(int on)
{
    m_doubleBuffer = 0;
    m_buffer = QImage();
    if (!on)
        return 0;
    m_buffer = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    if (m_buffer.isNull())
        return 1;
    m_buffer.fill(ToQColor(m_grid->OnGetBackColor(GS_CELLAREA)));
    m_doubleBuffer = 1;
    return 0;
}

void CGridCellArea::SetMarker(const QRect& marker)
{
    if (!m_marker.isEmpty())
        update(m_marker);
    m_marker = marker;
    if (!m_marker.isEmpty())
        update(m_marker);
}

void CGridCellArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_doubleBuffer)
        SetDoubleBuffer(1);
}

void CGridCellArea::paintEvent(QPaintEvent* event)
{
    m_dirty = event->rect();
    if (m_doubleBuffer && !m_buffer.isNull()) {
        QPainter bufferPainter(&m_buffer);
        PaintCells(bufferPainter);
        QPainter painter(this);
        painter.drawImage(0, 0, m_buffer);
    } else {
        QPainter painter(this);
        PaintCells(painter);
    }
    if (!m_marker.isEmpty()) {
        QPainter painter(this);
        painter.fillRect(m_marker, Qt::black);
    }
}

void CGridCellArea::PaintCells(QPainter& painter)
{
    m_grid->OnSectionPainted(GS_CELLAREA);
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (sheet.m_defFont != nullptr)
        painter.setFont(*sheet.m_defFont);
    painter.fillRect(rect(), ToQColor(m_grid->OnGetBackColor(GS_CELLAREA)));
    std::vector<int> cols;
    for (int col = 0; col < sheet.m_numLockCols; ++col)
        cols.push_back(col);
    for (int col = sheet.m_leftCol, x = sheet.m_lockColWidth; col < sheet.m_numCols && x < width();
         ++col) {
        cols.push_back(col);
        x += sheet.m_cols[size_t(col)].width;
    }
    std::vector<int> rows;
    for (int row = 0; row < sheet.m_numLockRows; ++row)
        rows.push_back(row);
    for (int row = sheet.m_topRow, y = sheet.m_lockRowHeight; row < sheet.m_numRows && y < height();
         ++row) {
        rows.push_back(row);
        y += m_grid->GetRowHeight(row);
    }
    // Only the cells under the part being repainted are fetched and drawn.
    m_drawHint.Clear();
    CRect cellRect;
    for (const int row : rows) {
        for (const int col : cols) {
            if (m_grid->GetCellRect(col, row, cellRect) && ToQRect(cellRect).intersects(m_dirty))
                m_drawHint.AddCell(col, row);
        }
    }
    CGridCell cell;
    for (const int row : rows) {
        for (const int col : cols) {
            if (!m_drawHint.IsInBlock(col, row) || !m_grid->GetCellRect(col, row, cellRect))
                continue;
            m_grid->GetCell(col, row, cell);
            const bool current = col == sheet.m_curCol && row == sheet.m_curRow;
            const bool selected = (col == sheet.m_selCol && row == sheet.m_selRow) ||
                                  (sheet.m_highlightRow && row == sheet.m_curRow);
            m_grid->GetCellType(cell.GetCellTypeIndex())
                ->OnDraw(painter, cellRect, col, row, cell, selected, current);
        }
    }
    CRect focus;
    if (m_hasFocus && m_grid->GetCellRect(sheet.m_selCol, sheet.m_selRow, focus))
        m_grid->OnDrawFocusRect(painter, focus);
}

int CGridCellArea::KeyFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) const
{
    int flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= 1;
    if (buttons & Qt::RightButton)
        flags |= 2;
    if (modifiers & Qt::ShiftModifier)
        flags |= 4;
    if (modifiers & Qt::ControlModifier)
        flags |= 8;
    return flags;
}

void CGridCellArea::mousePressEvent(QMouseEvent* event)
{
    if (m_grid->IsEditing())
        return;
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    sheet.m_lastInputSection = GS_CELLAREA;
    const CPoint point = ToCPoint(event->position());
    int col = -1;
    int row = -1;
    CRect cellRect;
    const bool onCell = m_grid->CellFromPoint(point, col, row);
    if (event->button() == Qt::LeftButton) {
        sheet.m_mouseState = CGridSheetInfo::MS_LEFT;
        sheet.m_keyFlags = KeyFlags(event->modifiers(), event->buttons());
        int handled = 0;
        if (onCell) {
            m_grid->MoveToCell(col, row);
            m_grid->GetCellRect(col, row, cellRect);
            CGridCell cell;
            handled = m_grid->FetchCell(col, row, cell)->OnLClick(col, row, 1, cellRect, point);
            m_typeTookMouse = handled != 0;
            m_mouseCol = col;
            m_mouseRow = row;
        }
        m_grid->OnCellClick(col, row, 1, cellRect, point, handled);
        sheet.m_mouseState = CGridSheetInfo::MS_NONE;
    } else if (event->button() == Qt::RightButton) {
        sheet.m_mouseState = CGridSheetInfo::MS_RIGHT;
        sheet.m_keyFlags = KeyFlags(event->modifiers(), event->buttons());
        int handled = 0;
        if (onCell) {
            m_grid->MoveToCell(col, row);
            m_grid->GetCellRect(col, row, cellRect);
            CGridCell cell;
            handled = m_grid->FetchCell(col, row, cell)->OnRClick(col, row, 1, cellRect, point);
        }
        m_grid->OnCellRClick(col, row, 1, cellRect, point, handled);
        sheet.m_mouseState = CGridSheetInfo::MS_NONE;
        if (sheet.m_enablePopupMenu)
            m_grid->ShowPopupMenu(col, row, event->globalPosition().toPoint(), GS_CELLAREA);
    }
}

void CGridCellArea::mouseReleaseEvent(QMouseEvent* event)
{
    const CPoint point = ToCPoint(event->position());
    int col = -1;
    int row = -1;
    CRect cellRect;
    int handled = 0;
    if (m_grid->CellFromPoint(point, col, row)) {
        m_grid->GetCellRect(col, row, cellRect);
        CGridCell cell;
        CGridCellType* type = m_grid->FetchCell(col, row, cell);
        handled = event->button() == Qt::LeftButton ? type->OnLClick(col, row, 0, cellRect, point)
                                                    : type->OnRClick(col, row, 0, cellRect, point);
    }
    if (event->button() == Qt::LeftButton) {
        m_grid->OnCellClick(col, row, 0, cellRect, point, handled);
        m_typeTookMouse = false;
    } else if (event->button() == Qt::RightButton) {
        m_grid->OnCellRClick(col, row, 0, cellRect, point, handled);
    }
}

void CGridCellArea::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_grid->IsEditing())
        return;
    const CPoint point = ToCPoint(event->position());
    int col = -1;
    int row = -1;
    CRect cellRect;
    int handled = 0;
    if (m_grid->CellFromPoint(point, col, row)) {
        m_grid->GetCellRect(col, row, cellRect);
        CGridCell cell;
        handled = m_grid->FetchCell(col, row, cell)->OnDClick(col, row, cellRect, point);
    }
    m_grid->OnCellDoubleClick(col, row, cellRect, point, handled);
}

void CGridCellArea::mouseMoveEvent(QMouseEvent* event)
{
    if (m_grid->IsEditing())
        return;
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    const CPoint point = ToCPoint(event->position());
    const int keyFlags = KeyFlags(event->modifiers(), event->buttons());
    CGridCell cell;
    if (m_typeTookMouse) {
        m_grid->FetchCell(m_mouseCol, m_mouseRow, cell)
            ->OnMouseMove(m_mouseCol, m_mouseRow, point, keyFlags);
        m_grid->OnCellMouseMove(m_mouseCol, m_mouseRow, point, keyFlags, 1);
        return;
    }
    int col = -1;
    int row = -1;
    const bool onCell = m_grid->CellFromPoint(point, col, row);
    int handled = 0;
    if (onCell) {
        m_grid->GetCell(col, row, cell);
        handled =
            m_grid->GetCellType(cell.GetCellTypeIndex())->OnMouseMove(col, row, point, keyFlags);
    }
    m_grid->OnCellMouseMove(col, row, point, keyFlags, handled);
    if (!(event->buttons() & Qt::LeftButton))
        return;
    sheet.m_mouseState = CGridSheetInfo::MS_MOVING;
    if (onCell) {
        // A drag into locked cells scrolls the view back instead of moving into them.
        if (col < sheet.m_numLockCols && sheet.m_leftCol > sheet.m_numLockCols)
            m_grid->MoveLeftCol(sheet.m_numLockCols);
        else if (row < sheet.m_numLockRows && sheet.m_topRow > sheet.m_numLockRows)
            m_grid->MoveTopRow(sheet.m_numLockRows);
        else
            m_grid->MoveToCell(col, row);
    } else {
        if (point.x < 0)
            m_grid->CurrentColAction(GM_BACK);
        else if (point.x >= width())
            m_grid->CurrentColAction(GM_FORWARD);
        if (point.y < 0)
            m_grid->CurrentRowAction(GM_BACK);
        else if (point.y >= height())
            m_grid->CurrentRowAction(GM_FORWARD);
    }
    sheet.m_mouseState = CGridSheetInfo::MS_NONE;
}

void CGridCellArea::keyPressEvent(QKeyEvent* event)
{
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    sheet.m_lastInputSection = GS_CELLAREA;
    uint32_t key = ToVirtualKey(*event);
    CGridCell cell;
    const int col = sheet.m_selCol;
    const int row = sheet.m_selRow;
    CGridCellType* type = m_grid->FetchCell(col, row, cell);
    const int handled = key != 0 ? type->OnKeyDown(col, row, &key) : 0;
    m_grid->OnKeyDown(key, handled);
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    switch (key) {
    case VK_LEFT:
        m_grid->CurrentColAction(GM_BACK);
        break;
    case VK_RIGHT:
        m_grid->CurrentColAction(GM_FORWARD);
        break;
    case VK_UP:
        m_grid->CurrentRowAction(GM_BACK);
        break;
    case VK_DOWN:
        m_grid->CurrentRowAction(GM_FORWARD);
        break;
    case VK_PRIOR:
        m_grid->CurrentRowAction(GM_PAGE_BACK);
        break;
    case VK_NEXT:
        m_grid->CurrentRowAction(GM_PAGE_FORWARD);
        break;
    case VK_HOME:
        ctrl ? m_grid->CurrentRowAction(GM_FIRST) : m_grid->CurrentColAction(GM_FIRST);
        break;
    case VK_END:
        ctrl ? m_grid->CurrentRowAction(GM_LAST) : m_grid->CurrentColAction(GM_LAST);
        break;
    default:
        break;
    }
    for (const QChar ch : event->text())
        CharTyped(ch.unicode());
}

void CGridCellArea::CharTyped(uint32_t ch)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    CGridCell cell;
    const int handled = m_grid->FetchCell(sheet.m_selCol, sheet.m_selRow, cell)
                            ->OnCharDown(sheet.m_selCol, sheet.m_selRow, &ch);
    m_grid->OnCharTyped(ch, handled);
}

void CGridCellArea::wheelEvent(QWheelEvent* event)
{
    m_wheelRest += event->angleDelta().y();
    const int notches = m_wheelRest / kWheelNotch;
    m_wheelRest -= notches * kWheelNotch;
    if (notches != 0)
        m_grid->MoveTopRow(m_grid->GetTopRow() - kRowsPerNotch * notches);
    event->accept();
}

void CGridCellArea::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_hasFocus = true;
    m_grid->RedrawCell(m_grid->GetCurrentCol(), m_grid->GetCurrentRow());
    m_grid->OnSetFocus(GS_CELLAREA);
}

void CGridCellArea::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_hasFocus = false;
    m_grid->RedrawCell(m_grid->GetCurrentCol(), m_grid->GetCurrentRow());
    m_grid->OnKillFocus(GS_CELLAREA);
}

bool CGridCellArea::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    int col = -1;
    int row = -1;
    QString text;
    if (m_grid->GetSheet()->m_toolTips &&
        m_grid->CellFromPoint(CPoint(help->pos().x(), help->pos().y()), col, row) &&
        m_grid->OnHintText(col, row, GS_CELLAREA, text) && !text.isEmpty())
        QToolTip::showText(help->globalPos(), text, this);
    else
        QToolTip::hideText();
    return true;
}

bool CGridCellArea::focusNextPrevChild(bool /*next*/)
{
    // The grid takes every key, Tab included.
    return false;
}
