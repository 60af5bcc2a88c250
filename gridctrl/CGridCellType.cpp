#include "gridctrl/CGridCellType.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridDataSource.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridPaint.h"

namespace {

const uint8_t kNormalTypeId[16] = {0x57, 0x47, 0x52, 0x44, 0x4e, 0x4f, 0x52, 0x4d,
                                   0x41, 0x4c, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};

// How far a side's border reaches inwards: the thickest of its 1, 2 and 3 pixel bits.
int SideThickness(uint16_t style, uint16_t oneBit)
{
    if (style & (oneBit << 8))
        return 3;
    if (style & (oneBit << 4))
        return 2;
    return (style & oneBit) ? 1 : 0;
}

} // namespace

CGridCellType::CGridCellType() = default;

CGridCellType::~CGridCellType() = default;

QString CGridCellType::GetName() const
{
    return QStringLiteral("Normal Cell Type (default)");
}

const uint8_t* CGridCellType::GetTypeId() const
{
    return kNormalTypeId;
}

int CGridCellType::GetEditRect(CRect& /*rect*/)
{
    return 0;
}

int CGridCellType::OnLClick(int, int, int, const CRect&, CPoint)
{
    return 0;
}

int CGridCellType::OnRClick(int, int, int, const CRect&, CPoint)
{
    return 0;
}

int CGridCellType::OnDClick(int, int, const CRect&, CPoint)
{
    return 0;
}

int CGridCellType::OnKeyDown(int, int, uint32_t*)
{
    return 0;
}

int CGridCellType::OnCharDown(int, int, uint32_t*)
{
    return 0;
}

int CGridCellType::OnMouseMove(int, int, CPoint, int)
{
    return 0;
}

void CGridCellType::OnSetFocus(int, int, CGridCell&) {}

void CGridCellType::OnKillFocus(int, int, CGridCell&) {}

bool CGridCellType::DrawsHighlighted(bool selected, bool current) const
{
    return selected || (current && m_grid != nullptr && m_grid->GetSheet()->m_highlightCurrentCell);
}

void CGridCellType::SelectFont(QPainter& painter, const CGridCell& cell) const
{
    if (const QFont* font = cell.GetFont())
        painter.setFont(*font);
    else if (m_grid != nullptr && m_grid->GetSheet()->m_defFont != nullptr)
        painter.setFont(*m_grid->GetSheet()->m_defFont);
}

void CGridCellType::RedrawCell(int col, int row)
{
    if (m_grid != nullptr)
        m_grid->RedrawCell(col, row);
}

void CGridCellType::OnDraw(QPainter& painter, const CRect& rect, int col, int row, CGridCell& cell,
                           bool selected, bool current)
{
    CRect inner;
    int offset = 0;
    if (m_grid != nullptr && m_grid->GetSheet()->m_textOverflow && CanSpill(cell) &&
        cell.GetTextLength() == 0 && GetSpillOffset(painter, col, row, offset)) {
        DrawBorder(painter, rect, inner, cell);
        int sourceCol = col;
        m_grid->GetSheet()->m_dataSource->FindSpillSource(sourceCol, row);
        CGridCell source;
        m_grid->GetCell(sourceCol, row, source);
        // The running-on text keeps this cell's colours: only its words come from the left.
        CGridCell shown(cell);
        shown.SetText(source.GetText());
        if (const QFont* font = source.GetFont())
            shown.SetFont(font);
        DrawText(painter, inner, offset, col, row, shown, selected, current);
        return;
    }
    DrawBorder(painter, rect, inner, cell);
    DrawText(painter, inner, 0, col, row, cell, selected, current);
}

bool CGridCellType::CanSpill(const CGridCell& cell) const
{
    if (cell.IsPropertySet(GCP_ALIGNMENT))
        return m_maySpill && (cell.GetAlignment() & GA_LEFT);
    if (cell.GetCellTypeParam() != 0 || cell.IsPropertySet(GCP_JOIN))
        return false;
    return m_maySpill != 0;
}

bool CGridCellType::GetSpillOffset(QPainter& painter, int col, int row, int& offset)
{
    if (m_grid == nullptr || col <= 0 || row < 0)
        return false;
    CGridSheetInfo* sheet = m_grid->GetSheet();
    int sourceCol = col;
    if (sheet->m_dataSource->FindSpillSource(sourceCol, row) != 0 || sourceCol >= col)
        return false;
    CGridCell source;
    m_grid->GetCell(sourceCol, row, source);
    painter.save();
    SelectFont(painter, source);
    const int needed =
        painter.fontMetrics().horizontalAdvance(source.GetText()) + sheet->m_textMargin;
    painter.restore();
    const CGridCellType* sourceType = m_grid->GetCellType(source.GetCellTypeIndex());
    if (needed <= m_grid->GetColWidth(sourceCol) || !sourceType->CanSpill(source))
        return false;
    int sum = 0;
    for (int c = sourceCol; c < col; ++c)
        sum += m_grid->GetColWidth(c);
    if (sum >= needed)
        return false;
    offset = int(-sum * m_printScale);
    m_printScale = 1.0;
    return true;
}

