#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRuntimeClass.h"
#include "framework/CSize.h"
#include "framework/ColorRef.h"
#include "model/CPointArray.h"
#include "model/GridRec.h"

class CDeviceContext;

// The grid settings of a design: one grid per editing situation, a selector of the current one
// and of the distance at which the cursor is captured by the pins of the current net.
//
// Lengths kept here are divided by wherever the grid is drawn or snapped to, so every such use
// reads them as at least 1, whatever a design file held.
class CGridArr : public CObject {
    WEVRA_DECLARE_SERIAL(CGridArr)

public:
    static constexpr int32_t recordCount = 3;
    static constexpr int32_t gridDefault = 0;
    static constexpr int32_t gridBlock = 1;
    static constexpr int32_t gridText = 2;

    static constexpr int32_t modeInvisible = 0;
    static constexpr int32_t modeDots = 1;
    static constexpr int32_t modeLines = 2;

    static constexpr COLORREF defaultDotColor = 0x00FFFFFF;
    static constexpr COLORREF defaultLineColor = 0x00808080;

    CGridArr();

    // Every grid, the selector, the colours and the snap points back to their defaults.
    void Reset();

    // Per grid r (0..2). A getter given another index reads grid 0; a setter ignores it.
    // The setters keep lengths at least 1.
    void SetSpacing(int32_t r, int32_t x, int32_t y);
    CSize GetSpacing(int32_t r) const;
    void SetSnap(int32_t r, int32_t x, int32_t y);
    CSize GetSnap(int32_t r) const;
    // A visible mode (above 0) is also remembered as the grid's last mode.
    void SetMode(int32_t r, int32_t mode);
    int32_t GetMode(int32_t r) const;
    int32_t GetLastMode(int32_t r) const;
    void SetSnapOn(int32_t r, bool on);
    bool IsSnapOn(int32_t r) const;

    // The current grid. SetCurrentIndex ignores an index outside 0..2.
    int32_t GetCurrentIndex() const { return int32_t(m_selector & 0x0F); }
    void SetCurrentIndex(int32_t index);
    int32_t GetCurrentMode() const;
    bool IsCurrentModeOn() const { return GetCurrentMode() > 0; }
    // Invisible, dots, lines, invisible...
    void CycleMode();
    // The snap step of the current grid, each value at least 1.
    CSize GetCurrentSnap() const;
    bool IsCurrentSnapOn() const;
    void SetCurrentSnapOn(bool on);

    // Capture code: 0 off, 1 50 mil, 2 100 mil, 3 1 inch, 4 2523716 units; a code above 4 is
    // itself the distance.
    int32_t GetSnapRange() const { return int32_t((m_selector >> 4) & 0x0F); }
    void SetSnapRange(int32_t code);

    COLORREF GetDotColor() const { return m_dotColor; }
    COLORREF GetLineColor() const { return m_lineColor; }

    // The three grids and the colours; not the selector nor the snap points.
    void CopyFrom(const CGridArr& other);

    // Replaces the snap points by the given pin positions, in order; returns their count.
    int32_t CollectSnapPoints(std::span<const CPoint> pinPositions);
    void ClearSnapPoints();
    const CPointArray& GetSnapPoints() const { return m_snapPoints; }

    // The cursor snapped axis by axis: to a snap point within the capture distance across and
    // closer than the snap step along the axis, else to the current snap grid laid from the
    // origin (halves away from the origin). Unchanged when the current grid does not snap.
    CPoint SnapToPoints(int32_t x, int32_t y, int32_t originX, int32_t originY) const;

    // The current grid's visible grid over a device area of width x height pixels, at
    // `scale` board units per pixel, the grid's origin at board position (originX, originY)
    // relative to the area's corner. Dots are drawn XOR, so a second call erases them.
    void Draw(CDeviceContext& dc, int32_t originX, int32_t originY, int32_t width, int32_t height,
              int32_t scale) const;

    // Per grid: spacing, snap step, mode, snap switch, dot and line colour. Loading takes the
    // values as stored (the colours of the last grid) and keeps the selector, the last modes
    // and the snap points.
    void Serialize(CArchive& ar) override;

private:
    GridRec& Record(int32_t r);
    const GridRec& Record(int32_t r) const;
    static bool IsValidIndex(int32_t r) { return r >= 0 && r < recordCount; }

    std::array<GridRec, recordCount> m_records;
    // Bits 0..3 the current grid, bits 4..7 the capture code.
    uint32_t m_selector = 0;
    COLORREF m_dotColor = defaultDotColor;
    COLORREF m_lineColor = defaultLineColor;
    CPointArray m_snapPoints;
};
