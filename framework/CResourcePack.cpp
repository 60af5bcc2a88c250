#include "framework/CResourcePack.h"

#include <cstring>
#include <system_error>

#include "framework/CArchive.h"

namespace {

constexpr char magic[8] = {'W', 'E', 'V', 'R', 'A', 'R', 'E', 'S'};
constexpr size_t tagSize = 4;
constexpr char stringTableTag[tagSize] = {'S', 'T', 'R', 'S'};
// A section header is its tag and its length; a string entry at least its id and length byte.
constexpr size_t sectionHeaderSize = tagSize + 4;
constexpr size_t minStringEntrySize = 4 + 1;

CResourcePack& CurrentPack()
{
    static CResourcePack pack;
    return pack;
}

void WriteSection(CArchive& ar, const char (&tag)[tagSize], const std::vector<uint8_t>& body)
{
    if (body.size() > 0xFFFFFFFFu)
        CArchive::Fail(CArchiveException::badCount, "Resource pack section too large.");
    ar.Write(tag, tagSize);
    ar << static_cast<uint32_t>(body.size());
    ar.Write(body.data(), body.size());
}

std::map<uint32_t, std::string> ReadStringTable(std::vector<uint8_t> body)
{
    CArchive ar(std::move(body));
    std::map<uint32_t, std::string> strings;
    uint32_t count = ar.ReadCount(minStringEntrySize);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t id = ar.ReadDWord();
        std::string text = ar.ReadString();
        if (!strings.emplace(id, std::move(text)).second)
            CArchive::Fail(CArchiveException::generic,
                           "String id " + std::to_string(id) + " appears twice.");
    }
    if (!ar.IsAtEnd())
        CArchive::Fail(CArchiveException::badCount,
                       "The string table is shorter than its section.");
    return strings;
}

} // namespace

std::string CResourcePack::GetString(uint32_t id) const
{
    auto found = m_strings.find(id);
    return found == m_strings.end() ? std::string() : found->second;
}

std::vector<uint8_t> CResourcePack::ToBytes() const
{
    CArchive ar;
    Store(ar);
    return ar.TakeBuffer();
}

void CResourcePack::Store(CArchive& ar) const
{
    CArchive strings;
    strings.WriteCount(m_strings.size());
    for (const auto& [id, text] : m_strings) {
        strings << id;
        strings.WriteString(text);
    }

    ar.Write(magic, sizeof magic);
    ar << formatVersion;
    ar.WriteCount(1);
    WriteSection(ar, stringTableTag, strings.GetBuffer());
}

CResourcePack CResourcePack::FromBytes(std::vector<uint8_t> bytes)
{
    CArchive ar(std::move(bytes));
    char header[sizeof magic];
    ar.Read(header, sizeof header);
    if (std::memcmp(header, magic, sizeof magic) != 0)
        CArchive::Fail(CArchiveException::generic, "Not a resource pack.");
    uint16_t version = ar.ReadWord();
    if (version != formatVersion)
        CArchive::Fail(CArchiveException::generic,
                       "Resource pack format " + std::to_string(version) + " is not supported.");

    CResourcePack pack;
    bool haveStrings = false;
    uint32_t sectionCount = ar.ReadCount(sectionHeaderSize);
    for (uint32_t i = 0; i < sectionCount; ++i) {
        char tag[tagSize];
        ar.Read(tag, tagSize);
        uint32_t length = ar.ReadDWord();
        if (length > ar.GetRemaining())
            CArchive::Fail(CArchiveException::badCount,
                           "Resource pack section exceeds the rest of the file.");
        std::vector<uint8_t> body(length);
        ar.Read(body.data(), length);
        if (std::memcmp(tag, stringTableTag, tagSize) == 0) {
            if (haveStrings)
                CArchive::Fail(CArchiveException::generic,
                               "The resource pack holds two string tables.");
            pack.m_strings = ReadStringTable(std::move(body));
            haveStrings = true;
        }
    }
    if (!ar.IsAtEnd())
        CArchive::Fail(CArchiveException::badCount,
                       "Unexpected bytes after the last resource pack section.");
    return pack;
}

void CResourcePack::Save(const std::filesystem::path& path) const
{
    CArchive ar;
    Store(ar);
    ar.SaveToFile(path);
}

CResourcePack CResourcePack::Load(const std::filesystem::path& path)
{
    std::unique_ptr<CArchive> file = CArchive::OpenForLoading(path);
    try {
        return FromBytes(file->TakeBuffer());
    } catch (const CArchiveException& e) {
        throw CArchiveException(e.GetCause(), path.string() + ": " + e.what());
    }
}

const CResourcePack& CResourcePack::GetCurrent()
{
    return CurrentPack();
}

void CResourcePack::SetCurrent(CResourcePack pack)
{
    CurrentPack() = std::move(pack);
}

bool CResourcePack::LoadFirstFound(const std::filesystem::path& folder)
{
    for (const char* name : languageNames) {
        std::filesystem::path path = folder / (std::string(name) + fileExtension);
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            continue;
        try {
            SetCurrent(Load(path));
            return true;
        } catch (const CArchiveException&) {
            // A damaged pack counts as absent: the next language is tried.
        }
    }
    return false;
}
