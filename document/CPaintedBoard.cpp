#include "document/CPaintedBoard.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "document/CDesign.h"
#include "framework/CBackgroundRelease.h"
#include "framework/CDrawList.h"
#include "framework/CWorkPool.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStackReaches.h"

CPaintedBoard::CPaintedBoard(size_t limit) : m_limit(limit) {}
CPaintedBoard::~CPaintedBoard() = default;

void CPaintedBoard::Record(const CNetArray& nets, const CComponentArray& components,
                           const CDesignSettings& settings, std::vector<uint8_t> fingerprint,
                           std::vector<int32_t> padCounts)
{
    // Each item selected when drawn gives ChangedBoxes at least one box: with more components
    // selected than it could accept (Select All), nothing more is looked at.
    if (size_t(std::max(components.GetSelectedCount(), 0)) > 2 * m_limit) {
        Forget();
        return;
    }
    // The collections count their selected items: a board with none selected is not looked
    // through item by item.
    std::vector<uint8_t> netSelected(size_t(nets.GetCount()), 0);
    std::vector<uint8_t> componentSelected(size_t(components.GetCount()), 0);
    size_t selected = 0;
    if (nets.GetSelectedCount() > 0) {
        for (int32_t i = 0; i < nets.GetCount(); ++i) {
            netSelected[size_t(i)] = nets.GetNet(i)->GetSelectedCount() > 0 ? 1 : 0;
            selected += netSelected[size_t(i)];
        }
    }
    if (components.GetSelectedCount() > 0) {
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            componentSelected[size_t(i)] = components.IsSelected(i) ? 1 : 0;
            selected += componentSelected[size_t(i)];
        }
    }
    // Each item selected when drawn gives ChangedBoxes at least one box.
    if (selected > 2 * m_limit) {
        Forget();
        return;
    }
    // The kept copies are brought up to date where they differ, or made anew when their items
    // were added or taken away. What they let go may be the last of what an edit replaced:
    // thousands of nets after a delete renumbers pins.
    struct Replaced {
        std::vector<CSharedItem<CNet>> nets;
        std::vector<CSharedItem<CComponent>> components;
    } replaced;
    std::unique_ptr<CNetArray> oldNets;
    std::unique_ptr<CComponentArray> oldComponents;
    if (!m_nets || !m_nets->ShareNetsOf(nets, replaced.nets)) {
        // The copy is made before the old one goes: the nets the old copy held unchanged stay
        // shared instead of being copied again by the next edit.
        auto kept = std::make_unique<CNetArray>(nets);
        oldNets = std::exchange(m_nets, std::move(kept));
    }
    if (!m_components || !m_components->ShareComponentsOf(components, replaced.components)) {
        auto kept = std::make_unique<CComponentArray>(components);
        oldComponents = std::exchange(m_components, std::move(kept));
    }
    const size_t items = replaced.nets.size() + replaced.components.size();
    CBackgroundRelease::Shared().HandIfBig(std::move(replaced), items);
    CDesign::ReleaseCollections(std::move(oldNets), std::move(oldComponents));
    m_padCounts =
        padCounts.size() == size_t(nets.GetCount()) ? std::move(padCounts) : std::vector<int32_t>();
    m_currentNet = nets.GetHighlightedIndex();
    m_netSelected = std::move(netSelected);
    m_componentSelected = std::move(componentSelected);
    m_settings = settings;
    m_fingerprint = std::move(fingerprint);
}

void CPaintedBoard::ReleaseCopies()
{
    // The old copies are often the last holders of what an edit replaced or took away, thousands
    // of nets after a delete renumbers pins: freeing them is left to the release thread.
    CDesign::ReleaseCollections(std::move(m_nets), std::move(m_components));
}

void CPaintedBoard::Forget()
{
    ReleaseCopies();
    m_padCounts.clear();
    m_netSelected.clear();
    m_componentSelected.clear();
    m_fingerprint.clear();
}

std::vector<int32_t> CPaintedBoard::PadCounts(const CNetArray& nets, bool asKept) const
{
    const size_t count = size_t(nets.GetCount());
    const bool kept = IsRecorded() && m_padCounts.size() == count;
    // A delete renumbers the pins of thousands of nets: looking at each again cost more than
    // drawing what the delete changed.
    if (kept && asKept)
        return m_padCounts;
    // Nets unchanged are only looked up: a run of them is not worth waking a thread for.
    constexpr size_t netsAlone = 4096;
    std::vector<int32_t> counts(count);
    CWorkPool::Shared().ForEachRun(count, netsAlone, [&](size_t, size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const auto net = int32_t(i);
            counts[i] = kept && nets.GetNetIdentity(net) == m_nets->GetNetIdentity(net)
                            ? m_padCounts[i]
                            : nets.GetNet(net)->CountPadVertices();
        }
    });
    return counts;
}

