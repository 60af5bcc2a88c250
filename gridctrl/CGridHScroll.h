#pragma once

#include <QScrollBar>

class CGridCtrl;

// The horizontal scroll bar: one step per column after the locked ones.
class CGridHScroll : public QScrollBar {
    Q_OBJECT

public:
    explicit CGridHScroll(CGridCtrl* grid);

    void Update(bool force = false);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnAction(int action);
    void OnMoved(int position);
    void OnReleased();

    CGridCtrl* m_grid;
    bool m_updating = false;
    int m_trackCol = -1;
};
