#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/CArchiveException.h"
#include "framework/CObject.h"
#include "framework/CRuntimeClass.h"
#include "framework/LittleEndian.h"

// The archive stream every record of a design, library or clipboard copy goes through:
// little-endian, no alignment, with counts, strings, time stamps, raw arrays and object records
// tagged by class. A storing archive appends to a byte buffer; a loading archive reads a byte
// buffer and trusts nothing in it: every count and length is checked against what is left
// before anything is allocated, and every fault throws CArchiveException.
class CArchive {
public:
    enum Mode { store, load };

    // Tags of object records.
    static constexpr uint16_t nullTag = 0x0000;
    static constexpr uint16_t newClassTag = 0xFFFF;
    static constexpr uint16_t classTag = 0x8000;
    static constexpr uint16_t bigObjectTag = 0x7FFF;
    static constexpr uint32_t bigClassTag = 0x80000000u;
    static constexpr uint32_t maxMapCount = 0x3FFFFFFEu;

    // A storing archive, writing into its own buffer.
    CArchive();
    // A loading archive over a copy of the bytes.
    explicit CArchive(std::vector<uint8_t> bytes);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    // A loading archive over the whole content of a file, read as CInputFile reads it: a
    // regular file of at most `maxSize` bytes (throws fileError).
    static std::unique_ptr<CArchive> OpenForLoading(const std::filesystem::path& path,
                                                    uintmax_t maxSize);
    // Replaces the file by the stored bytes as CPathHelper::WriteFileAtomically does (throws
    // fileError, naming the file).
    void SaveToFile(const std::filesystem::path& path) const;

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    // The file the archive was opened from or saved to, empty for memory archives.
    const std::filesystem::path& GetFilePath() const { return m_path; }
    void SetFilePath(const std::filesystem::path& path) { m_path = path; }

    // Storing: everything written so far. Loading: the whole input.
    const std::vector<uint8_t>& GetBuffer() const { return m_buffer; }
    std::vector<uint8_t> TakeBuffer();
    // Loading: bytes not read yet; storing: 0.
    size_t GetRemaining() const { return m_size - m_pos; }
    size_t GetPosition() const { return m_pos; }
    bool IsAtEnd() const { return m_pos >= m_size; }

    // Storing: room for `size` more bytes, so that writing up to them moves nothing; a loading
    // archive ignores it.
    void Reserve(size_t size);

    // Raw bytes.
    void Write(const void* data, size_t size);
    void Read(void* data, size_t size);
    // Storing: appends `size` bytes for the caller to fill at once; the pointer is good until
    // the next write. Loading: checks that `size` bytes are left, steps over them and returns
    // where they begin. Arrays of many records go through these instead of value by value.
    uint8_t* AppendBlock(size_t size);
    const uint8_t* ReadBlock(size_t size);

