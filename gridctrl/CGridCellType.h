#pragma once

#include <cstdint>

#include <QSize>
#include <QString>

#include "framework/CPoint.h"
#include "framework/CRect.h"

class QPainter;
class CGridCell;
class CGridCtrl;

// Draws a cell and handles its mouse and keys; chosen per cell by the cell's type index. This
// base is the normal type: a bordered text. Mouse and key operations answer non-zero when they
// handled the event.
class CGridCellType {
public:
    CGridCellType();
    virtual ~CGridCellType();

    virtual QString GetName() const;
    // 16 bytes, distinct per type.
    virtual const uint8_t* GetTypeId() const;
    // Where the in-cell edit goes; 0 leaves the rectangle as it is.
    virtual int GetEditRect(CRect& rect);
    virtual int OnLClick(int col, int row, int down, const CRect& rect, CPoint point);
    virtual int OnRClick(int col, int row, int down, const CRect& rect, CPoint point);
    virtual int OnDClick(int col, int row, const CRect& rect, CPoint point);
    // A handler that sets the key to 0 stops the grid's own handling of it.
    virtual int OnKeyDown(int col, int row, uint32_t* key);
    virtual int OnCharDown(int col, int row, uint32_t* ch);
    virtual int OnMouseMove(int col, int row, CPoint point, int keyFlags);
    virtual void OnDraw(QPainter& painter, const CRect& rect, int col, int row, CGridCell& cell,
                        bool selected, bool current);
    // Draws scaled to a rectangle of another height (printing by a host).
    virtual void OnPrintDraw(QPainter& painter, const CRect& rect, int col, int row,
                             CGridCell& cell);
    virtual void OnSetFocus(int col, int row, CGridCell& cell);
    virtual void OnKillFocus(int col, int row, CGridCell& cell);
    virtual void GetBestSize(QPainter& painter, QSize& size, CGridCell& cell);

    bool CanSpill(const CGridCell& cell) const;
    // The x offset at which the text of a cell to the left runs on into this empty cell.
    bool GetSpillOffset(QPainter& painter, int col, int row, int& offset);
    // Draws the border and gives the rectangle left inside it.
    void DrawBorder(QPainter& painter, const CRect& rect, CRect& inner, const CGridCell& cell);
    void DrawText(QPainter& painter, const CRect& rect, int xOffset, int col, int row,
                  const CGridCell& cell, bool selected, bool current);
    // Draws the cell's bitmap at the left; returns the width the text must leave to it.
    int DrawBitmap(QPainter& painter, const CRect& rect, const CGridCell& cell, bool selected,
                   bool current);

    CGridCtrl* GetGrid() const { return m_grid; }
    void SetGrid(CGridCtrl* grid, int index)
    {
        m_grid = grid;
        m_typeIndex = index;
    }
    int GetTypeIndex() const { return m_typeIndex; }

    int m_editable = 1;
    int m_useLabel = 0;
    int m_maySpill = 1;
    double m_printScale = 1.0;

protected:
    // Background and text colours as drawn: highlighted for the selected (or highlighted
    // current) cell.
    bool DrawsHighlighted(bool selected, bool current) const;
    void SelectFont(QPainter& painter, const CGridCell& cell) const;
    void RedrawCell(int col, int row);

private:
    CGridCtrl* m_grid = nullptr;
    int m_typeIndex = -1;
};
