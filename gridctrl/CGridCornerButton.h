#pragma once

#include <QWidget>

class CGridCtrl;

// Where the two headings meet: shows cell (-1, -1) and sizes both headings by its edges.
class CGridCornerButton : public QWidget {
    Q_OBJECT

public:
    explicit CGridCornerButton(CGridCtrl* grid);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CGridCtrl* m_grid;
    bool m_sizing = false;
    bool m_sizeHeight = false;
    bool m_sizeWidth = false;
};
