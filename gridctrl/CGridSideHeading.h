#pragma once

#include "gridctrl/CGridHeading.h"

// The row heading: heading columns left of the cells, sized and clicked by mouse.
class CGridSideHeading : public CGridHeading {
    Q_OBJECT

public:
    explicit CGridSideHeading(CGridCtrl* grid);

    void Update();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void EndLineSizing() override;

private:
    void CheckBorder(const CPoint& point);

    int m_uniformK = 0;
};
