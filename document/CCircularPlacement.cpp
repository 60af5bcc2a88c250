#include "document/CCircularPlacement.h"

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "model/CAngleText.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "model/Geometry.h"

namespace {

constexpr double defaultEnd = 360.0;

std::string Shown(const CWevraDoc& document, int64_t length)
{
    return CLengthText::FormatLength(document.Session().GetUnit(), SaturateToInt(length));
}

int32_t Typed(const CWevraDoc& document, const std::string& length, int32_t origin)
{
    return SaturateToInt(int64_t(CLengthText::ParseLength(document.Session().GetUnit(), length)) +
                         origin);
}

} // namespace

CDialogService::CircularPlacement CCircularPlacement::Presets(const CWevraDoc& document)
{
    const CPoint cursor = document.Session().GetCursor();
    const CPoint origin = document.Session().GetOrigin();
    CDialogService::CircularPlacement values;
    values.xCenter = Shown(document, int64_t(cursor.x) - origin.x);
    values.yCenter = Shown(document, int64_t(cursor.y) - origin.y);
    values.radius = Shown(document, defaultRadius);
    values.angleBegin = CNumberText::FormatFixed(0.0, 4);
    values.angleEnd = CNumberText::FormatFixed(defaultEnd, 1);
    values.angleTotal = values.angleEnd;
    values.angleFirst = CAngleText::Format(0);
    values.anglePer = CAngleText::Format(0);
    return values;
}

bool CCircularPlacement::OnMoveArrayCircular(CWevraDoc& document)
{
    CComponentArray& components = document.Design().GetComponents();
    std::vector<std::string> references;
    for (int32_t i = 0; i < components.GetCount(); ++i)
        references.push_back(components.GetReference(i));
    CDialogService::CircularPlacement values = Presets(document);
    if (CDialogService::Get().CompCircular(references, values) != CDialogService::resultOk ||
        values.moved.empty())
        return false;
    document.History().SaveUndoState();
    const int32_t moved = Place(document, values);
    document.Design().RebuildNetPins();
    if (moved > 0)
        document.SetModified();
    document.Windows().RedrawBoardViews();
    return moved > 0;
}

int32_t CCircularPlacement::Place(CWevraDoc& document,
                                  const CDialogService::CircularPlacement& values)
{
    CComponentArray& components = document.Design().GetComponents();
    const auto n = int32_t(values.moved.size());
    if (n == 0)
        return 0;
    const CPoint origin = document.Session().GetOrigin();
    const CPoint centre(Typed(document, values.xCenter, origin.x),
                        Typed(document, values.yCenter, origin.y));
    const int32_t radius = CLengthText::ParseLength(document.Session().GetUnit(), values.radius);
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
