#include "framework/CDrawList.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>

#include "framework/CBandedDrawList.h"
#include "framework/CWorkPool.h"

CDrawList::CDrawList(CDeviceContext& target) : CDrawList(target, Capture(target)) {}

CDrawList::CDrawList(const CDeviceContext& target, const State& start)
    : m_target(target), m_start(start), m_state(start)
{
}

CDrawList::State CDrawList::Capture(CDeviceContext& target)
{
    // The interface hands out each object only in exchange for another: put it straight back.
    State state;
    state.pen = target.SelectPen(CPen());
    target.SelectPen(state.pen);
    state.brush = target.SelectBrush(CBrush());
    target.SelectBrush(state.brush);
    state.font = target.SelectFont(CFontDesc());
    target.SelectFont(state.font);
    state.rop2 = target.GetROP2();
    state.position = target.MoveTo(CPoint());
    target.MoveTo(state.position);
    state.textColor = target.SetTextColor(0);
    target.SetTextColor(state.textColor);
    state.bkColor = target.SetBkColor(0);
    target.SetBkColor(state.bkColor);
    state.bkMode = target.SetBkMode(BkMode::Opaque);
    target.SetBkMode(state.bkMode);
    state.clip = target.GetClipBox();
    return state;
}

std::size_t CDrawList::RangeCount(std::size_t count, std::size_t minimumRange)
{
    const std::size_t threads = std::size_t(CWorkPool::ThreadCount());
    minimumRange = std::max<std::size_t>(minimumRange, 1);
    // Each thread must get a range's worth: below that, waking the pool costs more than it
    // saves, the more so on a busy machine. A few ranges a thread even out uneven items; more
    // would only cost their lists.
    if (threads < 2 || count < threads * minimumRange)
        return 1;
    return std::min(count / minimumRange, 4 * threads);
}

std::vector<std::size_t> CDrawList::PickInBlocks(
    std::size_t count,
    const std::function<void(std::size_t, std::size_t, std::vector<std::size_t>&)>& pick)
{
    // A look at each of a big board's items waits on memory for each: the look is shared out
    // in blocks, each kept apart and joined in order.
    constexpr std::size_t block = 4096;
    const std::size_t blocks = (count + block - 1) / block;
    const auto pickBlock = [&](std::size_t b, std::vector<std::size_t>& into) {
        pick(b * block, std::min(count, (b + 1) * block), into);
    };
    std::vector<std::size_t> picked;
    if (blocks < 2 || CWorkPool::ThreadCount() < 2) {
        for (std::size_t b = 0; b < blocks; ++b)
            pickBlock(b, picked);
        return picked;
    }
    std::vector<std::vector<std::size_t>> parts(blocks);
    CWorkPool::Shared().ForEach(blocks, [&](std::size_t b) { pickBlock(b, parts[b]); });
    return CWorkPool::Joined(std::move(parts));
}

void CDrawList::DrawInRanges(
    CDeviceContext& dc, std::size_t count, std::size_t minimumRange,
    const std::function<void(CDeviceContext&, std::size_t, std::size_t)>& draw)
{
    DrawInRanges(dc, count, minimumRange, draw, true);
}

void CDrawList::DrawTextsInRanges(
    CDeviceContext& dc, std::size_t count, std::size_t minimumRange,
    const std::function<void(CDeviceContext&, std::size_t, std::size_t)>& draw)
{
    DrawInRanges(dc, count, minimumRange, draw, false);
}

