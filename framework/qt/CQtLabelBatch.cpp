#include "framework/qt/CQtLabelBatch.h"

#include <algorithm>

#include "framework/CWorkPool.h"

template <class IndexOf>
void CQtLabelBatch::LayInTurn(const CQtLabelPicture::Target& target, const QRect& clip,
                              size_t count, IndexOf indexOf) const
{
    // A picture's rows lie where the picture says: the picture is asked for well ahead, its rows
    // a little later.
    constexpr size_t rowsAhead = 3;
    constexpr size_t pictureAhead = 2 * rowsAhead;
    for (size_t k = 0; k < count; ++k) {
#if defined(__GNUC__)
        if (k + pictureAhead < count)
            __builtin_prefetch(m_labels[indexOf(k + pictureAhead)].picture);
#endif
        if (k + rowsAhead < count)
            m_labels[indexOf(k + rowsAhead)].picture->Prefetch();
        const Item& label = m_labels[indexOf(k)];
        label.picture->LayOver(target, label.at, clip);
    }
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
    // Each band's labels in their order, one after another (a counting sort).
    m_bandStarts.assign(size_t(bands) + 1, 0);
    for (const Item& label : m_labels) {
        int first = 0, last = 0;
        if (!bandsOf(label, first, last))
            continue;
        for (int band = first; band <= last; ++band)
            ++m_bandStarts[size_t(band) + 1];
    }
    for (size_t band = 1; band < m_bandStarts.size(); ++band)
        m_bandStarts[band] += m_bandStarts[band - 1];
    m_bandLabels.resize(m_bandStarts.back());
    {
        std::vector<uint32_t> next(m_bandStarts.begin(), m_bandStarts.end() - 1);
        for (size_t k = 0; k < m_labels.size(); ++k) {
            int first = 0, last = 0;
            if (!bandsOf(m_labels[k], first, last))
                continue;
            for (int band = first; band <= last; ++band)
                m_bandLabels[next[size_t(band)]++] = uint32_t(k);
        }
    }
    CWorkPool::Shared().ForEach(size_t(bands), [&](size_t band) {
        const QRect rows =
            area & QRect(area.left(), area.top() + int(band) * bandRows, area.width(), bandRows);
        const uint32_t* const labels = m_bandLabels.data() + m_bandStarts[band];
        LayInTurn(target, rows, m_bandStarts[band + 1] - m_bandStarts[band],
                  [labels](size_t k) { return labels[k]; });
    });
    m_labels.clear();
}
