#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/CPlaneBuildDocument.h"
#include "framework/CResourcePack.h"
#include "model/CNet.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "resources/StringIds.h"

// The fill's own messages, which its failures are reported with.
inline void UsePlaneFillMessages()
{
    CResourcePack pack;
    pack.SetString(IDS_FILL_PLANE_FAILURE, "Error. Fill Plane Failure.");
    pack.SetString(IDS_PLANE_NET_MISSING, "missing net");
    CResourcePack::SetCurrent(pack);
}

// A hand-built board for the plane fill: nets, planes, texts and a padstack table, with the
// editor calls recorded.
class PlaneBuildBoard : public CPlaneBuildDocument {
public:
    PlaneBuildBoard() { padStacks.RemoveAll(); }

    // A through-hole padstack with the pad on the top and bottom layers.
    int32_t AddPadStack(int32_t shape, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                        int32_t drill = 0)
    {
        std::string name = std::to_string(padStacks.GetCount());
        name.insert(0, 1, 'P');
        return padStacks.Add(CPadStack(name, shape, x1, y1, x2, y2, drill, 0, 2));
    }
    CNet& AddNet(int32_t clearance)
    {
        std::string name = std::to_string(nets.size());
        name.insert(0, 1, 'N');
        nets.push_back(std::make_unique<CNet>(name, 1000, 50000, clearance));
        return *nets.back();
    }
    // A closed rectangular plane on the layer.
    CPour& AddPlane(int32_t net, int32_t layer, int32_t left, int32_t top, int32_t right,
                    int32_t bottom, int32_t style = CPour::styleSolid, int32_t pen = 2000)
    {
        planes.push_back(std::make_unique<CPour>(net, layer, (left + right) / 2, (top + bottom) / 2,
                                                 style, pen, 6047, 0));
        CPointArray& outline = planes.back()->GetOutline();
        const CPoint corners[5] = {
            {left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
        for (const CPoint& p : corners)
            outline.SetAtGrow(outline.GetSize(), p.x, p.y);
        return *planes.back();
    }

    const CPadStackArray& GetPadStacks() const override { return padStacks; }
    int32_t GetNetCount() const override { return int32_t(nets.size()); }
    const CNet& GetNet(int32_t i) const override { return *nets[size_t(i)]; }
    int32_t GetPlaneCount() const override { return int32_t(planes.size()); }
    const CPour& GetPlane(int32_t i) const override { return *planes[size_t(i)]; }
    int32_t GetTextCount() const override { return int32_t(texts.size()); }
    const CWevraText& GetText(int32_t i) const override { return *texts[size_t(i)]; }
    const CWevraFont& GetFont() const override { return font; }

    void ClearReportLines() override { ++reportClears; }
    void SetStatusBarText(const std::string& text) override { statusBar = text; }
    void SetMode(uint32_t m) override { mode = m; }
    void RedrawBoard() override { ++redraws; }

    CPadStackArray padStacks;
    std::vector<std::unique_ptr<CNet>> nets;
    std::vector<std::unique_ptr<CPour>> planes;
    std::vector<std::unique_ptr<CWevraText>> texts;
    CWevraFont font;

    int32_t reportClears = 0;
    std::string statusBar;
    uint32_t mode = 0;
    int32_t redraws = 0;
};
