// Writes the English language pack from the string table in resources/StringTable.def.
// Usage: MakeResourcePack <output file>

#include <cstdint>
#include <exception>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "framework/CArchiveException.h"
#include "framework/CResourcePack.h"

namespace {

struct StringEntry {
    uint32_t id;
    std::string_view text;
};

// sizeof - 1 keeps texts with embedded NUL bytes whole.
#define WEVRA_STRING(name, id, text) StringEntry{id, std::string_view(text, sizeof(text) - 1)},
constexpr StringEntry englishStrings[] = {
#include "resources/StringTable.def"
};
#undef WEVRA_STRING

constexpr bool IdsAreUnique()
{
    for (size_t i = 0; i < std::size(englishStrings); ++i)
        for (size_t j = i + 1; j < std::size(englishStrings); ++j)
            if (englishStrings[i].id == englishStrings[j].id)
                return false;
    return true;
}
static_assert(IdsAreUnique(), "resources/StringTable.def uses a string id twice");

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: MakeResourcePack <output file>\n";
        return 2;
    }
    CResourcePack pack;
    for (const StringEntry& entry : englishStrings)
        pack.SetString(entry.id, std::string(entry.text));
    try {
        pack.Save(argv[1]);
    } catch (const CArchiveException& e) {
        std::cerr << "MakeResourcePack: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
