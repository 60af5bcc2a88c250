#include "framework/CResourcePack.h"

#include <cstring>
#include <new>
#include <system_error>

#include "framework/CArchive.h"

namespace {

constexpr char magic[8] = {'W', 'E', 'V', 'R', 'A', 'R', 'E', 'S'};
constexpr size_t tagSize = 4;
constexpr char stringTableTag[tagSize] = {'S', 'T', 'R', 'S'};
constexpr char menuTag[tagSize] = {'M', 'E', 'N', 'U'};
constexpr char acceleratorTag[tagSize] = {'A', 'C', 'C', 'L'};
constexpr char imageTag[tagSize] = {'I', 'M', 'G', 'S'};
// A section header is its tag and its length; a string entry at least its id and length byte.
constexpr size_t sectionHeaderSize = tagSize + 4;
constexpr size_t minStringEntrySize = 4 + 1;
// A menu item is at least its kind, id and text length; an accelerator its command and keys
// length; an image its id and byte count.
constexpr size_t minMenuItemSize = 1 + 4 + 1;
constexpr size_t minAcceleratorSize = 4 + 1;
constexpr size_t minIdEntrySize = 4 + 1;
// Deeper nesting than any menu needs marks a damaged pack, and bounds the reader's recursion.
constexpr int maxMenuDepth = 8;

CResourcePack& CurrentPack()
{
    static CResourcePack pack;
    return pack;
}

void WriteSection(CArchive& ar, const char* tag, const std::vector<uint8_t>& body)
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

void WriteMenuItem(CArchive& ar, const CMenuItem& item)
{
    ar << static_cast<uint8_t>(item.kind) << item.id;
    ar.WriteString(item.text);
    if (item.kind == CMenuItem::popup) {
        ar.WriteCount(item.items.size());
        for (const CMenuItem& child : item.items)
            WriteMenuItem(ar, child);
    }
}

CMenuItem ReadMenuItem(CArchive& ar, int depth)
{
    CMenuItem item;
    uint8_t kind = ar.ReadByte();
    if (kind > CMenuItem::popup)
        CArchive::Fail(CArchiveException::generic, "Unknown menu item kind.");
    item.kind = static_cast<CMenuItem::Kind>(kind);
    item.id = ar.ReadDWord();
    item.text = ar.ReadString();
    if (item.kind == CMenuItem::popup) {
        if (depth >= maxMenuDepth)
            CArchive::Fail(CArchiveException::generic, "Menus are nested too deeply.");
        uint32_t count = ar.ReadCount(minMenuItemSize);
        for (uint32_t i = 0; i < count; ++i)
            item.items.push_back(ReadMenuItem(ar, depth + 1));
    }
    return item;
}

// Every section but the string table is a count of entries that start with a unique id.
template <typename Value, typename WriteValue>
std::vector<uint8_t> WriteIdSection(const std::map<uint32_t, Value>& entries, WriteValue write)
{
    CArchive ar;
    ar.WriteCount(entries.size());
    for (const auto& [id, value] : entries) {
        ar << id;
        write(ar, value);
    }
    return ar.TakeBuffer();
}

template <typename Value, typename ReadValue>
std::map<uint32_t, Value> ReadIdSection(std::vector<uint8_t> body, ReadValue read)
{
    CArchive ar(std::move(body));
    std::map<uint32_t, Value> entries;
    uint32_t count = ar.ReadCount(minIdEntrySize);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t id = ar.ReadDWord();
        if (!entries.emplace(id, read(ar)).second)
            CArchive::Fail(CArchiveException::generic,
                           "Resource id " + std::to_string(id) + " appears twice.");
    }
    if (!ar.IsAtEnd())
        CArchive::Fail(CArchiveException::badCount, "A resource section has trailing bytes.");
    return entries;
}

void WriteAccelerators(CArchive& ar, const std::vector<CAccelerator>& table)
{
    ar.WriteCount(table.size());
    for (const CAccelerator& accelerator : table) {
        ar << accelerator.command;
        ar.WriteString(accelerator.keys);
    }
}

