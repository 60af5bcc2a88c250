#include "editor/CBottomView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CErrorList.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CMainFrame.h"
#include "editor/CWevraView.h"
#include "framework/CResourcePack.h"
#include "framework/VirtualKeys.h"
#include "framework/qt/CQtCommandBinder.h"
#include "framework/qt/CQtText.h"
#include "model/CNetArray.h"

namespace {

const QColor chosenBackground(0, 0, 200);
// Pixels at least between the widest text of a column and the next column.
constexpr int32_t columnGap = 6;

} // namespace

CBottomView::CBottomView(CWevraDoc& document, QWidget* parent) : CListPane(document, parent)
{
    OnUpdate();
}

void CBottomView::OnUpdate()
{
    const int32_t errors = GetDocument().Design().GetNets().GetErrorCount();
    m_mode = errors > 0 ? modeErrors : modeNoErrors;
    SetRowCount(errors);
    SetExtent(listWidth, errors > 0 ? errors + 2 : 0);
    viewport()->update();
}

void CBottomView::PaintList(QPainter& painter)
{
    const int32_t errors = GetDocument().Design().GetNets().GetErrorCount();
    if (m_mode != modeErrors || errors == 0) {
        DrawText(painter, 0, 0, GetDocument().Windows().GetCheckVerdict());
        return;
    }
    const auto [first, last] = RowsInSight(errors);
    std::vector<CErrorList::Columns> rows;
    for (int32_t row = first; row <= last; ++row)
        rows.push_back(CErrorList::RowTexts(GetDocument().Design(), GetDocument().Session(), row));
    const QFontMetrics metrics(painter.font());
    const auto columns = CErrorList::ColumnStarts(
        rows,
        [&metrics](const std::string& text) {
            return int32_t(metrics.horizontalAdvance(CQtText::FromDesignText(text)));
        },
        columnGap);
    for (size_t c = 0; c < columns.size(); ++c)
        DrawText(painter, columns[c], 0, CErrorList::Headings()[c]);
    const int32_t chosen = GetSelection().GetSelected();
    for (int32_t row = first; row <= last; ++row) {
        if (row == chosen)
            FillRow(painter, row, chosenBackground);
        painter.setPen(row == chosen ? Qt::white : Qt::black);
        const CErrorList::Columns& texts = rows[size_t(row - first)];
        for (size_t c = 0; c < columns.size(); ++c)
            DrawText(painter, columns[c], RowTop(row), texts[c]);
    }
    painter.setPen(Qt::black);
}

bool CBottomView::GoToError(int32_t row)
{
    if (m_mode != modeErrors || !GetDocument().View().IsBottomPaneShown())
        return false;
    CWevraDoc& document = GetDocument();
    return CErrorList::GoToError(document.Design(), document.Session(), document.View(),
                                 document.Windows(), row);
}

void CBottomView::OnRowClicked(int32_t row)
{
    if (GoToError(row)) {
        if (CChildFrame* frame = Frame()) {
            frame->ActivateBoardView();
            // The pointer goes with the view to the error, also when the window's layout
            // changed since the last paint (which then does not move it).
            frame->GetBoardView()->WarpMouseToCursor();
        }
    }
}

void CBottomView::OnRowDoubleClicked(int32_t row)
{
    OnRowClicked(row);
}

void CBottomView::OnKeyUp(uint32_t key)
{
    if (key >= VK_PRIOR && key <= VK_DOWN && !GetSelection().IsEmpty())
        GoToError(GetSelection().GetValidSelected());
}

void CBottomView::OnVisibilityChanged(bool visible)
{
    if (visible != GetDocument().View().IsBottomPaneShown())
        GetDocument().Windows().ShowBottomPane(visible);
}

void CBottomView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    CMainFrame* main = CWevraView::GetMainFrame();
    const CMenuItem* menu = CResourcePack::GetCurrent().GetMenu(contextMenu);
    if (main == nullptr || menu == nullptr || menu->items.empty())
        return;
    QMenu popup(this);
    main->GetBinder().AddItems(popup, menu->items.front());
    // From the keyboard the menu opens at the pane's corner, where no pointer may be.
    constexpr int inset = 5;
    popup.exec(event->reason() == QContextMenuEvent::Keyboard
                   ? viewport()->mapToGlobal(QPoint(inset, inset))
                   : event->globalPos());
}
