#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "framework/CArchive.h"

// A growable array of fixed-size records that stores itself as a count in the archive's count
// form followed by the records. T provides recordSize, Write(CArchive&) and Read(CArchive&);
// a T that can also Encode(uint8_t*) and Decode(const uint8_t*) its recordSize bytes is moved
// through the archive as one block for the whole array.
// Element access is unchecked: callers pass 0 <= index < GetSize().
template <typename T> class CRecordArray {
public:
    int32_t GetSize() const { return static_cast<int32_t>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    T& operator[](int32_t index) { return m_items[static_cast<size_t>(index)]; }
    const T& operator[](int32_t index) const { return m_items[static_cast<size_t>(index)]; }

    // Index of the new record.
    int32_t Add(const T& record)
    {
        m_items.push_back(record);
        return GetSize() - 1;
    }
    // Inserts `count` copies before `index`; an index at or past the end appends.
    void InsertAt(int32_t index, const T& record, int32_t count = 1)
    {
        if (count <= 0)
            return;
        const size_t at = std::min(static_cast<size_t>(std::max(index, 0)), m_items.size());
        m_items.insert(m_items.begin() + static_cast<ptrdiff_t>(at), static_cast<size_t>(count),
                       record);
    }
    // Removes up to `count` records from `index` on; indexes outside the array remove nothing.
    void RemoveAt(int32_t index, int32_t count = 1)
    {
        if (index < 0 || index >= GetSize() || count <= 0)
            return;
        const int32_t end = std::min(GetSize(), index + std::min(count, GetSize()));
        m_items.erase(m_items.begin() + index, m_items.begin() + end);
    }
    void RemoveAll() { m_items.clear(); }
    // The records handed over whole, leaving the array empty.
    std::vector<T> TakeAll() { return std::exchange(m_items, {}); }
    // Room for `count` records in all, so that adding up to them moves none.
    void Reserve(int64_t count)
    {
        m_items.reserve(static_cast<size_t>(std::max<int64_t>(count, 0)));
    }
    // New records are default records; a negative size counts as 0.
    void SetSize(int32_t size) { m_items.resize(static_cast<size_t>(std::max(size, 0))); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    // Loading replaces the records only once the whole array was read.
    void Serialize(CArchive& ar)
    {
        constexpr bool inBlocks = requires(T item, uint8_t * out, const uint8_t* in)
        {
            item.Encode(out);
            item.Decode(in);
        };
        if (ar.IsStoring()) {
            ar.WriteCount(m_items.size());
            if constexpr (inBlocks) {
                uint8_t* out = ar.AppendBlock(m_items.size() * T::recordSize);
                for (const T& item : m_items) {
                    item.Encode(out);
                    out += T::recordSize;
                }
            } else {
                for (const T& item : m_items)
                    item.Write(ar);
            }
            return;
        }
        const uint32_t count = ar.ReadCount(T::recordSize);
        if constexpr (inBlocks) {
            // Once the bytes are known to be there nothing can fail, so the records are decoded
            // in place.
            const uint8_t* in = ar.ReadBlock(size_t(count) * T::recordSize);
            m_items.clear();
            m_items.reserve(count);
            for (uint32_t k = 0; k < count; ++k) {
                T item;
                item.Decode(in);
                m_items.push_back(item);
                in += T::recordSize;
            }
        } else {
            std::vector<T> loaded(count);
            for (T& item : loaded)
                item.Read(ar);
            m_items = std::move(loaded);
        }
    }

    bool operator==(const CRecordArray&) const = default;

private:
    std::vector<T> m_items;
};
