#pragma once

#include <cstdint>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/PadShapes.h"

// What the tools share while the user edits: the tool mode and what it is doing, the cursor in
// its raw, snapped and previous positions, the anchor and rubber band, the current plane,
// component and default padstack kind, the selectable layers and the rotation step.
struct CEditState {
    // The plane index of a document without a current plane.
    static constexpr int32_t noPlane = -1000000;
    // A tool other than the plane commands parks the current plane by this much.
    static constexpr int32_t planeIndexPark = 1000000;

    // Action codes of the tools.
    static constexpr uint32_t actionWaiting = 1;
    static constexpr uint32_t actionDragging = 2;
    static constexpr uint32_t actionPlacingCopy = 0x2000;
    static constexpr uint32_t actionRectangleStart = 0x40000040;
    static constexpr uint32_t actionBandOpen = 0x40000080;
    static constexpr uint32_t actionBandClosed = 0x40000100;
    static constexpr uint32_t actionMoveFromPane = 0x40000400;

    // Default padstack kinds (free pad, shape pad, via).
    static constexpr int32_t kindPad = PADSTACK_KIND_PAD;
    static constexpr int32_t kindShapePad = PADSTACK_KIND_SHAPE_PAD;
    static constexpr int32_t kindVia = PADSTACK_KIND_VIA;

    uint32_t mode = 0;
    uint32_t action = actionWaiting;
    CPoint rawCursor;
    CPoint cursor;
    CPoint previousCursor;
    CPoint anchor;
    CPoint rubberBandStart;
    CRect rubberBand;
    bool rubberBandVisible = false;
    int32_t planeIndex = noPlane;
    int32_t defaultPadStackKind = kindPad;
    uint32_t layerMask = 0;
    // Edit > Selection Filters > Only at Worklayer: the Select tool takes items of the work
    // layer only. A setting of the session, not of the design.
    bool workLayerOnly = false;
    int32_t currentComponentIndex = -1;
    int32_t rotateAngle = 0;
    // Set while SetMode asks the board view to end the running tool.
    bool endingMode = false;
};
