#include "framework/CArchive.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "framework/CInputFile.h"
#include "framework/CPathHelper.h"
#include "framework/CWorkPool.h"

#include "framework/CWindows1252.h"

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(std::vector<uint8_t> bytes) : m_mode(load), m_buffer(std::move(bytes)) {}

void CArchive::Fail(CArchiveException::Cause cause, const std::string& message)
{
    throw CArchiveException(cause, message);
}

std::unique_ptr<CArchive> CArchive::OpenForLoading(const std::filesystem::path& path,
                                                   uintmax_t maxSize)
{
    auto archive = std::make_unique<CArchive>(CInputFile::ReadBytes(path, maxSize));
    archive->m_path = path;
    return archive;
}

void CArchive::SaveToFile(const std::filesystem::path& path) const
{
    CheckStoring();
    std::string reason;
    if (!CPathHelper::WriteFileAtomically(path, m_buffer.data(), m_buffer.size(), &reason))
        Fail(CArchiveException::fileError,
             "Cannot save \"" + path.string() + "\": " + reason + ".");
}

void CArchive::CheckStoring() const
{
    if (m_mode != store)
        Fail(CArchiveException::generic, "Archive is not storing.");
}

void CArchive::CheckLoading() const
{
    if (m_mode != load)
        Fail(CArchiveException::generic, "Archive is not loading.");
}

void CArchive::Require(size_t size)
{
    CheckLoading();
    if (size > GetRemaining())
        Fail(CArchiveException::endOfFile,
             m_path.empty() ? std::string("Unexpected end of file.")
                            : "Unexpected end of file in \"" + m_path.string() + "\".");
}

void CArchive::Reserve(size_t size)
{
    if (IsStoring() && size > m_buffer.capacity() - m_buffer.size())
        m_buffer.reserve(m_buffer.size() + size);
}

void CArchive::Write(const void* data, size_t size)
{
    CheckStoring();
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
}

uint8_t* CArchive::AppendBlock(size_t size)
{
    CheckStoring();
    const size_t at = m_buffer.size();
    m_buffer.resize(at + size);
    return m_buffer.data() + at;
}

const uint8_t* CArchive::ReadBlock(size_t size)
{
    Require(size);
    const uint8_t* at = m_buffer.data() + m_pos;
    m_pos += size;
    return at;
}

void CArchive::Read(void* data, size_t size)
{
    Require(size);
    if (size > 0)
        std::memcpy(data, m_buffer.data() + m_pos, size);
    m_pos += size;
}

CArchive& CArchive::operator<<(float v)
{
    return *this << std::bit_cast<uint32_t>(v);
}

CArchive& CArchive::operator<<(double v)
{
    return *this << std::bit_cast<uint64_t>(v);
}

CArchive& CArchive::operator>>(float& v)
{
    uint32_t bits;
    *this >> bits;
    v = std::bit_cast<float>(bits);
    return *this;
}

CArchive& CArchive::operator>>(double& v)
{
    uint64_t bits;
    *this >> bits;
    v = std::bit_cast<double>(bits);
    return *this;
}

void CArchive::WriteCount(size_t count)
{
    if (count < 0xFFFF) {
        *this << static_cast<uint16_t>(count);
        return;
    }
    if (count > 0xFFFFFFFFu)
        Fail(CArchiveException::badCount, "Count too large for the archive.");
    *this << static_cast<uint16_t>(0xFFFF) << static_cast<uint32_t>(count);
}

uint32_t CArchive::ReadCount(size_t minBytesPerElement)
{
    uint32_t count = ReadWord();
    if (count == 0xFFFF)
        count = ReadDWord();
    if (minBytesPerElement > 0 && count > GetRemaining() / minBytesPerElement)
        Fail(CArchiveException::badCount,
             "Count " + std::to_string(count) + " exceeds the rest of the file.");
    return count;
}

void CArchive::WriteString(const std::string& s)
{
    size_t length = s.size();
    if (length < 0xFF) {
        *this << static_cast<uint8_t>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(length);
    } else {
        if (length > 0xFFFFFFFFu)
            Fail(CArchiveException::badCount, "String too long for the archive.");
        *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(0xFFFF)
              << static_cast<uint32_t>(length);
    }
    Write(s.data(), length);
}

