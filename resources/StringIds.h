#pragma once

#include <cstdint>

// Ids of the string table, named after their English texts (resources/StringTable.def). Texts
// are fetched through CResString::Load from the current language pack.
#define WEVRA_STRING(name, id, text) inline constexpr uint32_t name = id;
#include "resources/StringTable.def"
#undef WEVRA_STRING

// Shown at start-up when no language pack is found, so it cannot come from one.
inline constexpr char TEXT_DLL_FOR_TRANSLATION_NOT_FOUND[] = "DLL for translation not found!";