void CDrawList::DrawInRanges(
    CDeviceContext& dc, std::size_t count, std::size_t minimumRange,
    const std::function<void(CDeviceContext&, std::size_t, std::size_t)>& draw, bool bands)
{
    const std::size_t ranges = RangeCount(count, minimumRange);
    if (ranges < 2) {
        draw(dc, 0, count);
        return;
    }
    const State start = Capture(dc);
    // Played in turn, the ranges of a big board keep one thread busy for as long as they took to
    // record on all: cut into bands, each thread plays the calls for its own rows.
    const std::vector<CRect> cut =
        bands && count >= minBandedItems ? dc.Bands() : std::vector<CRect>();
    if (!cut.empty()) {
        std::vector<CBandedDrawList> parts;
        parts.reserve(ranges);
        for (std::size_t i = 0; i < ranges; ++i)
            parts.emplace_back(dc, start, cut);
        CWorkPool::Shared().ForEach(ranges, [&](std::size_t i) {
            draw(parts[i], count * i / ranges, count * (i + 1) / ranges);
            parts[i].Finish();
        });
        if (CBandedDrawList::CutAsPlayed(parts) &&
            dc.DrawInBands([&](std::size_t band, CDeviceContext& target) {
                for (const CBandedDrawList& part : parts)
                    part.GetList(band).PlayOnto(target);
            })) {
            for (const CBandedDrawList& part : parts)
                part.ApplyStateChanges(dc);
            return;
        }
    }
    std::vector<CDrawList> lists;
    lists.reserve(ranges);
    for (std::size_t i = 0; i < ranges; ++i)
        lists.push_back(CDrawList(dc, start));
    std::unique_ptr<std::atomic<bool>[]> recorded(new std::atomic<bool>[ranges]);
    for (std::size_t i = 0; i < ranges; ++i)
        recorded[i].store(false, std::memory_order_relaxed);

    // Ranges are taken in order by whichever thread comes; the calling thread plays each one
    // onto the device as soon as it and all before it are recorded, so the playing overlaps the
    // recording of later ranges. It waits only once every range is taken: a range taken is
    // being recorded, and a thread running work inline takes them all itself.
    std::atomic<std::size_t> nextRange{0};
    std::size_t nextToPlay = 0;
    const std::thread::id caller = std::this_thread::get_id();
    const auto playRecorded = [&] {
        while (nextToPlay < ranges && recorded[nextToPlay].load(std::memory_order_acquire))
            lists[nextToPlay++].PlayOnto(dc);
    };
    CWorkPool::Shared().ForEach(ranges, [&](std::size_t) {
        const bool playing = std::this_thread::get_id() == caller;
        for (;;) {
            const std::size_t i = nextRange.fetch_add(1, std::memory_order_relaxed);
            if (i >= ranges)
                break;
            {
                // A range that failed counts as recorded, so that nobody waits for it; the
                // failure reaches the caller through the pool.
                struct CMarkRecorded {
                    std::atomic<bool>& flag;
                    ~CMarkRecorded()
                    {
                        flag.store(true, std::memory_order_release);
                        flag.notify_all();
                    }
                } mark{recorded[i]};
                draw(lists[i], count * i / ranges, count * (i + 1) / ranges);
            }
            if (playing)
                playRecorded();
        }
        if (!playing)
            return;
        while (nextToPlay < ranges) {
            recorded[nextToPlay].wait(false, std::memory_order_acquire);
            playRecorded();
        }
    });
    playRecorded();
}

void CDrawList::PlayOnto(CDeviceContext& dc) const
{
    const int32_t* word = m_words.data();
    const int32_t* const end = word + m_words.size();
    const auto point = [&] {
        word += 2;
        return CPoint(word[-2], word[-1]);
    };
    const auto rect = [&] {
        word += 4;
        return CRect(word[-4], word[-3], word[-2], word[-1]);
    };
    const auto color = [&] { return COLORREF(uint32_t(*word++)); };
    const auto points = [&] {
        word += 2;
        return std::span<const CPoint>(m_points.data() + word[-2], size_t(word[-1]));
    };
    while (word < end) {
        switch (Kind(*word++)) {
        case Kind::selectPen: {
            const auto style = CPen::Style(word[0]);
            const int32_t width = word[1];
            word += 2;
            dc.SelectPen(CPen(style, width, color()));
            break;
        }
        case Kind::selectBrush: {
            CBrush brush;
            brush.style = CBrush::Style(word[0]);
            brush.hatch = CBrush::Hatch(word[1]);
            word += 2;
            brush.color = color();
            dc.SelectBrush(brush);
            break;
        }
        case Kind::selectFont:
            dc.SelectFont(m_fonts[size_t(*word++)]);
            break;
        case Kind::setROP2:
            dc.SetROP2(*word++);
            break;
        case Kind::moveTo:
            dc.MoveTo(point());
            break;
        case Kind::lineTo:
            dc.LineTo(point());
            break;
        case Kind::polyline:
            dc.Polyline(points());
            break;
        case Kind::polygon:
            dc.Polygon(points());
            break;
        case Kind::rectangle:
            dc.Rectangle(rect());
            break;
        case Kind::ellipse:
            dc.Ellipse(rect());
            break;
        case Kind::setPixel: {
            const CPoint at = point();
            dc.SetPixel(at, color());
            break;
        }
        case Kind::fillSolidRect: {
            const CRect area = rect();
            dc.FillSolidRect(area, color());
            break;
        }
        case Kind::textOut: {
            const CPoint at = point();
            const std::string_view text =
                std::string_view(m_texts).substr(size_t(word[0]), size_t(word[1]));
            word += 2;
            dc.TextOut(at, text);
            break;
        }
        case Kind::setTextColor:
            dc.SetTextColor(color());
            break;
        case Kind::setBkColor:
            dc.SetBkColor(color());
            break;
        case Kind::setBkMode:
            dc.SetBkMode(BkMode(*word++));
            break;
        case Kind::intersectClipRect:
            dc.IntersectClipRect(rect());
            break;
        case Kind::resetClip:
            dc.ResetClip();
            break;
        }
    }
}

