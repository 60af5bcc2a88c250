#include "framework/qt/CQtLabelBatch.h"

#include <algorithm>
#include <utility>

#include "framework/CWorkPool.h"

template <class IndexOf>
void CQtLabelBatch::LayInTurn(const CQtLabelPicture::Target& target, const QRect& clip,
                              size_t count, IndexOf indexOf) const
{
    // A picture's rows lie where the picture says: the picture is asked for well ahead, its rows
    // a little later.
    constexpr size_t rowsAhead = 3;
    constexpr size_t pictureAhead = 2 * rowsAhead;
    const QRect area = clip & target.rect;
    for (size_t k = 0; k < count; ++k) {
#if defined(__GNUC__)
        if (k + pictureAhead < count)
            __builtin_prefetch(m_labels[indexOf(k + pictureAhead)].picture);
#endif
        if (k + rowsAhead < count) {
            if (const CQtLabelPicture* later = m_labels[indexOf(k + rowsAhead)].picture)
                later->Prefetch();
        }
        const Item& label = m_labels[indexOf(k)];
        if (const GlyphRun* run = label.run) {
            if (run->count == 0)
                continue;
            // Glyphs are a few hundred pictures at most, and stay in the cache.
            const bool whole = area.contains(
                QRect(QPoint(label.at.x() + run->left, label.at.y() + label.top),
                      QPoint(label.at.x() + run->right, label.at.y() + label.bottom)));
            // In the text's order: Qt blends each glyph over those before it.
            for (int g = 0; g < run->count; ++g) {
                const CQtLabelPicture& glyph = *m_glyphPictures[run->glyphs[size_t(g)]];
                const QPoint at = label.at + QPoint(run->shifts[size_t(g)], 0);
                if (whole)
                    glyph.LayWholeIn(target, at, run->ink);
                else
                    glyph.LayOverIn(target, at, clip, run->ink);
            }
        } else {
            label.picture->LayOver(target, label.at, clip);
        }
    }
}

void CQtLabelBatch::AddEach(size_t count,
                            const std::function<void(size_t, const CQtLabelPicture*&,
                                                     const GlyphRun*&, QPoint&, int&, int&)>& place)
{
    const size_t before = m_labels.size();
    m_labels.resize(before + count);
    CWorkPool::Shared().ForEachRun(count, minRunLabels, [&](size_t, size_t first, size_t last) {
        for (size_t k = first; k < last; ++k) {
            Item& item = m_labels[before + k];
            place(k, item.picture, item.run, item.at, item.top, item.bottom);
        }
    });
}

void CQtLabelBatch::LayOver(const CQtLabelPicture::Target& target, const QRect& clip)
{
    const QRect area = clip & target.rect;
    const int threads = CWorkPool::ThreadCount();
    // Several bands per thread even out boards whose labels crowd in a few places. One thread
    // lays band after band too: a band's pixels stay in the cache while its labels come.
    const int bands = m_labels.size() >= minSpread
                          ? std::min(std::max(4 * threads, minBands), area.height() / minBandRows)
                          : 1;
    if (area.isEmpty() || bands <= 1) {
        LayInTurn(target, area, m_labels.size(), [](size_t k) { return k; });
        m_labels.clear();
        return;
    }
    const int bandRows = (area.height() + bands - 1) / bands;
    // The bands a label's rows reach into, or false when they miss the area.
    const auto bandsOf = [&area, bandRows](const Item& label, int& first, int& last) {
        const int top = std::max(label.at.y() + label.top, area.top());
        const int bottom = std::min(label.at.y() + label.bottom, area.bottom());
        if (top > bottom)
            return false;
        first = (top - area.top()) / bandRows;
        last = (bottom - area.top()) / bandRows;
        return true;
    };
    // Each band's labels in their order, one after another: a counting sort over runs of the
    // labels side by side (a board's hundred thousand labels took a thread a third of the time
    // they take to lay), each run's labels placed after those of the runs before it.
    const size_t count = m_labels.size();
    const size_t runs = CWorkPool::RunCount(count, minRunLabels);
    const size_t bandCount = size_t(bands);
    m_runStarts.assign(runs * bandCount, 0);
    // Calls take(the run's place in the band, label) for each band each label reaches, run by run.
    const auto eachRun = [&](const auto& take) {
        CWorkPool::Shared().ForEachRun(
            count, minRunLabels, [&](size_t run, size_t firstLabel, size_t lastLabel) {
                uint32_t* const places = m_runStarts.data() + run * bandCount;
                for (size_t k = firstLabel; k < lastLabel; ++k) {
                    int first = 0, last = 0;
                    if (!bandsOf(m_labels[k], first, last))
                        continue;
                    for (int band = first; band <= last; ++band)
                        take(places[size_t(band)], k);
                }
            });
    };
    eachRun([](uint32_t& counted, size_t) { ++counted; });
    m_bandStarts.assign(bandCount + 1, 0);
    uint32_t placed = 0;
    for (size_t band = 0; band < bandCount; ++band) {
        m_bandStarts[band] = placed;
        for (size_t run = 0; run < runs; ++run)
            placed += std::exchange(m_runStarts[run * bandCount + band], placed);
    }
    m_bandStarts[bandCount] = placed;
    m_bandLabels.resize(placed);
    eachRun([&](uint32_t& next, size_t k) { m_bandLabels[next++] = uint32_t(k); });
    CWorkPool::Shared().ForEach(size_t(bands), [&](size_t band) {
        const QRect rows =
            area & QRect(area.left(), area.top() + int(band) * bandRows, area.width(), bandRows);
        const uint32_t* const labels = m_bandLabels.data() + m_bandStarts[band];
        LayInTurn(target, rows, m_bandStarts[band + 1] - m_bandStarts[band],
                  [labels](size_t k) { return labels[k]; });
    });
    m_labels.clear();
}
