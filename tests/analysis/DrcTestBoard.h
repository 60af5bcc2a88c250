#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/CDrcDocument.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"

// A board for the design-rule check with a few padstacks of its own; layers 1 and 2 in use.
// Components are named "C<index>".
class CDrcTestBoard : public CDrcDocument {
public:
    CDrcTestBoard()
    {
        padStacks.RemoveAll();
        smd = padStacks.Add(CPadStack("SMD", PAD_RECTANGLE, -3000, -1500, 3000, 1500, 0, LAYER_TOP,
                                      PADSTACK_KIND_SHAPE_PAD));
        via = padStacks.Add(CPadStack("VIA", PAD_ROUND, -2000, -2000, 2000, 2000, 1500,
                                      LAYER_COMMON, PADSTACK_KIND_VIA));
        big = padStacks.Add(CPadStack("BIG", PAD_SQUARE, -150000, -150000, 150000, 150000, 0,
                                      LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        oval = padStacks.Add(CPadStack("OVAL", PAD_OVAL, -10000, -2000, 10000, 2000, 0, LAYER_TOP,
                                       PADSTACK_KIND_SHAPE_PAD));
        connector = padStacks.Add(CPadStack("CON", PAD_CONNECTOR, -10000, -2000, 10000, 2000, 0,
                                            LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
        std::fill(std::begin(enabled), std::end(enabled), false);
        enabled[LAYER_TOP] = enabled[LAYER_BOTTOM] = true;
    }

    CNetArray& GetNets() override { return nets; }
    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    bool IsLayerEnabled(int32_t layer) const override
    {
        return layer >= 0 && layer < LAYER_COUNT && enabled[layer];
    }
    int32_t GetBoardWidth() const override { return 1000000; }
    int32_t GetBoardHeight() const override { return 1000000; }
    std::string GetComponentReference(int32_t component) const override
    {
        return "C" + std::to_string(component);
    }
    std::vector<std::string>& GetReportLines() override { return report; }
    void ShowErrorPane() override { ++paneShown; }

    // A net of that clearance; returns its index.
    int32_t AddNet(int32_t clearance)
    {
        return nets.AddNetWithWidths("N" + std::to_string(nets.GetCount()), 1000, 20000, clearance);
    }
    void AddPin(int32_t net, int32_t x, int32_t y, int32_t component, int32_t pad, int32_t padStack,
                int32_t angle = 0, bool bottom = false)
    {
        nets.GetNet(net)->AddPin(x, y, component, pad, padStack, angle, bottom,
                                 padStacks.GetLayerMask(padStack, bottom));
    }
    void AddVia(int32_t net, int32_t x, int32_t y)
    {
        nets.GetNet(net)->AppendPadVertex(x, y, via, 0, false);
    }
    // A segment of the width (added to the net's pens) on the layer.
    void AddTrack(int32_t net, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t width,
                  int32_t layer = LAYER_TOP)
    {
        CNet& n = *nets.GetNet(net);
        n.AppendSegment(x1, y1, x2, y2, layer, n.AddPen(width), false);
    }

    CNetArray nets;
    CPadStackArray padStacks;
    int32_t smd = 0;
    int32_t via = 0;
    int32_t big = 0;
    int32_t oval = 0;
    int32_t connector = 0;
    bool enabled[LAYER_COUNT] = {};
    std::vector<std::string> report;
    int32_t paneShown = 0;
};
