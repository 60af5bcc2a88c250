#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "framework/ColorRef.h"
#include "model/CNet.h"
#include "model/CNetErrorRec.h"
#include "model/CSharedItem.h"
#include "model/LayerIds.h"

class CArchive;
class CDeviceContext;
class CNetArrayDocument;
class CTrackTool;

// The design's nets, numbered by their index. Net 0 always exists and stands for no net: it
// holds the pins of unconnected pads and any copper of no net, and its pen table is the
// board-wide list of track widths. The list keeps the current net, runs the loops over all
// nets, builds the ToDo list and the info text, owns the error records of the checks, and
// carries the Connect Pins to Nets tool and the space-bar routing.
//
// The list keeps a selected total next to the nets' own selected counts; select through the
// list. Operations that reach the document (tools, panes, components, checks) do nothing
// without one.
class CNetArray : public CObject {
    WEVRA_DECLARE_SERIAL(CNetArray)

public:
    // Net 0 can name pens 1..14 only, as the board's pen combo lists them.
    static constexpr int32_t maxNetZeroPens = 15;
    static constexpr char newNetZeroName[] = "Zero";
    static constexpr char loadedNetZeroName[] = "0";
    // Nets above this many vertices are recomputed only after the user agrees.
    static constexpr int32_t largeNetVertices = 5000;
    // Half-sizes of the squares around the cursor that the tools search.
    static constexpr int32_t connectPinReach = 20157;
    static constexpr int32_t routeLineReach = 2015;
    static constexpr int32_t componentPinReach = 1280;
    // The pad-info mode that numbers the vias one after the other, from net to net.
    static constexpr int32_t viaNumbers = 1;

    CNetArray();
    explicit CNetArray(CNetArrayDocument& document);
    // Copies every net with the per-layer tables, the current net, the ToDo list and the repaint
    // rectangle and counters; the copy has nothing selected. The error records and the info
    // text are not copied.
    CNetArray(const CNetArray& other);
    // Takes what a copy would hold; keeps its own document, error records and info text.
    CNetArray& operator=(const CNetArray& other);
    ~CNetArray() override;
    // Brings the nets of this copy of `other` to those a copy made now would hold, looking into
    // only the nets it no longer shares: a board's picture keeps a copy to tell what an edit
    // changed, and copying all the nets after each edit took longer than drawing what it
    // changed. `replaced` becomes the nets it lets go; the rest of this copy stays as it
    // was. False, and nothing done, when the lists are not as long.
    bool ShareNetsOf(const CNetArray& other, std::vector<CSharedItem<CNet>>& replaced);

    CNetArrayDocument* GetDocument() const { return m_document; }
    void SetDocument(CNetArrayDocument* document) { m_document = document; }

    // ---- Lookup and naming -------------------------------------------------------------------

    int32_t GetCount() const { return static_cast<int32_t>(m_nets.size()); }
    // nullptr outside the list.
    CNet* GetNet(int32_t i);
    const CNet* GetNet(int32_t i) const;
    // The same for two copies of the list that share the net unchanged; null outside the list.
    const void* GetNetIdentity(int32_t i) const
    {
        return i >= 0 && i < GetCount() ? m_nets[size_t(i)].Identity() : nullptr;
    }
    // Empty outside the list.
    std::string GetNetName(int32_t i) const;
    // The current net, first brought into the list.
    CNet* GetCurrentNet();
    int32_t GetCurrentIndex();
    // The current net's index as the drawing highlights it, not brought into the list.
    int32_t GetHighlightedIndex() const { return m_currentNet; }
    // Clamps into the list, shows the net in the toolbar's combo, refills or clears the grid's
    // snap points and puts the status text up.
    void SetCurrentNet(int32_t i);
    int32_t GetSelectedCount() const { return m_selectedTotal; }
    const std::string& GetInfoText() const { return m_infoText; }
    // Of the current net.
    CPoint GetCurrentVertexPoint();
    // Empty without nets; the current net's short info while a tool waits for its first
    // point; its status text otherwise.
    std::string GetStatusText();