std::string CArchive::ReadString()
{
    uint32_t length = ReadByte();
    if (length == 0xFF) {
        length = ReadWord();
        if (length == 0xFFFE)
            Fail(CArchiveException::generic, "Wide-character strings are not supported.");
        if (length == 0xFFFF)
            length = ReadDWord();
    }
    if (length > GetRemaining())
        Fail(CArchiveException::badCount,
             "String length " + std::to_string(length) + " exceeds the rest of the file.");
    std::string s(reinterpret_cast<const char*>(m_buffer.data() + m_pos), length);
    m_pos += length;
    return s;
}

void CArchive::WriteTime(int64_t secondsSince1970)
{
    // The stored field is 32 bits wide; times outside it are clamped rather than wrapped.
    if (secondsSince1970 < 0)
        secondsSince1970 = 0;
    if (secondsSince1970 > 0xFFFFFFFFll)
        secondsSince1970 = 0xFFFFFFFFll;
    *this << static_cast<uint32_t>(secondsSince1970);
}

int64_t CArchive::ReadTime()
{
    return ReadDWord();
}

void CArchive::WriteWordArray(const std::vector<uint16_t>& words)
{
    WriteCount(words.size());
    uint8_t* out = AppendBlock(words.size() * 2);
    for (const uint16_t w : words) {
        StoreLittleEndian(out, w);
        out += 2;
    }
}

std::vector<uint16_t> CArchive::ReadWordArray()
{
    std::vector<uint16_t> words;
    ReadWordArray(words);
    return words;
}

void CArchive::ReadWordArray(std::vector<uint16_t>& words)
{
    const uint32_t count = ReadCount(2);
    const uint8_t* in = ReadBlock(size_t(count) * 2);
    words.resize(count);
    for (uint16_t& w : words) {
        w = LoadLittleEndian<uint16_t>(in);
        in += 2;
    }
}

void CArchive::AddLoadWarning(const std::string& text)
{
    if (std::find(m_loadWarnings.begin(), m_loadWarnings.end(), text) == m_loadWarnings.end())
        m_loadWarnings.push_back(text);
}

void CArchive::AddMapEntry(const CRuntimeClass* klass, uint16_t schema)
{
    if (m_mapCount >= maxMapCount)
        Fail(CArchiveException::badIndex, "Too many objects in one archive.");
    if (IsStoring()) {
        if (klass)
            m_storedClasses.emplace(klass, m_mapCount);
    } else if (klass) {
        m_loadedClasses.emplace(m_mapCount, LoadedClass{klass, schema});
    }
    ++m_mapCount;
}

const CRuntimeClass* CArchive::ClassToStore(const CObject& object)
{
    const CRuntimeClass* klass = object.GetRuntimeClass();
    if (!klass)
        Fail(CArchiveException::badClass, "Object has no run-time class to store.");
    return klass;
}

void CArchive::WriteClassTag(const CRuntimeClass* klass)
{
    auto found = m_storedClasses.find(klass);
    if (found != m_storedClasses.end()) {
        uint32_t index = found->second;
        if (index < bigObjectTag) {
            *this << static_cast<uint16_t>(classTag | index);
        } else {
            *this << bigObjectTag << (bigClassTag | index);
        }
    } else {
        std::string name = klass->GetName();
        *this << newClassTag << klass->GetSchemaWord() << static_cast<uint16_t>(name.size());
        Write(name.data(), name.size());
        AddMapEntry(klass);
    }
    AddMapEntry(nullptr);
}

void CArchive::WriteObject(const CObject* object)
{
    CheckStoring();
    if (!object) {
        *this << nullTag;
        return;
    }
    WriteClassTag(ClassToStore(*object));
    // One Serialize both stores and loads; a storing archive only reads the object.
    const_cast<CObject*>(object)->Serialize(*this);
}

