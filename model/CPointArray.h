#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"

// A growable array of points that owns a contiguous buffer. It grows by a step (automatic:
// size / 8 clamped to 4..1024) rather than doubling, so the capacity after a sequence of
// operations is the same as that of every other growable array of the program. Embedded by
// value; it has no run-time class of its own.
class CPointArray : public CObject {
public:
    CPointArray() = default;

    int32_t GetSize() const { return m_size; }
    int32_t GetCapacity() const { return static_cast<int32_t>(m_buffer.size()); }
    int32_t GetGrowBy() const { return m_growBy; }

    // growBy -1 keeps the grow step, any other value replaces it (0 means automatic). Size 0
    // frees the buffer; new elements are zero. A negative size counts as 0.
    void SetSize(int32_t newSize, int32_t growBy = -1);
    // Grows to index + 1 first when the index is past the end; a negative index is
    // ignored.
    void SetAtGrow(int32_t index, int32_t x, int32_t y);

    // Unchecked element access: callers pass 0 <= index < GetSize().
    CPoint& operator[](int32_t index) { return m_buffer[static_cast<size_t>(index)]; }
    const CPoint& operator[](int32_t index) const { return m_buffer[static_cast<size_t>(index)]; }
    const CPoint& GetAt(int32_t index) const { return (*this)[index]; }
    CPoint* GetData() { return m_buffer.data(); }
    const CPoint* GetData() const { return m_buffer.data(); }

    // The count in the archive's count form, then int32 x, int32 y per point.
    void Serialize(CArchive& ar) override;

private:
    // Every slot of the buffer is capacity; the first m_size are in use.
    std::vector<CPoint> m_buffer;
    int32_t m_size = 0;
    int32_t m_growBy = 0;
};
