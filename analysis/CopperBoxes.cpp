#include "analysis/CopperBoxes.h"
#include "framework/Numeric.h"

#include <algorithm>

#include "model/CSpatialGrid.h"

CRect BoxAround(int32_t x, int32_t y, int64_t reach)
{
    reach += 2;
    return CRect(SaturateToInt(x - reach), SaturateToInt(y - reach), SaturateToInt(x + reach),
                 SaturateToInt(y + reach));
}

CRect BoxAlong(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width)
{
    const int64_t half = int64_t(width >> 1) + 2;
    return CRect(SaturateToInt(std::min(x1, x2) - half), SaturateToInt(std::min(y1, y2) - half),
                 SaturateToInt(std::max(x1, x2) + half), SaturateToInt(std::max(y1, y2) + half));
}

void BoxExtent::Add(const std::vector<CRect>& boxes)
{
    for (const CRect& box : boxes) {
        if (IsEmptyBox(box))
            continue;
        left = std::min<int64_t>(left, box.left);
        top = std::min<int64_t>(top, box.top);
        right = std::max<int64_t>(right, box.right);
        bottom = std::max<int64_t>(bottom, box.bottom);
    }
}

void AddBoxesToGrid(CSpatialGrid& grid, const std::vector<CRect>& boxes, int64_t originX,
                    int64_t originY)
{
    for (size_t i = 0; i < boxes.size(); ++i) {
        const CRect& box = boxes[i];
        if (!IsEmptyBox(box))
            grid.AddRect(uint32_t(i), SaturateToInt(box.left - originX),
                         SaturateToInt(box.top - originY), SaturateToInt(box.right - originX),
                         SaturateToInt(box.bottom - originY));
    }
}
