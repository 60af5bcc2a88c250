// Writes the English language pack: the string table of resources/StringTable.def and
// resources/CommandTexts.def, the menus of resources/Menus.def, the accelerators of
// resources/Accelerators.def and the given image files.
// Usage: MakeResourcePack <output file> [<image id> <PNG file>]...

#include <charconv>
#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CArchiveException.h"
#include "framework/CResourcePack.h"
#include "resources/CommandIds.h"

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

#define WEVRA_COMMAND_TEXT(id, text) StringEntry{id, std::string_view(text, sizeof(text) - 1)},
constexpr StringEntry commandTexts[] = {
#include "resources/CommandTexts.def"
};
#undef WEVRA_COMMAND_TEXT

template <size_t N, size_t M>
constexpr bool IdsAreUnique(const StringEntry (&a)[N], const StringEntry (&b)[M])
{
    auto at = [&](size_t i) { return i < N ? a[i].id : b[i - N].id; };
    for (size_t i = 0; i < N + M; ++i)
        for (size_t j = i + 1; j < N + M; ++j)
            if (at(i) == at(j))
                return false;
    return true;
}
static_assert(IdsAreUnique(englishStrings, commandTexts),
              "the string table and the command texts use a string id twice");

// The language pack and the program find a command by the same id, so a slip in the list of
// commands must stop the build rather than send one command's menu item to another.
#define WEVRA_COMMAND(name, id) id,
constexpr uint32_t commandIds[] = {
#include "resources/Commands.def"
};
#undef WEVRA_COMMAND

constexpr bool StrictlyIncreasing(const uint32_t* begin, const uint32_t* end)
{
    for (const uint32_t* id = begin; id + 1 < end; ++id)
        if (id[0] >= id[1])
            return false;
    return true;
}
static_assert(StrictlyIncreasing(std::begin(commandIds), std::end(commandIds)),
              "resources/Commands.def is not sorted by id or gives one id two names");

// The menu files as a flat list of steps, turned into trees below.
enum class Step { menu, menuEnd, popup, popupEnd, item, separator };
struct MenuStep {
    Step step;
    uint32_t id;
    std::string_view text;
};

#define WEVRA_MENU(id) MenuStep{Step::menu, id, {}},
#define WEVRA_MENU_END() MenuStep{Step::menuEnd, 0, {}},
#define WEVRA_POPUP(text) MenuStep{Step::popup, 0, text},
#define WEVRA_POPUP_END() MenuStep{Step::popupEnd, 0, {}},
#define WEVRA_ITEM(id, text) MenuStep{Step::item, id, text},
#define WEVRA_SEPARATOR() MenuStep{Step::separator, 0, {}},
constexpr MenuStep menuSteps[] = {
#include "resources/Menus.def"
};
#undef WEVRA_MENU
#undef WEVRA_MENU_END
#undef WEVRA_POPUP
#undef WEVRA_POPUP_END
#undef WEVRA_ITEM
#undef WEVRA_SEPARATOR

struct KeyStep {
    bool table;
    uint32_t id;
    std::string_view keys;
};
#define WEVRA_ACCELERATORS(id) KeyStep{true, id, {}},
#define WEVRA_ACCELERATORS_END()
#define WEVRA_KEY(keys, id) KeyStep{false, id, keys},
constexpr KeyStep keySteps[] = {
#include "resources/Accelerators.def"
};
#undef WEVRA_ACCELERATORS
#undef WEVRA_ACCELERATORS_END
#undef WEVRA_KEY

bool Fail(const std::string& message)
{
    std::cerr << "MakeResourcePack: " << message << '\n';
    return false;
}

