#include "model/CPad.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <limits>

#include "framework/CArchive.h"
#include "model/PadShapes.h"

WEVRA_IMPLEMENT_SERIAL(CPad, "CPad", 1)

namespace {

// Smallest side of a pad made square by SetShape (0.5 mm).
constexpr int64_t MIN_SQUARE_SIZE = 5039;

} // namespace

int32_t CPad::GetWidth() const
{
    return SaturateToInt(m_rect.Width());
}

int32_t CPad::GetHeight() const
{
    return SaturateToInt(m_rect.Height());
}

int32_t CPad::GetOffsetX() const
{
    return SaturateToInt(-(int64_t(m_rect.left) + m_rect.right));
}

int32_t CPad::GetOffsetY() const
{
    return SaturateToInt(-(int64_t(m_rect.top) + m_rect.bottom));
}

bool CPad::IsSquareLocked(uint32_t shapeWord)
{
    return shapeWord == uint32_t(PAD_ROUND) || shapeWord == uint32_t(PAD_SQUARE) ||
           shapeWord == uint32_t(PAD_OCTAGON) || shapeWord == uint32_t(PAD_LINE);
}

void CPad::Set(int32_t shapeCode, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    m_shapeWord = (m_shapeWord & ~0xFFu) | (static_cast<uint32_t>(shapeCode) & 0xFFu);
    m_rect = CRect(left, top, right, bottom);
}

void CPad::SetShape(uint32_t shapeWord)
{
    m_shapeWord = shapeWord;
    if (!IsSquareLocked(shapeWord))
        return;
    const int64_t half = std::max(m_rect.Width(), MIN_SQUARE_SIZE) / 2;
    m_rect.left = m_rect.top = SaturateToInt(-half);
    m_rect.right = m_rect.bottom = SaturateToInt(half);
}

void CPad::CentreX(int32_t offset)
{
    const int64_t width = m_rect.Width();
    m_rect.right = SaturateToInt(width / 2 - offset / 2);
    m_rect.left = SaturateToInt(-(offset / 2 + width / 2));
}

void CPad::CentreY(int32_t offset)
{
    const int64_t height = m_rect.Height();
    m_rect.bottom = SaturateToInt(height / 2 - offset / 2);
    m_rect.top = SaturateToInt(-(offset / 2 + height / 2));
}

void CPad::ApplyWidth(int32_t width)
{
    const int32_t offset = GetOffsetX();
    const int64_t half = (int64_t(width) + 1) / 2;
    m_rect.left = SaturateToInt(-half);
    m_rect.right = SaturateToInt(half);
    CentreX(offset);
}

void CPad::ApplyHeight(int32_t height)
{
    const int32_t offset = GetOffsetY();
    const int64_t half = (int64_t(height) + 1) / 2;
    m_rect.top = SaturateToInt(-half);
    m_rect.bottom = SaturateToInt(half);
    CentreY(offset);
}

// A square-locked pad follows with the other side until both agree; sizes at the edge of the
// int32 range may never agree, so the exchange is bounded.
void CPad::SetWidth(int32_t width)
{
    ApplyWidth(width);
    for (int step = 0; step < 2 && IsSquareLocked(m_shapeWord) && GetWidth() != GetHeight();
         ++step) {
        if (step == 0)
            ApplyHeight(GetWidth());
        else
            ApplyWidth(GetHeight());
    }
}

void CPad::SetHeight(int32_t height)
{
    ApplyHeight(height);
    for (int step = 0; step < 2 && IsSquareLocked(m_shapeWord) && GetWidth() != GetHeight();
         ++step) {
        if (step == 0)
            ApplyWidth(GetHeight());
        else
            ApplyHeight(GetWidth());
    }
}

void CPad::WriteRecord(CArchive& ar) const
{
    ar << uint32_t(0) << m_rotation << m_shapeWord << m_rect.left << m_rect.top << m_rect.right
       << m_rect.bottom;
}

void CPad::ReadRecord(CArchive& ar)
{
    ar.ReadDWord();
    CPad loaded(0, 0, CRect());
    ar >> loaded.m_rotation >> loaded.m_shapeWord >> loaded.m_rect.left >> loaded.m_rect.top >>
        loaded.m_rect.right >> loaded.m_rect.bottom;
    *this = loaded;
}
