#include "document/CCircularPlacement.h"

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "model/CAngleText.h"
#include "model/CComponentArray.h"
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
    history.SaveUndoState();
    const int32_t moved = Place(design, session, values);
    design.RebuildNetPins();
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
    int32_t placed = 0;
    for (int32_t k = 0; k < n; ++k) {
        const int32_t i = values.moved[size_t(k)];
        if (!components.IsIndex(i))
            continue;
        // Each angle from its index, rounded: sums and truncation would drift off the
        // thousandths typed.
        const CPoint offset = RotatePoint(radius, 0, RoundToInt((begin + k * step) * 1000.0));
        components.MoveTo(i, SaturateToInt(int64_t(centre.x) + offset.x),
                          SaturateToInt(int64_t(centre.y) + offset.y));
        components.RotateTo(i, RoundToInt((first + k * per) * 1000.0));
        ++placed;
    }
    return placed;
}
