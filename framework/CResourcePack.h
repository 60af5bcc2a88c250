#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/CAccelerator.h"
#include "framework/CInputFile.h"
#include "framework/CMenuItem.h"

class CArchive;

// One language's resources: the string table (id -> single-byte text), the menus, the
// accelerator tables and the images (toolbar strips, cursors) of the program.
//
// File layout (little-endian):
//   "WEVRARES"          8 bytes
//   format version      u16
//   section count       archive count
//   per section         4-byte tag, u32 byte length, then that many bytes
// A reader skips sections whose tag it does not know, so packs with new sections still load
// in older programs. The string table section "STRS" holds an archive count of entries, each a
// u32 id and an archive string. Further sections, each an archive count of entries:
//   "MENU"  u32 menu id, then the menu as an item: u8 kind (0 command, 1 separator, 2 popup),
//           u32 command id, archive string text, and for a popup an archive count of items
//   "ACCL"  u32 table id, archive count of keystrokes, each u32 command id and archive string
//           keys
//   "IMGS"  u32 image id, archive count of bytes, the bytes (a PNG file)
// A pack writes only the sections that hold something.
//
// Loading checks every count and length against the bytes that are there and either loads the
// whole pack or throws CArchiveException, so a corrupt pack is never half-used.
class CResourcePack {
public:
    static constexpr char fileExtension[] = ".lng";
    // The language packs the program looks for at start-up, in order of preference.
    static constexpr std::array<const char*, 4> languageNames = {"PCB001", "PCB031", "PCB033",
                                                                 "PCB049"};
    static constexpr uint16_t formatVersion = 1;
    // A pack holds the texts, menus and toolbar images of the program: well under a megabyte.
    static constexpr uintmax_t maxFileSize = 64 * CInputFile::megabyte;

    bool IsEmpty() const { return m_strings.empty(); }

    // The text of a string id; empty when the pack has none.
    std::string GetString(uint32_t id) const;
    bool HasString(uint32_t id) const { return m_strings.count(id) != 0; }
    void SetString(uint32_t id, std::string text) { m_strings[id] = std::move(text); }
    const std::map<uint32_t, std::string>& GetStrings() const { return m_strings; }

    // A menu resource; nullptr when the pack has none of that id.
    const CMenuItem* GetMenu(uint32_t id) const;
    void SetMenu(uint32_t id, CMenuItem menu) { m_menus[id] = std::move(menu); }
    // An accelerator table; empty when the pack has none of that id.
    const std::vector<CAccelerator>& GetAccelerators(uint32_t id) const;
    void SetAccelerators(uint32_t id, std::vector<CAccelerator> table)
    {
        m_accelerators[id] = std::move(table);
    }
    // An image file's bytes; empty when the pack has none of that id.
    const std::vector<uint8_t>& GetImage(uint32_t id) const;
    void SetImage(uint32_t id, std::vector<uint8_t> bytes) { m_images[id] = std::move(bytes); }

    std::vector<uint8_t> ToBytes() const;
    static CResourcePack FromBytes(std::vector<uint8_t> bytes);

    // Both throw CArchiveException (fileError, or the fault found in the content).
    void Save(const std::filesystem::path& path) const;
    static CResourcePack Load(const std::filesystem::path& path);

    // The pack every string lookup of the program uses; an empty pack until one is set.
    // Setting another invalidates references to the previous one.
    static const CResourcePack& GetCurrent();
    static void SetCurrent(CResourcePack pack);

    // Tries the language packs in `folder` in order; the first that exists and loads becomes
    // current. False (current pack unchanged) when none does; `problem` then names the first
    // pack that could not be read and why, or the folder where none was found.
    static bool LoadFirstFound(const std::filesystem::path& folder, std::string* problem = nullptr);

private:
    void Store(CArchive& ar) const;

    std::map<uint32_t, std::string> m_strings;
    std::map<uint32_t, CMenuItem> m_menus;
    std::map<uint32_t, std::vector<CAccelerator>> m_accelerators;
    std::map<uint32_t, std::vector<uint8_t>> m_images;
};
