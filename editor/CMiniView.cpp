#include "editor/CMiniView.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QTimer>

#include "document/CDesign.h"
#include "document/COverviewMap.h"
#include "document/CViewState.h"
#include "editor/CChildFrame.h"
#include "framework/Numeric.h"

namespace {

const QColor boardColor(0, 64, 0);
const QColor visibleColor(196, 196, 196);

CPoint ToPoint(const QPoint& point)
{
    return CPoint(point.x(), point.y());
}

} // namespace

CMiniView::CMiniView(const CDesign& design, CViewState& view, QWidget* parent)
    : QWidget(parent), m_design(design), m_view(view)
{
    setMinimumSize(1, 1);
    setAutoFillBackground(true);
}

CChildFrame* CMiniView::Frame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<CChildFrame*>(w))
            return frame;
    }
    return nullptr;
}

int32_t CMiniView::GetDivisor() const
{
    return COverviewMap::Divisor(m_design.GetBoardWidth(), width());
}

void CMiniView::OnUpdate()
{
    KeepProportions();
    update();
}

int32_t CMiniView::WantedHeight() const
{
    return std::max(m_design.GetBoardHeight() / GetDivisor(), 0);
}

void CMiniView::KeepProportions()
{
    if (width() <= COverviewMap::minClientSize || WantedHeight() == height() || m_heightAsked)
        return;
    m_heightAsked = true;
    // Not from inside a resize of this pane: the splitter would resize it again meanwhile.
    QTimer::singleShot(0, this, [this] {
        m_heightAsked = false;
        CChildFrame* frame = Frame();
        if (frame && width() > COverviewMap::minClientSize && WantedHeight() != height())
            frame->SetOverviewHeight(WantedHeight());
    });
}

void CMiniView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    KeepProportions();
}

void CMiniView::paintEvent(QPaintEvent*)
{
    if (width() <= COverviewMap::minClientSize || height() <= COverviewMap::minClientSize)
        return;
    const int32_t divisor = GetDivisor();
    QPainter painter(this);
    painter.fillRect(0, 0, m_design.GetBoardWidth() / divisor, m_design.GetBoardHeight() / divisor,
                     boardColor);

    const CSize view = Frame() ? Frame()->GetClientSize() : CSize();
    const CRect shown =
        COverviewMap::VisibleRect(m_view.GetViewOffset(), view, m_view.GetScale(), divisor);
    painter.fillRect(
        QRect(shown.left, shown.top, SaturateToInt(shown.Width()), SaturateToInt(shown.Height())),
        visibleColor);

    QPolygon marks;
    for (const CPoint& mark : COverviewMap::Marks(m_design.GetNets(), divisor))
        marks << QPoint(mark.x, mark.y);
    painter.setPen(Qt::white);
    painter.drawPoints(marks);
}

void CMiniView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drag = false;
    m_pressed = true;
    m_down = event->position().toPoint();
}

void CMiniView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed && COverviewMap::IsDrag(ToPoint(m_down), ToPoint(event->position().toPoint())))
        m_drag = true;
}

void CMiniView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    const CSize client(width(), height());
    const int32_t divisor =
        COverviewMap::Divisor(m_design.GetBoardWidth(), m_design.GetBoardHeight(), client);
    const COverviewMap::Target target =
        COverviewMap::Aim(ToPoint(m_down), ToPoint(event->position().toPoint()), m_drag, divisor);
    m_drag = false;
    COverviewMap::Apply(m_view, target);
    update();
    if (CChildFrame* frame = Frame())
        frame->ActivateBoardView();
}
