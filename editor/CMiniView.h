#pragma once

#include <cstdint>

#include <QPoint>
#include <QWidget>

class CChildFrame;
class CDesign;
class CViewState;

// The overview pane above the side pane: the whole board drawn small, the part the board view
// shows in grey, pins, pads and vias as white dots. A click centres the board view there; a
// dragged rectangle also zooms it to the rectangle. The pane keeps the board's proportions by
// asking its frame for the height that goes with its width.
class CMiniView : public QWidget {
    Q_OBJECT

public:
    CMiniView(const CDesign& design, CViewState& view, QWidget* parent = nullptr);

    // The document changed: the board may have another size.
    void OnUpdate();
    // Board units per pixel at the pane's width.
    int32_t GetDivisor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CChildFrame* Frame() const;
    // The height at which the pane shows the board in its proportions.
    int32_t WantedHeight() const;
    // Asks the frame, after the current event, for that height.
    void KeepProportions();

    const CDesign& m_design;
    CViewState& m_view;
    bool m_drag = false;
    bool m_pressed = false;
    QPoint m_down;
    bool m_heightAsked = false;
};