void CGridCellType::DrawBorder(QPainter& painter, const CRect& rect, CRect& inner,
                               const CGridCell& cell)
{
    inner = rect;
    const CGridSheetInfo* sheet = m_grid != nullptr ? m_grid->GetSheet() : nullptr;
    const QColor lineColor = cell.GetBorderPen() != nullptr ? cell.GetBorderPen()->color()
                             : sheet != nullptr             ? sheet->m_gridLinePen.color()
                                                            : QColor(220, 220, 220);
    const uint16_t style = cell.GetBorder();
    if (sheet != nullptr && sheet->m_drawGridLines && !(style & 0x3000)) {
        FillRect(painter, CRect(inner.right - 1, inner.top, inner.right, inner.bottom),
                 sheet->m_gridLinePen.color());
        FillRect(painter, CRect(inner.left, inner.bottom - 1, inner.right, inner.bottom),
                 sheet->m_gridLinePen.color());
        inner.right -= 1;
        inner.bottom -= 1;
    }
    const int left = SideThickness(style, 0x1);
    const int top = SideThickness(style, 0x2);
    const int right = SideThickness(style, 0x4);
    const int bottom = SideThickness(style, 0x8);
    FillRect(painter, CRect(inner.left, inner.top, inner.left + left, inner.bottom), lineColor);
    FillRect(painter, CRect(inner.left, inner.top, inner.right, inner.top + top), lineColor);
    FillRect(painter, CRect(inner.right - right, inner.top, inner.right, inner.bottom), lineColor);
    FillRect(painter, CRect(inner.left, inner.bottom - bottom, inner.right, inner.bottom),
             lineColor);
    inner.left += left;
    inner.top += top;
    inner.right -= right;
    inner.bottom -= bottom;
    if (style & 0x3000) {
        const int width = sheet != nullptr ? sheet->m_3DBorderWidth : 1;
        const bool sunken = (style & 0x1000) != 0;
        const QColor shadow = ToQColor(GetSysColor(COLOR_BTNSHADOW));
        const QColor light = ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT));
        const QColor topLeft = sunken ? shadow : light;
        const QColor bottomRight = sunken ? light : shadow;
        for (int i = 0; i < width; ++i) {
            FillRect(painter, CRect(inner.left, inner.top, inner.right, inner.top + 1), topLeft);
            FillRect(painter, CRect(inner.left, inner.top, inner.left + 1, inner.bottom), topLeft);
            FillRect(painter, CRect(inner.left, inner.bottom - 1, inner.right, inner.bottom),
                     bottomRight);
            FillRect(painter, CRect(inner.right - 1, inner.top, inner.right, inner.bottom),
                     bottomRight);
            inner.left += 1;
            inner.top += 1;
            inner.right -= 1;
            inner.bottom -= 1;
        }
    }
}

int CGridCellType::DrawBitmap(QPainter& painter, const CRect& rect, const CGridCell& cell,
                              bool selected, bool current)
{
    const QPixmap* bitmap = cell.GetBitmap();
    if (bitmap == nullptr || bitmap->isNull())
        return 0;
    const int cellHeight = int(rect.Height());
    const int cellWidth = int(rect.Width());
    int height = cellHeight - 4;
    int width =
        bitmap->height() > 0 ? (bitmap->width() * 100 / bitmap->height()) * height / 100 : 0;
    width = std::min(width, cellWidth - 4);
    if (bitmap->height() <= height && bitmap->width() <= cellWidth - 4) {
        height = bitmap->height();
        width = bitmap->width();
    }
    if (width <= 0 || height <= 0)
        return 0;
    const COLORREF back =
        DrawsHighlighted(selected, current) ? cell.GetHBackColor() : cell.GetBackColor();
    FillRect(painter, CRect(rect.left, rect.top, rect.left + width + 4, rect.bottom), back);
    painter.drawPixmap(QRect(rect.left + 2, rect.top + 2, width, height), *bitmap);
    return width + 4;
}

