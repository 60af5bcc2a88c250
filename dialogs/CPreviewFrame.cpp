#include "dialogs/CPreviewFrame.h"

#include <utility>

#include <QPainter>

#include "framework/qt/CQtDeviceContext.h"

CPreviewFrame::CPreviewFrame(Painter painter, QColor background, QWidget* parent)
    : QFrame(parent), m_painter(std::move(painter)), m_background(background)
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setMinimumSize(200, 150);
}

void CPreviewFrame::paintEvent(QPaintEvent* event)
{
    const QRect area = contentsRect();
    {
        QPainter painter(this);
        painter.fillRect(area, m_background);
        painter.setClipRect(area);
        painter.translate(area.topLeft());
        CQtDeviceContext dc(painter);
        m_painter(dc, area.width(), area.height());
    }
    QFrame::paintEvent(event);
}
