#include "document/CPaintedBoard.h"

#include <unordered_set>
#include <utility>

#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStackReaches.h"

CPaintedBoard::CPaintedBoard() = default;
CPaintedBoard::~CPaintedBoard() = default;

void CPaintedBoard::Record(const CNetArray& nets, const CComponentArray& components,
                           const CDesignSettings& settings, std::vector<uint8_t> fingerprint)
{
    // The copies made before the old ones go: the items the old copies held unchanged stay
    // shared instead of being copied again by the next edit.
    auto keptNets = std::make_unique<CNetArray>(nets);
    auto keptComponents = std::make_unique<CComponentArray>(components);
    m_nets = std::move(keptNets);
    m_components = std::move(keptComponents);
    m_netSelected.assign(size_t(nets.GetCount()), 0);
    for (int32_t i = 0; i < nets.GetCount(); ++i)
        m_netSelected[size_t(i)] = nets.GetNet(i)->GetSelectedCount() > 0 ? 1 : 0;
    m_componentSelected.assign(size_t(components.GetCount()), 0);
    for (int32_t i = 0; i < components.GetCount(); ++i)
        m_componentSelected[size_t(i)] = components.IsSelected(i) ? 1 : 0;
    m_settings = settings;
    m_fingerprint = std::move(fingerprint);
}

void CPaintedBoard::Forget()
{
    m_nets.reset();
    m_components.reset();
    m_netSelected.clear();
    m_componentSelected.clear();
    m_fingerprint.clear();
}

std::optional<std::vector<CRect>>
CPaintedBoard::ChangedBoxes(const CNetArray& nets, const CComponentArray& components,
                            const CPadStackArray& padStacks, const CDesignSettings& settings,
                            const std::vector<uint8_t>& fingerprint, size_t limit, bool viaCounts,
                            bool pinClusters) const
{
    if (!IsRecorded() || !(settings == m_settings) || fingerprint != m_fingerprint ||
        nets.GetCount() != m_nets->GetCount())
        return std::nullopt;
    std::vector<CRect> boxes;
    const auto add = [&](const CRect& before, const CRect& after) {
        boxes.push_back(before);
        if (after != before)
            boxes.push_back(after);
        return boxes.size() <= 2 * limit;
    };

    CPadStackReaches margins(padStacks);
    for (int32_t i = 0; i < nets.GetCount(); ++i) {
        if (nets.GetNetIdentity(i) == m_nets->GetNetIdentity(i))
            continue;
        const CNet& now = *nets.GetNet(i);
        const CNet& kept = *std::as_const(*m_nets).GetNet(i);
        if (m_netSelected[size_t(i)] != 0 || now.GetSelectedCount() > 0) {
            // Selected vertices are left to the selection's overlay, and the copy lost them.
            if (!add(kept.GetBox(), now.GetBox()))
                return std::nullopt;
            continue;
        }
        if (now.HasSameContent(kept))
            continue;
        if (viaCounts && now.CountPadVertices() != kept.CountPadVertices())
            return std::nullopt;
        CRect changed;
        if (!now.GetChangedBox(kept, margins, pinClusters, changed)) {
            if (!add(kept.GetBox(), now.GetBox()))
                return std::nullopt;
        } else if (changed.right > changed.left || changed.bottom > changed.top) {
            if (!add(changed, changed))
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
    // Components were added or removed: the others keep their items under other numbers.
    std::unordered_set<const void*> before;
    std::unordered_set<const void*> after;
    before.reserve(size_t(kept.GetCount()));
    after.reserve(size_t(components.GetCount()));
    for (int32_t i = 0; i < kept.GetCount(); ++i)
        before.insert(kept.GetComponentIdentity(i));
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        after.insert(components.GetComponentIdentity(i));
        if (!before.contains(components.GetComponentIdentity(i)) &&
            !add(components.GetBox(i), components.GetBox(i)))
            return std::nullopt;
    }
    for (int32_t i = 0; i < kept.GetCount(); ++i) {
        if (!after.contains(kept.GetComponentIdentity(i)) && !add(kept.GetBox(i), kept.GetBox(i)))
            return std::nullopt;
    }
    return boxes;
}
