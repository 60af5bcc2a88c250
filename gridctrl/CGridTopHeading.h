#pragma once

#include <QTimer>
#include <QWidget>

#include "framework/CRect.h"
#include "gridctrl/CGridCell.h"

class CGridCtrl;

// The column heading: heading rows above the cells, sized and clicked by mouse; with the
// column-moving switch on, a column is moved by dragging its heading.
class CGridTopHeading : public QWidget {
    Q_OBJECT

public:
    explicit CGridTopHeading(CGridCtrl* grid);

    void Update();
    int GetDraggedCol() const { return m_dragCol; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    enum Sizing { SIZE_NONE, SIZE_COL, SIZE_HEADING_ROW };

    bool HitCell(int x, int y, int& col, int& row, CRect& rect) const;
    void CheckBorder(int x, int y);
    void DragColumn(int x);
    void AutoScroll();
    void DrawMarker(int x);

    CGridCtrl* m_grid;
    int m_lastLeftCol = -1;
    Sizing m_armed = SIZE_NONE;
    bool m_sizing = false;
    int m_sizeIndex = -1;
    int m_startSize = 0;
    int m_startPos = 0;
    int m_startTotal = 0;
    int m_dragCol = -1;
    int m_dropPos = -1;
    int m_pointerX = 0;
    QTimer m_scrollTimer;
};
