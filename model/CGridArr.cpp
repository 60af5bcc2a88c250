#include "model/CGridArr.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "framework/CArchive.h"
#include "framework/CDeviceContext.h"
#include "framework/CPen.h"

WEVRA_IMPLEMENT_SERIAL(CGridArr, "CGridArr", CRuntimeClass::versionableSchema | 1)

namespace {

// Dots are XORed in white so that they show on any background.
constexpr COLORREF dotPixelColor = 0x00FFFFFF;
// Below these spacings on screen the grid would hide the board.
constexpr int64_t minDotSpacingPixels = 4;
constexpr int64_t minLineSpacingPixels = 8;

int64_t CaptureDistance(int32_t code)
{
    switch (code) {
    case 1:
        return 12800;
    case 2:
        return 25600;
    case 3:
        return 256000;
    case 4:
        return 2523716;
    default:
        return code;
    }
}

int32_t AtLeastOne(int32_t value)
{
    return std::max(value, 1);
}

// The grid line nearest to v, halves away from the origin.
int32_t RoundToGrid(int32_t v, int32_t step, int32_t origin)
{
    const int64_t g = step;
    const int64_t d = int64_t(v) - origin;
    const int64_t q = d > 0 ? (d + g / 2) / g : (d - g / 2) / g;
    return SaturateToInt(q * g + origin);
}

// Device positions of the grid lines from the first one at or left of 0, below `extent`.
template <typename Visit>
void ForEachGridLine(int32_t origin, int32_t spacing, int32_t scale, int32_t extent, Visit visit)
{
    int64_t first = int64_t(origin) % spacing;
    if (first > 0)
        first -= spacing;
    for (int64_t board = first;; board += spacing) {
        const int64_t pixel = board / scale;
        if (pixel >= extent)
            break;
        visit(int32_t(pixel));
    }
}

} // namespace

CGridArr::CGridArr()
{
    Reset();
}

void CGridArr::Reset()
{
    m_records = {};
    m_records[gridBlock].snapX = 25600;
    m_records[gridBlock].snapY = 25600;
    m_selector = 0;
    m_dotColor = defaultDotColor;
    m_lineColor = defaultLineColor;
    m_snapPoints.SetSize(0);
}

GridRec& CGridArr::Record(int32_t r)
{
    return m_records[size_t(IsValidIndex(r) ? r : gridDefault)];
}

const GridRec& CGridArr::Record(int32_t r) const
{
    return m_records[size_t(IsValidIndex(r) ? r : gridDefault)];
}

void CGridArr::SetSpacing(int32_t r, int32_t x, int32_t y)
{
    if (!IsValidIndex(r))
        return;
    Record(r).spacingX = AtLeastOne(x);
    Record(r).spacingY = AtLeastOne(y);
}

CSize CGridArr::GetSpacing(int32_t r) const
{
    return CSize(Record(r).spacingX, Record(r).spacingY);
}

void CGridArr::SetSnap(int32_t r, int32_t x, int32_t y)
{
    if (!IsValidIndex(r))
        return;
    Record(r).snapX = AtLeastOne(x);
    Record(r).snapY = AtLeastOne(y);
}

CSize CGridArr::GetSnap(int32_t r) const
{
    return CSize(Record(r).snapX, Record(r).snapY);
}

void CGridArr::SetMode(int32_t r, int32_t mode)
{
    if (!IsValidIndex(r))
        return;
    Record(r).mode = mode;
    if (mode > 0)
        Record(r).lastMode = mode;
}

int32_t CGridArr::GetMode(int32_t r) const
{
    return Record(r).mode;
}

int32_t CGridArr::GetLastMode(int32_t r) const
{
    return Record(r).lastMode;
}

void CGridArr::SetSnapOn(int32_t r, bool on)
{
    if (IsValidIndex(r))
        Record(r).snapOn = on ? 1 : 0;
}

bool CGridArr::IsSnapOn(int32_t r) const
{
    return Record(r).snapOn != 0;
}

void CGridArr::SetCurrentIndex(int32_t index)
{
    if (IsValidIndex(index))
        m_selector = (m_selector & ~0x0Fu) | uint32_t(index);
}

int32_t CGridArr::GetCurrentMode() const
{
    return GetMode(GetCurrentIndex());
}

void CGridArr::CycleMode()
{
    const int32_t mode = GetCurrentMode();
    SetMode(GetCurrentIndex(), mode >= modeLines ? modeInvisible : mode + 1);
}

CSize CGridArr::GetCurrentSnap() const
{
    const GridRec& rec = Record(GetCurrentIndex());
    return CSize(AtLeastOne(rec.snapX), AtLeastOne(rec.snapY));
}

bool CGridArr::IsCurrentSnapOn() const
{
    return IsSnapOn(GetCurrentIndex());
}

void CGridArr::SetCurrentSnapOn(bool on)
{
    SetSnapOn(GetCurrentIndex(), on);
}

