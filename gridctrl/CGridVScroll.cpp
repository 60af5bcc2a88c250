#include "gridctrl/CGridVScroll.h"

#include <algorithm>

#include <QCursor>
#include <QMouseEvent>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridHintWnd.h"
#include "gridctrl/CGridSheetInfo.h"

namespace {

// Above this many rows the bar's positions stand for a share of the rows, not for rows.
constexpr int kScaledRows = 1000;
constexpr int kSpinMode = 2;
constexpr int kLiveThumbMode = 1;
constexpr int kHintMinWidth = 40;

} // namespace

CGridVScroll::CGridVScroll(CGridCtrl* grid) : QScrollBar(Qt::Vertical, grid), m_grid(grid)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &CGridVScroll::OnAction);
    connect(this, &QAbstractSlider::sliderMoved, this, &CGridVScroll::OnMoved);
    connect(this, &QAbstractSlider::sliderReleased, this, &CGridVScroll::OnReleased);
}

int CGridVScroll::RowOfPosition(int position) const
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (sheet.m_numRows <= kScaledRows)
        return position;
    const int row = int(int64_t(position) * sheet.m_numRows / kScaledRows);
    // The thumb's end stands for the last row, not the row after it.
    return std::clamp(row, 0, std::max(sheet.m_numRows - 1, 0));
}

int CGridVScroll::PositionOfRow(int row) const
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    if (sheet.m_numRows <= kScaledRows)
        return row;
    return int(int64_t(row) * kScaledRows / sheet.m_numRows);
}

void CGridVScroll::Update(bool force)
{
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    const bool countsChanged =
        sheet.m_numRows != m_lastRows || sheet.m_numLockRows != m_lastLocked ||
        sheet.m_vScrollMode != m_lastMode || sheet.m_gridHeight != m_lastHeight;
    if (!force && !countsChanged && sheet.m_topRow == m_lastTop)
        return;
    m_lastRows = sheet.m_numRows;
    m_lastLocked = sheet.m_numLockRows;
    m_lastMode = sheet.m_vScrollMode;
    m_lastHeight = sheet.m_gridHeight;
    m_lastTop = sheet.m_topRow;
    if (isSliderDown() && !force)
        return;
    m_updating = true;
    if (sheet.m_vScrollMode == kSpinMode) {
        setRange(0, 2);
        setPageStep(0);
        setValue(1);
    } else if (sheet.m_numRows > kScaledRows) {
        setRange(sheet.m_numLockRows > 0 ? PositionOfRow(sheet.m_numLockRows) : 0, kScaledRows);
        setPageStep(1);
        setValue(PositionOfRow(sheet.m_topRow));
    } else {
        const int page = sheet.m_defRowHeight > 0 ? sheet.m_gridHeight / sheet.m_defRowHeight : 1;
        setRange(sheet.m_numLockRows, std::max(sheet.m_numLockRows, sheet.m_maxTopRow));
        setPageStep(std::max(page, 1));
        setValue(sheet.m_topRow);
    }
    m_updating = false;
}

void CGridVScroll::mousePressEvent(QMouseEvent* event)
{
    m_grid->GetSheet()->m_lastInputSection = GS_VSCROLL;
    if (event->button() == Qt::RightButton) {
        m_grid->ShowPopupMenu(0, 0, event->globalPosition().toPoint(), GS_VSCROLL);
        return;
    }
    if (!m_grid->GetCellArea()->hasFocus() && !m_grid->IsEditing())
        m_grid->GetCellArea()->setFocus(Qt::OtherFocusReason);
    QScrollBar::mousePressEvent(event);
}

int CGridVScroll::MoveCode(int action)
{
    switch (action) {
    case SliderSingleStepSub:
        return GM_BACK;
    case SliderSingleStepAdd:
        return GM_FORWARD;
    case SliderPageStepSub:
        return GM_PAGE_BACK;
    case SliderPageStepAdd:
        return GM_PAGE_FORWARD;
    case SliderToMinimum:
        return GM_FIRST;
    case SliderToMaximum:
        return GM_LAST;
    default:
        return -1;
    }
}

void CGridVScroll::OnAction(int action)
{
    if (m_updating)
        return;
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    sheet.m_lastInputSection = GS_VSCROLL;
    const int code = MoveCode(action);
    if (code < 0)
        return;
    m_grid->TopRowAction(code);
    m_updating = true;
    setSliderPosition(sheet.m_vScrollMode == kSpinMode ? 1 : PositionOfRow(sheet.m_topRow));
    m_updating = false;
}

void CGridVScroll::OnMoved(int position)
{
    if (m_updating)
        return;
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    sheet.m_lastInputSection = GS_VSCROLL;
    m_trackRow = RowOfPosition(position);
    if (sheet.m_vScrollMode == kLiveThumbMode)
        m_grid->MoveTopRow(m_trackRow);
    if (sheet.m_vScrollHint) {
        QString text;
        m_grid->OnVScrolled(m_trackRow, text);
        CGridHintWnd* hint = m_grid->GetHintWnd();
        hint->SetText(text);
        hint->SetPlacement(CGridHintWnd::kRightAtX | CGridHintWnd::kCenterY);
        const QPoint pointer = m_grid->mapFromGlobal(QCursor::pos());
        hint->ShowAt(x() - 1, pointer.y(), kHintMinWidth);
    }
}

void CGridVScroll::OnReleased()
{
    m_grid->GetHintWnd()->hide();
    m_grid->GetSheet()->m_lastInputSection = GS_VSCROLL;
    m_grid->MoveTopRow(RowOfPosition(sliderPosition()));
    Update(true);
}
