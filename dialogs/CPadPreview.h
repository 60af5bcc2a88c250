#pragma once

#include <cstdint>

#include <QWidget>

#include "framework/ColorRef.h"

class CPadStackArray;

// The preview of one padstack on one layer: the pad and the drill pad drawn at the centre,
// unrotated, at a scale that fits them (200 board units per pixel, coarser by steps of 50 as
// needed), under a grid of 0.1 inch; or at a fixed scale with a small cross of guide lines.
class CPadPreview : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t fitScale = 200;
    static constexpr int32_t fitStep = 50;
    static constexpr int32_t fixedScale = 300;

    explicit CPadPreview(QWidget* parent = nullptr);

    // Nothing is shown for a null table. `fixed` draws at fixedScale.
    void Show(const CPadStackArray* table, int32_t stack, int32_t layer, COLORREF padColor,
              COLORREF drillColor, bool fixed);
    // Board units per pixel at which the pads of the rectangles fit a client of that size.
    static int32_t FitScale(const CPadStackArray& table, int32_t stack, int32_t layer,
                            int32_t width, int32_t height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CPadStackArray* m_table = nullptr;
    int32_t m_stack = 0;
    int32_t m_layer = 0;
    COLORREF m_padColor = 0;
    COLORREF m_drillColor = 0;
    bool m_fixed = false;
};
