#include "framework/CBandedDrawList.h"

#include <algorithm>
#include <utility>

CBandedDrawList::CBandedDrawList(const CDeviceContext& target, const CDrawList::State& start,
                                 const std::vector<CRect>& bands)
    : m_target(target), m_bands(bands), m_state(start), m_startClip(start.clip),
      m_startPenWidth(start.pen.width), m_brought(bands.size()), m_broughtChanges(bands.size())
{
    m_lists.reserve(bands.size());
    for (std::size_t band = 0; band < bands.size(); ++band)
        m_lists.push_back(CDrawList(target, start));
}

template <class Lacks> void CBandedDrawList::GiveState(CDeviceContext& dc, Lacks lacks) const
{
    if (lacks(pen))
        dc.SelectPen(m_state.pen);
    if (lacks(brush))
        dc.SelectBrush(m_state.brush);
    if (lacks(font))
        dc.SelectFont(m_state.font);
    if (lacks(rop2))
        dc.SetROP2(m_state.rop2);
    if (lacks(position))
        dc.MoveTo(m_state.position);
    if (lacks(textColor))
        dc.SetTextColor(m_state.textColor);
    if (lacks(bkColor))
        dc.SetBkColor(m_state.bkColor);
    if (lacks(bkMode))
        dc.SetBkMode(m_state.bkMode);
}

void CBandedDrawList::Bring(std::size_t band)
{
    if (m_broughtChanges[band] == m_changes)
        return;
    std::array<uint32_t, fieldCount>& brought = m_brought[band];
    GiveState(m_lists[band], [&](Field field) { return brought[field] != m_version[field]; });
    brought = m_version;
    m_broughtChanges[band] = m_changes;
}

bool CBandedDrawList::CutAsPlayed(const std::vector<CBandedDrawList>& parts)
{
    if (parts.empty())
        return true;
    const int32_t assumed = std::max(parts.front().m_startPenWidth, 1);
    int32_t left = assumed;
    for (const CBandedDrawList& part : parts) {
        if (!part.m_bandable || (part.m_drewWithPenBefore && left > assumed))
            return false;
        if (part.m_version[Field::pen] != 0)
            left = std::max(part.m_state.pen.width, 1);
    }
    return true;
}

void CBandedDrawList::Finish()
{
    for (std::size_t band = 0; band < m_bands.size(); ++band)
        Bring(band);
}

void CBandedDrawList::ApplyStateChanges(CDeviceContext& dc) const
{
    GiveState(dc, [&](Field field) { return m_version[field] != 0; });
}

template <class Call>
void CBandedDrawList::ForBandsMeeting(int64_t left, int64_t top, int64_t right, int64_t bottom,
                                      Call call)
{
    // Until this part selects a pen, it draws with the one the parts before it left: taken to be
    // the one it started with, which CutAsPlayed checks.
    if (m_version[Field::pen] == 0)
        m_drewWithPenBefore = true;
    // A wide pen reaches half its width past the points; a pixel's worth more is left for how
    // shapes round.
    const int64_t reach = int64_t(std::max(m_state.pen.width, 1)) + 2;
    const int64_t minX = std::min(left, right) - reach, maxX = std::max(left, right) + reach;
    const int64_t minY = std::min(top, bottom) - reach, maxY = std::max(top, bottom) + reach;
    // The bands are rows of one width, from the top down.
    if (m_bands.empty() || maxX < m_bands.front().left || minX >= m_bands.front().right)
        return;
    for (std::size_t band = 0; band < m_bands.size(); ++band) {
        const CRect& area = m_bands[band];
        if (maxY < area.top)
            break;
        if (minY >= area.bottom)
            continue;
        Bring(band);
        call(band);
    }
}

template <class Call>
void CBandedDrawList::ForBandsMeeting(std::span<const CPoint> points, Call call)
{
    if (points.empty())
        return ForBandsMeeting(0, 0, 0, 0, call);
    int32_t left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
    for (const CPoint& point : points) {
        left = std::min(left, point.x);
        right = std::max(right, point.x);
        top = std::min(top, point.y);
        bottom = std::max(bottom, point.y);
    }
    ForBandsMeeting(left, top, right, bottom, call);
}

