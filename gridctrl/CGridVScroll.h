#pragma once

#include <QScrollBar>

class CGridCtrl;

// The vertical scroll bar. Above 1000 rows its range stays 0..1000 and positions are scaled to
// rows; the thumb at its end shows the last rows, never a top row past them.
class CGridVScroll : public QScrollBar {
    Q_OBJECT

public:
    explicit CGridVScroll(CGridCtrl* grid);

    // Refreshes range and position; `force` also when the counts did not change.
    void Update(bool force = false);
    // The top row a thumb position stands for.
    int RowOfPosition(int position) const;
    int PositionOfRow(int row) const;
    // The grid's move code (GM_...) for a scroll bar action; -1 for the thumb.
    static int MoveCode(int action);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnAction(int action);
    void OnMoved(int position);
    void OnReleased();

    CGridCtrl* m_grid;
    int m_lastRows = -1;
    int m_lastLocked = -1;
    int m_lastMode = -1;
    int m_lastTop = -1;
    int m_lastHeight = -1;
    bool m_updating = false;
    int m_trackRow = -1;
};
