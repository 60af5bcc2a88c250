#include "document/CPaneSelection.h"

#include <algorithm>

#include "framework/VirtualKeys.h"

void CPaneSelection::SetSelected(int32_t row)
{
    m_previous = m_selected;
    m_selected = row < 0 ? -1 : row;
}

int32_t CPaneSelection::GetValidSelected() const
{
    return IsEmpty() ? -1 : Limit(m_selected);
}

int32_t CPaneSelection::Limit(int64_t row) const
{
    return int32_t(std::clamp<int64_t>(row, 0, m_count - 1));
}

int32_t CPaneSelection::RowAt(int32_t scrollY, int32_t y, int32_t rowHeight) const
{
    if (IsEmpty() || rowHeight <= 0)
        return -1;
    return Limit((int64_t(scrollY) + y) / rowHeight - 1);
}

bool CPaneSelection::Select(int32_t row)
{
    if (IsEmpty())
        return false;
    SetSelected(Limit(row));
    return true;
}

bool CPaneSelection::IsMoveKey(uint32_t key)
{
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

bool CPaneSelection::MoveByKey(uint32_t key, int32_t rowsPerPage)
{
    if (IsEmpty() || !IsMoveKey(key))
        return false;
    const int64_t page = std::max(rowsPerPage, 1);
    const int64_t row = m_selected;
    switch (key) {
    case VK_PRIOR:
        return Select(Limit(row - page));
    case VK_NEXT:
        return Select(Limit(row + page));
    case VK_END:
        return Select(m_count - 1);
    case VK_HOME:
        return Select(0);
    case VK_UP:
        return Select(Limit(row - 1));
    default:
        return Select(Limit(row + 1));
    }
}

int32_t CPaneSelection::ScrollToShow(int32_t row, int32_t scrollY, int32_t clientHeight,
                                     int32_t rowHeight)
{
    if (row < 0 || rowHeight <= 0)
        return scrollY;
    // Row r is drawn below the header, from (r + 1) row heights on.
    const int64_t top = (int64_t(row) + 1) * rowHeight;
    const int64_t bottom = top + rowHeight;
    if (top < scrollY)
        return int32_t(top);
    if (bottom <= int64_t(scrollY) + clientHeight)
        return scrollY;
    const int64_t rows = (bottom - clientHeight + rowHeight - 1) / rowHeight;
    return int32_t(std::clamp<int64_t>(rows * rowHeight, 0, top));
}
