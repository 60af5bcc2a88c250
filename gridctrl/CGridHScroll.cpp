#include "gridctrl/CGridHScroll.h"

#include <algorithm>

#include <QCursor>
#include <QMouseEvent>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridHintWnd.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/CGridVScroll.h"

namespace {

constexpr int kLiveThumbMode = 1;
constexpr int kHintMinWidth = 20;

} // namespace

CGridHScroll::CGridHScroll(CGridCtrl* grid) : QScrollBar(Qt::Horizontal, grid), m_grid(grid)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, &CGridHScroll::OnAction);
    connect(this, &QAbstractSlider::sliderMoved, this, &CGridHScroll::OnMoved);
    connect(this, &QAbstractSlider::sliderReleased, this, &CGridHScroll::OnReleased);
}

void CGridHScroll::Update(bool force)
{
    if (isSliderDown() && !force)
        return;
    const CGridSheetInfo& sheet = *m_grid->GetSheet();
    m_updating = true;
    const int room = sheet.m_gridWidth - sheet.m_lockColWidth;
    const int page = sheet.m_defColWidth > 0 ? room / sheet.m_defColWidth : 1;
    setRange(0, std::max(0, sheet.m_maxLeftCol - sheet.m_numLockCols));
    setPageStep(std::max(page, 1));
    setValue(sheet.m_leftCol - sheet.m_numLockCols);
    m_updating = false;
}

void CGridHScroll::mousePressEvent(QMouseEvent* event)
{
    m_grid->GetSheet()->m_lastInputSection = GS_HSCROLL;
    if (event->button() == Qt::RightButton) {
        m_grid->ShowPopupMenu(0, 0, event->globalPosition().toPoint(), GS_HSCROLL);
        return;
    }
    if (!m_grid->GetCellArea()->hasFocus() && !m_grid->IsEditing())
        m_grid->GetCellArea()->setFocus(Qt::OtherFocusReason);
    QScrollBar::mousePressEvent(event);
}

void CGridHScroll::OnAction(int action)
{
    if (m_updating)
        return;
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    sheet.m_lastInputSection = GS_HSCROLL;
    const int code = CGridVScroll::MoveCode(action);
    if (code < 0)
        return;
    m_grid->LeftColAction(code);
    m_updating = true;
    setSliderPosition(sheet.m_leftCol - sheet.m_numLockCols);
    m_updating = false;
}

void CGridHScroll::OnMoved(int position)
{
    if (m_updating)
        return;
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    sheet.m_lastInputSection = GS_HSCROLL;
    m_trackCol = sheet.m_numLockCols + position;
    if (sheet.m_hScrollMode == kLiveThumbMode)
        m_grid->MoveLeftCol(m_trackCol);
    if (sheet.m_hScrollHint) {
        QString text;
        m_grid->OnHScrolled(m_trackCol, text);
        CGridHintWnd* hint = m_grid->GetHintWnd();
        hint->SetText(text);
        hint->SetPlacement(CGridHintWnd::kCenterX | CGridHintWnd::kBottomAtY);
        const QPoint pointer = m_grid->mapFromGlobal(QCursor::pos());
        hint->ShowAt(pointer.x(), y() - 1, kHintMinWidth);
    }
}

void CGridHScroll::OnReleased()
{
    m_grid->GetHintWnd()->hide();
    CGridSheetInfo& sheet = *m_grid->GetSheet();
    sheet.m_lastInputSection = GS_HSCROLL;
    m_grid->MoveLeftCol(sheet.m_numLockCols + sliderPosition());
    Update(true);
}