    // Index of the first net of exactly that name, or -1.
    int32_t FindNet(const std::string& name) const;
    int32_t LookupNet(const std::string& name) const { return FindNet(name); }
    // Each appends a net and returns its index.
    int32_t AddNet(const std::string& name);
    // "Add Net" with a unique name proposed, asked again while the name typed is taken. False
    // when the user cancels.
    bool AskNewNetName(std::string& name) const;
    int32_t AddNetWithWidths(const std::string& name, int32_t minWidth, int32_t maxWidth,
                             int32_t clearance);
    bool AddPadToCurrent(int32_t x, int32_t y, int32_t padStack, int32_t rotation, bool mirrored);
    bool AddVertexToCurrent(int32_t x, int32_t y, int32_t layer, int32_t pen);
    // The first number from `start` on that no net bears as its name.
    std::string MakeUniqueName(int32_t start) const;
    // Appends nets "N000001", "N000002", ... (named after the count) until net n exists, then
    // makes net n current.
    void CreateNumberedNets(int32_t n);

    // ---- Storage and reset -------------------------------------------------------------------

    // The nets as an object array. Loading replaces every net only once the whole array was
    // read, clears the error records, compacts the pens, collects them into net 0 and names
    // net 0 "0"; a stored list without nets gets a new net 0.
    void Serialize(CArchive& ar) override;
    // Back to net 0 alone, holding all copper and every pad. False, with nothing changed, when
    // the copper could not be moved into net 0.
    bool Reset();
    // Net 0's pen table takes every width of the other nets: the board's list of widths. When
    // they do not all fit, pens no net uses are dropped from it first (with a message); when
    // they still do not fit nothing changes and the user is told. Returns whether every width
    // is in net 0 afterwards.
    bool CollectPensIntoNetZero();

    // ---- Loops over all nets -----------------------------------------------------------------

    // Clusters of nets 1.., and with the automatic ratsnest their ratsnest; a net above
    // largeNetVertices only when the user agrees, or without asking when `askForLarge` is
    // false (a design just read or imported, whose ToDo counts must hold for every net).
    void RecalcAll(bool askForLarge = true);
    void RecalcDirtyRatsnest();
    void CalcBoundingBoxes();
    // Right after the pins were rebuilt: the nets that received pins got their boxes then.
    void CalcBoundingBoxesWithoutPins();
    void ClearAllPins();
    // Lets go of every net, leaving the list empty; runs of nets go side by side, as a copy
    // that alone holds many nets frees many small blocks.
    void ReleaseNets();
    // After components were deleted or reordered (newIndex: the new number of each old one, -1
    // for one deleted): the pins follow, and only the nets whose pins change are taken for
    // writing. Returns how many pins were dropped.
    int32_t RenumberPinComponents(const std::vector<int32_t>& newIndex);
    // Fills the per-layer tables: track vertices per layer, and pads of the pad and via
    // vertices per layer.
    void CountLayerUse();
    int32_t GetTrackLayerUse(int32_t layer) const;
    int32_t GetPadLayerUse(int32_t layer) const;
    // Vertices of net i drawn with width w; for net 0 the count over all nets.
    int32_t CountWidthUse(int32_t net, int32_t width) const;
    // Every pen of width `oldWidth` in every net takes `newWidth` and becomes current.
    void ReplacePenWidthAll(int32_t oldWidth, int32_t newWidth);
    void ReplacePadType(int32_t oldPadStack, int32_t newPadStack);

    // Each returns the number of vertices whose selection changed.
    int32_t SelectAll(bool on);
    // The net's selected count afterwards.
    int32_t SelectNet(int32_t i, bool on);
    // Every vertex near a pin of the component, in every net.
    void SelectVerticesAtComponentPins(int32_t component, bool on);
    void DeleteSelected();
    void DuplicateSelected();
    // Every net with its pins, ratsnest lines and box, and every error record.
    void MoveAll(int32_t dx, int32_t dy);
    void MoveSelected(int32_t dx, int32_t dy);
    void RotateSelected(int32_t cx, int32_t cy, int32_t angle);
    void SetLayerOfSelection(int32_t layer);
    void SetWidthOfSelection(int32_t width);
    void UnrouteCurrent();
    void UnrouteAll();
    // Deletes the nets without pins, their copper going to net 0 first, and renumbers every
    // holder of a net number. A net whose widths net 0's pen table cannot take stays, with a
    // message. Returns how many nets went. Net 0's box is worked out afresh unless the caller
    // does that itself later.
    int32_t DeleteEmptyNets(bool boxNetZero = true);
    // Component boxes, pins and net boxes afresh, the design-rule check, clusters and ratsnest,
    // and the ToDo list.
    void CheckAll();
    bool RouteAllDefaultLayer();
    bool RouteAllTopBottom();

