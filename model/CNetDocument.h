#pragma once

#include <cstdint>

#include "framework/CPoint.h"
#include "framework/ColorRef.h"

class CNet;
class CPadStackArray;

// What a net needs of the design that holds it: the padstack table its pins, pads and vias
// name, the board size that sizes its spatial grids, the layers in use, the connectivity
// check that numbers its connected parts (which lives above the board model), and the editing
// and painting state its tools and drawing read.
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
    // returns how many parts hold a pin. Nets are checked side by side on several threads:
    // the check reads the design and writes to the net alone.
    virtual int32_t CheckNetClusters(CNet& net) = 0;
    // Many nets are about to be checked and the design stays as it is until EndClusterChecks:
    // what their checks share may be worked out once for all of them.
    virtual void BeginClusterChecks() {}
    virtual void EndClusterChecks() {}

    // ---- Editing and painting state ----------------------------------------------------------
    // The defaults suit documents that neither edit nor paint (checks, benchmarks).

    // The snapped cursor, where the tools act; the track tool snaps it onto pads.
    virtual CPoint GetCursor() const { return {}; }
    virtual void SetCursor(CPoint) {}
    // The pen style option that bends tracks at 45 degrees.
    virtual bool IsMode45() const { return false; }
    // Board units per device pixel (at least 1) and the view offset: a board point (x, y) is
    // the pixel ((x + offset x) / scale, (y + offset y) / scale).
    virtual int32_t GetScale() const { return 1; }
    virtual CPoint GetViewOffset() const { return {}; }
    // The colour of a layer in colour set 0 (ordinary items) or 1 (the highlight set).
    virtual COLORREF GetLayerColor(int32_t /*set*/, int32_t /*layer*/) const { return 0; }
    // Nets in the design, net 0 included: with fewer than 2 nothing is highlighted.
    virtual int32_t GetNetCount() const { return 1; }
    // The grey clearance halo around the run being edited (a user setting).
    virtual bool ShowsClearanceHalo() const { return true; }
};