std::vector<CAccelerator> ReadAccelerators(CArchive& ar)
{
    std::vector<CAccelerator> table;
    uint32_t count = ar.ReadCount(minAcceleratorSize);
    for (uint32_t i = 0; i < count; ++i) {
        CAccelerator accelerator;
        accelerator.command = ar.ReadDWord();
        accelerator.keys = ar.ReadString();
        table.push_back(std::move(accelerator));
    }
    return table;
}

void WriteImage(CArchive& ar, const std::vector<uint8_t>& bytes)
{
    ar.WriteCount(bytes.size());
    ar.Write(bytes.data(), bytes.size());
}

std::vector<uint8_t> ReadImage(CArchive& ar)
{
    std::vector<uint8_t> bytes(ar.ReadCount(1));
    ar.Read(bytes.data(), bytes.size());
    return bytes;
}

} // namespace

const CMenuItem* CResourcePack::GetMenu(uint32_t id) const
{
    auto found = m_menus.find(id);
    return found == m_menus.end() ? nullptr : &found->second;
}

const std::vector<CAccelerator>& CResourcePack::GetAccelerators(uint32_t id) const
{
    static const std::vector<CAccelerator> none;
    auto found = m_accelerators.find(id);
    return found == m_accelerators.end() ? none : found->second;
}

const std::vector<uint8_t>& CResourcePack::GetImage(uint32_t id) const
{
    static const std::vector<uint8_t> none;
    auto found = m_images.find(id);
    return found == m_images.end() ? none : found->second;
}

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

    std::vector<std::pair<const char*, std::vector<uint8_t>>> sections;
    sections.emplace_back(stringTableTag, strings.TakeBuffer());
    if (!m_menus.empty())
        sections.emplace_back(menuTag, WriteIdSection(m_menus, WriteMenuItem));
    if (!m_accelerators.empty())
        sections.emplace_back(acceleratorTag, WriteIdSection(m_accelerators, WriteAccelerators));
    if (!m_images.empty())
        sections.emplace_back(imageTag, WriteIdSection(m_images, WriteImage));

    ar.Write(magic, sizeof magic);
    ar << formatVersion;
    ar.WriteCount(sections.size());
    for (const auto& [tag, body] : sections)
        WriteSection(ar, tag, body);
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
    bool haveMenus = false;
    bool haveAccelerators = false;
    bool haveImages = false;
    auto once = [](bool& seen) {
        if (seen)
            CArchive::Fail(CArchiveException::generic, "A resource pack section appears twice.");
        seen = true;
    };
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
        } else if (std::memcmp(tag, menuTag, tagSize) == 0) {
            once(haveMenus);
            pack.m_menus = ReadIdSection<CMenuItem>(
                std::move(body), [](CArchive& in) { return ReadMenuItem(in, 0); });
        } else if (std::memcmp(tag, acceleratorTag, tagSize) == 0) {
            once(haveAccelerators);
            pack.m_accelerators =
                ReadIdSection<std::vector<CAccelerator>>(std::move(body), ReadAccelerators);
        } else if (std::memcmp(tag, imageTag, tagSize) == 0) {
            once(haveImages);
            pack.m_images = ReadIdSection<std::vector<uint8_t>>(std::move(body), ReadImage);
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
    std::unique_ptr<CArchive> file = CArchive::OpenForLoading(path, maxFileSize);
    try {
        return FromBytes(file->TakeBuffer());
    } catch (const CArchiveException& e) {
        throw CArchiveException(e.GetCause(), path.string() + ": " + e.what());
    } catch (const std::bad_alloc&) {
        CArchive::Fail(CArchiveException::fileError, CInputFile::OutOfMemoryText(path.string()));
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

bool CResourcePack::LoadFirstFound(const std::filesystem::path& folder, std::string* problem)
{
    std::string first;
    for (const char* name : languageNames) {
        std::filesystem::path path = folder / (std::string(name) + fileExtension);
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            continue;
        try {
            SetCurrent(Load(path));
            return true;
        } catch (const CArchiveException& refused) {
            // A damaged pack counts as absent: the next language is tried.
            if (first.empty())
                first = refused.what();
        }
    }
    if (problem != nullptr)
        *problem = !first.empty() ? first
                                  : "No language pack (" + std::string(languageNames[0]) +
                                        fileExtension + ") was found in " + folder.string() + ".";
    return false;
}