    // ---- Hit tests and rectangle selection over all nets -----------------------------------
    // Each tries the nets from net 0 on with the net's own test (CNet's mode bits; with
    // CNet::hitMakeNetCurrent the net of the hit becomes current) and stops at the first hit.

    // The index the net's test returns, or -1.
    int32_t FindPinAt(CPoint& point, int32_t mode, uint32_t layerMask);
    int32_t FindPadAt(CPoint& point, int32_t mode, uint32_t layerMask);
    int32_t FindViaAt(CPoint& point, int32_t mode, uint32_t layerMask);
    int32_t FindVertexAt(CPoint& point, int32_t mode, uint32_t layerMask);
    int32_t FindRunAt(CPoint& point, int32_t mode, uint32_t layerMask);
    // The index of the net hit, or -1.
    int32_t FindSegmentAt(CPoint& point, int32_t mode, uint32_t layerMask);
    int32_t FindNetAt(CPoint& point, int32_t mode, uint32_t layerMask);
    // Every net's test; true when any net matched.
    bool SelectNetsWithPinsInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    bool SelectPadsInRect(const CRect& rect, int32_t mode, uint32_t layerMask = LAYER_MASK_ALL);
    bool SelectTrackVerticesInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    bool SelectRunsInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    bool SelectViasInRect(const CRect& rect, int32_t mode, uint32_t layerMask = LAYER_MASK_ALL);
    // A closed run in the current net on the work layer with its current pen, selected.
    bool AddEllipseTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    bool AddRectangleTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    // ---- ToDo list ---------------------------------------------------------------------------

    // One line "ToDo name pins" per net from 1 on with connections to make, most first.
    void BuildToDoList();
    const std::vector<std::string>& GetToDoList() const { return m_toDoList; }
    int32_t GetToDoTotal() const { return m_toDoTotal; }
    // The net a ToDo line was built for; -1 outside the list. Lines are never read back for
    // their net: a name may hold blanks or run past its column.
    int32_t GetToDoNet(int32_t line) const;
    // Makes the net of that ToDo line current and redraws; false when it names no net.
    bool ShowToDoNet(int32_t line);
    // Shows the net's ToDo line as chosen in the side pane (none for a negative net); returns
    // whether the pane was told.
    bool RefreshLeftPane(int32_t net);

    // ---- Tools -------------------------------------------------------------------------------

    // The first pin, pad, via or track segment at the point on a layer of the mask: its net
    // becomes current and the info text describes the item. False when nothing is there.
    bool GetInfoAt(int32_t x, int32_t y, uint32_t layerMask);
    // A click of the Connect Pins to Nets tool at the cursor.
    bool OnConnectPinsClick();
    // Space bar: routes the ratsnest line at the cursor, or, without one, takes the
    // autorouted run there away again.
    bool RouteAtCursor();

    // The interactive track and pad tool working on this list.
    CTrackTool& GetTrackTool();

    // ---- Error records -----------------------------------------------------------------------

    int32_t GetErrorCount() const { return static_cast<int32_t>(m_errors.size()); }
    // nullptr outside the list.
    const CNetErrorRec* GetError(int32_t i) const;
    // Nothing when a record with the same two positions (in either order) is there already.
    void AddError(const CNetErrorRec& record);
    // Appends without that search: for a check that keeps its own index of the positions
    // listed, so that many records do not cost a search each.
    void AddDistinctError(const CNetErrorRec& record);
    void ClearErrors() { m_errors.clear(); }
    void RemoveErrorsOfNet(int32_t net);
    // A white line from the first to the second position of each record and a ring of a
    // fixed pixel radius around its middle; a pixel is (board + offset) / scale.
    static constexpr int32_t errorMarkerRadius = 6;
    void DrawErrors(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t scale) const;

    // ---- Drawing -----------------------------------------------------------------------------
    // Each runs a net's own drawing over the nets, with the document's view mapping; nothing is
    // drawn without a document. Clip rectangles are in board units; "meets the clip" tests the
    // net's box. Pens and brushes selected here are selected back afterwards. The current net
    // is highlighted only when it is not net 0.

