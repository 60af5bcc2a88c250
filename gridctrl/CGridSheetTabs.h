#pragma once

#include <QString>
#include <QWidget>

class QScrollBar;
class CGridCtrl;

// The sheet tab strip left of the horizontal scroll bar, with its two arrows and the divider
// grip at its right edge that sizes it.
class CGridSheetTabs : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxTabs = 64;

    explicit CGridSheetTabs(CGridCtrl* grid);

    int GetTabCount() const { return m_count; }
    int GetScrollRange() const { return m_range; }
    int GetScrollOffset() const { return m_offset; }
    void ScrollArrow(int direction);
    // The tab under x, or -1.
    int TabAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void RecomputeRange();
    int ArrowSpace() const;

    CGridCtrl* m_grid;
    QString m_labels[kMaxTabs];
    int m_widths[kMaxTabs] = {};
    int m_values[kMaxTabs] = {};
    int m_count = 0;
    int m_current = 0;
    int m_offset = 0;
    int m_range = 0;
    QScrollBar* m_arrows = nullptr;
    QFont m_font;
    bool m_dividerArmed = false;
    bool m_dragging = false;
};
