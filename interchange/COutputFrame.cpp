#include "interchange/COutputFrame.h"

#include "framework/Numeric.h"

CPoint COutputFrame::ToOutput(int32_t x, int32_t y) const
{
    return CPoint(SaturateToInt(int64_t(x) + m_offset.x),
                  SaturateToInt(int64_t(m_boardHeight) - y + m_offset.y));
}