void CGridArr::SetSnapRange(int32_t code)
{
    m_selector = (m_selector & ~0xF0u) | ((uint32_t(code) & 0x0Fu) << 4);
}

void CGridArr::CopyFrom(const CGridArr& other)
{
    m_records = other.m_records;
    m_dotColor = other.m_dotColor;
    m_lineColor = other.m_lineColor;
}

int32_t CGridArr::CollectSnapPoints(std::span<const CPoint> pinPositions)
{
    m_snapPoints.SetSize(0);
    for (const CPoint& pin : pinPositions)
        m_snapPoints.SetAtGrow(m_snapPoints.GetSize(), pin.x, pin.y);
    return m_snapPoints.GetSize();
}

void CGridArr::ClearSnapPoints()
{
    m_snapPoints.SetSize(0);
}

CPoint CGridArr::SnapToPoints(int32_t x, int32_t y, int32_t originX, int32_t originY) const
{
    const GridRec& rec = Record(GetCurrentIndex());
    const CSize step = GetCurrentSnap();

    bool matchX = false;
    bool matchY = false;
    int32_t snappedX = x;
    int32_t snappedY = y;
    const int32_t code = GetSnapRange();
    if (code != 0) {
        const int64_t capture = CaptureDistance(code);
        // Both axes are bounded by the X step: pins are captured within a square.
        int64_t bestX = step.cx;
        int64_t bestY = step.cx;
        for (int32_t i = 0; i < m_snapPoints.GetSize(); ++i) {
            const CPoint& p = m_snapPoints[i];
            if (p.y - capture < y && y < p.y + capture) {
                const int64_t d = std::abs(int64_t(x) - p.x);
                if (d < bestX) {
                    bestX = d;
                    snappedX = p.x;
                    matchX = true;
                }
            }
            if (p.x - capture < x && x < p.x + capture) {
                const int64_t d = std::abs(int64_t(y) - p.y);
                if (d < bestY) {
                    bestY = d;
                    snappedY = p.y;
                    matchY = true;
                }
            }
        }
    }

    if (rec.snapOn == 0)
        return CPoint(x, y);
    return CPoint(matchX ? snappedX : RoundToGrid(x, step.cx, originX),
                  matchY ? snappedY : RoundToGrid(y, step.cy, originY));
}

void CGridArr::Draw(CDeviceContext& dc, int32_t originX, int32_t originY, int32_t width,
                    int32_t height, int32_t scale) const
{
    if (scale <= 0 || width <= 0 || height <= 0)
        return;
    const GridRec& rec = Record(GetCurrentIndex());
    const int32_t spacingX = AtLeastOne(rec.spacingX);
    const int32_t spacingY = AtLeastOne(rec.spacingY);
    const int64_t dx = spacingX / scale;
    const int64_t dy = spacingY / scale;
    if (dx < minDotSpacingPixels || dy < minDotSpacingPixels)
        return;

    if (rec.mode == modeDots) {
        const int32_t oldMode = dc.SetROP2(R2_XORPEN);
        ForEachGridLine(originX, spacingX, scale, width, [&](int32_t px) {
            ForEachGridLine(originY, spacingY, scale, height,
                            [&](int32_t py) { dc.SetPixel(CPoint(px, py), dotPixelColor); });
        });
        dc.SetROP2(oldMode);
    } else if (rec.mode == modeLines && dx >= minLineSpacingPixels && dy >= minLineSpacingPixels) {
        const CPen oldPen = dc.SelectPen(CPen(CPen::Style::Solid, 1, m_lineColor));
        ForEachGridLine(originX, spacingX, scale, width, [&](int32_t px) {
            dc.MoveTo(CPoint(px, 0));
            dc.LineTo(CPoint(px, height));
        });
        ForEachGridLine(originY, spacingY, scale, height, [&](int32_t py) {
            dc.MoveTo(CPoint(0, py));
            dc.LineTo(CPoint(width, py));
        });
        dc.SelectPen(oldPen);
    }
}

void CGridArr::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        for (const GridRec& rec : m_records) {
            ar << rec.spacingX << rec.spacingY << rec.snapX << rec.snapY;
            ar << uint32_t(rec.mode) << uint32_t(rec.snapOn) << m_dotColor << m_lineColor;
        }
        return;
    }
    // Read into copies so that a failed load leaves the settings as they were; the last modes
    // are not stored and stay.
    std::array<GridRec, recordCount> records = m_records;
    COLORREF dotColor = 0;
    COLORREF lineColor = 0;
    for (GridRec& rec : records) {
        ar >> rec.spacingX >> rec.spacingY >> rec.snapX >> rec.snapY >> rec.mode >> rec.snapOn;
        ar >> dotColor >> lineColor;
    }
    m_records = records;
    m_dotColor = dotColor;
    m_lineColor = lineColor;
}
