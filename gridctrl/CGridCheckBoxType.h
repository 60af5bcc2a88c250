#pragma once

#include "gridctrl/CGridCellType.h"

// A check box with the cell's label beside it; the cell's number is its state. The state is
// read one way (the number, greater than 0 = checked) for drawing, mouse and keyboard alike.
class CGridCheckBoxType : public CGridCellType {
public:
    // Parameter bits: box style and mark.
    static constexpr int kSunken = 0x100;
    static constexpr int kRaised = 0x200;
    static constexpr int kTick = 0x1000;

    CGridCheckBoxType();

    QString GetName() const override;
    const uint8_t* GetTypeId() const override;
    int OnLClick(int col, int row, int down, const CRect& rect, CPoint point) override;
    int OnDClick(int col, int row, const CRect& rect, CPoint point) override;
    int OnCharDown(int col, int row, uint32_t* ch) override;
    void OnDraw(QPainter& painter, const CRect& rect, int col, int row, CGridCell& cell,
                bool selected, bool current) override;

    // The box within a cell rectangle; its size is below 6 when no box is drawn.
    static CRect BoxRect(const CRect& rect, int& size);
    static bool IsChecked(const CGridCell& cell);

private:
    int Toggle(int col, int row);
};
