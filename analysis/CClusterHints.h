#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

class CNet;

// The pairs of items by which the connectivity tracer joined each net it built, for the cluster
// check of those nets. The tracer tests copper with the check's own rules (the same outlines on
// the same layers in use, each test answering alike whichever item asks), so a pair it found
// touching the check would find touching too.
//
// A net's items are numbered as the check numbers them: its pins first, then its vertices.
class CClusterHints {
public:
    struct Link {
        int32_t net = 0;
        int32_t a = 0;
        int32_t b = 0;
    };
    // One net's items and, for each, the items it is linked with.
    struct NetLinks {
        int32_t items = 0;
        std::span<const uint32_t> first;
        std::span<const int32_t> links;

        std::span<const int32_t> Of(int32_t item) const
        {
            return links.subspan(first[size_t(item)],
                                 first[size_t(item) + 1] - first[size_t(item)]);
        }
    };

    // `nets[n]` has `itemCounts[n]` items; links naming an item out of range are dropped, as are
    // links of nets left out (null).
    CClusterHints(const std::vector<const CNet*>& nets, const std::vector<int32_t>& itemCounts,
                  const std::vector<Link>& links);

    // False when the hints know nothing of the net.
    bool Find(const CNet& net, NetLinks& found) const;

private:
    std::unordered_map<const CNet*, int32_t> m_netIndex;
    // Per net: where its items start in m_first.
    std::vector<size_t> m_itemBase;
    std::vector<int32_t> m_itemCounts;
    // Per item of every net, where its links start in m_links (one more entry at the end).
    std::vector<uint32_t> m_first;
    std::vector<int32_t> m_links;
};