CPen CDrawList::SelectPen(const CPen& pen)
{
    Add(Kind::selectPen, int32_t(pen.style), pen.width, pen.color);
    return std::exchange(m_state.pen, pen);
}

CBrush CDrawList::SelectBrush(const CBrush& brush)
{
    Add(Kind::selectBrush, int32_t(brush.style), int32_t(brush.hatch), brush.color);
    return std::exchange(m_state.brush, brush);
}

CFontDesc CDrawList::SelectFont(const CFontDesc& font)
{
    Add(Kind::selectFont, int32_t(m_fonts.size()));
    m_fonts.push_back(font);
    return std::exchange(m_state.font, font);
}

int32_t CDrawList::SetROP2(int32_t mode)
{
    // The target gets the call even so, as it would have without the list between.
    Add(Kind::setROP2, mode);
    if (!IsSupportedROP2(mode))
        return 0;
    return std::exchange(m_state.rop2, mode);
}

CPoint CDrawList::MoveTo(CPoint point)
{
    Add(Kind::moveTo, point.x, point.y);
    return std::exchange(m_state.position, point);
}

void CDrawList::LineTo(CPoint point)
{
    Add(Kind::lineTo, point.x, point.y);
    m_state.position = point;
}

void CDrawList::AddPoints(Kind kind, std::span<const CPoint> points)
{
    Add(kind, int32_t(m_points.size()), int32_t(points.size()));
    m_points.insert(m_points.end(), points.begin(), points.end());
}

void CDrawList::Polyline(std::span<const CPoint> points)
{
    AddPoints(Kind::polyline, points);
}

void CDrawList::Polygon(std::span<const CPoint> points)
{
    AddPoints(Kind::polygon, points);
}

void CDrawList::Rectangle(const CRect& rect)
{
    AddRect(Kind::rectangle, rect);
}

void CDrawList::Ellipse(const CRect& rect)
{
    // Drawing nothing, it is not kept: a big board seen whole has its round pads and vias by
    // the ten thousand under a pixel.
    if (rect.left != rect.right && rect.top != rect.bottom)
        AddRect(Kind::ellipse, rect);
}

void CDrawList::SetPixel(CPoint point, COLORREF color)
{
    Add(Kind::setPixel, point.x, point.y, color);
}

void CDrawList::FillSolidRect(const CRect& rect, COLORREF color)
{
    Add(Kind::fillSolidRect, rect.left, rect.top, rect.right, rect.bottom, color);
}

void CDrawList::TextOut(CPoint point, std::string_view text)
{
    Add(Kind::textOut, point.x, point.y, int32_t(m_texts.size()), int32_t(text.size()));
    m_texts.append(text);
}

CSize CDrawList::GetTextExtent(std::string_view text) const
{
    return m_target.GetTextExtent(text);
}

COLORREF CDrawList::SetTextColor(COLORREF color)
{
    Add(Kind::setTextColor, color);
    return std::exchange(m_state.textColor, color);
}

COLORREF CDrawList::SetBkColor(COLORREF color)
{
    Add(Kind::setBkColor, color);
    return std::exchange(m_state.bkColor, color);
}

CDeviceContext::BkMode CDrawList::SetBkMode(BkMode mode)
{
    Add(Kind::setBkMode, int32_t(mode));
    return std::exchange(m_state.bkMode, mode);
}

void CDrawList::IntersectClipRect(const CRect& rect)
{
    AddRect(Kind::intersectClipRect, rect);
    m_state.clip = CRect::Intersection(m_state.clip, rect);
}

void CDrawList::ResetClip()
{
    Add(Kind::resetClip);
    m_state.clip = m_start.clip;
}
