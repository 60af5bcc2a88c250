#pragma once

#include <QString>
#include <QWidget>

#include "framework/ColorRef.h"

class CGridCtrl;

// The small window that floats beside a scroll bar's thumb while it is dragged.
class CGridHintWnd : public QWidget {
    Q_OBJECT

public:
    // Placement bits of ShowAt.
    static constexpr int kRightAtX = 2;
    static constexpr int kCenterX = 4;
    static constexpr int kBottomAtY = 16;
    static constexpr int kCenterY = 32;

    explicit CGridHintWnd(CGridCtrl* grid);

    void SetText(const QString& text) { m_text = text; }
    const QString& GetText() const { return m_text; }
    void SetPlacement(int bits) { m_placement = bits; }
    // x and y in the grid's coordinates; the window stays inside the grid.
    void ShowAt(int x, int y, int minWidth);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CGridCtrl* m_grid;
    QString m_text;
    COLORREF m_textColor = 0;
    COLORREF m_backColor = 0xE0FFFF;
    int m_placement = 1;
};