    // Fixed-width integers and floating point, little-endian. The integers are inline: records
    // of many fields go through them value by value.
    CArchive& operator<<(uint8_t v) { return PutValue(v); }
    CArchive& operator<<(int8_t v) { return PutValue(v); }
    CArchive& operator<<(uint16_t v) { return PutValue(v); }
    CArchive& operator<<(int16_t v) { return PutValue(v); }
    CArchive& operator<<(uint32_t v) { return PutValue(v); }
    CArchive& operator<<(int32_t v) { return PutValue(v); }
    CArchive& operator<<(uint64_t v) { return PutValue(v); }
    CArchive& operator<<(int64_t v) { return PutValue(v); }
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const std::string& s)
    {
        WriteString(s);
        return *this;
    }
    CArchive& operator>>(uint8_t& v) { return GetValue(v); }
    CArchive& operator>>(int8_t& v) { return GetValue(v); }
    CArchive& operator>>(uint16_t& v) { return GetValue(v); }
    CArchive& operator>>(int16_t& v) { return GetValue(v); }
    CArchive& operator>>(uint32_t& v) { return GetValue(v); }
    CArchive& operator>>(int32_t& v) { return GetValue(v); }
    CArchive& operator>>(uint64_t& v) { return GetValue(v); }
    CArchive& operator>>(int64_t& v) { return GetValue(v); }
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(std::string& s)
    {
        s = ReadString();
        return *this;
    }

    uint8_t ReadByte()
    {
        uint8_t v;
        GetValue(v);
        return v;
    }
    uint16_t ReadWord()
    {
        uint16_t v;
        GetValue(v);
        return v;
    }
    uint32_t ReadDWord()
    {
        uint32_t v;
        GetValue(v);
        return v;
    }
    int32_t ReadInt()
    {
        int32_t v;
        GetValue(v);
        return v;
    }

    // Count form: a word, or 0xFFFF followed by a 32-bit count when it is 0xFFFF or more.
    void WriteCount(size_t count);
    // Reads a count and checks that `minBytesPerElement` bytes per element are still left
    // (pass 0 for counts of things that need no bytes of their own).
    uint32_t ReadCount(size_t minBytesPerElement = 1);

    // String form: a length byte under 255; else 0xFF and a word under 0xFFFE; else 0xFF,
    // 0xFFFF and a 32-bit length; then the single-byte characters, unterminated.
    void WriteString(const std::string& s);
    std::string ReadString();

    // Loading: steps over what Read, ReadString and a count of `elementSize`-byte elements
    // would read, with the same checks, making nothing. Record skippers for ReadObjectsOf are
    // made of these.
    void Skip(size_t size);
    void SkipString();
    void SkipCounted(size_t elementSize);

    // Time stamp: 32-bit count of seconds since 1970.
    void WriteTime(int64_t secondsSince1970);
    int64_t ReadTime();

    // Word array: a count, then the words.
    void WriteWordArray(const std::vector<uint16_t>& words);
    std::vector<uint16_t> ReadWordArray();
    // The same into an existing vector, keeping its room; on a fault it is left as it was.
    void ReadWordArray(std::vector<uint16_t>& words);

    // Object records. WriteObject takes nullptr (written as the null tag) or an object whose
    // class declares a run-time record. ReadObject returns nullptr for the null tag.
    void WriteObject(const CObject* object);
    std::unique_ptr<CObject> ReadObject();
    // Storing: WriteObject(objectAt(i)) for i from 0 to count - 1, the same bytes, with the
    // records of a long run made side by side on the work pool. objectAt and the objects'
    // storing must only read, as they run on several threads at once.
    void WriteObjects(size_t count, const std::function<const CObject*(size_t)>& objectAt);

    // Reads an object record that must be of class T (or derived); anything else is a
    // badClass error.
    template <typename T> std::unique_ptr<T> ReadObjectOf()
    {
        std::unique_ptr<CObject> object = ReadObject();
        if (!object)
            return nullptr;
        T* typed = dynamic_cast<T*>(object.get());
        if (!typed)
            ThrowWrongClass(*object, T::GetThisClass());
        object.release();
        return std::unique_ptr<T>(typed);
    }

    // Loading: `count` object records of class T (or null records), the same objects, warnings
    // and first fault as ReadObjectOf<T> called `count` times, each passed to afterRead(i, object)
    // once read. With more than one thread, a first pass finds where each record ends through
    // skipRecord, which must step over exactly the bytes T's Serialize reads after the tag;
    // then runs of records are read side by side on the work pool. A record of another class, a
    // fault the first pass meets, or a record read to another end than skipRecord found has the
    // records read one by one from the first again. afterRead runs on the pool too: it must
    // touch nothing but its object. Each object is then handed to a Held made from its
    // std::unique_ptr<T>, on the thread that read it.
    template <typename T, typename Held = std::unique_ptr<T>>
    std::vector<Held> ReadObjectsOf(size_t count, void (*skipRecord)(CArchive&),
                                    void (*afterRead)(size_t, T&) = nullptr)
    {
        std::vector<Held> loaded(count);
        const auto hold = [&](size_t i, std::unique_ptr<T> object) {
            if (afterRead && object)
                afterRead(i, *object);
            loaded[i] = Held(std::move(object));
        };
        const bool read = ReadRecordsSideBySide(
            count, T::GetThisClass(), skipRecord, [&](size_t i, std::unique_ptr<CObject> object) {
                // The first pass let through no class but T itself.
                hold(i, std::unique_ptr<T>(static_cast<T*>(object.release())));
            });
        if (read)
            return loaded;
        for (size_t i = 0; i < count; ++i)
            hold(i, ReadObjectOf<T>());
        return loaded;
    }

    // Lists of fewer records than this are read one by one by ReadObjectsOf (16384 unless set;
    // tests and fuzzing set it low to have short lists read side by side as well).
    static void SetSideBySideMinimum(size_t records);

    // An owning object array: a count, then one object record per element.
    template <typename T> void SerializeObjectArray(std::vector<std::unique_ptr<T>>& items)
    {
        if (IsStoring()) {
            WriteCount(items.size());
            for (const auto& item : items)
                WriteObject(item.get());
        } else {
            uint32_t count = ReadCount(2);
            std::vector<std::unique_ptr<T>> loaded;
            loaded.reserve(count);
            for (uint32_t i = 0; i < count; ++i)
                loaded.push_back(ReadObjectOf<T>());
            items = std::move(loaded);
        }
    }

    // Loading: repairs made to values that were out of range in the data. Classes note each
    // repair here (the same text once) instead of telling the user themselves; whoever started
    // the load shows them once when it is done.
    void AddLoadWarning(const std::string& text);
    const std::vector<std::string>& GetLoadWarnings() const { return m_loadWarnings; }

    // The schema word read with the object now being loaded (for classes that accept any).
    uint16_t GetObjectSchema() const { return m_objectSchema; }

    [[noreturn]] static void Fail(CArchiveException::Cause cause, const std::string& message);

