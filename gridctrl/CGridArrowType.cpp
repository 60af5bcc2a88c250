#include "gridctrl/CGridArrowType.h"

#include <QPainter>

#include "gridctrl/CGridCell.h"
#include "gridctrl/GridPaint.h"

namespace {

// An arrow of two vertical strokes and a tip, pointing by `dir` (+1 right, -1 left), with its
// strokes at x0 - dir and x0.
void Arrow(QPainter& painter, const QColor& color, int x0, int cy, int dir)
{
    FillRect(painter, CRect(x0 - dir, cy - 3, x0 - dir + 1, cy + 4), color);
    FillRect(painter, CRect(x0, cy - 2, x0 + 1, cy + 3), color);
    FillRect(painter, CRect(x0 + dir, cy - 1, x0 + dir + 1, cy + 2), color);
    FillRect(painter, CRect(x0 + 2 * dir, cy, x0 + 2 * dir + 1, cy + 1), color);
}

} // namespace

CGridArrowType::CGridArrowType()
{
    m_editable = 0;
}

void CGridArrowType::OnDraw(QPainter& painter, const CRect& rect, int, int, CGridCell& cell,
                            bool selected, bool current)
{
    const COLORREF back = selected || current ? cell.GetHBackColor() : cell.GetBackColor();
    FillRect(painter, rect, back);
    if (rect.Width() < 4)
        return;
    const int param = cell.IsPropertySet(GCP_TYPEPARAM) ? cell.GetCellTypeParam() : 16;
    const QColor color = ToQColor(cell.GetTextColor());
    const int cx = rect.left + int(rect.Width()) / 2;
    const int cy = rect.top + int(rect.Height()) / 2;
    if (param == 0 || (param & 16)) {
        Arrow(painter, color, cx, cy, 1);
    } else if (param & 32) {
        Arrow(painter, color, cx, cy, -1);
    } else if (param & 64) {
        Arrow(painter, color, cx + 3, cy, 1);
        Arrow(painter, color, cx - 3, cy, 1);
    } else if (param & 128) {
        Arrow(painter, color, cx - 3, cy, -1);
        Arrow(painter, color, cx + 3, cy, -1);
    }
}
