#pragma once

#include <cstdint>

#include "framework/CDeviceContext.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"

// Which board boxes can hold the point of a label that reaches the device context's clip box,
// so that the labels of items elsewhere are not even written out. A label runs right from its
// point, a text line high, and its glyphs overhang the cell by up to a line; how far right it
// runs is not known before its text is, so only a box left of the clip box cannot be passed
// over.
class CLabelWindow {
public:
    CLabelWindow(const CDeviceContext& dc, CPoint offset, int32_t scale)
        : m_clip(dc.GetClipBox()), m_offset(offset), m_scale(scale),
          m_line(int64_t(dc.GetTextExtent("Wg").cy) + 2)
    {
    }

    bool MayMeet(const CRect& board) const
    {
        if (m_scale < 1)
            return true;
        const int64_t left = (int64_t(board.left) + m_offset.x) / m_scale;
        const int64_t top = (int64_t(board.top) + m_offset.y) / m_scale;
        const int64_t bottom = (int64_t(board.bottom) + m_offset.y) / m_scale;
        return left - m_line <= m_clip.right && bottom + 2 * m_line >= m_clip.top &&
               top - m_line <= m_clip.bottom;
    }

private:
    CRect m_clip;
    CPoint m_offset;
    int32_t m_scale;
    int64_t m_line;
};
