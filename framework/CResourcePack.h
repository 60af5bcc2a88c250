#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

class CArchive;

// One language's resources: for now the string table (id -> single-byte text). Menus,
// accelerators and toolbar images follow as further sections of the same file.
//
// File layout (little-endian):
//   "WEVRARES"          8 bytes
//   format version      u16
//   section count       archive count
//   per section         4-byte tag, u32 byte length, then that many bytes
// A reader skips sections whose tag it does not know, so packs with new sections still load
// in older programs. The string table section "STRS" holds an archive count of entries, each a
// u32 id and an archive string.
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

    bool IsEmpty() const { return m_strings.empty(); }

    // The text of a string id; empty when the pack has none.
    std::string GetString(uint32_t id) const;
    bool HasString(uint32_t id) const { return m_strings.count(id) != 0; }
    void SetString(uint32_t id, std::string text) { m_strings[id] = std::move(text); }
    const std::map<uint32_t, std::string>& GetStrings() const { return m_strings; }

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
    // current. False (current pack unchanged) when none does.
    static bool LoadFirstFound(const std::filesystem::path& folder);

private:
    void Store(CArchive& ar) const;

    std::map<uint32_t, std::string> m_strings;
};
