#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "framework/CDeviceContext.h"

// A device context that keeps the calls made on it and plays them onto another one later, in
// the same order and with the same values, so the other one ends up with the same pixels.
//
// It starts from the state of the context it stands in for (pen, brush, font, raster mode,
// current position, text and background colours, background mode, clip box), so every Select
// and Set returns what the stand-in would have returned. The clip box follows the clip calls;
// after ResetClip it is the clip box the recording started with. Text extents are asked of the
// context it stands in for: code that records away from the painting thread must not ask them.
//
// Recording touches only the list's own memory: lists for separate parts of a drawing can be
// made on separate threads and played in turn on the painting thread.
class CDrawList : public CDeviceContext {
public:
    // Reads the state of `target` (selecting each object back at once) to start from it.
    explicit CDrawList(CDeviceContext& target);

    // Calls `draw(dc, first, last)` over the items [0, count): directly on `dc` in one call when
    // the work pool has one thread or fewer than `minimumRange` items a thread, else on ranges
    // of at least `minimumRange` items recorded in parallel and played onto `dc` in item order.
    // `draw` must give the same drawing calls for a range as for the items of the range within a
    // larger call, apart from the pens and brushes it selects, and must read nothing that a drawing
    // on another thread writes.
    // On a device that is drawn on in bands (CDeviceContext::Bands), the ranges of a long list
    // are each recorded cut into the bands, and the bands are played side by side; `draw` then
    // writes no texts and leaves the clip alone (else the ranges are recorded again and played in
    // turn).
    static void DrawInRanges(
        CDeviceContext& dc, std::size_t count, std::size_t minimumRange,
        const std::function<void(CDeviceContext&, std::size_t first, std::size_t last)>& draw);
    // Fewer items are played in turn as they are recorded: cutting their calls into bands costs
    // more than playing them side by side saves (a board of 8,000 components drew a tenth slower).
    static constexpr std::size_t minBandedItems = 16384;
    // The same for a drawing that writes texts: the ranges are played in turn, each as soon as
    // it and those before it are recorded.
    static void DrawTextsInRanges(
        CDeviceContext& dc, std::size_t count, std::size_t minimumRange,
        const std::function<void(CDeviceContext&, std::size_t first, std::size_t last)>& draw);

    // The items of `count` that `meets` accepts, in order, picked out before drawing them in
    // ranges: a picture of a small part of a big board then draws its few items at once instead
    // of handing every range to the pool. `meets` may be asked on several threads at once.
    // The look is made inline within each block: a call per item kept the processor from
    // waiting on several items' memory at once.
    template <class Meets>
    static std::vector<std::size_t> Pick(std::size_t count, const Meets& meets)
    {
        return PickInBlocks(
            count, [&](std::size_t first, std::size_t last, std::vector<std::size_t>& into) {
                for (std::size_t i = first; i < last; ++i) {
                    if (meets(i))
                        into.push_back(i);
                }
            });
    }

    // How many ranges DrawInRanges splits `count` items into: 1 when it draws them directly.
    static std::size_t RangeCount(std::size_t count, std::size_t minimumRange);

    // Plays the recorded calls onto `dc`.
    void PlayOnto(CDeviceContext& dc) const;
    bool IsEmpty() const { return m_words.empty(); }

    CPen SelectPen(const CPen& pen) override;
    CBrush SelectBrush(const CBrush& brush) override;
    CFontDesc SelectFont(const CFontDesc& font) override;

    int32_t SetROP2(int32_t mode) override;
    int32_t GetROP2() const override { return m_state.rop2; }

    CPoint MoveTo(CPoint point) override;
    void LineTo(CPoint point) override;
    void Polyline(std::span<const CPoint> points) override;
    void Polygon(std::span<const CPoint> points) override;
    void Rectangle(const CRect& rect) override;
    void Ellipse(const CRect& rect) override;
    void SetPixel(CPoint point, COLORREF color) override;
    void FillSolidRect(const CRect& rect, COLORREF color) override;

    void TextOut(CPoint point, std::string_view text) override;
    CSize GetTextExtent(std::string_view text) const override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF SetBkColor(COLORREF color) override;
    BkMode SetBkMode(BkMode mode) override;

    void IntersectClipRect(const CRect& rect) override;
    void ResetClip() override;
    CRect GetClipBox() const override { return m_state.clip; }

private:
    friend class CBandedDrawList;

    // Pick's blocks: `pick(first, last, into)` appends the items of [first, last) it accepts.
    static std::vector<std::size_t> PickInBlocks(
        std::size_t count,
        const std::function<void(std::size_t, std::size_t, std::vector<std::size_t>&)>& pick);

    // Draws the ranges into bands first when `bands` and the device has them.
    static void DrawInRanges(
        CDeviceContext& dc, std::size_t count, std::size_t minimumRange,
        const std::function<void(CDeviceContext&, std::size_t first, std::size_t last)>& draw,
        bool bands);

    enum class Kind : uint8_t {
        selectPen,
        selectBrush,
        selectFont,
        setROP2,
        moveTo,
        lineTo,
        polyline,
        polygon,
        rectangle,
        ellipse,
        setPixel,
        fillSolidRect,
        textOut,
        setTextColor,
        setBkColor,
        setBkMode,
        intersectClipRect,
        resetClip
    };
    // Each call is kept as its kind followed by its values, one word each; points and texts
    // are kept in the lists below, the call holding where they start and their count. Short
    // records keep the playing a plain walk through memory.
    template <class... Values> void Add(Kind kind, Values... values)
    {
        // Appended word by word in place: a big board records millions of calls, and the
        // vector's general insertion costs more than the words.
        const int32_t record[] = {int32_t(kind), int32_t(values)...};
        const std::size_t size = m_words.size();
        m_words.resize(size + std::size(record));
        std::copy(std::begin(record), std::end(record), m_words.data() + size);
    }
    void AddRect(Kind kind, const CRect& rect)
    {
        Add(kind, rect.left, rect.top, rect.right, rect.bottom);
    }
    void AddPoints(Kind kind, std::span<const CPoint> points);

    // What a device context has selected and set.
    struct State {
        CPen pen;
        CBrush brush;
        CFontDesc font;
        int32_t rop2 = R2_COPYPEN;
        CPoint position;
        COLORREF textColor = 0;
        COLORREF bkColor = 0;
        BkMode bkMode = BkMode::Opaque;
        CRect clip;
    };
    static State Capture(CDeviceContext& target);
    CDrawList(const CDeviceContext& target, const State& start);

    const CDeviceContext& m_target;
    std::vector<int32_t> m_words;
    std::vector<CPoint> m_points;
    std::string m_texts;
    std::vector<CFontDesc> m_fonts;

    State m_start;
    State m_state;
};
