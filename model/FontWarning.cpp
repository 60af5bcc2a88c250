#include "model/FontWarning.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/ShownLines.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "resources/StringIds.h"

namespace {

// A design full of such texts still gives a message that fits on the screen.
constexpr size_t maxLines = 20;

} // namespace

std::string MissingCharactersLine(const CWevraFont& font, std::string_view what,
                                  std::string_view text)
{
    const std::string missing = font.DescribeMissing(text);
    if (missing.empty())
        return {};
    return std::string(what) + " \"" + std::string(text) + "\": " + missing;
}

std::string MissingCharactersMessage(const std::vector<std::string>& lines)
{
    if (lines.empty())
        return {};
    std::string message =
        ShownLines(CResString::Load(IDS_CHARACTERS_NOT_IN_FONT), lines, maxLines, " texts");
    // The texts are named even by a language pack without the heading.
    if (message.front() == '\n')
        message.erase(0, 1);
    return message;
}

void ShowMissingCharacters(std::vector<std::string> lines)
{
    std::erase(lines, std::string());
    if (!lines.empty())
        CServices::Messages().MessageBox(MissingCharactersMessage(lines), "", MB_OK,
                                         MB_ICONWARNING);
}

std::vector<std::string> MissingCharactersLines(const CWevraFont& font, const CTextArray& texts,
                                                const CComponentArray& components,
                                                const CShapeLib& cache)
{
    std::vector<std::string> lines;
    const auto add = [&](const std::string& what, const std::string& text) {
        std::string line = MissingCharactersLine(font, what, text);
        if (!line.empty())
            lines.push_back(std::move(line));
    };
    for (int32_t i = 0; i < texts.GetCount(); ++i)
        add("Text", texts.GetText(i)->GetText());
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const CComponent& component = *components.GetComponent(i);
        const std::string reference = component.GetReference();
        add("Reference", reference);
        add("Type of " + reference, component.GetKindText(CComponent::textType, cache));
        add("Shape of " + reference, component.GetKindText(CComponent::textShapeName, cache));
    }
    return lines;
}
