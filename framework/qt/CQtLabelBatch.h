#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <QPoint>
#include <QRect>

#include "framework/qt/CQtLabelPicture.h"

// Label pictures laid one after another over the same image, laid together: the image is cut
// into bands of rows that the work pool lays side by side, each band taking the labels that
// reach into it in the order they came. A pixel gets the same blends in the same order as when
// every label is laid on its own, so the image comes out the same whatever the thread count.
//
// A board writes its pad and via labels by the hundred thousand; laid one by one they took half
// of a repaint.
class CQtLabelBatch {
public:
    // Fewer labels are laid in order on the calling thread: handing them out would cost more.
    static constexpr size_t minSpread = 256;
    // Bands are at least this many rows high: a label is about as high, and one reaching into
    // two bands is clipped twice.
    static constexpr int minBandRows = 16;
    static constexpr int minBands = 32;
    // Fewer labels are sorted into their bands by one thread.
    static constexpr size_t minRunLabels = 16384;

    // A text laid glyph by glyph, each glyph a picture of coverage kept for the font (the slot
    // of SetGlyphPictures) laid in the text's ink a whole number of pixels right of the text's
    // point: a board's numbers then need no picture of their own.
    struct GlyphRun {
        static constexpr int maxGlyphs = 7;
        QRgb ink = 0;
        int count = 0;
        // The columns the glyphs' pictures take, from the text's point.
        int left = 0;
        int right = -1;
        std::array<uint16_t, maxGlyphs> glyphs{};
        std::array<uint16_t, maxGlyphs> shifts{};
    };
    // The glyphs' pictures the runs name by slot, until the labels are laid.
    void SetGlyphPictures(const CQtLabelPicture* const* pictures) { m_glyphPictures = pictures; }

    // `picture`, or the glyphs of `run`, stay until the labels are laid; `top` and `bottom` are
    // the covered rows, from the point the text is drawn at (the picture's Box(), passed in so
    // that sorting the labels into bands does not read every picture).
    void Add(const CQtLabelPicture* picture, QPoint at, int top, int bottom)
    {
        m_labels.push_back(Item{picture, nullptr, at, top, bottom});
    }
    // Adds `count` labels at once, the k-th from place(k, picture, run, at, top, bottom), with
    // either a picture or a run; place is called side by side for long lists.
    void AddEach(
        size_t count,
        const std::function<void(size_t k, const CQtLabelPicture*& picture, const GlyphRun*& run,
                                 QPoint& at, int& top, int& bottom)>& place);
    bool IsEmpty() const { return m_labels.empty(); }
    // Forgets the labels added and not laid (a laying cut short).
    void Clear() { m_labels.clear(); }
    size_t GetCount() const { return m_labels.size(); }

    // Lays every label added, inside `clip`, and forgets them.
    void LayOver(const CQtLabelPicture::Target& target, const QRect& clip);

private:
    struct Item {
        const CQtLabelPicture* picture = nullptr;
        const GlyphRun* run = nullptr;
        QPoint at;
        int top = 0;
        int bottom = 0;
    };
    // Lays the labels indexOf(0) to indexOf(count - 1) in that order.
    template <class IndexOf>
    void LayInTurn(const CQtLabelPicture::Target& target, const QRect& clip, size_t count,
                   IndexOf indexOf) const;

    std::vector<Item> m_labels;
    const CQtLabelPicture* const* m_glyphPictures = nullptr;
    // Working room of the bands, kept from one batch to the next.
    std::vector<uint32_t> m_bandStarts;
    // Of each run of labels sorted side by side, where its labels go in each band.
    std::vector<uint32_t> m_runStarts;
    std::vector<uint32_t> m_bandLabels;
};
