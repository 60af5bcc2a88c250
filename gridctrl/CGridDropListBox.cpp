#include "gridctrl/CGridDropListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCtrl.h"

CGridDropListBox::CGridDropListBox(CGridCtrl* grid, QWidget* parent, int* openCol, int* openRow,
                                   int typeIndex)
    : QListWidget(parent), m_grid(grid), m_openCol(openCol), m_openRow(openRow),
      m_typeIndex(typeIndex)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
}

void CGridDropListBox::focusInEvent(QFocusEvent* event)
{
    QListWidget::focusInEvent(event);
    m_open = true;
}

void CGridDropListBox::focusOutEvent(QFocusEvent* event)
{
    QListWidget::focusOutEvent(event);
    if (m_closing)
        return;
    if (!m_chosen && m_openCol != nullptr) {
        *m_openCol = -2;
        *m_openRow = -2;
    }
    Close();
}

void CGridDropListBox::Close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_open = false;
    hide();
    deleteLater();
    if (m_grid != nullptr && m_grid->GetCellArea() != nullptr)
        m_grid->RedrawAll();
}

void CGridDropListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (m_openCol != nullptr) {
            *m_openCol = -1;
            *m_openRow = -1;
        }
        Close();
        if (m_grid != nullptr)
            m_grid->setFocus();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentItem() != nullptr && currentItem()->isSelected()) {
            Choose();
        } else {
            Close();
            if (m_grid != nullptr)
                m_grid->setFocus();
        }
        return;
    }
    QListWidget::keyPressEvent(event);
}

void CGridDropListBox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && currentItem() != nullptr)
        Choose();
}

void CGridDropListBox::Choose()
{
    if (m_closing || currentItem() == nullptr || m_openCol == nullptr)
        return;
    m_chosen = true;
    const QString text = currentItem()->text();
    const int col = *m_openCol;
    const int row = *m_openRow;
    if (m_grid != nullptr &&
        m_grid->OnCellTypeEvent(m_typeIndex, col, row, GRID_EVENT_DROPLIST_CHOICE, 0, text) != 0) {
        CGridCell cell;
        m_grid->GetCell(col, row, cell);
        cell.SetText(text);
        m_grid->SetCell(col, row, cell);
        m_grid->RedrawCell(col, row);
    }
    *m_openCol = -1;
    *m_openRow = -1;
    Close();
    if (m_grid != nullptr)
        m_grid->setFocus();
}