std::optional<std::vector<CRect>>
CPaintedBoard::ChangedBoxes(const CNetArray& nets, const CComponentArray& components,
                            const CPadStackArray& padStacks, const CDesignSettings& settings,
                            const std::vector<uint8_t>& fingerprint, bool viaCounts,
                            bool pinClusters) const
{
    if (!IsRecorded() || !(settings == m_settings) || fingerprint != m_fingerprint ||
        nets.GetCount() != m_nets->GetCount())
        return std::nullopt;
    const size_t limit = m_limit;
    std::vector<CRect> boxes;
    const auto add = [&](const CRect& before, const CRect& after) {
        boxes.push_back(before);
        if (after != before)
            boxes.push_back(after);
        return boxes.size() <= 2 * limit;
    };

    // Nets are compared side by side in blocks, each with its own table of pad stack reaches,
    // and their boxes joined in net order: a delete renumbers the pins of thousands of nets.
    constexpr size_t netBlock = 2048;
    const size_t netCount = size_t(nets.GetCount());
    struct NetBlock {
        std::vector<std::pair<CRect, CRect>> boxes;
        bool whole = false;
    };
    std::vector<NetBlock> netBlocks((netCount + netBlock - 1) / netBlock);
    CWorkPool::Shared().ForEach(netBlocks.size(), [&](size_t b) {
        NetBlock& block = netBlocks[b];
        CPadStackReaches margins(padStacks);
        const auto note = [&](const CRect& before, const CRect& after) {
            block.boxes.emplace_back(before, after);
            block.whole = block.boxes.size() > limit;
        };
        for (size_t k = b * netBlock; k < std::min(netCount, (b + 1) * netBlock) && !block.whole;
             ++k) {
            const int32_t i = int32_t(k);
            if (nets.GetNetIdentity(i) == m_nets->GetNetIdentity(i))
                continue;
            const CNet& now = *nets.GetNet(i);
            const CNet& kept = *std::as_const(*m_nets).GetNet(i);
            if (m_netSelected[k] != 0 || now.GetSelectedCount() > 0) {
                // Selected vertices are left to the selection's overlay, and the copy lost them;
                // a selected via deleted numbers the vias after it anew all the same.
                if (viaCounts && now.CountPadVertices() != kept.CountPadVertices()) {
                    block.whole = true;
                    break;
                }
                note(kept.GetBox(), now.GetBox());
                continue;
            }
            if (now.HasSameContent(kept))
                continue;
            CRect changed;
            int32_t padsGained = 0;
            const bool within = now.GetChangedBox(kept, margins, pinClusters, changed, padsGained);
            if (viaCounts &&
                (within ? padsGained != 0 : now.CountPadVertices() != kept.CountPadVertices())) {
                block.whole = true;
                break;
            }
            if (!within)
                note(kept.GetBox(), now.GetBox());
            else if (changed.right > changed.left || changed.bottom > changed.top)
                note(changed, changed);
        }
    });
    for (const NetBlock& block : netBlocks) {
        if (block.whole)
            return std::nullopt;
        for (const auto& [before, after] : block.boxes) {
            if (!add(before, after))
                return std::nullopt;
        }
    }

    // The current net is drawn in the highlight colours: its copper by the nets, its pins by
    // the components whose pads are on it. Another net made current changes colour there, and
    // so does the one current before (net 0 never shows as current).
    const int32_t current = nets.GetHighlightedIndex();
    if (current != m_currentNet) {
        const auto shows = [&](int32_t net) { return net >= 1 && net < nets.GetCount(); };
        for (const int32_t net : {m_currentNet, current}) {
            if (shows(net) &&
                !add(std::as_const(*m_nets).GetNet(net)->GetBox(), nets.GetNet(net)->GetBox()))
                return std::nullopt;
        }
        const auto onEither = CDrawList::Pick(size_t(components.GetCount()), [&](size_t i) {
            for (const uint16_t net : components.GetComponent(int32_t(i))->GetPadNets()) {
                if ((net == m_currentNet || net == current) && shows(net))
                    return true;
            }
            return false;
        });
        for (const size_t i : onEither) {
            if (!add(components.GetBox(int32_t(i)), components.GetBox(int32_t(i))))
                return std::nullopt;
        }
    }

    const CComponentArray& kept = *m_components;
    if (components.GetCount() == kept.GetCount()) {
        for (int32_t i = 0; i < components.GetCount(); ++i) {
            if (components.GetComponentIdentity(i) == kept.GetComponentIdentity(i) ||
                (m_componentSelected[size_t(i)] == 0 &&
                 components.GetComponent(i)->HasSameContent(*kept.GetComponent(i))))
                continue;
            if (!add(kept.GetBox(i), components.GetBox(i)))
                return std::nullopt;
        }
        return boxes;
    }
    // Components were added or removed: the others keep their items under other numbers, in
    // the same order. Past the run they start with and the run they end with alike, each side's
    // items are looked up among the other's.
    size_t first = 0;
    size_t lastKept = size_t(kept.GetCount());
    size_t lastNow = size_t(components.GetCount());
    while (first < lastKept && first < lastNow &&
           kept.GetComponentIdentity(int32_t(first)) ==
               components.GetComponentIdentity(int32_t(first)))
        ++first;
    while (lastKept > first && lastNow > first &&
           kept.GetComponentIdentity(int32_t(lastKept - 1)) ==
               components.GetComponentIdentity(int32_t(lastNow - 1))) {
        --lastKept;
        --lastNow;
    }
    std::unordered_set<const void*> before;
    std::unordered_set<const void*> after;
    before.reserve(lastKept - first);
    after.reserve(lastNow - first);
    for (size_t i = first; i < lastKept; ++i)
        before.insert(kept.GetComponentIdentity(int32_t(i)));
    for (size_t k = first; k < lastNow; ++k) {
        const int32_t i = int32_t(k);
        after.insert(components.GetComponentIdentity(i));
        if (!before.contains(components.GetComponentIdentity(i)) &&
            !add(components.GetBox(i), components.GetBox(i)))
            return std::nullopt;
    }
    for (size_t k = first; k < lastKept; ++k) {
        const int32_t i = int32_t(k);
        if (!after.contains(kept.GetComponentIdentity(i)) && !add(kept.GetBox(i), kept.GetBox(i)))
            return std::nullopt;
    }
    return boxes;
}
