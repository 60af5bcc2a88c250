#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "framework/CBrush.h"
#include "framework/CPen.h"
#include "framework/CPoint.h"
#include "model/CGridArr.h"
#include "model/CNet.h"
#include "model/CNetArrayDocument.h"
#include "model/CNetDocument.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

// A design for net tests: padstack 0 a drilled through-hole via (round, +-2000, drill 3023),
// padstack 1 a free pad on the top layer only (square, +-3000), padstack 2 a top-layer pad
// right of its origin (rectangle 0..4000 by +-1000); the editing and painting state the net
// tools read, as plain members. `Base` is the document interface it implements.
template <typename Base> class CNetTestDocumentOf : public Base {
public:
    static constexpr int32_t via = 0;
    static constexpr int32_t topPad = 1;
    static constexpr int32_t offsetPad = 2;

    CNetTestDocumentOf()
    {
        padStacks.RemoveAll();
        padStacks.Add(CPadStack("V", PAD_ROUND, -2000, -2000, 2000, 2000, 3023, LAYER_COMMON,
                                PADSTACK_KIND_VIA));
        padStacks.Add(
            CPadStack("P", PAD_SQUARE, -3000, -3000, 3000, 3000, 0, LAYER_TOP, PADSTACK_KIND_PAD));
        padStacks.Add(
            CPadStack("R", PAD_RECTANGLE, 0, -1000, 4000, 1000, 0, LAYER_TOP, PADSTACK_KIND_PAD));
    }

    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    int32_t GetBoardWidth() const override { return 1000000; }
    int32_t GetBoardHeight() const override { return 1000000; }
    bool IsLayerEnabled(int32_t) const override { return true; }
    // Pin i is in cluster pinClusters[i] (its own, i + 1, beyond the list); returns how many
    // clusters there are.
    int32_t CheckNetClusters(CNet& net) override
    {
        std::set<int32_t> clusters;
        for (int32_t i = 0; i < net.GetPinCount(); ++i) {
            const int32_t c = size_t(i) < pinClusters.size() ? pinClusters[size_t(i)] : i + 1;
            net.SetPinCluster(i, c);
            clusters.insert(c);
        }
        return int32_t(clusters.size());
    }

    CPoint GetCursor() const override { return cursor; }
    void SetCursor(CPoint point) override { cursor = point; }
    bool IsMode45() const override { return mode45; }
    int32_t GetScale() const override { return scale; }
    CPoint GetViewOffset() const override { return offset; }
    // Set 0: layer L is 0x0000LL (red channel = layer); set 1: 0x00LL0000 (blue channel).
    COLORREF GetLayerColor(int32_t set, int32_t layer) const override
    {
        return set == 1 ? COLORREF(layer) << 16 : COLORREF(layer);
    }
    int32_t GetNetCount() const override { return netCount; }
    bool ShowsClearanceHalo() const override { return halo; }

    CPadStackArray padStacks;
    std::vector<int32_t> pinClusters;
    CPoint cursor;
    bool mode45 = false;
    int32_t scale = 1;
    CPoint offset;
    int32_t netCount = 2;
    bool halo = true;
};

using CNetTestDocument = CNetTestDocumentOf<CNetDocument>;

// The same design for the net list, which asks nothing else of it but painting: layer pens
// are 1 pixel wide in the layer colour, layer brushes solid in it; the hole pen is
// 0x555555, the hole brush 0x666666. componentPadNets[c] lists the nets of component c's pads.
class CNetArrayTestDocument : public CNetTestDocumentOf<CNetArrayDocument> {
public:
    uint32_t GetMode() const override { return 0; }
    uint32_t GetAction() const override { return 0; }
    void SetAction(uint32_t) override {}
    int32_t GetWorkLayer() const override { return LAYER_TOP; }
    int32_t GetUnit() const override { return 0; }
    CPoint GetOrigin() const override { return {}; }
    bool IsAutoRatsnest() const override { return true; }
    void SetModified() override {}
    void SetStatusText(const std::string&) override {}
    CGridArr& GetGridSettings() override { return grids; }
    void FillNetCombo() override {}
    void SelectNetInCombo(int32_t) override {}
    void RedrawBoardViews() override {}
    void RedrawLeftPane(int32_t) override {}

