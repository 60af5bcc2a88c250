#pragma once

#include <QTimer>

#include "gridctrl/CGridHeading.h"

// The column heading: heading rows above the cells, sized and clicked by mouse; with the
// column-moving switch on, a column is moved by dragging its heading.
class CGridTopHeading : public CGridHeading {
    Q_OBJECT

public:
    explicit CGridTopHeading(CGridCtrl* grid);

    void Update();
    int GetDraggedCol() const { return m_dragCol; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool IsDragged(int line) const override;
    void EndLineSizing() override;

private:
    void CheckBorder(const CPoint& point);
    void DragColumn(int x);
    void AutoScroll();
    void DrawMarker(int x);

    int m_dragCol = -1;
    int m_dropPos = -1;
    int m_pointerX = 0;
    QTimer m_scrollTimer;
};
