#pragma once

#include <cstdint>
#include <vector>

class CShapeLib;

// What a shape library needs of the design document to count and renumber the padstacks of
// the design's shape cache: the cache's padstacks are also named by the placed components
// (through their shapes) and by the vias and free pads of the nets. The document implements
// it; libraries other than the cache only hand it on.
class CShapeLibDocument {
public:
    virtual ~CShapeLibDocument() = default;

    // The shape-cache index of every placed component, one entry per component.
    virtual std::vector<int32_t> GetComponentShapeIndexes() const = 0;
    // The padstack of every net vertex that stands for a via or free pad, one entry per
    // vertex.
    virtual std::vector<int32_t> GetNetPadStackIndexes() const = 0;
    // The shape cache's padstack table was renumbered: a via or free pad that named padstack
    // k now names newIndex[k] (the vector has one entry per padstack before the change; -1
    // only for a removed padstack, which no via or free pad uses). The document then rebuilds
    // the component pins.
    virtual void RenumberNetPadStacks(const std::vector<int32_t>& newIndex) = 0;
    // Re-derives the kinds of the cache's padstacks from how the design uses them and makes
    // sure each kind has a default.
    virtual void NormalizePadStackKinds(CShapeLib& cache) = 0;
};