CPen CBandedDrawList::SelectPen(const CPen& pen)
{
    Changed(Field::pen);
    return std::exchange(m_state.pen, pen);
}

CBrush CBandedDrawList::SelectBrush(const CBrush& brush)
{
    Changed(Field::brush);
    return std::exchange(m_state.brush, brush);
}

CFontDesc CBandedDrawList::SelectFont(const CFontDesc& font)
{
    Changed(Field::font);
    return std::exchange(m_state.font, font);
}

int32_t CBandedDrawList::SetROP2(int32_t mode)
{
    if (!IsSupportedROP2(mode))
        return 0;
    Changed(Field::rop2);
    return std::exchange(m_state.rop2, mode);
}

CPoint CBandedDrawList::MoveTo(CPoint point)
{
    Changed(Field::position);
    return std::exchange(m_state.position, point);
}

void CBandedDrawList::LineTo(CPoint point)
{
    // The bands the line reaches are brought to where it starts; their lists then end where it
    // ends, which is the position from now on. A line from where the parts before this one left
    // the position may run anywhere: it goes to every band.
    const uint32_t ended = m_version[Field::position] + 1;
    const auto draw = [&](std::size_t band) {
        m_lists[band].LineTo(point);
        m_brought[band][Field::position] = ended;
        m_broughtChanges[band] = m_changes + 1;
    };
    if (m_version[Field::position] == 0) {
        for (std::size_t band = 0; band < m_bands.size(); ++band) {
            Bring(band);
            draw(band);
        }
    } else {
        ForBandsMeeting(m_state.position.x, m_state.position.y, point.x, point.y, draw);
    }
    m_state.position = point;
    m_version[Field::position] = ended;
    ++m_changes;
}

void CBandedDrawList::Polyline(std::span<const CPoint> points)
{
    ForBandsMeeting(points, [&](std::size_t band) { m_lists[band].Polyline(points); });
}

void CBandedDrawList::Polygon(std::span<const CPoint> points)
{
    ForBandsMeeting(points, [&](std::size_t band) { m_lists[band].Polygon(points); });
}

void CBandedDrawList::Rectangle(const CRect& rect)
{
    ForBandsMeeting(rect.left, rect.top, rect.right, rect.bottom,
                    [&](std::size_t band) { m_lists[band].Rectangle(rect); });
}

void CBandedDrawList::Ellipse(const CRect& rect)
{
    if (rect.left == rect.right || rect.top == rect.bottom)
        return;
    ForBandsMeeting(rect.left, rect.top, rect.right, rect.bottom,
                    [&](std::size_t band) { m_lists[band].Ellipse(rect); });
}

void CBandedDrawList::SetPixel(CPoint point, COLORREF color)
{
    ForBandsMeeting(point.x, point.y, point.x, point.y,
                    [&](std::size_t band) { m_lists[band].SetPixel(point, color); });
}

void CBandedDrawList::FillSolidRect(const CRect& rect, COLORREF color)
{
    ForBandsMeeting(rect.left, rect.top, rect.right, rect.bottom,
                    [&](std::size_t band) { m_lists[band].FillSolidRect(rect, color); });
}

void CBandedDrawList::TextOut(CPoint /*point*/, std::string_view /*text*/)
{
    m_bandable = false;
}

CSize CBandedDrawList::GetTextExtent(std::string_view text) const
{
    return m_target.GetTextExtent(text);
}

COLORREF CBandedDrawList::SetTextColor(COLORREF color)
{
    Changed(Field::textColor);
    return std::exchange(m_state.textColor, color);
}

COLORREF CBandedDrawList::SetBkColor(COLORREF color)
{
    Changed(Field::bkColor);
    return std::exchange(m_state.bkColor, color);
}

CDeviceContext::BkMode CBandedDrawList::SetBkMode(BkMode mode)
{
    Changed(Field::bkMode);
    return std::exchange(m_state.bkMode, mode);
}

void CBandedDrawList::IntersectClipRect(const CRect& rect)
{
    m_bandable = false;
    m_state.clip = CRect::Intersection(m_state.clip, rect);
}

void CBandedDrawList::ResetClip()
{
    m_bandable = false;
    m_state.clip = m_startClip;
}
