#include "dialogs/CShapePreview.h"

#include <algorithm>

#include <QPainter>

#include "framework/CBrush.h"
#include "framework/CPen.h"
#include "framework/ColorRef.h"
#include "framework/Numeric.h"
#include "framework/qt/CQtDeviceContext.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"

namespace {

constexpr double margin = 25600.0; // 0.1 inch around the shape, and the grid step
constexpr int border = 10;         // pixels

} // namespace

CShapePreview::CShapePreview(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(160, 160);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

void CShapePreview::SetShape(const CShapeLib* library, int32_t shape)
{
    m_library = library;
    m_shape = shape;
    update();
}

void CShapePreview::paintEvent(QPaintEvent*)
{
    if (m_library == nullptr || m_library->GetShape(m_shape) == nullptr)
        return;
    const CRect extent = m_library->GetShapeExtent(m_shape);
    const double width = double(extent.right) - extent.left + 2 * margin;
    const double height = double(extent.bottom) - extent.top + 2 * margin;
    // A frame without room draws nothing rather than dividing by its size.
    const int room = std::min(this->width(), this->height()) - 2 * border;
    if (room <= 0)
        return;
    const double scale = std::max(
        {width / (this->width() - 2 * border), height / (this->height() - 2 * border), 0.5});
    const int originX = int((margin - extent.left) / scale + border);
    const int originY = int((margin - extent.top) / scale + border);

    QPainter painter(this);
    // A grid finer than 2 pixels would be a grey area of countless lines.
    const double step = margin / scale;
    if (step >= 2.0) {
        painter.setPen(QColor(196, 196, 196));
        for (double x = originX; x < this->width(); x += step)
            painter.drawLine(int(x), 0, int(x), this->height());
        for (double x = originX - step; x >= 0; x -= step)
            painter.drawLine(int(x), 0, int(x), this->height());
        for (double y = originY; y < this->height(); y += step)
            painter.drawLine(0, int(y), this->width(), int(y));
        for (double y = originY - step; y >= 0; y -= step)
            painter.drawLine(0, int(y), this->width(), int(y));
    }

    CQtDeviceContext dc(painter);
    // The drawing scale is the one setting drawing changes; it is put back below.
    CShapeLib& library = const_cast<CShapeLib&>(*m_library);
    const int32_t previousScale = library.GetScale();
    library.SetScale(SaturateToInt(std::max(int64_t(scale), int64_t(1))));
    const int32_t x = SaturateToInt(int64_t(originX) * library.GetScale());
    const int32_t y = SaturateToInt(int64_t(originY) * library.GetScale());
    dc.SelectPen(CPen(CPen::Style::Solid, 1, RGB(0, 0, 0)));
    library.DrawShape(dc, m_shape, x, y, LAYER_SILK_TOP);
    dc.SelectBrush(CBrush(RGB(255, 0, 0)));
    library.DrawShape(dc, m_shape, x, y, LAYER_BOTTOM);
    dc.SelectBrush(CBrush(RGB(100, 255, 0)));
    library.DrawShape(dc, m_shape, x, y, LAYER_TOP);
    dc.SelectBrush(CBrush(RGB(255, 255, 255)));
    library.DrawShape(dc, m_shape, x, y, LAYER_DRILL);
    library.SetScale(previousScale);

    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRect(QPoint(originX - 4, originY - 4), QPoint(originX + 4, originY + 4)));
    painter.drawLine(originX - 8, originY, originX + 8, originY);
    painter.drawLine(originX, originY - 8, originX, originY + 8);
}
