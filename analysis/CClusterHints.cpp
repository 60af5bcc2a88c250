#include "analysis/CClusterHints.h"

#include <algorithm>

CClusterHints::CClusterHints(const std::vector<const CNet*>& nets,
                             const std::vector<int32_t>& itemCounts, const std::vector<Link>& links)
    : m_itemBase(nets.size() + 1, 0), m_itemCounts(itemCounts)
{
    m_itemCounts.resize(nets.size(), 0);
    m_netIndex.reserve(nets.size());
    for (size_t n = 0; n < nets.size(); ++n) {
        if (!nets[n])
            m_itemCounts[n] = 0;
        else
            m_netIndex.emplace(nets[n], int32_t(n));
        m_itemBase[n + 1] = m_itemBase[n] + size_t(std::max(m_itemCounts[n], 0));
    }
    const auto valid = [this](const Link& link) {
        if (link.net < 0 || size_t(link.net) >= m_itemCounts.size())
            return false;
        const int32_t items = m_itemCounts[size_t(link.net)];
        return link.a >= 0 && link.a < items && link.b >= 0 && link.b < items && link.a != link.b;
    };
    // Both ways round, placed by counting: each item's links in one run.
    m_first.assign(m_itemBase.back() + 1, 0);
    for (const Link& link : links) {
        if (!valid(link))
            continue;
        ++m_first[m_itemBase[size_t(link.net)] + size_t(link.a) + 1];
        ++m_first[m_itemBase[size_t(link.net)] + size_t(link.b) + 1];
    }
    for (size_t k = 1; k < m_first.size(); ++k)
        m_first[k] += m_first[k - 1];
    m_links.resize(m_first.back());
    std::vector<uint32_t> next(m_first.begin(), m_first.end() - 1);
    for (const Link& link : links) {
        if (!valid(link))
            continue;
        const size_t base = m_itemBase[size_t(link.net)];
        m_links[next[base + size_t(link.a)]++] = link.b;
        m_links[next[base + size_t(link.b)]++] = link.a;
    }
}

bool CClusterHints::Find(const CNet& net, NetLinks& found) const
{
    const auto known = m_netIndex.find(&net);
    if (known == m_netIndex.end())
        return false;
    const size_t n = size_t(known->second);
    found.items = m_itemCounts[n];
    found.first =
        std::span<const uint32_t>(m_first).subspan(m_itemBase[n], size_t(found.items) + 1);
    found.links = m_links;
    return true;
}