    CPen GetLayerPen(int32_t layer, int32_t set) const override
    {
        return CPen(CPen::Style::Solid, 1, GetLayerColor(set, layer));
    }
    CBrush GetLayerBrush(int32_t layer, int32_t set) const override
    {
        return CBrush(GetLayerColor(set, layer));
    }
    CPen GetHolePen() const override { return CPen(CPen::Style::Solid, 1, 0x555555); }
    CBrush GetHoleBrush() const override { return CBrush(0x666666); }
    int32_t GetPadInfoMode() const override { return padInfoMode; }

    std::string GetComponentReference(int32_t) const override { return {}; }
    int32_t GetComponentCount() const override { return int32_t(componentPadNets.size()); }
    std::vector<int32_t> GetComponentPadNets(int32_t component) const override
    {
        return componentPadNets.at(size_t(component));
    }
    void SetPadNet(int32_t, int32_t, int32_t) override {}
    void ResetPadNets() override {}
    void RenumberNets(const std::vector<int32_t>&) override {}
    void RecalcComponentBoxes() override {}
    void RebuildNetPins() override {}
    void DeselectAll() override {}
    bool AllNetsToNet0() override { return true; }
    void TestAllNets() override {}
    bool RouteConnection(CNet&, int32_t, int32_t, int32_t, int32_t, int32_t) override
    {
        return false;
    }
    bool RouteAllDefaultLayer() override { return false; }
    bool RouteAllTopBottom() override { return false; }

    CGridArr grids;
    int32_t padInfoMode = 0;
    std::vector<std::vector<int32_t>> componentPadNets;
};

// Nets written as text, one token per vertex: "x,y/p" a track vertex with pen p on the top
// layer ("x,y/p@L" on layer L), "x,y/Pn" a pad or via vertex of padstack n; a trailing '*'
// marks it selected. Pen 2 of the nets made here is 3023 units wide, pen 1 2015.
inline CNet MakeNet(const std::string& text)
{
    CNet net("T");
    net.AddPen(3023);
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const bool selected = token.back() == '*';
        if (selected)
            token.pop_back();
        int32_t x = 0, y = 0, value = 0, layer = LAYER_TOP;
        const char* p = token.data();
        const char* end = p + token.size();
        p = std::from_chars(p, end, x).ptr + 1;
        p = std::from_chars(p, end, y).ptr + 1;
        const bool pad = *p == 'P';
        p = std::from_chars(p + (pad ? 1 : 0), end, value).ptr;
        if (p < end && *p == '@')
            std::from_chars(p + 1, end, layer);
        if (pad)
            net.AppendPadVertex(x, y, value, 0, false);
        else
            net.AppendVertex(x, y, layer, value);
        if (selected)
            net.SelectVertex(net.GetVertexCount() - 1, true);
    }
    return net;
}

inline std::string Describe(const CNet& net)
{
    std::string text;
    for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
        const CPoint p = net.GetVertexPoint(i);
        if (!text.empty())
            text += ' ';
        text += std::to_string(p.x) + "," + std::to_string(p.y) + "/";
        if (net.IsPadVertex(i)) {
            text += "P" + std::to_string(net.GetVertexPadStack(i));
        } else {
            text += std::to_string(net.GetVertexPen(i));
            if (net.GetVertexLayer(i) != LAYER_TOP)
                text += "@" + std::to_string(net.GetVertexLayer(i));
        }
        if (net.IsVertexSelected(i))
            text += '*';
    }
    return text;
}

// The selected vertices as "i,j,...".
inline std::string SelectedIndexes(const CNet& net)
{
    std::string text;
    for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
        if (net.IsVertexSelected(i))
            text += (text.empty() ? "" : ",") + std::to_string(i);
    }
    return text;
}
