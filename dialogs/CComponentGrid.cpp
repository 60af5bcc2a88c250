#include "dialogs/CComponentGrid.h"

#include "document/CDesign.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/Numeric.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "model/CShapeLib.h"
#include "resources/StringIds.h"

namespace {

bool IsDigit(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

int Sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Compares the whole numbers at the start of two digit texts by value, whatever their length.
int CompareLeadingNumbers(QStringView a, QStringView b)
{
    auto digits = [](QStringView text) {
        qsizetype end = 0;
        while (end < text.size() && IsDigit(text[end]))
            ++end;
        qsizetype start = 0;
        while (start < end && text[start] == QLatin1Char('0'))
            ++start;
        return text.mid(start, end - start);
    };
    const QStringView first = digits(a);
    const QStringView second = digits(b);
    if (first.size() != second.size())
        return first.size() < second.size() ? -1 : 1;
    return Sign(first.compare(second));
}

} // namespace

CComponentGrid::CComponentGrid(const CDesign& design, CViewCommandHost& view, QWidget* parent)
    : CTableGrid(view, parent), m_design(design)
{
}

std::vector<std::string> CComponentGrid::RowTexts(const CDesign& design, int32_t index)
{
    const CComponent* component = design.GetComponents().GetComponent(index);
    if (component == nullptr)
        return {};
    const int32_t unit = design.GetUnit();
    const CPoint origin = design.GetOrigin();
    const CPoint position = component->GetPosition();
    const auto yesNo = [component](uint32_t mask) {
        return CResString::Load(component->TestFlag(mask) ? IDS_YES : IDS_NO);
    };
    return {CNumberText::FormatInt(int64_t(index) + 1),
            component->GetReference(),
            component->GetType(),
            design.GetShapeCache().GetShapeName(component->GetShapeIndex()),
            CLengthText::FormatLength(unit, SaturateToInt(int64_t(position.x) - origin.x)),
            CLengthText::FormatLength(unit, SaturateToInt(int64_t(position.y) - origin.y)),
            CNumberText::FormatFixed(component->GetRotation() * 0.001, 3, 3),
            CResString::Load(component->IsMirrored() ? IDS_YES : IDS_NO),
            yesNo(ComponentFlags::fromTemplate),
            yesNo(ComponentFlags::fromPlaceComponent),
            yesNo(ComponentFlags::fromNetlist)};
}

void CComponentGrid::OnGridSetup()
{
    SetupColumns(IDS_COMPONENT_TABLE_HEADINGS, colNr, true, true);
    const int32_t count = m_design.GetComponents().GetCount();
    SetRowCount(count);
    for (int32_t i = 0; i < count; ++i)
        SetRowTexts(i, RowTexts(m_design, i));
    FitColumns();
    FinishSetup(2);
    SetSortMark(colNr, true);
}

int CComponentGrid::CompareReferences(QStringView first, QStringView second)
{
    auto prefixLength = [](QStringView text) {
        qsizetype length = 0;
        while (length < text.size() && !IsDigit(text[length]))
            ++length;
        return length;
    };
    const qsizetype length1 = prefixLength(first);
    const qsizetype length2 = prefixLength(second);
    if (first.left(length1) != second.left(length2))
        return Sign(first.compare(second));
    const QStringView rest1 = first.mid(length1);
    const QStringView rest2 = second.mid(length2);
    if (const int byNumber = CompareLeadingNumbers(rest1, rest2); byNumber != 0)
        return byNumber;
    return Sign(rest1.compare(rest2));
}

int CComponentGrid::OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags)
{
    if (const int missing = CompareMissing(cell1, cell2); missing != 2)
        return missing;
    switch (GetSortCol()) {
    case colNr:
    case colX:
    case colY:
    case colRotate:
        return CompareNumbers(*cell1, *cell2, flags);
    case colReference: {
        const QString text1 = cell1->GetText();
        const QString text2 = cell2->GetText();
        return flags == GRID_SORT_ASCENDING ? CompareReferences(text1, text2)
                                            : CompareReferences(text2, text1);
    }
    default:
        return CompareTexts(*cell1, *cell2, flags);
    }
}