    static constexpr COLORREF currentRatsnestColor = 0x00FFFFFF;
    static constexpr COLORREF otherRatsnestColor = 0x007F7F7F;
    static constexpr COLORREF pinMarkPenColor = 0x00000000;
    static constexpr COLORREF pinMarkBrushColor = 0x00FFFFFF;
    static constexpr COLORREF componentRatsnestColor = RGB(255, 255, 0);

    // The nets whose box meets the clip, in order. A picture drawn layer by layer hands them
    // to each drawing below (as `meeting`), which otherwise picks them out itself: a small part
    // of a big board then looks at every net once.
    std::vector<size_t> PickMeeting(const CRect& clip) const;
    // Those of them with a vertex that is not selected: the tracks and pads that Draw and
    // DrawLayerPads draw of a net are its unselected ones, so a picture under a selection of
    // whole nets hands them only the nets they draw anything of.
    std::vector<size_t> PickMeetingUnselected(const CRect& clip) const;
    // The tracks on the layer of the nets that meet the clip, the current net highlighted.
    void Draw(CDeviceContext& dc, int32_t layer, const CRect& clip,
              const std::vector<size_t>* meeting = nullptr) const;
    // The unselected pads and vias on the layer (0..26) of the nets that meet the clip, with
    // the document's pen and brush of the layer; the current net's with the highlight set
    // unless `noHighlight` or the design has fewer than 2 nets.
    void DrawLayerPads(CDeviceContext& dc, int32_t layer, const CRect& clip, bool noHighlight,
                       const std::vector<size_t>* meeting = nullptr) const;
    // The nets with a selection, in order. An overlay drawn layer by layer hands them to each
    // drawing of the selection below (as `selected`), which otherwise picks them out itself.
    std::vector<size_t> PickSelected() const;
    // The selected pads and vias in the clip of the nets with a selection (`selected`), in
    // order. An overlay drawn layer by layer hands them to each drawing of the pads below, so
    // that the nets' vertices are walked once.
    std::vector<const TrackRec*> PickSelectedPads(const CRect& clip,
                                                  const std::vector<size_t>& selected) const;
    // The selected pads and vias on the layer of every net, with the pen and brush selected;
    // those of `pads` as PickSelectedPads picked them.
    void DrawSelectedPads(CDeviceContext& dc, int32_t layer, const CRect& clip) const;
    void DrawSelectedPads(CDeviceContext& dc, int32_t layer,
                          const std::vector<const TrackRec*>& pads) const;
    // The selected tracks of every net on the shown layers (IsLayerShown).
    void DrawSelectedAll(CDeviceContext& dc, const CRect& clip,
                         uint32_t shownLayers = LAYER_MASK_ALL,
                         const std::vector<size_t>* selected = nullptr) const;
    // The holes of every net's pads and vias with the document's hole pen and brush.
    void DrawHoles(CDeviceContext& dc, const CRect& clip, int32_t percent, int32_t minimum,
                   const std::vector<size_t>* meeting = nullptr) const;
    // The current net's ratsnest lines when it meets the clip; those of the nets from 1 on but
    // the current one. Both with 1-pixel pens.
    void DrawCurrentRatsnest(CDeviceContext& dc, const CRect& clip) const;
    void DrawOtherRatsnest(CDeviceContext& dc) const;
    // The marks at the unconnected pins of the nets from 1 on that meet the clip.
    void DrawUnconnectedPinMarks(CDeviceContext& dc, const CRect& clip) const;
    // For each pad of the component (clamped into the component list) in a net from 1 on
    // with 2 clusters or more, a line from its pin to the nearest copper of another cluster.
    void DrawComponentRatsnest(CDeviceContext& dc, int32_t component) const;
    // The labels of the document's pad-info mode at the pads and vias of every net; the
    // running numbers start at 1 and go on from net to net. `padCounts`, when the caller knows
    // them, are the nets' counts of pad and via vertices (one a net), else they are counted.
    void DrawViaLabels(CDeviceContext& dc, std::span<const int32_t> padCounts = {}) const;

