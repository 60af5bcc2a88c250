#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CPoint.h"

class CCopperShape;
class CNet;
class CNetArray;
class CPadStackArray;
class CToolDocument;

// The interactive editing of the copper that belongs to nets: drawing and editing tracks,
// vias, free pads, copies and deletions of tracks, figures of track, and the online clearance
// check after an edit. The net list owns it; the board view calls its handlers while the tool
// mode is one of its commands, handing over the document with every call.
class CTrackTool {
public:
    // Context menus: a separator, and the entry that ends the tool.
    static constexpr uint32_t menuSeparator = 0;
    // Half of a full turn's steps: a pad angle turns in quarter turns.
    static constexpr int32_t quarterTurn = 90000;
    static constexpr int32_t fullTurn = 360000;

    explicit CTrackTool(CNetArray& nets);
    ~CTrackTool();
    CTrackTool(const CTrackTool&) = delete;
    CTrackTool& operator=(const CTrackTool&) = delete;

    // Whether the mode is one of the track commands (tracks, vias, figures) or the pad
    // commands.
    static bool IsTrackMode(uint32_t mode);
    static bool IsPadMode(uint32_t mode);

    // ---- Track modes ----------------------------------------------------------------------------

    // Left click or space bar.
    void OnTrackToolClick(CToolDocument& document);
    void OnTrackChar(CToolDocument& document, uint32_t character);
    void OnTrackKeyDown(CToolDocument& document, uint32_t key);
    void OnTrackToolMouseMove(CToolDocument& document);
    // The items the tool adds to the view's context menu; the first entry replaces the view's
    // End Mode entry when `replacesFirst` comes back true.
    std::vector<uint32_t> OnTrackToolContextMenu(CToolDocument& document, bool& replacesFirst);
    // End Mode in a track mode: a drawn track ends, a floating copy or figure goes.
    void EndTrackTool(CToolDocument& document);

    // The first click of Add and Edit; the end and the cancel of the edit they start.
    void StartTrackAdd(CToolDocument& document);
    void StartTrackEdit(CToolDocument& document);
    void EndTrackEdit(CToolDocument& document);
    void CancelTrackEdit(CToolDocument& document);
    bool IsEditing() const { return m_backup != nullptr; }

    // Removes the via under the raw cursor or places one at the cursor; true when either
    // happened.
    bool ToggleViaAtCursor(CToolDocument& document);
    // The default via, or the default pad of the document's pad kind, at the snapped cursor,
    // when neither a hole, another net within clearance nor (with the online check) the lack
    // of a net refuses it. True when placed.
    bool AddViaAtCursor(CToolDocument& document);
    bool AddPadAtCursor(CToolDocument& document);

    // Removes the net's error records and makes new ones for its marked segments that come too
    // near another net; shows the bottom pane while any record is left.
    void CheckNetClearance(CToolDocument& document, int32_t net);

    // The copper outline vertices of the selected components' shapes become runs of net 0.
    void ExtractTracksFromShapes(CToolDocument& document);

    // ---- Pad modes ------------------------------------------------------------------------------

    void OnPadToolClick(CToolDocument& document);
    void OnPadToolChar(CToolDocument& document, uint32_t character);
    void OnPadToolKeyDown(CToolDocument& document, uint32_t key);
    void OnPadToolMouseMove(CToolDocument& document);
    std::vector<uint32_t> OnPadToolContextMenu(CToolDocument& document, bool& replacesFirst);
    void EndPadTool(CToolDocument& document);

    // The angle new pads take, and the rank the next Set Pad Order click gives.
    int32_t GetPadAngle() const { return m_padAngle; }
    void SetPadAngle(int32_t angle) { m_padAngle = angle; }
    int32_t GetPadOrder() const { return m_padOrder; }
    void SetPadOrder(int32_t order) { m_padOrder = order; }
    // A quarter turn further, from the last whole quarter turn at or below the angle.
    static int32_t NextQuarterTurn(int32_t angle);

private:
    bool IsAction(const CToolDocument& document, uint32_t action) const;
    uint32_t WorkMask(const CToolDocument& document) const;
    CNet& CurrentNet();
    int32_t CurrentIndex();
    // Clusters and (with the automatic ratsnest) ratsnest of the current net; nothing for net 0.
    void RecomputeCurrent(CToolDocument& document);
    // Keeps a copy of the current net and its ToDo count for Esc.
    void KeepBackup();
    // Whether the run ending now leaves the current net's copper as the backup has it: a run
    // ended where it began, or a vertex dragged back to its place.
    bool RunChangedNothing();
    void StartRun(CToolDocument& document, CPoint point);
    void InsertTrackVertex(CToolDocument& document);
    // After an edit: the ToDo list and the views follow a changed ToDo count.
    void HandleToDoChange(CToolDocument& document);
    void DeleteRunWhileDrawing(CToolDocument& document);
    void TrimWhileDrawing(CToolDocument& document);
    void StepCurrentVertex(CToolDocument& document, bool forward);

    void ChangeTracksWidth(CToolDocument& document);
    void CopyTracks(CToolDocument& document);
    void DeleteTracks(CToolDocument& document);
    void DeleteSegment(CToolDocument& document);
    void AddFigure(CToolDocument& document);
    void CloseFigureBand(CToolDocument& document);
    // Deletes the floating copies and figures.
    void DeleteFloating(CToolDocument& document);

    // Pad commands.
    int32_t FindPadVertex(CToolDocument& document, int32_t mode);
    void DeletePad(CToolDocument& document);
    void RotatePad(CToolDocument& document);
    void SetPadOrderAt(CToolDocument& document);
    void PickPadToCopy(CToolDocument& document);
    void PickPadToMove(CToolDocument& document);
    void ReplacePad(CToolDocument& document);
    void AddPadManually(CToolDocument& document);
    void TurnPadAngle(CToolDocument& document);
    // Whether the padstack may be copied or moved in this document.
    bool IsMovablePadStack(CToolDocument& document, int32_t padStack) const;

    // Whether the padstack (the default via for -1) may go at the cursor with the angle, see
    // AddViaAtCursor; with `place` it is placed there.
    bool PlacePadStack(CToolDocument& document, int32_t padStack, int32_t angle, bool place);
    bool HitsHole(const CPadStackArray& stacks, int32_t padStack, CPoint at) const;
    // The net whose copper the outline touches on the layer, or -1.
    int32_t FindTouchedNet(const CPadStackArray& stacks, const CCopperShape& outline, int32_t layer,
                           int32_t except) const;

    CNetArray& m_nets;
    // The net being drawn or edited as it was before the edit, and where it came from.
    std::unique_ptr<CNet> m_backup;
    int32_t m_backupIndex = -1;
    int32_t m_toDoAtStart = 0;
    int32_t m_padAngle = 0;
    int32_t m_padOrder = 1;
    // The pad vertex the pad Move drags (-1 for none).
    int32_t m_movedPad = -1;
    CPoint m_dragPrevious;
};
