#include "gridctrl/CGridCheckBoxType.h"

#include <algorithm>

#include <QPainter>

#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/GridPaint.h"

namespace {

const uint8_t kCheckBoxTypeId[16] = {0x57, 0x47, 0x52, 0x44, 0x43, 0x48, 0x45, 0x43,
                                     0x4b, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00};

void Line(QPainter& painter, const QColor& color, int x1, int y1, int x2, int y2)
{
    painter.setPen(QPen(color, 1));
    painter.drawLine(x1, y1, x2, y2);
}

} // namespace

CGridCheckBoxType::CGridCheckBoxType()
{
    m_editable = 0;
    m_maySpill = 0;
    // The text holds the state; the caption beside the box is the label.
    m_useLabel = 1;
}

QString CGridCheckBoxType::GetName() const
{
    return QStringLiteral("Standard CheckBox Type");
}

const uint8_t* CGridCheckBoxType::GetTypeId() const
{
    return kCheckBoxTypeId;
}

CRect CGridCheckBoxType::BoxRect(const CRect& rect, int& size)
{
    size = std::min(int(rect.Height()) - 6, 12);
    const int left = rect.left + 3;
    const int top = rect.top + (int(rect.Height()) - size) / 2;
    return CRect(left, top, left + size, top + size);
}

bool CGridCheckBoxType::IsChecked(const CGridCell& cell)
{
    return cell.GetNumber() > 0;
}

int CGridCheckBoxType::Toggle(int col, int row)
{
    CGridCtrl* grid = GetGrid();
    if (grid == nullptr)
        return 0;
    CGridCell cell;
    grid->GetCell(col, row, cell);
    if (cell.GetReadOnly() != 0)
        return 0;
    const int value = IsChecked(cell) ? 0 : 1;
    cell.SetNumber(value);
    grid->SetCell(col, row, cell);
    RedrawCell(col, row);
    grid->OnCellTypeEvent(GetTypeIndex(), col, row, GRID_EVENT_CHECKBOX, value, QString());
    return 1;
}

int CGridCheckBoxType::OnLClick(int col, int row, int down, const CRect& rect, CPoint point)
{
    if (down)
        return 0;
    int size = 0;
    const CRect box = BoxRect(rect, size);
    // Bounds inclusive: the click on the box's last pixel row still toggles.
    if (point.x < box.left || point.x > box.right || point.y < box.top || point.y > box.bottom)
        return 0;
    return Toggle(col, row);
}

int CGridCheckBoxType::OnDClick(int col, int row, const CRect& rect, CPoint point)
{
    return OnLClick(col, row, 1, rect, point);
}

int CGridCheckBoxType::OnCharDown(int col, int row, uint32_t* ch)
{
    CGridCtrl* grid = GetGrid();
    if (ch == nullptr || *ch != ' ' || grid == nullptr || col != grid->GetCurrentCol() ||
        row != grid->GetCurrentRow())
        return 0;
    return Toggle(col, row);
}

void CGridCheckBoxType::OnDraw(QPainter& painter, const CRect& rect, int col, int row,
                               CGridCell& cell, bool selected, bool current)
{
    CRect inner;
    DrawBorder(painter, rect, inner, cell);
    const bool highlighted = DrawsHighlighted(selected, current);
    FillRect(painter, inner, highlighted ? cell.GetHBackColor() : cell.GetBackColor());
    int size = 0;
    const CRect box = BoxRect(inner, size);
    if (size >= 6) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        const int param = cell.GetCellTypeParam();
        const QColor shadow = ToQColor(GetSysColor(COLOR_BTNSHADOW));
        const QColor light(0xE1, 0xE1, 0xE1);
        const QColor face = ToQColor(GetSysColor(COLOR_BTNFACE));
        const int l = box.left;
        const int t = box.top;
        const int r = box.right - 1;
        const int b = box.bottom - 1;
        FillRect(painter, box, GetSysColor(COLOR_WINDOW));
        if (param & (kSunken | kRaised)) {
            const bool sunken = (param & kSunken) != 0;
            const QColor outerTL = sunken ? shadow : light;
            const QColor outerBR = sunken ? light : QColor(Qt::black);
            const QColor innerTL = sunken ? QColor(Qt::black) : face;
            const QColor innerBR = sunken ? face : shadow;
            Line(painter, outerTL, l, t, r, t);
            Line(painter, outerTL, l, t, l, b);
            Line(painter, outerBR, l, b, r, b);
            Line(painter, outerBR, r, t, r, b);
            Line(painter, innerTL, l + 1, t + 1, r - 1, t + 1);
            Line(painter, innerTL, l + 1, t + 1, l + 1, b - 1);
            Line(painter, innerBR, l + 1, b - 1, r - 1, b - 1);
            Line(painter, innerBR, r - 1, t + 1, r - 1, b - 1);
        } else {
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(l, t, r - l, b - t);
        }
        if (IsChecked(cell)) {
            const int strokes = size > 9 ? 3 : 1;
            for (int i = 0; i < strokes; ++i) {
                if (param & kTick) {
                    const int midX = l + size / 3;
                    Line(painter, Qt::black, l + 2, t + size / 2 + i - 1, midX, b - 2 + i - 1);
                    Line(painter, Qt::black, midX, b - 2 + i - 1, r - 2, t + 2 + i - 1);
                } else {
                    Line(painter, Qt::black, l + 2, t + 2 + i, r - 2, b - 2 - (strokes - 1) + i);
                    Line(painter, Qt::black, l + 2, b - 2 - (strokes - 1) + i, r - 2, t + 2 + i);
                }
            }
        }
        painter.restore();
    }
    CRect textRect = inner;
    textRect.left = rect.left + std::max(size, 0) + 6;
    DrawText(painter, textRect, 0, col, row, cell, selected, current);
}
