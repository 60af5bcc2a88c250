#pragma once

#include <cstdint>
#include <memory>

#include "interchange/CNetlistDocument.h"

class CDrawRecArray;
class CLayerArray;
class CPour;

// What the DOS design import needs of the design beyond what the netlist import uses: the
// drawn lines, the layer table, the board size with its rectangular outline, the planes, and the
// recomputation of everything derived once the board is read. The document implements it.
class CDosDocument : public CNetlistDocument {
public:
    virtual CDrawRecArray& GetEditableLines() = 0;
    // The layers the DOS layers are assigned to.
    virtual const CLayerArray& GetLayers() const = 0;
    // The board becomes width x height with the closed rectangle (0, 0)-(width, height) as its
    // outline.
    virtual void SetDosBoard(int32_t width, int32_t height) = 0;
    virtual void AddDosPlane(std::unique_ptr<CPour> plane) = 0;
    // Component boxes, pins, net boxes and ratsnest afresh, the layers in use enabled; the
    // design counts as read from a DOS set.
    virtual void FinishDosImport() = 0;
};
