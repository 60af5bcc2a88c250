#include "editor/CLeftPane.h"

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CPlacingInfo.h"
#include "document/CPlacingInfoPrintout.h"
#include "document/CPrintoutCommands.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "editor/CChildFrame.h"
#include "editor/CWevraView.h"
#include "framework/CCommandTarget.h"
#include "framework/CPrintout.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentArray.h"
#include "resources/CommandIds.h"

namespace {

const QColor chosenBackground(0, 0, 200);
const QColor ratsnestMark(255, 255, 128);

constexpr int32_t ratsnestMarkWidth = 20;
constexpr int32_t referenceX = 20;
constexpr int32_t typeX = 120;
constexpr int32_t shapeX = 220;

} // namespace

CLeftPane::CLeftPane(CWevraDoc& document, QWidget* parent)
    : CListPane(document, parent),
      m_list(document.Design(), document.Session(), document.View(), document.Windows())
{
    OnUpdate();
}

void CLeftPane::OnUpdate()
{
    m_list.ChooseMode();
    SetRowCount(m_list.GetRowCount());
    SetExtent(listWidth, m_list.GetScrollRows());
    viewport()->update();
}

bool CLeftPane::HasComponentList() const
{
    return m_list.GetMode() == CLeftPaneList::modeComponents &&
           GetDocument().Design().GetComponents().GetCount() > 0;
}

// ---- Painting -----------------------------------------------------------------------------------

void CLeftPane::PaintList(QPainter& painter)
{
    if (!GetDocument().View().IsLeftPaneShown() || !m_list.HasRows())
        return;
    if (m_list.GetMode() == CLeftPaneList::modeNets)
        PaintNets(painter);
    else if (viewport()->height() >= minListHeight)
        PaintComponents(painter);
}

void CLeftPane::PaintComponents(QPainter& painter)
{
    DrawText(painter, referenceX, 0, "Ref.");
    DrawText(painter, typeX, 0, "Type");
    DrawText(painter, shapeX, 0, "Shape");
    const int32_t clientWidth = viewport()->width();
    const int32_t chosen = GetSelection().GetSelected();
    const auto [first, last] = RowsInSight(m_list.GetRowCount());
    for (int32_t row = first; row <= last; ++row) {
        const CLeftPaneList::ComponentRow component = m_list.GetComponentRow(row);
        if (component.ratsnestShown)
            painter.fillRect(0, RowTop(row), ratsnestMarkWidth, rowHeight, ratsnestMark);
        if (row == chosen)
            FillRow(painter, row, chosenBackground);
        painter.setPen(row == chosen ? Qt::white : Qt::black);
        if (component.outsideBoard)
            DrawText(painter, 0, RowTop(row), "+=");
        DrawText(painter, referenceX, RowTop(row), component.reference);
        if (clientWidth > typeX)
            DrawText(painter, typeX, RowTop(row), component.type);
        if (clientWidth > shapeX)
            DrawText(painter, shapeX, RowTop(row), component.shape);
    }
    painter.setPen(Qt::black);
}

void CLeftPane::PaintNets(QPainter& painter)
{
    DrawText(painter, 35, 0, "ToDo", true);
    DrawText(painter, 40, 0, "NetName");
    DrawText(painter, 135, 0, "Pins", true);
    const int32_t chosen = GetSelection().GetSelected();
    const int32_t count = m_list.GetRowCount();
    const auto [first, last] = RowsInSight(count);
    for (int32_t row = first; row <= last; ++row) {
        const CLeftPaneList::NetRow net = m_list.GetNetRow(row);
        if (row == chosen)
            FillRow(painter, row, chosenBackground);
        painter.setPen(row == chosen ? Qt::white : Qt::black);
        DrawText(painter, 35, RowTop(row), net.toDo, true);
        DrawText(painter, 40, RowTop(row), net.name);
        DrawText(painter, 135, RowTop(row), net.pins, true);
    }
    painter.setPen(Qt::black);
    DrawText(painter, 2, RowTop(count), m_list.GetTotalText());
}

// ---- Input --------------------------------------------------------------------------------------

void CLeftPane::OnRowClicked(int32_t row)
{
    m_list.PickRow(row);
}

void CLeftPane::OnRowDoubleClicked(int32_t row)
{
    m_list.CentreOnComponent(row);
}

void CLeftPane::OnKeyDown(uint32_t key)
{
    if (key == VK_RETURN && HasComponentList()) {
        m_list.StartMoveFromPane(GetSelection().GetValidSelected());
        viewport()->update();
    }
}

void CLeftPane::OnKeyUp(uint32_t key)
{
    if (CPaneSelection::IsMoveKey(key) && !GetSelection().IsEmpty())
        m_list.PickRow(GetSelection().GetValidSelected());
}

void CLeftPane::mousePressEvent(QMouseEvent* event)
{
    CListPane::mousePressEvent(event);
    m_draggingRow = false;
    m_pressedRow = -1;
    if (event->button() != Qt::LeftButton || !HasComponentList())
        return;
    m_pressedAt = event->position().toPoint();
    const int32_t row = GetSelection().RowAt(ScrollY(), m_pressedAt.y(), rowHeight);
    if (m_list.IsComponentRow(row))
        m_pressedRow = row;
}

