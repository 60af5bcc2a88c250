#pragma once

#include <cstdint>
#include <string>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "model/CTextArrayDocument.h"

class CComponentArray;
class CDrawRecArray;
class CGridArr;
class CNetArray;
class CShapeLib;

// What the interactive tools of the board (tracks and pads, components, drawn lines) need of the
// design they edit beyond what the text tool needs: the switches that steer them, the rubber
// band of the figures, the panes they keep informed, and the collections they edit. The document
// implements it; the board view hands it to the tools' handlers with every click, key and move.
class CToolDocument : public CTextArrayDocument {
public:
    // The rubber band of a figure is open.
    static constexpr uint32_t actionBandOpen = 0x40000080;

    // Before a run the user may still abandon: the state before it becomes an undo step, with
    // the design modified, once the run is kept, which it is when the drag ends in any other
    // way or another edit starts.
    virtual void SaveUndoStateUnlessAbandoned() = 0;
    // The run abandoned and the design put back as it was before it: it leaves no undo step
    // and the modified mark as it was.
    virtual void AbandonRun() = 0;
    // The run kept now: it leaves an undo step and the design modified only when the design no
    // longer matches the state before it.
    virtual void KeepRun() = 0;

    // Makes the layer the one the tools work on; false for a layer the design does not offer.
    virtual bool SetWorkLayer(int32_t layer) = 0;
    // The mouse follows the snapped cursor (nothing without a window).
    virtual void PutMouseOnCursor() {}
    // Runs a command of the board view as its menu item would (nothing without a window).
    virtual void SendViewCommand(uint32_t /*id*/) {}

    virtual bool IsMode45() const = 0;
    // "Tracks of Components": the tracks ending on a component's pins move and turn with it.
    virtual bool IsTracksOfComponents() const = 0;
    // The rotate angle the document keeps for the Rotate commands.
    virtual void SetRotateAngle(int32_t angle) = 0;
    // The document's own current component (-1 for none).
    virtual void SetCurrentComponent(int32_t component) = 0;
    // The user grid origin and the grids the cursor snaps to.
    virtual CPoint GetOrigin() const = 0;
    virtual CGridArr& GetGridSettings() = 0;
    // Every selected item of every collection moves, or turns about the cursor, after an
    // undo snapshot when one is due.
    virtual void MoveSelection(int32_t dx, int32_t dy) = 0;
    virtual void RotateSelection(int32_t angle) = 0;
    // Every net's pin list afresh from the component pads.
    virtual void RebuildNetPins() = 0;
    virtual bool IsAutoRatsnest() const = 0;
    // Ctrl+D: tracks and vias are checked against the other nets as they are laid.
    virtual bool IsDrcActive() const = 0;
    // A shape document edits a footprint: its pads are shape pads.
    virtual bool IsShapeDocument() const = 0;
    // Whether a library of the program's shape library set holds a shape, and the file the set
    // was loaded from.
    virtual bool HasLibraryShapes() const = 0;
    virtual std::string GetShapeLibraryFile() const = 0;
    // The padstack kind new pads take (1 free pad, 2 shape pad, 4 via).
    virtual int32_t GetDefaultPadStackKind() const = 0;

    // Every view of the document updates (the side pane's ToDo list among them).
    virtual void UpdateAllViews() = 0;
    virtual void ShowBottomPane(bool shown) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // Deselects everything in the design.
    virtual void DeselectAll() = 0;

    // The rubber band of the figure tools: opened at the cursor, and closed into a figure on
    // the work layer (false, nothing added, when it is too small).
    virtual void StartRubberBand() = 0;
    // The band follows the cursor; kept square, its moving corner goes as far from the start
    // both ways as the larger of the two distances.
    virtual void UpdateRubberBand(bool square) = 0;
    virtual bool AddCircleFromRubberBand() = 0;
    // The band closed as it is: hidden, and its rectangle with the corners in order.
    virtual CRect TakeRubberBand() = 0;
    virtual bool AddRectangleFromRubberBand() = 0;

    virtual CNetArray& GetNets() = 0;
    virtual CComponentArray& GetComponents() = 0;
    virtual CDrawRecArray& GetLines() = 0;
    // The design's shape cache, whose padstack table the pads and vias name.
    virtual CShapeLib& GetEditableShapeCache() = 0;
};
