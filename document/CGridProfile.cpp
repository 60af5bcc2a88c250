#include "document/CGridProfile.h"

#include <string>

#include "document/Profile.h"
#include "framework/CNumberText.h"
#include "model/CGridArr.h"

namespace {

constexpr const char* recordNames[CGridArr::recordCount] = {"Draw", "Block", "Text"};

std::string GridKey(int32_t kind, int32_t record, const char* axis)
{
    return "Grid_" + CNumberText::FormatInt(kind) + "_" + CNumberText::FormatInt(record) + "_" +
           axis;
}

} // namespace

void CGridProfile::Read(CGridArr& grids)
{
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        CSize spacing = grids.GetSpacing(r);
        CSize snap = grids.GetSnap(r);
        ReadProfileInt(section, GridKey(0, r, "X"), spacing.cx);
        ReadProfileInt(section, GridKey(0, r, "Y"), spacing.cy);
        ReadProfileInt(section, GridKey(1, r, "X"), snap.cx);
        ReadProfileInt(section, GridKey(1, r, "Y"), snap.cy);
        // The setters keep every length at least 1.
        grids.SetSpacing(r, spacing.cx, spacing.cy);
        grids.SetSnap(r, snap.cx, snap.cy);
    }
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        int32_t mode = grids.GetMode(r);
        ReadProfileEnum(section, std::string(recordNames[r]) + " Show", mode);
        grids.SetMode(r, mode);
    }
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        bool snapOn = grids.IsSnapOn(r);
        ReadProfileBool(section, std::string(recordNames[r]) + " Snap", snapOn);
        grids.SetSnapOn(r, snapOn);
    }
}