void CLeftPane::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedRow < 0 || (event->buttons() & Qt::LeftButton) == 0)
        return;
    const QPoint at = event->position().toPoint();
    if (!m_draggingRow) {
        if ((at - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
            return;
        m_draggingRow = true;
        m_list.StartMoveFromPane(m_pressedRow);
        viewport()->update();
    }
    QPoint pixel;
    if (CWevraView* board = BoardViewAt(viewport()->mapToGlobal(at), pixel))
        board->DragFromPane(pixel);
}

void CLeftPane::mouseReleaseEvent(QMouseEvent* event)
{
    const bool dropped = m_draggingRow && event->button() == Qt::LeftButton;
    m_draggingRow = false;
    m_pressedRow = -1;
    QPoint pixel;
    if (!dropped)
        return;
    // Let go beside the board, the part goes on hanging until the board takes it.
    if (CWevraView* board =
            BoardViewAt(viewport()->mapToGlobal(event->position().toPoint()), pixel))
        board->DropFromPane(pixel);
}

CWevraView* CLeftPane::BoardViewAt(QPoint global, QPoint& pixel) const
{
    CChildFrame* frame = Frame();
    CWevraView* board = frame != nullptr ? frame->GetBoardView() : nullptr;
    if (board == nullptr)
        return nullptr;
    pixel = board->viewport()->mapFromGlobal(global);
    return board->viewport()->rect().contains(pixel) ? board : nullptr;
}

void CLeftPane::OnVisibilityChanged(bool visible)
{
    // Only a change is told: the document passes it on to the active design window.
    if (visible != GetDocument().View().IsLeftPaneShown())
        GetDocument().Windows().ShowLeftPane(visible);
}

void CLeftPane::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_list.GetMode() != CLeftPaneList::modeComponents)
        return;
    QMenu menu(this);
    QAction* ratsnest = menu.addAction(QStringLiteral("Show &ratsnest"));
    ratsnest->setCheckable(true);
    ratsnest->setChecked(IsCommandChecked(ID_SHOW_RATSNEST));
    ratsnest->setEnabled(IsCommandEnabled(ID_SHOW_RATSNEST));
    ratsnest->setData(ID_SHOW_RATSNEST);
    menu.addSeparator();
    QAction* placingInfo = menu.addAction(QStringLiteral("&Placing Info"));
    placingInfo->setEnabled(IsCommandEnabled(ID_FILE_PLACING_INFO));
    placingInfo->setData(ID_FILE_PLACING_INFO);
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard
                          ? viewport()->mapToGlobal(QPoint(5, 5))
                          : event->globalPos();
    const QAction* chosen = menu.exec(at);
    if (chosen == ratsnest)
        OnCommand(ID_SHOW_RATSNEST);
    else if (chosen == placingInfo)
        OnCommand(ID_FILE_PLACING_INFO);
}

// ---- Commands -----------------------------------------------------------------------------------

bool CLeftPane::IsCommandEnabled(uint32_t id) const
{
    switch (id) {
    case ID_FILE_PLACING_INFO:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        return HasComponentList();
    case ID_SHOW_RATSNEST:
        return HasComponentList() && !GetSelection().IsEmpty();
    default:
        return false;
    }
}

bool CLeftPane::IsCommandChecked(uint32_t id) const
{
    return id == ID_SHOW_RATSNEST && m_list.IsRatsnestShown(GetSelection().GetValidSelected());
}

void CLeftPane::RegisterCommands(CCommandTarget& target)
{
    for (const uint32_t id : {ID_FILE_PLACING_INFO, ID_SHOW_RATSNEST}) {
        target.OnCommand(id, [this, id] { OnCommand(id); });
        target.OnUpdate(id, [this](CCmdUI& ui) {
            ui.Enable(IsCommandEnabled(ui.id));
            ui.SetCheck(IsCommandChecked(ui.id));
        });
    }
    CPrintoutCommands::Register(
        target,
        [this]() -> std::unique_ptr<CPrintout> {
            CWevraDoc& document = GetDocument();
            return std::make_unique<CPlacingInfoPrintout>(
                document.Design(), document.Session(), document.GetDesignName(),
                QCoreApplication::applicationVersion().toStdString());
        },
        [this] { return HasComponentList(); });
}

bool CLeftPane::OnCommand(uint32_t id)
{
    switch (id) {
    case ID_FILE_PLACING_INFO:
        if (IsCommandEnabled(id))
            CPlacingInfo::Write(GetDocument().Design(), GetDocument().Session(),
                                GetDocument().GetDesignFolder(), GetDocument().GetDesignName());
        return true;
    case ID_SHOW_RATSNEST:
        if (m_list.ToggleRatsnest(GetSelection().GetValidSelected()))
            viewport()->update();
        return true;
    default:
        return false;
    }
}
