#include "document/CPadArrays.h"

#include <cmath>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "model/CAngleText.h"
#include "model/CFieldRange.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/CPadStackArray.h"
#include "model/Geometry.h"

namespace {

constexpr int32_t defaultDistance = LENGTH_100_MIL;
constexpr int32_t defaultRadius = 128000;
constexpr char defaultXCount[] = "8";
constexpr char defaultYCount[] = "2";
constexpr char defaultCircleCount[] = "12";
constexpr double defaultLastAngle = 360.0;

std::optional<int32_t> TakeCount(const std::string& text, const char* field)
{
    return CFieldRange{1, CPadArrays::maxCount}.TakeCount(text, std::string("Pad array ") + field);
}

int32_t DefaultPadStack(const CDesign& design, const CEditSession& session)
{
    return design.GetPadStacks().GetDefault(session.GetDefaultPadStackKind());
}

// A point shown relative to the user offset, typed back in the unit.
CPoint TypedPoint(const CEditSession& session, const std::string& x, const std::string& y)
{
    const CPoint origin = session.GetOrigin();
    const int32_t unit = session.GetUnit();
    return CPoint(SaturateToInt(int64_t(CLengthText::ParseLength(unit, x)) + origin.x),
                  SaturateToInt(int64_t(CLengthText::ParseLength(unit, y)) + origin.y));
}

std::string ShownLength(const CEditSession& session, int64_t length)
{
    return CLengthText::FormatLength(session.GetUnit(), SaturateToInt(length));
}

// The cursor as the user sees it, relative to the user offset.
void ShowCursor(const CEditSession& session, std::string& x, std::string& y)
{
    const CPoint cursor = session.GetCursor();
    const CPoint origin = session.GetOrigin();
    x = ShownLength(session, int64_t(cursor.x) - origin.x);
    y = ShownLength(session, int64_t(cursor.y) - origin.y);
}

// A pad an array would place, before it is placed.
struct PadPlace {
    int64_t x;
    int64_t y;
    int32_t rotation;
};

// Places every pad, or none when one would lie beyond the coordinates a board uses, which the
// user is told of as the dialog shows places, relative to the user offset.
int32_t PlaceAll(CDesign& design, const CEditSession& session, const std::vector<PadPlace>& places)
{
    const CPoint origin = session.GetOrigin();
    for (const PadPlace& place : places) {
        for (const auto& [at, offset, field] : {std::tuple(place.x, origin.x, "Pad array x"),
                                                std::tuple(place.y, origin.y, "Pad array y")}) {
            if (!FieldRanges::position.Holds(at)) {
                FieldRanges::position.Less(offset).TakeLength(session.GetUnit(), at - offset,
                                                              field);
                return 0;
            }
        }
    }
    const int32_t padStack = DefaultPadStack(design, session);
    int32_t placed = 0;
    for (const PadPlace& place : places) {
        if (design.GetNets().AddPadToCurrent(int32_t(place.x), int32_t(place.y), padStack,
                                             place.rotation, false))
            ++placed;
    }
    return placed;
}

template <typename Values, typename Place>
bool RunDialog(CDesign& design, CEditSession& session, CDocumentHistory& history,
               CDocumentWindows& windows, const std::function<void()>& modified, Values values,
               int32_t (CDialogService::*show)(Values&), Place place)
{
    if ((CDialogService::Get().*show)(values) != CDialogService::resultOk)
        return false;
    // An array refused, or one that places no pad, leaves no undo step.
    int32_t placed = 0;
    history.EditIfChanged([&] {
        placed = place(design, session, values);
        return placed > 0;
    });
    if (placed > 0)
        modified();
    windows.RedrawBoardViews();
    return placed > 0;
}

} // namespace

CDialogService::RectPadArray CPadArrays::RectangularPresets(const CEditSession& session)
{
    CDialogService::RectPadArray values;
    ShowCursor(session, values.xStart, values.yStart);
    values.xDistance = ShownLength(session, defaultDistance);
    values.yDistance = ShownLength(session, defaultDistance);
    values.xCount = defaultXCount;
    values.yCount = defaultYCount;
    values.arrayRotation = CAngleText::Format(0);
    values.padRotation = CAngleText::Format(0);
    return values;
}

