#pragma once

#include <vector>

#include <QWidget>

#include "framework/CRect.h"

class CGridCtrl;
class QMouseEvent;

// A heading strip beside the cells. Its lines are the grid's rows (row heading) or columns (column
// heading), laid along one axis; its own heading sections lie across them. What both headings do
// alike is written once here, the axis chosen at construction; each heading keeps its own clicks.
class CGridHeading : public QWidget {
    Q_OBJECT

protected:
    enum Sizing { SIZE_NONE, SIZE_LINE, SIZE_HEADING };

    struct Hit {
        int col = -1;
        int row = -1;
        CRect rect;
    };

    CGridHeading(CGridCtrl* grid, int section, bool linesAlongX);

    void paintEvent(QPaintEvent* event) override;

    // Whether the heading of a line is drawn as held by a drag.
    virtual bool IsDragged(int /*line*/) const { return false; }
    // Settles the size of the line a sizing drag has just let go of.
    virtual void EndLineSizing() = 0;

    void RepaintOnChange(int first, int current);
    bool HitCell(const CPoint& point, Hit& hit) const;
    int LClick(const Hit& hit, int down, const CPoint& point);
    // The heading cell a left double click lands on; false when it is none or a border is armed.
    bool DoubleClickHit(QMouseEvent* event, Hit& hit) const;
    bool ArmLineBorder(const CPoint& point);
    bool ArmHeadingBorder(const CPoint& point);
    // Takes the focus for the cells and starts an armed sizing drag; false when none was armed.
    bool BeginSizing(QMouseEvent* event);
    void SizeHeading(const CPoint& point);
    // Ends a sizing drag; false when none was under way.
    bool EndSizing();

    CGridCtrl* m_grid;
    Sizing m_armed = SIZE_NONE;
    bool m_sizing = false;
    int m_sizeIndex = -1;
    int m_startSize = 0;
    int m_startPos = 0;
    int m_startTotal = 0;

private:
    int Along(const CPoint& point) const;
    int Across(const CPoint& point) const;
    int Extent() const;
    int LineCount() const;
    int LockedLines() const;
    int FirstLine() const;
    int LineSize(int line) const;
    bool LineSpan(int line, int& start, int& size) const;
    int HeadingCount() const;
    int HeadingSize(int index) const;
    bool HeadingSpan(int index, int& start, int& size) const;
    std::vector<int>& HeadingSizes() const;
    int& HeadingTotal() const;
    void CellOf(int line, int heading, int& col, int& row) const;

    int m_section;
    bool m_linesAlongX;
    int m_lastFirst = -1;
    int m_lastCurrent = -1;
};
