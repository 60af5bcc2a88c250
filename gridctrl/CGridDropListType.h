#pragma once

#include <QPointer>

#include "gridctrl/CGridCellType.h"

#include "gridctrl/CGridDropListBox.h"

// A cell with a button that opens a list of choices (the cell's label, one choice per line
// ending in a line feed). Choosing one sets the cell's text once the grid's hook agrees.
class CGridDropListType : public CGridCellType {
public:
    // Parameter bit: the button shows only on the current cell.
    static constexpr int kButtonOnCurrentOnly = 0x200;

    CGridDropListType();
    ~CGridDropListType() override;

    QString GetName() const override;
    const uint8_t* GetTypeId() const override;
    int GetEditRect(CRect& rect) override;
    int OnLClick(int col, int row, int down, const CRect& rect, CPoint point) override;
    int OnDClick(int col, int row, const CRect& rect, CPoint point) override;
    int OnKeyDown(int col, int row, uint32_t* key) override;
    int OnCharDown(int col, int row, uint32_t* ch) override;
    int OnMouseMove(int col, int row, CPoint point, int keyFlags) override;
    void OnDraw(QPainter& painter, const CRect& rect, int col, int row, CGridCell& cell,
                bool selected, bool current) override;
    void OnKillFocus(int col, int row, CGridCell& cell) override;

    int OpenList();
    // The choices of a label: each text before a line feed.
    static QStringList SplitItems(const QString& label);
    // Where the list goes for a cell rectangle inside an area of the given size.
    static CRect ListRect(const CRect& cell, int itemCount, int longestItem, int fontHeight,
                          int areaWidth, int areaHeight);

    CGridDropListBox* GetListBox() const { return m_listBox; }
    int m_openCol = -1;
    int m_openRow = -1;

private:
    void CloseList();

    int m_buttonWidth = 16;
    bool m_pressed = false;
    CRect m_buttonRect;
    QPointer<CGridDropListBox> m_listBox;
};
