#include "model/PenTable.h"

#include <algorithm>

#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CFieldRange.h"

int32_t FindPenWidth(const std::vector<uint16_t>& pens, int32_t width)
{
    const auto found = std::find(pens.begin(), pens.end(), width);
    return found == pens.end() ? -1 : int32_t(found - pens.begin());
}

int32_t AddPenWidth(std::vector<uint16_t>& pens, int32_t width, uint32_t fullMessageId)
{
    // A table made here holds no pen wider than the widest a design's pens may be.
    if (width < 0 || width > FieldRanges::widestPen)
        return -1;
    const int32_t found = FindPenWidth(pens, width);
    if (found >= 0)
        return found;
    if (int32_t(pens.size()) >= penTableLimit) {
        CServices::Messages().MessageBox(CResString::Load(fullMessageId), "", MB_OK,
                                         MB_ICONWARNING);
        return -1;
    }
    pens.push_back(uint16_t(width));
    return int32_t(pens.size()) - 1;
}