void CGridCellType::DrawText(QPainter& painter, const CRect& rectIn, int xOffset, int /*col*/,
                             int /*row*/, const CGridCell& cell, bool selected, bool current)
{
    CRect rect = rectIn;
    if (rect.IsRectEmpty())
        return;
    const int param = cell.GetCellTypeParam();
    const QString text = (m_useLabel == 0 && param != 8) ? cell.GetText() : cell.GetLabelText();
    painter.save();
    SelectFont(painter, cell);
    const bool highlighted = DrawsHighlighted(selected, current);
    const QColor textColor = ToQColor(highlighted ? cell.GetHTextColor() : cell.GetTextColor());
    const QColor backColor = ToQColor(highlighted ? cell.GetHBackColor() : cell.GetBackColor());
    rect.left += DrawBitmap(painter, rect, cell, selected, current);
    const int margin = m_grid != nullptr ? m_grid->GetSheet()->m_textMargin : 4;
    const QFontMetrics metrics = painter.fontMetrics();
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const uint16_t align = cell.GetAlignment();
    if (xOffset < 0)
        rect.left -= 1;

    int x = rect.left + margin + xOffset;
    if (align & GA_CENTER)
        x = rect.left + (int(rect.Width()) - textWidth) / 2;
    else if (align & GA_RIGHT)
        x = rect.right - margin - textWidth;
    int y = rect.top + 1;
    if (align & GA_VCENTER)
        y = rect.top + (int(rect.Height()) - textHeight) / 2;
    else if (align & GA_BOTTOM)
        y = rect.bottom - textHeight - 1;

    const QRect clip = ToQRect(rect);
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.fillRect(clip, backColor);
    painter.setPen(textColor);
    if (param == 2) {
        QRect wrapRect = clip;
        int flags = Qt::TextWordWrap | Qt::AlignTop;
        if (align & GA_CENTER) {
            flags |= Qt::AlignHCenter;
        } else if (align & GA_RIGHT) {
            flags |= Qt::AlignRight;
            wrapRect.setRight(wrapRect.right() - margin - xOffset);
        } else {
            flags |= Qt::AlignLeft;
            if (align == 0 || (align & GA_LEFT))
                wrapRect.setLeft(wrapRect.left() + margin + xOffset);
        }
        painter.drawText(wrapRect, flags, text);
    } else if (param == 4 && textWidth + 6 > rect.Width()) {
        const int dots = metrics.horizontalAdvance(QStringLiteral("..."));
        const int edge = rect.right - 3 - dots;
        painter.save();
        painter.setClipRect(
            QRect(rect.left + 3, clip.top(), std::max(0, edge - rect.left - 3), clip.height()),
            Qt::IntersectClip);
        painter.drawText(rect.left + 3, y + metrics.ascent(), text);
        painter.restore();
        painter.drawText(std::max(edge + 1, rect.left + 1), y + metrics.ascent(),
                         QStringLiteral("..."));
    } else {
        painter.drawText(x, y + metrics.ascent(), text);
    }
    painter.restore();
}

void CGridCellType::OnPrintDraw(QPainter& painter, const CRect& rect, int col, int row,
                                CGridCell& cell)
{
    if (m_grid == nullptr)
        return;
    const int rowHeight =
        row >= 0 ? m_grid->GetRowHeight(row) : m_grid->GetTopHeadingRowHeight(row);
    if (rowHeight <= 0)
        return;
    m_printScale = double(rect.Height()) / rowHeight;
    int32_t anchor = 0;
    int32_t spanCol = 0;
    int32_t spanRow = 0;
    if (m_grid->GetSheet()->m_joinCells && cell.GetSpan(anchor, spanCol, spanRow) == 0 &&
        anchor != 0 && spanRow > 0)
        m_printScale /= spanRow + 1;
    QFont font = cell.GetFont() != nullptr                  ? *cell.GetFont()
                 : m_grid->GetSheet()->m_defFont != nullptr ? *m_grid->GetSheet()->m_defFont
                                                            : painter.font();
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(font.pixelSize() * m_printScale)));
    else
        font.setPointSizeF(std::max(1.0, font.pointSizeF() * m_printScale));
    CGridCell scaled(cell);
    scaled.SetFont(&font);
    painter.save();
    painter.setFont(font);
    OnDraw(painter, rect, col, row, scaled, false, false);
    painter.restore();
}

void CGridCellType::GetBestSize(QPainter& painter, QSize& size, CGridCell& cell)
{
    if (cell.GetTextLength() == 0) {
        size = QSize(9, 5);
        return;
    }
    painter.save();
    SelectFont(painter, cell);
    const QFontMetrics metrics = painter.fontMetrics();
    size = QSize(metrics.horizontalAdvance(cell.GetText()) + 6, metrics.height() + 2);
    painter.restore();
}
