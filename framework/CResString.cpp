#include "framework/CResString.h"

#include "framework/CResourcePack.h"
#include "framework/CWindows1252.h"

std::string CResString::Load(uint32_t id)
{
    return CResourcePack::GetCurrent().GetString(id);
}

std::string CResString::LoadPart(uint32_t id)
{
    std::string text = Load(id);
    const size_t newline = text.find('\n');
    if (newline != std::string::npos)
        text.erase(newline);
    return text;
}

std::string CResString::LoadWithFile(uint32_t id, const std::string& name)
{
    std::string text = CWindows1252::ToUtf8(Load(id));
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

std::string CResString::LoadWith(uint32_t id, const std::string& argument)
{
    std::string text = Load(id);
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}