bool AddMenus(CResourcePack& pack)
{
    std::vector<CMenuItem> open;
    uint32_t menuId = 0;
    for (const MenuStep& step : menuSteps) {
        switch (step.step) {
        case Step::menu:
            if (!open.empty())
                return Fail("menu " + std::to_string(step.id) + " starts inside another");
            menuId = step.id;
            open.push_back(CMenuItem{CMenuItem::popup, 0, {}, {}});
            break;
        case Step::popup:
            open.push_back(CMenuItem{CMenuItem::popup, 0, std::string(step.text), {}});
            break;
        case Step::item:
        case Step::separator:
            if (open.empty())
                return Fail("a menu item outside a menu");
            open.back().items.push_back(
                CMenuItem{step.step == Step::item ? CMenuItem::command : CMenuItem::separator,
                          step.id,
                          std::string(step.text),
                          {}});
            break;
        case Step::popupEnd:
        case Step::menuEnd: {
            if (open.empty() || (open.size() == 1) != (step.step == Step::menuEnd))
                return Fail("unbalanced popups in menu " + std::to_string(menuId));
            CMenuItem done = std::move(open.back());
            open.pop_back();
            if (open.empty())
                pack.SetMenu(menuId, std::move(done));
            else
                open.back().items.push_back(std::move(done));
            break;
        }
        }
    }
    return open.empty() || Fail("menu " + std::to_string(menuId) + " is not closed");
}

std::string WithoutAccessKeys(std::string_view text)
{
    std::string plain;
    for (char c : text)
        if (c != '&')
            plain += c;
    return plain;
}

// "Tracks Add" as the prompt and "&Tracks/&Add\tT" as the tip of a menu item that has no
// text of its own in the string table.
void AddMenuTexts(CResourcePack& pack, const CMenuItem& popup, const std::string& path)
{
    for (const CMenuItem& item : popup.items) {
        if (item.kind == CMenuItem::popup) {
            AddMenuTexts(pack, item, path.empty() ? item.text : path + "/" + item.text);
            continue;
        }
        if (item.kind != CMenuItem::command || pack.HasString(item.id))
            continue;
        std::string name = WithoutAccessKeys(item.text.substr(0, item.text.find('\t')));
        while (!name.empty() && name.back() == '.')
            name.pop_back();
        std::string top = WithoutAccessKeys(path.substr(0, path.find('/')));
        std::string prompt = top.empty() ? name : top + " " + name;
        std::string tip = path.empty() ? item.text : path + "/" + item.text;
        pack.SetString(item.id, prompt + "\n" + tip);
    }
}

bool AddAccelerators(CResourcePack& pack)
{
    std::vector<CAccelerator> table;
    uint32_t tableId = 0;
    bool inTable = false;
    for (const KeyStep& step : keySteps) {
        if (step.table) {
            if (inTable)
                pack.SetAccelerators(tableId, std::move(table));
            table.clear();
            tableId = step.id;
            inTable = true;
        } else if (!inTable) {
            return Fail("a key outside an accelerator table");
        } else {
            table.push_back(CAccelerator{std::string(step.keys), step.id});
        }
    }
    if (inTable)
        pack.SetAccelerators(tableId, std::move(table));
    return true;
}

bool AddImage(CResourcePack& pack, std::string_view idText, const std::string& path)
{
    uint32_t id = 0;
    auto [end, error] = std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (error != std::errc() || end != idText.data() + idText.size())
        return Fail("bad image id " + std::string(idText));
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail("cannot read " + path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    pack.SetImage(id, std::move(bytes));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc % 2 != 0) {
        std::cerr << "usage: MakeResourcePack <output file> [<image id> <PNG file>]...\n";
        return 2;
    }
    CResourcePack pack;
    for (const StringEntry& entry : englishStrings)
        pack.SetString(entry.id, std::string(entry.text));
    for (const StringEntry& entry : commandTexts)
        pack.SetString(entry.id, std::string(entry.text));
    if (!AddMenus(pack) || !AddAccelerators(pack))
        return 1;
    for (uint32_t menu : {213u, 210u, 208u, 204u})
        if (const CMenuItem* root = pack.GetMenu(menu))
            AddMenuTexts(pack, *root, {});
    for (int i = 2; i + 1 < argc; i += 2)
        if (!AddImage(pack, argv[i], argv[i + 1]))
            return 1;
    try {
        pack.Save(argv[1]);
    } catch (const CArchiveException& e) {
        std::cerr << "MakeResourcePack: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
