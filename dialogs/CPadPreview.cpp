#include "dialogs/CPadPreview.h"

#include <algorithm>

#include <QPainter>

#include "framework/CPen.h"
#include "framework/qt/CQtDeviceContext.h"
#include "model/CPadStackArray.h"
#include "model/LayerIds.h"

namespace {

constexpr COLORREF gridColor = RGB(196, 196, 196);
constexpr int32_t gridStep = 25600;
constexpr int32_t fixedGuide = 85;

// Raises the scale until the rectangle, drawn about (cx, cy), lies inside the client.
int32_t FitRect(const CRect& rect, int32_t scale, int32_t cx, int32_t cy, int32_t width,
                int32_t height)
{
    const auto grow = [&scale](auto outside) {
        while (outside(scale))
            scale += CPadPreview::fitStep;
    };
    grow([&](int32_t s) { return rect.left / s + cx < 0; });
    grow([&](int32_t s) { return rect.right / s + cx > width; });
    grow([&](int32_t s) { return rect.top / s + cy < 0; });
    grow([&](int32_t s) { return rect.bottom / s + cy > height; });
    return scale;
}

// The first grid line at or left of the centre that is still positive, then every step.
int32_t FirstLine(int32_t centre, int32_t step)
{
    return centre - ((centre - 1) / step) * step;
}

} // namespace

CPadPreview::CPadPreview(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(120, 120);
}

void CPadPreview::Show(const CPadStackArray* table, int32_t stack, int32_t layer, COLORREF padColor,
                       COLORREF drillColor, bool fixed)
{
    m_table = table;
    m_stack = stack;
    m_layer = layer;
    m_padColor = padColor;
    m_drillColor = drillColor;
    m_fixed = fixed;
    update();
}

int32_t CPadPreview::FitScale(const CPadStackArray& table, int32_t stack, int32_t layer,
                              int32_t width, int32_t height)
{
    const int32_t cx = width / 2;
    const int32_t cy = height / 2;
    int32_t scale = fitScale;
    if (table.GetPad(stack, layer))
        scale = FitRect(table.GetPadRect(stack, layer), scale, cx, cy, width, height);
    if (table.GetPad(stack, LAYER_DRILL))
        scale = FitRect(table.GetPadRect(stack, LAYER_DRILL), scale, cx, cy, width, height);
    return scale;
}

void CPadPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_table)
        return;
    CQtDeviceContext dc(painter);
    const int32_t cx = width() / 2;
    const int32_t cy = height() / 2;
    const CPen grid(CPen::Style::Solid, 1, gridColor);
    if (m_fixed) {
        dc.SelectPen(grid);
        for (const int32_t d : {-fixedGuide, 0, fixedGuide}) {
            dc.MoveTo(CPoint(cx + d, 0));
            dc.LineTo(CPoint(cx + d, height()));
            dc.MoveTo(CPoint(0, cy + d));
            dc.LineTo(CPoint(width(), cy + d));
        }
    }
    const int32_t scale =
        m_fixed ? fixedScale : FitScale(*m_table, m_stack, m_layer, width(), height());
    const struct {
        int32_t layer;
        COLORREF color;
    } pads[] = {{m_layer, m_padColor}, {LAYER_DRILL, m_drillColor}};
    for (const auto& pad : pads) {
        if (!m_table->GetPad(m_stack, pad.layer))
            continue;
        dc.SelectPen(CPen(CPen::Style::Solid, 1, pad.color));
        dc.SelectBrush(CBrush(pad.color));
        m_table->DrawPad(dc, m_stack, pad.layer, cx, cy, 0, scale);
    }
    if (m_fixed)
        return;
    dc.SelectPen(grid);
    const int32_t step = std::max(1, gridStep / scale);
    for (int32_t x = FirstLine(cx, step); x <= width(); x += step) {
        dc.MoveTo(CPoint(x, 0));
        dc.LineTo(CPoint(x, height()));
    }
    for (int32_t y = FirstLine(cy, step); y <= height(); y += step) {
        dc.MoveTo(CPoint(0, y));
        dc.LineTo(CPoint(width(), y));
    }
}
