#include "document/CStatusLine.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CViewState.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/Numeric.h"
#include "model/CLengthText.h"
#include "model/CPour.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

std::string Length(int32_t unit, int64_t length)
{
    return CLengthText::FormatLength(unit, SaturateToInt(length));
}

std::string TwoDigits(uint32_t value)
{
    return (value < 10 ? "0" : "") + CNumberText::FormatInt(value);
}

} // namespace

std::array<std::string, CStatusLine::cursorPaneCount>
CStatusLine::Format(const CDesign& design, const CEditSession& session, const CViewState& view)
{
    const int32_t unit = session.GetUnit();
    const CPoint cursor = session.GetCursor();
    const CPoint grid = session.GetOrigin();
    const CPoint ruler = view.GetRulerOrigin();
    // The grid origin cancels out of the relative values.
    const int64_t xr = int64_t(cursor.x) - ruler.x;
    const int64_t yr = int64_t(cursor.y) - ruler.y;
    const double length = std::sqrt(double(xr) * double(xr) + double(yr) * double(yr));

    // A plane over copper added since its fill is told for as long as it lasts.
    std::string info = InfoText(session, view);
    if (const CPour* stale = design.FindStalePlane()) {
        info = (info.empty() ? "" : info + "  ") + CResString::Load(IDS_PLANE_NEEDS_REFILL) + ": " +
               stale->GetName();
    }
    return {info,
            "X:" + Length(unit, int64_t(cursor.x) - grid.x),
            "Y:" + Length(unit, int64_t(cursor.y) - grid.y),
            view.IsRulerLocked() ? "Lock" : "Free",
            "XR:" + Length(unit, xr),
            "YR:" + Length(unit, yr),
            "LN:" + CLengthText::FormatLength(unit, TruncToInt(length)),
            "AN:" + CNumberText::FormatFixed(Direction(xr, yr), 3, 3)};
}

std::string CStatusLine::InfoText(const CEditSession& session, const CViewState& view)
{
    if (session.IsMode(ID_COMPONENTS_MOVE_ROTATE) &&
        (session.IsAction(CEditState::actionDragging) ||
         session.IsAction(CEditState::actionMoveFromPane)))
        return "Click, Space or Enter puts the part down; Esc puts it back";
    if ((session.IsMode(ID_COMPONENTS_ADD) || session.IsMode(ID_COMPONENTS_COPY)) &&
        session.IsAction(CEditState::actionDragging))
        return "Click or Space puts a copy down; Enter or Esc ends without the hanging part";
    return view.GetInfoText();
}

double CStatusLine::Direction(int64_t xr, int64_t yr)
{
    const double dx = double(xr);
    const double dy = -double(yr);
    if (dx == 0 && dy != 0)
        return dy > 0 ? 90.0 : 270.0;
    if (dy == 0)
        return dx >= 0 ? 0.0 : 180.0;
    const double a = std::atan(std::abs(dy) / std::abs(dx)) * 180.0 / std::numbers::pi;
    if (dx > 0)
        return dy > 0 ? a : 360.0 - a;
    return dy > 0 ? 180.0 - a : 180.0 + a;
}

std::string CStatusLine::FormatDesignTime(uint32_t milliseconds)
{
    const uint32_t seconds = milliseconds / 1000;
    return "T:" + TwoDigits(seconds / 3600) + ":" + TwoDigits(seconds / 60 % 60);
}
