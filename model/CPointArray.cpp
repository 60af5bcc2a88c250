#include "model/CPointArray.h"

#include <algorithm>
#include <limits>

#include "framework/CArchive.h"

void CPointArray::SetSize(int32_t newSize, int32_t growBy)
{
    if (growBy != -1)
        m_growBy = growBy;
    newSize = std::max(newSize, 0);

    if (newSize == 0) {
        std::vector<CPoint>().swap(m_buffer);
        m_size = 0;
        return;
    }

    if (newSize <= GetCapacity()) {
        if (newSize > m_size)
            std::fill(m_buffer.begin() + m_size, m_buffer.begin() + newSize, CPoint());
        m_size = newSize;
        return;
    }

    int32_t step = m_growBy;
    if (step == 0)
        step = std::clamp(m_size / 8, 4, 1024);
    int64_t capacity = int64_t(GetCapacity()) + step;
    capacity = std::clamp<int64_t>(capacity, newSize, std::numeric_limits<int32_t>::max());

    // A fresh buffer is value-initialised, so everything past the old size is zero.
    std::vector<CPoint> grown(static_cast<size_t>(capacity));
    std::copy(m_buffer.begin(), m_buffer.begin() + m_size, grown.begin());
    m_buffer.swap(grown);
    m_size = newSize;
}

void CPointArray::SetAtGrow(int32_t index, int32_t x, int32_t y)
{
    // No array can hold a point at INT32_MAX; it is ignored like a negative index.
    if (index < 0 || index == std::numeric_limits<int32_t>::max())
        return;
    if (index >= m_size)
        SetSize(index + 1);
    m_buffer[static_cast<size_t>(index)] = CPoint(x, y);
}

void CPointArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<size_t>(m_size));
        for (int32_t i = 0; i < m_size; ++i)
            ar << m_buffer[static_cast<size_t>(i)].x << m_buffer[static_cast<size_t>(i)].y;
        return;
    }
    const uint32_t count = ar.ReadCount(8);
    if (count > uint32_t(std::numeric_limits<int32_t>::max()))
        CArchive::Fail(CArchiveException::badCount, "Too many points.");
    SetSize(static_cast<int32_t>(count));
    for (int32_t i = 0; i < m_size; ++i)
        ar >> m_buffer[static_cast<size_t>(i)].x >> m_buffer[static_cast<size_t>(i)].y;
}