    // The track tool's repaint rectangle in pixels: normalised, then grown by the current net's
    // edit rectangle. Every call counts in both repaint counters. Returns the rectangle.
    CRect AccumulateRepaintRect();
    const CRect& GetRepaintRect() const { return m_repaintRect; }
    void SetRepaintRect(const CRect& rect) { m_repaintRect = rect; }
    // Counter 0 or 1; 0 for another index.
    int32_t GetRepaintCount(int32_t counter) const;

private:
    // The tool restores a net it backed up into its slot and keeps the selected total.
    friend class CTrackTool;

    struct PinRef {
        int32_t net = -1;
        int32_t pin = -1;
    };

    void CreateNetZero();
    // Net i as a copy of the list holds it: shared, or copied without its selection when an
    // edit may write it through a pointer a tool holds (net 0, the current net, a selected net).
    CSharedItem<CNet> KeptNet(size_t i) const;
    void RecountSelected();
    // Hands every net with a selection (`selected`, or those picked out here) to `draw`, in
    // ranges on the work pool.
    void DrawEachSelected(CDeviceContext& dc, const std::vector<size_t>* selected,
                          const std::function<void(CDeviceContext&, const CNet&)>& draw) const;
    // Collecting while loading notes its messages on the archive instead of showing them.
    bool CollectPens(CArchive* ar);
    // As above, with the widths MissingNetZeroWidths gives.
    bool CollectPens(CArchive* ar, const std::vector<uint16_t>& missing);
    static void Notify(CArchive* ar, const std::string& text);
    // The widths of the other nets' pens that net 0's pen table lacks, in net order.
    std::vector<uint16_t> MissingNetZeroWidths() const;
    // Appends the net's widths that net 0 (`zero`) lacks and `missing` does not hold yet.
    static void AddMissingWidths(const CNet& zero, const CNet& net, std::vector<uint16_t>& missing);
    // Moves the net's copper into net 0, every drawn vertex keeping its width. False, changing
    // nothing, when net 0's pen table cannot take the widths.
    bool MoveCopperToNetZero(int32_t net);
    // The pin nearest the cursor within connectPinReach, in any net.
    PinRef FindPinNear(CPoint cursor) const;
    // The pin leaves its net for `toNet`, and its pad names that net; both nets get their
    // clusters marked dirty and their box recomputed.
    void TransferPin(const PinRef& from, int32_t toNet);
    std::string DescribePin(const CNet& net, int32_t pin) const;
    std::string DescribePadVertex(int32_t netIndex, int32_t vertex) const;
    std::string HoleText(int32_t padStack) const;
    using IndexTest = int32_t (CNet::*)(const CNetDocument&, CPoint&, int32_t, uint32_t);

    // Runs the test on each net from net 0 on until `isHit` says it hit; returns the net.
    // `mayHit` looks at a net first without changing it (for tests that miss at once outside
    // the net's box, or a look that finds what the test would): a net it passes over is not
    // taken for writing, so that a net shared with an undo snapshot stays shared.
    template <typename Test, typename IsHit, typename MayHit>
    int32_t FindInNets(int32_t mode, Test test, IsHit isHit, MayHit mayHit);
    // Which nets a point test passes over unchanged: those whose box does not hold the point
    // (the tests that miss at once there), or those with no pin there (the pin test).
    enum class PassOver { outsideBox, withoutPinThere };
    int32_t FindIndexInNets(CPoint& point, int32_t mode, uint32_t layerMask, IndexTest test,
                            PassOver passOver);
    template <typename Test> bool SelectInNets(Test test);

    std::vector<CSharedItem<CNet>> m_nets;
    std::array<int32_t, LAYER_COUNT> m_trackLayerUse{};
    std::array<int32_t, LAYER_COUNT> m_padLayerUse{};
    int32_t m_currentNet = 0;
    std::vector<std::string> m_toDoList;
    std::vector<int32_t> m_toDoNets;
    int32_t m_toDoTotal = 0;
    int32_t m_selectedTotal = 0;
    CNetArrayDocument* m_document = nullptr;
    std::string m_infoText;
    std::vector<std::unique_ptr<CNetErrorRec>> m_errors;
    CRect m_repaintRect;
    std::array<int32_t, 2> m_repaintCounts{};
    // Made at its first use; copies of the list start without one.
    std::unique_ptr<CTrackTool> m_trackTool;
};
