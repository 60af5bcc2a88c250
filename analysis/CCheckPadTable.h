#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/LayerIds.h"

class CPad;
class CPadStack;
class CPadStackArray;
class CNetDocument;

// The pads of every padstack on both board sides as the cluster check places them, and the
// layers in use, worked out once for a batch of checks over many nets (opening a design checks
// every net). The table is read by the checks on all threads at once and never changes, so the
// design must not change while it is in use.
class CCheckPadTable {
public:
    // The pads of a padstack on every layer, as an item on one board side sees them.
    using LayerPads = std::array<const CPad*, LAYER_COUNT>;
    struct PadSet {
        int32_t padStack = 0;
        bool mirrored = false;
        LayerPads pads{};
        // CNet::PadStackReach (kept in the set of the stack's own side).
        int32_t reach = 0;
    };

    explicit CCheckPadTable(CNetDocument& document);

    // Fills the set of a stack (null for a stack that does not exist): layers whose pads have
    // the same form share one, so that a check sees them alike.
    static void Fill(PadSet& set, const CPadStack* stack);

    // The set of a stack of the table; nullptr for an index outside it.
    const PadSet* Find(int32_t padStack, bool mirrored) const
    {
        if (padStack < 0 || size_t(padStack) * 2 + 1 >= m_sets.size())
            return nullptr;
        return &m_sets[size_t(padStack) * 2 + (mirrored ? 1 : 0)];
    }
    const std::array<bool, LAYER_COUNT>& LayersInUse() const { return m_layerEnabled; }

private:
    // Per stack, its set on the top side then on the bottom side.
    std::vector<PadSet> m_sets;
    std::array<bool, LAYER_COUNT> m_layerEnabled{};
};
