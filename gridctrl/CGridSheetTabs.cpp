#include "gridctrl/CGridSheetTabs.h"

#include <algorithm>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <QStyle>

#include "gridctrl/CGridCtrl.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/GridPaint.h"

namespace {

constexpr int kGrip = 7;
constexpr int kArrowStep = 5;

} // namespace

CGridSheetTabs::CGridSheetTabs(CGridCtrl* grid) : QWidget(grid), m_grid(grid)
{
    setMouseTracking(true);
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setPixelSize(14);
    m_font.setWeight(QFont::Medium);
    m_arrows = new QScrollBar(Qt::Horizontal, this);
    m_arrows->setFocusPolicy(Qt::NoFocus);
    m_arrows->setRange(0, 1);
    connect(m_arrows, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderSingleStepSub)
            ScrollArrow(-1);
        else if (action == QAbstractSlider::SliderSingleStepAdd)
            ScrollArrow(1);
        m_arrows->setSliderPosition(0);
    });
}

int CGridSheetTabs::ArrowSpace() const
{
    return 2 * QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void CGridSheetTabs::RecomputeRange()
{
    int sum = ArrowSpace() - width();
    for (int i = 0; i < m_count; ++i)
        sum += m_widths[i];
    m_range = sum < 1 ? 0 : sum + 20;
    m_offset = std::clamp(m_offset, 0, m_range);
}

void CGridSheetTabs::ScrollArrow(int direction)
{
    if (direction < 0 && m_offset >= 1)
        m_offset = std::max(0, m_offset - kArrowStep);
    else if (direction > 0 && m_offset < m_range - kArrowStep)
        m_offset += kArrowStep;
    update();
}

void CGridSheetTabs::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_arrows->setGeometry(0, 1, ArrowSpace(), std::max(0, height() - 1));
    RecomputeRange();
}

int CGridSheetTabs::TabAt(int x) const
{
    int left = ArrowSpace() - m_offset;
    for (int i = 0; i < m_count; ++i) {
        if (x >= left && x <= left + m_widths[i] + 2)
            return i;
        left += m_widths[i];
    }
    return -1;
}

void CGridSheetTabs::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(GetSysColor(COLOR_BTNFACE)));
    painter.setFont(m_font);
    const QColor face = ToQColor(GetSysColor(COLOR_BTNFACE));
    const QColor shadow = ToQColor(GetSysColor(COLOR_BTNSHADOW));
    auto drawTab = [&](int index, int left) {
        const int w = m_widths[index];
        const QPolygon tab({QPoint(left, 0), QPoint(left + w + 2, 0),
                            QPoint(left + w - 2, height() - 2), QPoint(left + 4, height() - 2)});
        painter.setBrush(index == m_current ? QColor(Qt::white) : face);
        painter.setPen(shadow);
        painter.drawPolygon(tab);
        painter.setPen(Qt::black);
        painter.drawText(QRect(left, 0, w, height()), Qt::AlignCenter, m_labels[index]);
    };
    int left = ArrowSpace() - m_offset;
    int currentLeft = left;
    for (int i = 0; i < m_count; ++i) {
        if (i == m_current)
            currentLeft = left;
        else
            drawTab(i, left);
        left += m_widths[i];
    }
    if (m_current < m_count)
        drawTab(m_current, currentLeft);
    painter.fillRect(QRect(width() - 3, 0, 2, height()), shadow);
}

void CGridSheetTabs::mousePressEvent(QMouseEvent* event)
{
    const int x = int(event->position().x());
    m_grid->GetSheet()->m_lastInputSection = GS_TABS;
    if (event->button() == Qt::RightButton) {
        m_grid->ShowPopupMenu(TabAt(x), 0, event->globalPosition().toPoint(), GS_TABS);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dividerArmed) {
        m_dragging = true;
        return;
    }
    const int tab = TabAt(x);
    if (tab < 0)
        return;
    m_current = tab;
    int left = ArrowSpace() - m_offset;
    for (int i = 0; i < tab; ++i)
        left += m_widths[i];
    if (left - 5 < ArrowSpace())
        m_offset = std::max(0, m_offset - (ArrowSpace() - (left - 5)));
    else if (left + m_widths[tab] + 19 > width())
        m_offset = std::min(m_range, m_offset + left + m_widths[tab] + 19 - width());
    update();
    m_grid->OnSheetTabEvent(m_values[tab]);
}

void CGridSheetTabs::mouseMoveEvent(QMouseEvent* event)
{
    const int x = int(event->position().x());
    if (m_dragging) {
        const int limit = std::max(5, m_grid->width() - 15);
        m_grid->GetSheet()->m_tabWidth = std::clamp(x, 5, limit);
        m_grid->Layout();
        return;
    }
    m_dividerArmed = x > width() - kGrip;
    setCursor(m_dividerArmed ? Qt::SizeHorCursor : Qt::ArrowCursor);
}

void CGridSheetTabs::mouseReleaseEvent(QMouseEvent* /*event*/)
{
    m_dragging = false;
}
