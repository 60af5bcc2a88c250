#pragma once

#include <bitset>
#include <cstdint>
#include <vector>

#include "model/CShapeLibDocument.h"
#include "model/TrackRec.h"

class CPadStackArray;
class CShapeLib;
class CDesign;

// Which padstacks of the shape cache the design uses, as the shape library asks when it counts,
// deletes, inserts or renumbers padstacks: the components' shapes and the nets' pads. After a
// load it derives the padstacks' kinds afresh from that use.
class CPadStackUse : public CShapeLibDocument {
public:
    explicit CPadStackUse(CDesign& design) : m_design(design) {}
    CPadStackUse(const CPadStackUse&) = delete;
    CPadStackUse& operator=(const CPadStackUse&) = delete;

    std::vector<int32_t> GetComponentShapeIndexes() const override;
    std::vector<int32_t> GetNetPadStackIndexes() const override;
    // Which padstack numbers the nets' pad and via vertices name, without listing each vertex.
    using NumbersUsed = std::bitset<TrackRec::padStackMask + 1>;
    NumbersUsed GetNetPadStacksUsed() const;
    // The net pads follow the new numbering; the nets' pins are rebuilt.
    void RenumberNetPadStacks(const std::vector<int32_t>& newIndex) override;
    // Re-derives the kinds of the cache's padstacks from their use: shape pads, separate
    // padstacks for net pads that used a shape pad's, vias by name, free pads for the rest,
    // and a default of each kind (made when none has it).
    void NormalizePadStackKinds(CShapeLib& cache) override;

private:
    void ReplaceNetPadStack(int32_t from, int32_t to);
    void SeparateNetPadStacks(CPadStackArray& stacks);

    CDesign& m_design;
};
