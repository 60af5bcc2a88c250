#include "document/CComponentProperties.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "model/CAngleText.h"
#include "model/CComponentArray.h"
#include "model/CFieldRange.h"
#include "model/CLengthText.h"
#include "model/CToolDocument.h"
#include "model/FontWarning.h"

namespace {

constexpr int32_t maxWord = 0xFFFF;

std::string Shown(int32_t unit, int32_t stored, int32_t origin)
{
    return CLengthText::FormatLength(unit, SaturateToInt(int64_t(stored) - origin));
}

// A typed place, unless it is the text shown for the stored one, which it need not give back;
// nothing, the user told, where the component would reach beyond the board's coordinates.
std::optional<int32_t> Typed(int32_t unit, const std::string& typed, const std::string& shown,
                             int32_t stored, int32_t origin, const CFieldRange& places,
                             const std::string& field)
{
    if (typed == shown)
        return stored;
    const std::optional<int32_t> place = places.Less(origin).TakeLength(unit, typed, field);
    if (!place)
        return std::nullopt;
    return *place + origin;
}

uint16_t ParseWord(const std::string& text)
{
    return uint16_t(std::clamp(CNumberText::ParseInt(text), 0, maxWord));
}

} // namespace

CComponentProperties::Values CComponentProperties::Read(CToolDocument& document, int32_t component)
{
    const CComponentArray& components = document.GetComponents();
    const int32_t unit = document.GetUnit();
    const CPoint origin = document.GetOrigin();
    const CPoint position = components.GetPosition(component);
    Values values;
    values.reference = components.GetReference(component);
    values.type = components.GetType(component);
    values.shape = components.GetShapeName(component);
    values.x = Shown(unit, position.x, origin.x);
    values.y = Shown(unit, position.y, origin.y);
    values.rotation = CNumberText::FormatFixed(components.GetRotation(component) * 0.001, 3, 3);
    values.group = CNumberText::FormatInt(components.GetGroup(component));
    values.cluster = CNumberText::FormatInt(components.GetCluster(component));
    values.mirrored = components.IsMirrored(component);
    if (const CComponent* found = components.GetComponent(component))
        values.flags = found->GetFlags();
    return values;
}

std::string CComponentProperties::NormalizeReference(std::string_view reference)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!reference.empty() && blank(reference.front()))
        reference.remove_prefix(1);
    while (!reference.empty() && blank(reference.back()))
        reference.remove_suffix(1);
    std::string upper(reference);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return upper;
}

int32_t CComponentProperties::FindOther(CToolDocument& document, int32_t component,
                                        std::string_view reference)
{
    const CComponentArray& components = document.GetComponents();
    const std::string wanted = NormalizeReference(reference);
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        if (i != component && components.GetReference(i) == wanted)
            return i;
    }
    return -1;
}

bool CComponentProperties::Apply(CToolDocument& document, int32_t component, const Values& values,
                                 int32_t swapWith)
{
    CComponentArray& components = document.GetComponents();
    if (!components.IsIndex(component))
        return true;
    const Values shown = Read(document, component);
    const int32_t unit = document.GetUnit();
    const CPoint origin = document.GetOrigin();
    const CPoint stored = components.GetPosition(component);
    const CFieldRange places = components.PlacesOf(component);
    const std::optional<int32_t> x =
        Typed(unit, values.x, shown.x, stored.x, origin.x, places, "Component x");
    const std::optional<int32_t> y =
        x ? Typed(unit, values.y, shown.y, stored.y, origin.y, places, "Component y")
          : std::nullopt;
    if (!y)
        return false;
    // Kept by the caller once the design's pins follow: values as they were shown leave no step.
    document.SaveUndoStateUnlessAbandoned();

    if (swapWith != component && components.IsIndex(swapWith))
        components.SetName(swapWith, CComponent::textReference, shown.reference);
    components.SetName(component, CComponent::textReference, NormalizeReference(values.reference));
    components.SetName(component, CComponent::textType, values.type);

    const CPoint position(*x, *y);
    const int32_t rotation = values.rotation == shown.rotation ? components.GetRotation(component)
                                                               : CAngleText::Parse(values.rotation);
    components.SetPlacement(component, position, rotation, values.mirrored);
    components.SetGroup(component, ParseWord(values.group));
    components.SetCluster(component, ParseWord(values.cluster));
    components.SetFlag(component, editedFlags, false);
    components.SetFlag(component, values.flags & editedFlags, true);

    // Told once when a name is typed, not again when only the placement changes.
    std::vector<std::string> lines;
    const std::string reference = components.GetReference(component);
    if (reference != shown.reference)
        lines.push_back(MissingCharactersLine(document.GetFont(), "Reference", reference));
    if (values.type != shown.type)
        lines.push_back(MissingCharactersLine(document.GetFont(), "Type", values.type));
    ShowMissingCharacters(std::move(lines));
    return true;
}
