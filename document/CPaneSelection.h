#pragma once

#include <cstdint>

// The chosen row of a list pane and how clicks and keys move it. The pane draws a header row
// at the top and its rows one row height apart below it. An empty list has no row to act on:
// clicks and keys then choose nothing.
class CPaneSelection {
public:
    int32_t GetCount() const { return m_count; }
    // The chosen row is limited to the new list when it is next moved.
    void SetCount(int32_t count) { m_count = count < 0 ? 0 : count; }
    bool IsEmpty() const { return m_count == 0; }

    // The row drawn as chosen, -1 for none.
    int32_t GetSelected() const { return m_selected; }
    int32_t GetPrevious() const { return m_previous; }
    // The row another window names (a negative row shows none chosen); not limited to the list.
    void SetSelected(int32_t row);
    // The chosen row, limited to the list; -1 for an empty list.
    int32_t GetValidSelected() const;

    // The row under a client pixel, limited to the list (the header row gives the first row);
    // -1 for an empty list.
    int32_t RowAt(int32_t scrollY, int32_t y, int32_t rowHeight) const;
    // Chooses the row, limited to the list; false for an empty list.
    bool Select(int32_t row);
    // Page Up and Page Down move by a page of rows, Home and End to the ends, Up and Down by
    // one. False for another key or an empty list.
    bool MoveByKey(uint32_t key, int32_t rowsPerPage);
    // Whether the key is one that MoveByKey takes.
    static bool IsMoveKey(uint32_t key);

    // The scroll position, in whole rows, at which the row is fully visible below the top;
    // the position itself when it already is.
    static int32_t ScrollToShow(int32_t row, int32_t scrollY, int32_t clientHeight,
                                int32_t rowHeight);

private:
    int32_t Limit(int64_t row) const;

    int32_t m_count = 0;
    int32_t m_selected = 0;
    int32_t m_previous = 0;
};
