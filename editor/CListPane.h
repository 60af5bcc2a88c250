#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include <QAbstractScrollArea>
#include <QFont>

#include "document/CPaneSelection.h"

class CChildFrame;
class CWevraDoc;
class QPainter;

// The common part of the side and bottom panes: a scrolled list of text rows of one row height
// below a header row, with a chosen row that the mouse and the keys move, in the pane's own
// font. The panes say what the rows hold and what choosing one does.
class CListPane : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int32_t rowHeight = 14;
    static constexpr int32_t lineStep = 15;
    static constexpr int32_t pageRows = 10;

    CListPane(CWevraDoc& document, QWidget* parent);

    CWevraDoc& GetDocument() const { return m_document; }
    // The help topic of the pane, shown by F1.
    virtual uint32_t GetHelpContext() const = 0;
    const CPaneSelection& GetSelection() const { return m_selection; }

    // The document changed: the list is built again and repainted.
    virtual void OnUpdate() = 0;
    // The hidden Redraw command: the row (negative for none) is shown chosen and scrolled into
    // view.
    void OnRedrawCommand(int32_t row);

protected:
    // The list's extent: its width in pixels and its height in rows.
    void SetExtent(int32_t width, int32_t rows);
    void SetRowCount(int32_t count) { m_selection.SetCount(count); }
    int32_t ScrollY() const;
    // The row under client pixel row y becomes the chosen one; -1 for an empty list.
    int32_t ChooseRowAt(int32_t y);
    void ScrollToSelected();
    // The frame the pane sits in; nullptr when it stands alone.
    CChildFrame* Frame() const;

    // Painting, in list coordinates (the scroll offset is applied by the caller).
    void FillRow(QPainter& painter, int32_t row, const QColor& color) const;
    // Text whose baseline sits in the row that starts at `top`; left-aligned at x, or
    // right-aligned so that it ends at x.
    void DrawText(QPainter& painter, int32_t x, int32_t top, const std::string& text,
                  bool alignRight = false) const;
    int32_t RowTop(int32_t row) const { return (row + 1) * rowHeight; }
    // The first and the last of `count` rows that lie in sight (last < first when none does):
    // a list may hold thousands of rows.
    std::pair<int32_t, int32_t> RowsInSight(int32_t count) const;

    // What the panes do.
    virtual void PaintList(QPainter& painter) = 0;
    virtual void OnRowClicked(int32_t row) = 0;
    virtual void OnRowDoubleClicked(int32_t /*row*/) {}
    // A key went down (after a move key moved the choice) or came up again.
    virtual void OnKeyDown(uint32_t /*key*/) {}
    virtual void OnKeyUp(uint32_t /*key*/) {}
    // The pane's size changed: whether it can be seen now.
    virtual void OnVisibilityChanged(bool /*visible*/) {}

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Whether any of the pane lies within its window.
    bool IsInSight() const;
    void UpdateScrollBars();
    int32_t RowsPerPage() const;

    CWevraDoc& m_document;
    CPaneSelection m_selection;
    QFont m_font;
    int32_t m_ascent = 0;
    int32_t m_width = 0;
    int32_t m_rows = 0;
};
