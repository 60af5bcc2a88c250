#include "framework/CArchive.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>

#include "framework/CInputFile.h"
#include "framework/CPathHelper.h"
#include "framework/CWorkPool.h"

#include "framework/CWindows1252.h"

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(std::vector<uint8_t> bytes)
    : m_mode(load), m_buffer(std::move(bytes)), m_data(m_buffer.data()), m_size(m_buffer.size())
{
}

CArchive::CArchive(ViewOf, const CArchive& source)
    : m_mode(load), m_data(source.m_data), m_size(source.m_size), m_path(source.m_path)
{
}

std::vector<uint8_t> CArchive::TakeBuffer()
{
    m_data = nullptr;
    m_size = 0;
    m_pos = 0;
    return std::move(m_buffer);
}

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
    const uint8_t* at = m_data + m_pos;
    m_pos += size;
    return at;
}

void CArchive::Read(void* data, size_t size)
{
    Require(size);
    if (size > 0)
        std::memcpy(data, m_data + m_pos, size);
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
    const uint32_t length = ReadStringLength();
    std::string s(reinterpret_cast<const char*>(m_data + m_pos), length);
    m_pos += length;
    return s;
}

void CArchive::SkipString()
{
    m_pos += ReadStringLength();
}

void CArchive::Skip(size_t size)
{
    Require(size);
    m_pos += size;
}

void CArchive::SkipCounted(size_t elementSize)
{
    const uint32_t count = ReadCount(elementSize);
    Skip(size_t(count) * elementSize);
}

