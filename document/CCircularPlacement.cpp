#include "document/CCircularPlacement.h"

#include <utility>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "model/CAngleText.h"
#include "model/CComponentArray.h"
#include "model/CFieldRange.h"
#include "model/CLengthText.h"
#include "model/Geometry.h"

namespace {

constexpr double defaultEnd = 360.0;

std::string Shown(const CEditSession& session, int64_t length)
{
    return CLengthText::FormatLength(session.GetUnit(), SaturateToInt(length));
}

int32_t Typed(const CEditSession& session, const std::string& length, int32_t origin)
{
    return SaturateToInt(int64_t(CLengthText::ParseLength(session.GetUnit(), length)) + origin);
}

} // namespace

CDialogService::CircularPlacement CCircularPlacement::Presets(const CEditSession& session)
{
    const CPoint cursor = session.GetCursor();
    const CPoint origin = session.GetOrigin();
    CDialogService::CircularPlacement values;
    values.xCenter = Shown(session, int64_t(cursor.x) - origin.x);
    values.yCenter = Shown(session, int64_t(cursor.y) - origin.y);
    values.radius = Shown(session, defaultRadius);
    values.angleBegin = CNumberText::FormatFixed(0.0, 4);
    values.angleEnd = CNumberText::FormatFixed(defaultEnd, 1);
    values.angleTotal = values.angleEnd;
    values.angleFirst = CAngleText::Format(0);
    values.anglePer = CAngleText::Format(0);
    return values;
}

bool CCircularPlacement::OnMoveArrayCircular(CDesign& design, const CEditSession& session,
                                             CDocumentHistory& history, CDocumentWindows& windows,
                                             const std::function<void()>& modified)
{
    CComponentArray& components = design.GetComponents();
    std::vector<std::string> references;
    for (int32_t i = 0; i < components.GetCount(); ++i)
        references.push_back(components.GetReference(i));
    CDialogService::CircularPlacement values = Presets(session);
    if (CDialogService::Get().CompCircular(references, values) != CDialogService::resultOk ||
        values.moved.empty())
        return false;
    // A placement refused, or one that moves nothing, leaves no undo step.
    int32_t moved = 0;
    history.EditIfChanged([&] {
        moved = Place(design, session, values);
        design.RebuildNetPins();
        return moved > 0;
    });
    if (moved > 0)
        modified();
    windows.RedrawBoardViews();
    return moved > 0;
}

int32_t CCircularPlacement::Place(CDesign& design, const CEditSession& session,
                                  const CDialogService::CircularPlacement& values)
{
    CComponentArray& components = design.GetComponents();
    const auto n = int32_t(values.moved.size());
    if (n == 0)
        return 0;
    const CPoint origin = session.GetOrigin();
    const CPoint centre(Typed(session, values.xCenter, origin.x),
                        Typed(session, values.yCenter, origin.y));
    const int32_t radius = CLengthText::ParseLength(session.GetUnit(), values.radius);
    const double begin = CNumberText::ParseDouble(values.angleBegin);
    const double step = (CNumberText::ParseDouble(values.angleEnd) - begin) / n;
    const double first = CNumberText::ParseDouble(values.angleFirst);
    const double per = CNumberText::ParseDouble(values.anglePer);
    // Each angle from its index, rounded: sums and truncation would drift off the thousandths
    // typed.
    const auto placeOf = [&](int32_t k) {
        const CPoint offset = RotatePoint(radius, 0, RoundToInt((begin + k * step) * 1000.0));
        return std::pair(int64_t(centre.x) + offset.x, int64_t(centre.y) + offset.y);
    };
    // None is moved where one would reach beyond the coordinates a board uses, which the user is
    // told of as the dialog shows places, relative to the user offset.
    for (int32_t k = 0; k < n; ++k) {
        const int32_t i = values.moved[size_t(k)];
        if (!components.IsIndex(i))
            continue;
        const CFieldRange places = components.PlacesOf(i);
        const auto [x, y] = placeOf(k);
        if (!places.Less(origin.x).TakeLength(session.GetUnit(), x - origin.x, "Component x") ||
            !places.Less(origin.y).TakeLength(session.GetUnit(), y - origin.y, "Component y"))
            return 0;
    }
    int32_t placed = 0;
    for (int32_t k = 0; k < n; ++k) {
        const int32_t i = values.moved[size_t(k)];
        if (!components.IsIndex(i))
            continue;
        const auto [x, y] = placeOf(k);
        components.MoveTo(i, int32_t(x), int32_t(y));
        components.RotateTo(i, RoundToInt((first + k * per) * 1000.0));
        ++placed;
    }
    return placed;
}
