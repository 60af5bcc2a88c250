#include "gridctrl/CGridDropListType.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridDropListBox.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridPaint.h"

namespace {

const uint8_t kDropListTypeId[16] = {0x57, 0x47, 0x52, 0x44, 0x44, 0x52, 0x4f, 0x50,
                                     0x4c, 0x49, 0x53, 0x54, 0x00, 0x03, 0x00, 0x00};

} // namespace

CGridDropListType::CGridDropListType()
{
    m_maySpill = 0;
    m_buttonWidth = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

CGridDropListType::~CGridDropListType()
{
    if (m_listBox) {
        m_listBox->Detach();
        delete m_listBox.data();
    }
}

QString CGridDropListType::GetName() const
{
    return QStringLiteral("Standard DropList");
}

const uint8_t* CGridDropListType::GetTypeId() const
{
    return kDropListTypeId;
}

int CGridDropListType::GetEditRect(CRect& rect)
{
    rect.right -= m_buttonWidth + 1;
    return 1;
}

void CGridDropListType::CloseList()
{
    m_openCol = -1;
    m_openRow = -1;
    if (m_listBox) {
        m_listBox->Detach();
        m_listBox->hide();
        m_listBox->deleteLater();
        m_listBox = nullptr;
    }
}

int CGridDropListType::OnLClick(int col, int row, int down, const CRect& rect, CPoint point)
{
    if (!down) {
        if (!m_pressed)
            return 0;
        m_pressed = false;
        RedrawCell(col, row);
        return 1;
    }
    if (point.x > rect.right - m_buttonWidth) {
        const bool openHere = m_listBox && m_openCol == col && m_openRow == row;
        if (!openHere && m_openCol != -2) {
            m_buttonRect = CRect(rect.right - m_buttonWidth, rect.top, rect.right, rect.bottom);
            m_pressed = true;
            m_openCol = col;
            m_openRow = row;
            RedrawCell(col, row);
            OpenList();
            return 1;
        }
        CloseList();
        return 0;
    }
    if (m_openCol == -2) {
        m_openCol = -1;
        m_openRow = -1;
    }
    return 0;
}

int CGridDropListType::OnDClick(int col, int row, const CRect& rect, CPoint point)
{
    if (point.x > rect.right - m_buttonWidth)
        return OnLClick(col, row, 1, rect, point);
    return 0;
}

int CGridDropListType::OnKeyDown(int /*col*/, int /*row*/, uint32_t* key)
{
    if (key == nullptr)
        return 0;
    const bool ctrl = QApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    if (*key == 13 || (*key == 40 && ctrl)) {
        OpenList();
        *key = 0;
        return 1;
    }
    return 0;
}

int CGridDropListType::OnCharDown(int, int, uint32_t* ch)
{
    return ch != nullptr && (*ch == 13 || *ch == 40) ? 1 : 0;
}

int CGridDropListType::OnMouseMove(int col, int row, CPoint point, int /*keyFlags*/)
{
    if (!QApplication::mouseButtons().testFlag(Qt::LeftButton))
        return 1;
    const bool inside = point.x >= m_buttonRect.left && point.x < m_buttonRect.right &&
                        point.y >= m_buttonRect.top && point.y < m_buttonRect.bottom;
    if (inside != m_pressed) {
        m_pressed = inside;
        RedrawCell(col, row);
    }
    return 0;
}

void CGridDropListType::OnKillFocus(int, int, CGridCell&)
{
    m_openCol = -1;
    m_openRow = -1;
}

void CGridDropListType::OnDraw(QPainter& painter, const CRect& rect, int col, int row,
                               CGridCell& cell, bool selected, bool current)
{
    if ((cell.GetCellTypeParam() & kButtonOnCurrentOnly) && !current) {
        CGridCellType::OnDraw(painter, rect, col, row, cell, selected, current);
        return;
    }
    CRect inner;
    DrawBorder(painter, rect, inner, cell);
    CRect button(inner.right - m_buttonWidth, inner.top, inner.right, inner.bottom);
    const QColor face = ToQColor(GetSysColor(COLOR_BTNFACE));
    FillRect(painter, button, face);
    CGridCell frame;
    frame.SetBorder(m_pressed && current ? 0x1000 : 0x2000);
    CRect buttonInner;
    DrawBorder(painter, button, buttonInner, frame);
    FillRect(painter, CRect(button.left - 1, inner.top, button.left, inner.bottom), face);
    const int glyphLeft = button.left + (m_buttonWidth - 5) / 2;
    const int glyphTop = rect.top + (int(rect.Height()) - 3) / 2;
    for (int line = 0; line < 3; ++line)
        FillRect(
            painter,
            CRect(glyphLeft + line, glyphTop + line, glyphLeft + 5 - line, glyphTop + line + 1),
            QColor(Qt::black));
    CRect textRect = inner;
    textRect.right -= m_buttonWidth + 1;
    DrawText(painter, textRect, 0, col, row, cell, selected, current);
}

QStringList CGridDropListType::SplitItems(const QString& label)
{
    QStringList items = label.split(QLatin1Char('\n'));
    items.removeLast();
    return items;
}

CRect CGridDropListType::ListRect(const CRect& cell, int itemCount, int longestItem, int fontHeight,
                                  int areaWidth, int areaHeight)
{
    CRect list;
    list.left = cell.left + 10;
    list.top = cell.bottom;
    list.right = list.left + int(std::max(longestItem, 5) * fontHeight * 0.55);
    list.bottom = list.top + (std::min(itemCount, 15) + 1) * fontHeight + 2;
    if (list.bottom > areaHeight) {
        const int shift = std::min(list.bottom - areaHeight, list.top);
        list.top -= shift;
        list.bottom -= shift;
    }
    if (list.right > areaWidth) {
        const int shift = std::min(list.right - areaWidth, list.left);
        list.left -= shift;
        list.right -= shift;
    }
    return list;
}

int CGridDropListType::OpenList()
{
    CGridCtrl* grid = GetGrid();
    if (grid == nullptr)
        return 0;
    if (m_listBox && m_listBox->IsOpen())
        return 1;
    m_openCol = grid->GetCurrentCol();
    m_openRow = grid->GetCurrentRow();
    grid->OnCellTypeEvent(GetTypeIndex(), m_openCol, m_openRow, GRID_EVENT_DROPLIST_OPEN, 0,
                          QString());
    CGridCell cell;
    grid->GetCell(m_openCol, m_openRow, cell);
    const QStringList items = SplitItems(cell.GetLabelText());
    const QFont* font = cell.GetFont() != nullptr ? cell.GetFont() : grid->GetSheet()->m_defFont;
    const int fontHeight = font != nullptr ? QFontMetrics(*font).height() : 12;
    int longest = 0;
    for (const QString& item : items)
        longest = std::max(longest, int(item.size()));
    CRect cellRect;
    grid->GetCellRect(m_openCol, m_openRow, cellRect);
    QWidget* area = grid->GetCellArea();
    const CRect place =
        ListRect(cellRect, int(items.size()), longest, fontHeight, area->width(), area->height());
    if (m_listBox) {
        m_listBox->Detach();
        m_listBox->deleteLater();
    }
    m_listBox = new CGridDropListBox(grid, area, &m_openCol, &m_openRow, GetTypeIndex());
    if (font != nullptr)
        m_listBox->setFont(*font);
    m_listBox->setGeometry(ToQRect(place));
    m_listBox->addItems(items);
    m_listBox->show();
    m_listBox->setFocus(Qt::PopupFocusReason);
    m_pressed = false;
    RedrawCell(m_openCol, m_openRow);
    return 1;
}
