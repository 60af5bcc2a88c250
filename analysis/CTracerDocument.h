#pragma once

#include <cstdint>

class CClusterHints;
class CNetArray;
class CPadStackArray;

// What the connectivity tracer needs of the design: the nets it rebuilds, the padstacks and
// layers that decide which copper touches, and the component pads that name nets. The
// document implements it.
class CTracerDocument {
public:
    virtual ~CTracerDocument() = default;

    // The net list, attached to the design (its loops reach the design through it).
    virtual CNetArray& GetNets() = 0;
    // The padstack table that pins, pads and vias name.
    virtual const CPadStackArray& GetPadStacks() const = 0;
    // Copper on a layer that is not in use touches nothing.
    virtual bool IsLayerEnabled(int32_t layer) const = 0;
    virtual void DeselectAll() = 0;
    // Every component pad goes to net 0.
    virtual void ResetPadNets() = 0;
    virtual void SetPadNet(int32_t component, int32_t pad, int32_t net) = 0;
    // Every net's pin list is rebuilt from the component pads.
    virtual void RebuildNetPins() = 0;
    // The pairs by which the tracer joined the nets it built, for the cluster checks of those
    // nets until taken back with null; they never change the clusters found.
    virtual void SetClusterHints(const CClusterHints* hints) = 0;
};
