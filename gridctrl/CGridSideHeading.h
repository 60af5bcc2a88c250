#pragma once

#include <QWidget>

#include "framework/CRect.h"

class CGridCtrl;

// The row heading: heading columns left of the cells, sized and clicked by mouse.
class CGridSideHeading : public QWidget {
    Q_OBJECT

public:
    explicit CGridSideHeading(CGridCtrl* grid);

    void Update();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    enum Sizing { SIZE_NONE, SIZE_ROW, SIZE_HEADING_COL };

    bool HitCell(int x, int y, int& col, int& row, CRect& rect) const;
    void CheckBorder(int x, int y);

    CGridCtrl* m_grid;
    int m_lastTopRow = -1;
    int m_lastCurRow = -1;
    Sizing m_armed = SIZE_NONE;
    bool m_sizing = false;
    int m_sizeIndex = -1;
    int m_startSize = 0;
    int m_startPos = 0;
    int m_startTotal = 0;
    int m_uniformK = 0;
};
