#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include "framework/CPoint.h"
#include "gridctrl/CGridDrawHint.h"

class CGridCtrl;

// The window that shows the cells and turns mouse, keys and wheel into the grid's cursor moves
// and hook calls. Painting a single cell is its cell type's work.
class CGridCellArea : public QWidget {
    Q_OBJECT

public:
    explicit CGridCellArea(CGridCtrl* grid);

    // 1 when the memory bitmap cannot be made (the mode stays off).
    int SetDoubleBuffer(int on);
    bool HasFocusFlag() const { return m_hasFocus; }
    // The sizing and drop marker the headings draw over the cells; an empty one removes it.
    void SetMarker(const QRect& marker);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void PaintCells(QPainter& painter);
    void CharTyped(uint32_t ch);
    int KeyFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) const;

    CGridCtrl* m_grid;
    CGridDrawHint m_drawHint;
    bool m_hasFocus = false;
    bool m_typeTookMouse = false;
    int m_mouseCol = -1;
    int m_mouseRow = -1;
    int m_doubleBuffer = 0;
    QImage m_buffer;
    QRect m_marker;
    QRect m_dirty;
    int m_wheelRest = 0;
};