private:
    struct ViewOf {};
    // A loading archive over the bytes of `source`, which must outlive it, from its start.
    CArchive(ViewOf, const CArchive& source);

    template <typename T> CArchive& PutValue(T value)
    {
        if (m_mode != store)
            CheckStoring();
        uint8_t bytes[sizeof(T)];
        StoreLittleEndian(bytes, value);
        m_buffer.insert(m_buffer.end(), bytes, bytes + sizeof(T));
        return *this;
    }
    template <typename T> CArchive& GetValue(T& value)
    {
        if (m_mode != load || sizeof(T) > m_size - m_pos)
            Require(sizeof(T));
        value = LoadLittleEndian<T>(m_data + m_pos);
        m_pos += sizeof(T);
        return *this;
    }
    void Require(size_t size);
    void CheckStoring() const;
    void CheckLoading() const;
    void AddMapEntry(const CRuntimeClass* klass, uint16_t schema = 0);
    // The class an object is stored as; badClass when it declares none.
    static const CRuntimeClass* ClassToStore(const CObject& object);
    // The tag of an object record of the class and the record's entry in the running index.
    void WriteClassTag(const CRuntimeClass* klass);
    [[noreturn]] static void ThrowWrongClass(const CObject& object, const CRuntimeClass& expected);
    uint32_t ReadStringLength();
    // Reads the tag of an object record and enters it in the running index; false for the
    // null tag, else the record's class and schema.
    bool ReadObjectTag(const CRuntimeClass*& klass, uint16_t& schema);
    static std::atomic<size_t>& SideBySideMinimum();
    // ReadObjectsOf on more than one thread: false, with the archive as it was, when the
    // records must be read one by one instead.
    bool ReadRecordsSideBySide(size_t count, const CRuntimeClass& klass,
                               void (*skipRecord)(CArchive&),
                               const std::function<void(size_t, std::unique_ptr<CObject>)>& place);

    Mode m_mode;
    std::vector<uint8_t> m_buffer;
    // Loading: the bytes read, m_buffer's own or those of the archive this one views.
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    std::filesystem::path m_path;
    uint16_t m_objectSchema = 0;
    std::vector<std::string> m_loadWarnings;

    // One running index per stream, shared by classes and objects; index 0 is the null tag.
    uint32_t m_mapCount = 1;
    std::unordered_map<const CRuntimeClass*, uint32_t> m_storedClasses;
    struct LoadedClass {
        const CRuntimeClass* klass;
        uint16_t schema;
    };
    std::unordered_map<uint32_t, LoadedClass> m_loadedClasses;
    // The entry of m_loadedClasses found last; index 0 names no class.
    uint32_t m_lastClassIndex = 0;
    LoadedClass m_lastClass{nullptr, 0};
};