void CArchive::WriteObjects(size_t count, const std::function<const CObject*(size_t)>& objectAt)
{
    CheckStoring();
    // Runs of records are stored side by side into archives of their own; here each record
    // then gets its tag and its bytes in order. A tag depends on the running index of this
    // archive, the rest of a record does not, unless the record holds object records of its
    // own: a run of such records is written one by one after all.
    constexpr size_t objectsPerRun = 4096;
    const size_t runs = (count + objectsPerRun - 1) / objectsPerRun;
    const auto oneByOne = [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i)
            WriteObject(objectAt(i));
    };
    if (runs < 2 || CWorkPool::ThreadCount() < 2) {
        oneByOne(0, count);
        return;
    }
    struct Run {
        CArchive bytes;
        // Per record: where its bytes end in `bytes`, and its class (nullptr for a null).
        std::vector<size_t> ends;
        std::vector<const CRuntimeClass*> classes;
        bool alone = true;
    };
    std::vector<Run> made(runs);
    CWorkPool::Shared().ForEach(runs, [&](size_t run) {
        Run& mine = made[run];
        const size_t first = run * objectsPerRun;
        const size_t last = std::min(count, first + objectsPerRun);
        mine.ends.reserve(last - first);
        mine.classes.reserve(last - first);
        for (size_t i = first; i < last; ++i) {
            const CObject* object = objectAt(i);
            mine.classes.push_back(object ? ClassToStore(*object) : nullptr);
            if (object)
                const_cast<CObject*>(object)->Serialize(mine.bytes);
            mine.ends.push_back(mine.bytes.m_buffer.size());
        }
        mine.alone = mine.bytes.m_mapCount == 1;
    });
    size_t total = 0;
    for (const Run& run : made)
        total += run.bytes.m_buffer.size() + run.ends.size() * sizeof(uint16_t);
    Reserve(total);
    for (size_t run = 0; run < runs; ++run) {
        const Run& mine = made[run];
        if (!mine.alone) {
            oneByOne(run * objectsPerRun, run * objectsPerRun + mine.ends.size());
            continue;
        }
        size_t from = 0;
        for (size_t k = 0; k < mine.ends.size(); ++k) {
            if (mine.classes[k]) {
                WriteClassTag(mine.classes[k]);
                Write(mine.bytes.m_buffer.data() + from, mine.ends[k] - from);
            } else {
                *this << nullTag;
            }
            from = mine.ends[k];
        }
    }
}

std::unique_ptr<CObject> CArchive::ReadObject()
{
    uint16_t tag = ReadWord();
    if (tag == nullTag)
        return nullptr;

    const CRuntimeClass* klass = nullptr;
    uint16_t schema = 0;
    if (tag == newClassTag) {
        schema = ReadWord();
        uint16_t nameLength = ReadWord();
        if (nameLength > GetRemaining())
            Fail(CArchiveException::badCount, "Class name exceeds the rest of the file.");
        std::string name(reinterpret_cast<const char*>(m_buffer.data() + m_pos), nameLength);
        m_pos += nameLength;
        klass = CRuntimeClass::FromName(name);
        if (!klass)
            Fail(CArchiveException::badClass,
                 "Unknown class \"" + CWindows1252::ToUtf8(name) + "\" in the file.");
        if (!klass->AcceptsAnySchema() && schema != klass->GetSchemaWord())
            Fail(CArchiveException::badSchema, "Class \"" + name + "\" has schema " +
                                                   std::to_string(schema) + ", expected " +
                                                   std::to_string(klass->GetSchemaWord()) + ".");
        AddMapEntry(klass, schema);
    } else {
        uint32_t objectTag;
        if (tag == bigObjectTag)
            objectTag = ReadDWord();
        else
            objectTag = (static_cast<uint32_t>(tag & classTag) << 16) | (tag & ~classTag);
        if (!(objectTag & bigClassTag))
            // A back-reference to an object already read: our collections own their
            // elements, so one object cannot stand in two places.
            Fail(CArchiveException::badIndex, "Shared object reference in the file.");
        uint32_t index = objectTag & ~bigClassTag;
        auto found = m_loadedClasses.find(index);
        if (found == m_loadedClasses.end())
            Fail(CArchiveException::badIndex,
                 "Class tag " + std::to_string(index) + " names no earlier class.");
        klass = found->second.klass;
        schema = found->second.schema;
    }

    AddMapEntry(nullptr);
    std::unique_ptr<CObject> object = klass->CreateObject();
    uint16_t outerSchema = m_objectSchema;
    m_objectSchema = schema;
    object->Serialize(*this);
    m_objectSchema = outerSchema;
    return object;
}

void CArchive::ThrowWrongClass(const CObject& object, const CRuntimeClass& expected)
{
    const CRuntimeClass* klass = object.GetRuntimeClass();
    Fail(CArchiveException::badClass, std::string("Found class \"") +
                                          (klass ? klass->GetName() : "?") + "\" where \"" +
                                          expected.GetName() + "\" was expected.");
}