CDialogService::CircPadArray CPadArrays::CircularPresets(const CEditSession& session)
{
    CDialogService::CircPadArray values;
    ShowCursor(session, values.xCenter, values.yCenter);
    values.radius = ShownLength(session, defaultRadius);
    values.firstAngle = "0";
    values.lastAngle = CNumberText::FormatFixed(defaultLastAngle, 3, 6);
    values.firstRotation = CAngleText::Format(0);
    values.count = defaultCircleCount;
    return values;
}

bool CPadArrays::OnRectangular(CDesign& design, CEditSession& session, CDocumentHistory& history,
                               CDocumentWindows& windows, const std::function<void()>& modified)
{
    return RunDialog(design, session, history, windows, modified, RectangularPresets(session),
                     &CDialogService::PadArrayRect, &PlaceRectangular);
}

bool CPadArrays::OnCircular(CDesign& design, CEditSession& session, CDocumentHistory& history,
                            CDocumentWindows& windows, const std::function<void()>& modified)
{
    return RunDialog(design, session, history, windows, modified, CircularPresets(session),
                     &CDialogService::PadArrayCirc, &PlaceCircular);
}

int32_t CPadArrays::PlaceRectangular(CDesign& design, const CEditSession& session,
                                     const CDialogService::RectPadArray& values)
{
    const std::optional<int32_t> xCount = TakeCount(values.xCount, "X count");
    const std::optional<int32_t> yCount =
        xCount ? TakeCount(values.yCount, "Y count") : std::nullopt;
    if (!yCount)
        return 0;
    const int32_t columns = *xCount;
    const int32_t rows = *yCount;
    const int32_t unit = session.GetUnit();
    const CPoint start = TypedPoint(session, values.xStart, values.yStart);
    const int64_t dx = CLengthText::ParseLength(unit, values.xDistance);
    const int64_t dy = CLengthText::ParseLength(unit, values.yDistance);
    const double degrees = CAngleText::Parse(values.arrayRotation) * 0.001;
    const int32_t padRotation = CAngleText::Parse(values.padRotation);

    std::vector<PadPlace> places;
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            // Offsets of large arrays leave the int32 range before they are turned.
            const CPointD offset = RotatePointDouble(double(c * dx), double(r * dy), degrees);
            places.push_back({int64_t(start.x) + int64_t(std::llround(offset.x)),
                              int64_t(start.y) + int64_t(std::llround(offset.y)), padRotation});
        }
    }
    return PlaceAll(design, session, places);
}

int32_t CPadArrays::PlaceCircular(CDesign& design, const CEditSession& session,
                                  const CDialogService::CircPadArray& values)
{
    const std::optional<int32_t> taken = TakeCount(values.count, "count");
    if (!taken)
        return 0;
    const int32_t count = *taken;
    const double first = CNumberText::ParseDouble(values.firstAngle);
    const double last = CNumberText::ParseDouble(values.lastAngle);
    // An arc that does not go forward has no room for the pads.
    if (!(last > first)) {
        CFieldRange::Refuse("Pad array last angle", CNumberText::FormatFixed(last, 3) + " degrees",
                            "not above the first angle " + CNumberText::FormatFixed(first, 3) +
                                " degrees");
        return 0;
    }
    const CPoint centre = TypedPoint(session, values.xCenter, values.yCenter);
    const double radius = CLengthText::ParseLength(session.GetUnit(), values.radius);
    const double firstRotation = CAngleText::Parse(values.firstRotation) * 0.001;
    const double step = (last - first) / count;

    // An arc keeps a pad at both ends; on a whole turn the pad at the last angle would lie on
    // the first.
    const bool wholeTurns = RoundToInt((last - first) * 1000.0) % FULL_TURN == 0;
    const int32_t pads = wholeTurns ? count : count + 1;
    std::vector<PadPlace> places;
    // Each angle from its index: sums of the step would drift and lose or add the last pad.
    for (int32_t i = 0; i < pads; ++i) {
        const double angle = first + i * step;
        const double rotation = values.incrementRotation ? firstRotation + i * step : firstRotation;
        places.push_back({int64_t(centre.x) + TruncToInt(std::sin(angle * DEG_TO_RAD) * radius),
                          int64_t(centre.y) + TruncToInt(std::cos(angle * DEG_TO_RAD) * radius),
                          RoundToInt(rotation * 1000.0)});
    }
    return PlaceAll(design, session, places);
}
