#pragma once

#include <cstdint>
#include <string>

// Texts of the string table of the current language pack (CResourcePack::GetCurrent), by id.
// Texts are single-byte.
class CResString {
public:
    // The text of a string id; empty when the pack has none.
    static std::string Load(uint32_t id);
    // That text up to its first newline: the prompt part of a command's text.
    static std::string LoadPart(uint32_t id);
    // The text with its first "%s" replaced by the argument (a file name, a design name).
    static std::string LoadWith(uint32_t id, const std::string& argument);
    // The same for the file message box: the text in UTF-8, the argument a name of the file
    // system, kept in its own encoding.
    static std::string LoadWithFile(uint32_t id, const std::string& name);
};
