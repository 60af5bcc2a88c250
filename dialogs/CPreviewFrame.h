#pragma once

#include <functional>

#include <QColor>
#include <QFrame>

class CDeviceContext;

// A framed area that a page paints a picture of the board into: on every paint the area is
// cleared to its background and the painter is called with the area's width and height in
// pixels.
class CPreviewFrame : public QFrame {
    Q_OBJECT

public:
    using Painter = std::function<void(CDeviceContext& dc, int width, int height)>;

    CPreviewFrame(Painter painter, QColor background, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter m_painter;
    QColor m_background;
};
