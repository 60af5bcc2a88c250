#include "model/CWevraText.h"

#include <algorithm>
#include <limits>

#include "model/CWevraFont.h"
#include "model/Geometry.h"

WEVRA_IMPLEMENT_SERIAL(CWevraText, "CWevraText", 0)

namespace {

int32_t SaturatingAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(std::clamp<int64_t>(
        int64_t(a) + b, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

} // namespace

void CWevraText::SetAngle(int32_t angle)
{
    // A remainder, so that even the most extreme angle is brought into range at once.
    const int32_t rest = angle % FULL_TURN;
    m_angle = rest < 0 ? rest + FULL_TURN : rest;
}

void CWevraText::SetMirrored(bool on)
{
    m_flags = on ? (m_flags | mirroredFlag) : (m_flags & ~mirroredFlag);
}

void CWevraText::SetSelected(bool on)
{
    m_flags = on ? (m_flags | selectedFlag) : (m_flags & ~selectedFlag);
}

void CWevraText::Offset(int32_t dx, int32_t dy)
{
    m_position = CPoint(SaturatingAdd(m_position.x, dx), SaturatingAdd(m_position.y, dy));
}

void CWevraText::Draw(CDeviceContext& dc, const CWevraFont& font, int32_t offsetX, int32_t offsetY,
                      int32_t scale) const
{
    font.DrawText(dc, m_text, m_position, m_height, m_angle, IsMirrored(), CPoint(offsetX, offsetY),
                  scale);
}

void CWevraText::Serialize(CArchive&) {}
