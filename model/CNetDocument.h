#pragma once

#include <cstdint>

class CNet;
class CPadStackArray;

// What a net needs of the design that holds it: the padstack table its pins, pads and vias
// name, the board size that sizes its spatial grids, the layers in use, and the connectivity
// check that numbers its connected parts (which lives above the board model).
class CNetDocument {
public:
    virtual ~CNetDocument() = default;

    // The design's padstack table (that of its shape cache).
    virtual const CPadStackArray& GetPadStacks() const = 0;
    // Board size in board units.
    virtual int32_t GetBoardWidth() const = 0;
    virtual int32_t GetBoardHeight() const = 0;
    // Copper on a layer that is not in use connects nothing.
    virtual bool IsLayerEnabled(int32_t layer) const = 0;
    // Stamps every pin and vertex of the net with the number of its connected part and
    // returns how many parts hold a pin. Runs with the net's spatial grids built.
    virtual int32_t CheckNetClusters(CNet& net) = 0;
};
