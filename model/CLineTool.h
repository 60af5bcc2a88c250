#pragma once

#include <cstdint>
#include <vector>

#include "framework/CPoint.h"
#include "framework/CRect.h"

class CDrawRecArray;
class CToolDocument;

// The Lines menu's tools: drawing and editing the drawn lines with the mouse and the keyboard,
// copying and deleting polylines and segments, giving a polyline the current pen, and adding
// circles, ellipses and rectangles. The drawn-line list owns it; the board view calls its
// handlers while the tool mode is one of its commands, handing over the document with every
// call.
class CLineTool {
public:
    // Context menus: a separator.
    static constexpr uint32_t menuSeparator = 0;
    // Ellipses need half-axes of at least this many units.
    static constexpr int32_t minHalfAxis = 16;

    explicit CLineTool(CDrawRecArray& lines);

    static bool IsLineMode(uint32_t mode);

    // The click or space bar.
    void OnSpaceBarDown(CToolDocument& document);
    void OnChar(CToolDocument& document, uint32_t character);
    void OnKeyDown(CToolDocument& document, uint32_t key);
    void OnMoveCursor(CToolDocument& document);
    // The items of the view's context menu; the first is the default item while editing.
    std::vector<uint32_t> OnContextMenu(CToolDocument& document);
    // Esc, Enter while dragging, and the end-tool command.
    void OnEscape(CToolDocument& document);

    // Figures on the layer with the current pen, selected, the last vertex current. False,
    // adding nothing, when the pen or the layer cannot draw or (ellipse) a half-axis is too
    // short.
    bool AddRectangle(const CRect& box, int32_t layer);
    bool AddEllipse(const CRect& box, int32_t layer);

private:
    bool IsAction(const CToolDocument& document, uint32_t action) const;
    bool IsFigureMode(uint32_t mode) const;
    void StartDraw(CToolDocument& document);
    void StartEdit(CToolDocument& document);
    // The click while drawing: the polyline grows at the current end, or ends.
    void Extend(CToolDocument& document);
    void EndEdit(CToolDocument& document);
    void CopyLines(CToolDocument& document);
    void DeleteLines(CToolDocument& document);
    void DeleteSegment(CToolDocument& document);
    void ChangeLineWidth(CToolDocument& document);
    void AddFigureBySize(CToolDocument& document);
    void CloseFigureBand(CToolDocument& document);
    bool AddFigure(uint32_t mode, const CRect& box, int32_t layer);
    // Deletes the current vertex while editing; its polyline never joins the one before.
    void DeleteCurrentVertex(CToolDocument& document);
    void StepCurrentVertex(CToolDocument& document, bool forward, bool dragging);
    void MoveCurrentToCursor(CToolDocument& document);
    void FollowCursor(CToolDocument& document);

    CDrawRecArray& m_lines;
    CPoint m_dragPrevious;
};
