#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CPoint.h"

class CWevraFont;

// What the text list's tool needs of the design that holds it: the tool mode and action code,
// the cursor and anchor, undo snapshots, the modified flag, redrawing, what the Edit Text
// dialog shows, and the font the texts are drawn with. The document implements it.
class CTextArrayDocument {
public:
    // Action codes of the tool.
    static constexpr uint32_t actionWaiting = 1;
    static constexpr uint32_t actionDragging = 2;

    virtual ~CTextArrayDocument() = default;

    // The tool mode: the id of the command that started the tool. Setting it starts that tool
    // (the selection ends, the action waits).
    virtual uint32_t GetMode() const = 0;
    virtual void SetMode(uint32_t mode) = 0;
    virtual uint32_t GetAction() const = 0;
    // Dragging (2) means an undo snapshot is due.
    virtual void SetAction(uint32_t action) = 0;
    virtual int32_t GetWorkLayer() const = 0;
    // The display unit of length texts.
    virtual int32_t GetUnit() const = 0;

    // The snapped cursor, where the tools act; the raw cursor, the mouse position unsnapped;
    // the anchor, where the current drag stands.
    virtual CPoint GetCursor() const = 0;
    virtual void SetCursor(CPoint point) = 0;
    virtual CPoint GetRawCursor() const = 0;
    virtual CPoint GetAnchor() const = 0;
    virtual void SetAnchor(CPoint point) = 0;

    // Called before an edit: a snapshot of the state before it.
    virtual void SaveUndoState() = 0;
    // A snapshot of the state before a drag's first change, when one is due.
    virtual void PushUndoForSelection() = 0;
    virtual void SetModified() = 0;

    // Every board view rebuilds its picture of the board.
    virtual void RedrawBoardViews() = 0;
    // Every board view repaints over its picture of the board (the dragged items and the
    // cursor move; the board itself is unchanged).
    virtual void RepaintBoardViews() = 0;

    // The layer names by layer number, for choosing a text's layer.
    virtual std::vector<std::string> GetLayerNames() const = 0;
    // The stroke font the texts are drawn with, to tell which characters it lacks.
    virtual const CWevraFont& GetFont() const = 0;
};
