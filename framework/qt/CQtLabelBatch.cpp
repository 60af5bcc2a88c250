#include "framework/qt/CQtLabelBatch.h"

#include <algorithm>

#include "framework/CWorkPool.h"

void CQtLabelBatch::LayOver(const CQtLabelPicture::Target& target, const QRect& clip)
{
    const QRect area = clip & target.rect;
    const int threads = CWorkPool::ThreadCount();
    // Several bands per thread even out boards whose labels crowd in a few places.
    const int bands = threads > 1 && m_labels.size() >= minSpread
                          ? std::min(4 * threads, area.height() / minBandRows)
                          : 1;
    if (area.isEmpty() || bands <= 1) {
        for (const Item& label : m_labels)
            label.picture->LayOver(target, label.at, area);
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
        for (uint32_t k = m_bandStarts[band]; k < m_bandStarts[band + 1]; ++k) {
            const Item& label = m_labels[m_bandLabels[k]];
            label.picture->LayOver(target, label.at, rows);
        }
    });
    m_labels.clear();
}