// The length of a string record, checked against what is left.
uint32_t CArchive::ReadStringLength()
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
    return length;
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
    constexpr size_t objectsAlone = 4096;
    const size_t runs = CWorkPool::RunCount(count, objectsAlone);
    const auto oneByOne = [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i)
            WriteObject(objectAt(i));
    };
    if (runs < 2 || CWorkPool::ThreadCount() < 2) {
        oneByOne(0, count);
        return;
    }
    struct Run {
        size_t first = 0;
        CArchive bytes;
        // Per record: where its bytes end in `bytes`, and its class (nullptr for a null).
        std::vector<size_t> ends;
        std::vector<const CRuntimeClass*> classes;
        bool alone = true;
    };
    std::vector<Run> made(runs);
    const auto store = [&](size_t run, size_t first, size_t last) {
        Run& mine = made[run];
        mine.first = first;
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
    };
    CWorkPool::Shared().ForEachRun(count, objectsAlone, store);
    size_t total = 0;
    for (const Run& run : made)
        total += run.bytes.m_buffer.size() + run.ends.size() * sizeof(uint16_t);
    Reserve(total);
    for (const Run& mine : made) {
        if (!mine.alone) {
            oneByOne(mine.first, mine.first + mine.ends.size());
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
    const CRuntimeClass* klass = nullptr;
    uint16_t schema = 0;
    if (!ReadObjectTag(klass, schema))
        return nullptr;
    std::unique_ptr<CObject> object = klass->CreateObject();
    uint16_t outerSchema = m_objectSchema;
    m_objectSchema = schema;
    object->Serialize(*this);
    m_objectSchema = outerSchema;
    return object;
}

bool CArchive::ReadObjectTag(const CRuntimeClass*& klass, uint16_t& schema)
{
    uint16_t tag = ReadWord();
    if (tag == nullTag)
        return false;

    if (tag == newClassTag) {
        schema = ReadWord();
        uint16_t nameLength = ReadWord();
        if (nameLength > GetRemaining())
            Fail(CArchiveException::badCount, "Class name exceeds the rest of the file.");
        std::string name(reinterpret_cast<const char*>(m_data + m_pos), nameLength);
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
        // Collections are runs of records of one class: the class looked up last is asked first.
        if (index == 0 || index != m_lastClassIndex) {
            auto found = m_loadedClasses.find(index);
            if (found == m_loadedClasses.end())
                Fail(CArchiveException::badIndex,
                     "Class tag " + std::to_string(index) + " names no earlier class.");
            m_lastClassIndex = index;
            m_lastClass = found->second;
        }
        klass = m_lastClass.klass;
        schema = m_lastClass.schema;
    }

    AddMapEntry(nullptr);
    return true;
}

std::atomic<size_t>& CArchive::SideBySideMinimum()
{
    // Shorter lists gain less from the other threads than waking them costs.
    static std::atomic<size_t> minimum{16384};
    return minimum;
}

void CArchive::SetSideBySideMinimum(size_t records)
{
    SideBySideMinimum().store(records, std::memory_order_relaxed);
}

bool CArchive::ReadRecordsSideBySide(
    size_t count, const CRuntimeClass& klass, void (*skipRecord)(CArchive&),
    const std::function<void(size_t, std::unique_ptr<CObject>)>& place)
{
    CheckLoading();
    const size_t threads = size_t(CWorkPool::ThreadCount());
    const size_t minimum = std::max<size_t>(2, SideBySideMinimum().load(std::memory_order_relaxed));
    if (count < minimum || threads < 2)
        return false;

    const size_t startPos = m_pos;
    const uint32_t startMapCount = m_mapCount;
    struct Record {
        size_t begin;
        size_t end;
        uint16_t schema;
        bool present;
    };
    std::vector<Record> records(count);
    // The runs are short, so that a thread the system keeps waiting holds up few records: the
    // others take on the rest.
    constexpr size_t runsPerThread = 8;
    const size_t perRun = std::max({size_t(1), minimum / 64, count / (threads * runsPerThread)});
    const size_t runs = (count + perRun - 1) / perRun;
    struct Run {
        std::vector<std::string> warnings;
        size_t stoppedAt = SIZE_MAX;
        std::exception_ptr error; // null when the run stopped at a record read to another end
    };
    std::vector<Run> made(runs);
    // Records whose ends the first pass found; `count + 1` once it gave up.
    std::atomic<size_t> scanned{0};
    const size_t gaveUp = count + 1;

    // Item 0 is the first pass: the tags go into the running index as the one-by-one reading
    // enters them, and each record's body is stepped over. Anything it cannot step over is
    // left to the one-by-one reading, which then meets the same fault at the same place. The
    // other items are runs of records, each read, as soon as the first pass passed it, by an
    // archive of its own over the same bytes, which sees the rest of the file from the record
    // on as this one would. A run stops at its first fault; the first fault in file order is
    // the one the one-by-one reading meets.
    const auto firstPass = [&] {
        try {
            for (size_t i = 0; i < count; ++i) {
                Record& record = records[i];
                const CRuntimeClass* found = nullptr;
                record.schema = 0;
                record.present = ReadObjectTag(found, record.schema);
                if (record.present && found != &klass)
                    break;
                record.begin = m_pos;
                if (record.present)
                    skipRecord(*this);
                record.end = m_pos;
                if ((i + 1) % perRun == 0 || i + 1 == count) {
                    scanned.store(i + 1, std::memory_order_release);
                    scanned.notify_all();
                }
            }
        } catch (const CArchiveException&) {
        }
        if (scanned.load(std::memory_order_relaxed) != count) {
            scanned.store(gaveUp, std::memory_order_release);
            scanned.notify_all();
        }
    };
    const auto readRun = [&](size_t run) {
        const size_t last = std::min(count, (run + 1) * perRun);
        for (size_t seen = scanned.load(std::memory_order_acquire); seen < last;
             seen = scanned.load(std::memory_order_acquire))
            scanned.wait(seen, std::memory_order_acquire);
        if (scanned.load(std::memory_order_acquire) == gaveUp)
            return;
        Run& mine = made[run];
        CArchive view(ViewOf{}, *this);
        for (size_t i = run * perRun; i < last; ++i) {
            const Record& record = records[i];
            try {
                std::unique_ptr<CObject> object;
                if (record.present) {
                    view.m_pos = record.begin;
                    view.m_objectSchema = record.schema;
                    object = klass.CreateObject();
                    object->Serialize(view);
                    // Records holding object records of their own need this archive's index.
                    if (view.m_pos != record.end || view.m_mapCount != 1) {
                        mine.stoppedAt = i;
                        break;
                    }
                }
                place(i, std::move(object));
            } catch (...) {
                mine.stoppedAt = i;
                mine.error = std::current_exception();
                break;
            }
        }
        mine.warnings = std::move(view.m_loadWarnings);
    };
    // A list of one run is read on this thread, the same way.
    if (runs == 1) {
        firstPass();
        readRun(0);
    } else {
        CWorkPool::Shared().ForEach(runs + 1, [&](size_t item) {
            if (item == 0)
                firstPass();
            else
                readRun(item - 1);
        });
    }

    bool readAll = scanned.load() == count;
    for (const Run& run : made) {
        if (!readAll || run.stoppedAt == SIZE_MAX)
            continue;
        if (run.error)
            std::rethrow_exception(run.error);
        readAll = false;
    }
    if (!readAll) {
        m_pos = startPos;
        m_mapCount = startMapCount;
        m_lastClassIndex = 0;
        std::erase_if(m_loadedClasses,
                      [&](const auto& entry) { return entry.first >= startMapCount; });
        return false;
    }
    for (const Run& run : made) {
        for (const std::string& text : run.warnings)
            AddLoadWarning(text);
    }
    m_pos = records.back().end;
    return true;
}

void CArchive::ThrowWrongClass(const CObject& object, const CRuntimeClass& expected)
{
    const CRuntimeClass* klass = object.GetRuntimeClass();
    Fail(CArchiveException::badClass, std::string("Found class \"") +
                                          (klass ? klass->GetName() : "?") + "\" where \"" +
                                          expected.GetName() + "\" was expected.");
}
