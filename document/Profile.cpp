#include "document/Profile.h"

#include <algorithm>
#include <cctype>

#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CSettingsStore.h"
#include "resources/StringIds.h"

namespace {

const char* BoolText(bool value)
{
    return value ? "TRUE" : "FALSE";
}

std::string UpperAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

} // namespace

bool ParseProfileBool(const std::string& text)
{
    // Without a language pack both words are empty, and an empty value is no "yes".
    const std::string yes = CResString::Load(IDS_YES);
    if (!yes.empty() && text == yes)
        return true;
    const std::string no = CResString::Load(IDS_NO);
    if (!no.empty() && text == no)
        return false;
    return UpperAscii(text) == "TRUE";
}

void ReadProfileBool(const std::string& section, const std::string& entry, bool& value)
{
    value = ParseProfileBool(CServices::Settings().GetString(section, entry, BoolText(value)));
}

void ReadProfileInt(const std::string& section, const std::string& entry, int32_t& value)
{
    value = CServices::Settings().GetInt(section, entry, value);
}

void ReadProfileString(const std::string& section, const std::string& entry, std::string& value)
{
    value = CServices::Settings().GetString(section, entry, value);
}

void ReadProfileEnum(const std::string& section, const std::string& entry, int32_t& value)
{
    const std::string word = CServices::Settings().GetString(section, entry, "Error");
    if (word == "Invisible" || word == "None")
        value = 0;
    else if (word == "Dots")
        value = 1;
    else
        value = 2;
}

void WriteProfileBool(const std::string& section, const std::string& entry, bool value)
{
    CServices::Settings().WriteString(section, entry, BoolText(value));
}

void WriteProfileIntString(const std::string& section, const std::string& entry, int32_t value)
{
    CServices::Settings().WriteInt(section, entry, value);
}

void WriteProfileText(const std::string& section, const std::string& entry,
                      const std::string& value)
{
    CServices::Settings().WriteString(section, entry, value);
}
