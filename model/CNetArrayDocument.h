#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CBrush.h"
#include "framework/CPen.h"
#include "framework/CPoint.h"
#include "model/CNetDocument.h"

class CGridArr;
class CNet;

// What the net list needs of the design beyond what one net needs: the editing state its tools
// read, the panes and toolbar it keeps informed, the pens and brushes it paints with, the
// components whose pads name nets, and the checks, tracer and autorouter, which live above the
// board model. The document implements it.
class CNetArrayDocument : public CNetDocument {
public:
    // ---- Editing state ---------------------------------------------------------------------

    // The cursor where the tools act is the net document's GetCursor.

    // The tool mode (the command id that started the tool) and the action code within it.
    virtual uint32_t GetMode() const = 0;
    virtual uint32_t GetAction() const = 0;
    virtual void SetAction(uint32_t action) = 0;
    virtual int32_t GetWorkLayer() const = 0;
    // The display unit of length texts.
    virtual int32_t GetUnit() const = 0;
    // Positions in texts are shown relative to this point (the user grid origin).
    virtual CPoint GetOrigin() const = 0;
    // Whether the tools recompute the ratsnest of the nets they change.
    virtual bool IsAutoRatsnest() const = 0;
    virtual void SetModified() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual CGridArr& GetGridSettings() = 0;

    // ---- Toolbar and views ------------------------------------------------------------------

    // The toolbar's net combo: refill it from the net list, and show entry `net` as chosen.
    virtual void FillNetCombo() = 0;
    virtual void SelectNetInCombo(int32_t net) = 0;
    // Every board view redraws.
    virtual void RedrawBoardViews() = 0;
    // The side pane shows line `row` of the ToDo list as chosen (-1 for none).
    virtual void RedrawLeftPane(int32_t row) = 0;

    // ---- Painting ---------------------------------------------------------------------------
    // The same signatures as the component drawing's, so one override serves both. The
    // defaults suit documents that do not paint.

    // The pen and brush the document keeps for a layer in colour set 0 or 1 (highlight).
    virtual CPen GetLayerPen(int32_t /*layer*/, int32_t /*colorSet*/) const { return {}; }
    virtual CBrush GetLayerBrush(int32_t /*layer*/, int32_t /*colorSet*/) const { return {}; }
    virtual CPen GetHolePen() const { return {}; }
    virtual CBrush GetHoleBrush() const { return {}; }
    // What the labels at pads and vias show: 0 nothing, 1 running numbers, 2 hole diameters,
    // 3 padstack names, 4 padstack numbers, 5 net names, 6 net numbers.
    virtual int32_t GetPadInfoMode() const { return 0; }

    // ---- Components -------------------------------------------------------------------------

    virtual std::string GetComponentReference(int32_t component) const = 0;
    virtual int32_t GetComponentCount() const { return 0; }
    // The net number of each pad of the component, in pad order; empty outside the list.
    virtual std::vector<int32_t> GetComponentPadNets(int32_t /*component*/) const { return {}; }
    // The pad's net number becomes `net`.
    virtual void SetPadNet(int32_t component, int32_t pad, int32_t net) = 0;
    // Every component pad goes to net 0 (one entry per pad of its shape).
    virtual void ResetPadNets() = 0;
    // Nets were deleted: every holder of a net number outside the net list (component pads,
    // copper pours) that holds net k takes newIndex[k]; a number outside the map becomes 0.
    virtual void RenumberNets(const std::vector<int32_t>& newIndex) = 0;
    virtual void RecalcComponentBoxes() = 0;
    // Every net's pin list is rebuilt from the component pads.
    virtual void RebuildNetPins() = 0;
    // Deselects everything in the design.
    virtual void DeselectAll() = 0;

    // ---- Tracer, checks and autorouter -----------------------------------------------------

    // Moves the copper of every net from 1 on into net 0 (each drawn vertex keeping its
    // width) and clears the components' pin stamps. False when it could not (net 0's pen
    // table cannot take the widths): then nothing has changed.
    virtual bool AllNetsToNet0() = 0;
    // The design-rule check of all nets: replaces the net list's error records.
    virtual void TestAllNets() = 0;
    // Routes the connection on the layer with the net's current pen; on success the route is
    // the net's current run. False when no route fits.
    virtual bool RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                                 int32_t y2) = 0;
    // Every ratsnest line of every net, on the work layer, or on the bottom and then the top
    // layer.
    virtual bool RouteAllDefaultLayer() = 0;
    virtual bool RouteAllTopBottom() = 0;
};
