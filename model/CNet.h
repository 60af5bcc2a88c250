#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "framework/ColorRef.h"
#include "model/CCopperShape.h"
#include "model/LayerIds.h"
#include "model/NetPinRec.h"
#include "model/PenTable.h"
#include "model/RatsLine.h"
#include "model/TrackRec.h"

class CArchive;
class CDeviceContext;
class CNetDocument;
class CPadStackArray;
class CPadStackReaches;

// One electrical net: its name, width limits and clearance, its own table of track widths
// (pens), all of its copper as one ordered list of vertices (track runs, and pads or vias
// placed as free items), the component pins that belong to it, and the ratsnest lines still to
// be routed.
//
// A run is a vertex with pen 0 (a move-to) followed by vertices with pens 1..15, each drawing a
// segment from its predecessor with that pen's width. A pad or via vertex names a padstack
// instead of a pen and layer and belongs to no run.
//
// Vertex and pin accessors take unchecked indexes: callers keep them inside the lists.
class CNet : public CObject {
    WEVRA_DECLARE_SERIAL(CNet)

public:
    // A vertex keeps its pen in 4 bits: pens 0..15.
    static constexpr int32_t maxPenCount = penTableLimit;
    static constexpr int32_t maxPenWidth = penWidthLimit;
    static constexpr int32_t maxLayer = 30;
    // Larger nets keep their clusters and get no ratsnest.
    static constexpr int32_t maxClusterVertices = 10000;
    static constexpr int32_t ratsnestPinLimit = 10000;
    // Flags: the net shows no ratsnest.
    static constexpr uint32_t flagNoRatsnest = 1;

    // Mode bits of the hit tests and rectangle selections.
    // Vertex test only: report the end vertex of the segment hit and change nothing.
    static constexpr int32_t hitReport = 1;
    static constexpr int32_t hitSelect = 4;
    // Toggles the item found when hitSelect is not set.
    static constexpr int32_t hitToggle = 16;
    // Net-list loops only: the net of the hit becomes current.
    static constexpr int32_t hitMakeNetCurrent = 32;
    static constexpr int32_t hitMakeCurrent = 64;
    // Vertex test only: insert a vertex at the hit point of the segment.
    static constexpr int32_t hitInsert = 128;

    // Half-size of the square around the point where UnrouteRunAt looks for a run.
    static constexpr int32_t unrouteReach = 5039;
    // Half-size of the square within which trimming drops vertices at the run end.
    static constexpr int32_t trimReach = 1511;
    // Segments shorter than 1 mm take no inserted vertex; one is never put nearer than a
    // quarter of the segment, or 50 mil, to an end.
    static constexpr double minInsertSegmentMm = 1.0;
    static constexpr int32_t maxInsertEndDistance = 12800;
    // Ellipse tracks need half-axes of at least this many units.
    static constexpr int32_t minEllipseHalfAxis = 16;

    // Colours of the net drawing that the layer colours do not give.
    static constexpr COLORREF selectedHaloColor = 0x007F7F7F;
    static constexpr COLORREF editHaloColor = 0x00808080;
    static constexpr COLORREF viaLabelColor = 0x00FFFFFF;
    // Half-size in pixels of the mark at an unconnected pin.
    static constexpr int32_t pinMarkReach = 4;

    static constexpr int32_t defaultMinWidth = 2015;
    static constexpr int32_t defaultMaxWidth = 25196;
    static constexpr int32_t defaultClearance = 2015;
    // The width a pen table left without used pens ends with.
    static constexpr int32_t fallbackPenWidth = 3023;

    static constexpr char defaultName[] = "NotNamed";

    CNet();
    explicit CNet(const std::string& name);
    // Pen 1 is brought into minimum..maximum.
    CNet(const std::string& name, int32_t minWidth, int32_t maxWidth, int32_t clearance);
    // Copies start without cached grids.
    CNet(const CNet& other) = default;
    CNet& operator=(const CNet& other) = default;
    CNet(CNet&& other) = default;
    CNet& operator=(CNet&& other) = default;
    ~CNet() override = default;

    // ---- Vertices ----------------------------------------------------------------------------

    int32_t GetVertexCount() const { return m_vertices.GetSize(); }
    const TrackRec& GetVertex(int32_t i) const { return m_vertices[i]; }
    CPoint GetVertexPoint(int32_t i) const { return {m_vertices[i].x, m_vertices[i].y}; }
    // (0, 0) for an empty list.
    CPoint GetCurrentVertexPoint() const;
    // Marks clusters and ratsnest dirty and grows the box to include the point.
    void SetVertexPoint(int32_t i, int32_t x, int32_t y);

    bool IsPadVertex(int32_t i) const { return m_vertices[i].IsPad(); }
    // -1 for a pad or via vertex.
    int32_t GetVertexPen(int32_t i) const { return m_vertices[i].GetPen(); }
    // Width of the vertex's pen; 0 for a pad or via vertex.
    int32_t GetVertexWidth(int32_t i) const;
    // Pens outside the table (or above 15) are refused: the vertex keeps its pen and the
    // result is false. Pad and via vertices take no pen.
    bool SetVertexPen(int32_t i, int32_t pen);
    // -1 for a pad or via vertex.
    int32_t GetVertexLayer(int32_t i) const { return m_vertices[i].GetLayer(); }
    // Layers outside 0..30 and pad or via vertices are refused (false).
    bool SetVertexLayer(int32_t i, int32_t layer);
    // -1 for a track vertex.
    int32_t GetVertexPadStack(int32_t i) const { return m_vertices[i].GetPadStack(); }
    // Makes the vertex a pad or via vertex of that padstack; indexes outside 0..511 are
    // refused (false).
    bool SetVertexPadType(int32_t i, int32_t padStack);

    int32_t GetVertexRotation(int32_t i) const { return m_vertices[i].GetRotation(); }
    // Below 0 wraps into 0..359999, above 360000 into 1..360000 (so 360000 stays 360000).
    void SetVertexRotation(int32_t i, int64_t angle);
    bool IsVertexMirrored(int32_t i) const { return m_vertices[i].IsMirrored(); }
    void SetVertexMirrored(int32_t i, bool on);
    bool IsVertexSelected(int32_t i) const { return m_vertices[i].IsSelected(); }
    bool GetVertexChangeMark(int32_t i) const;
    void SetVertexChangeMark(int32_t i, bool on);
    bool IsVertexAutorouted(int32_t i) const;
    void SetVertexAutorouted(int32_t i, bool on);
    int32_t GetVertexCluster(int32_t i) const { return m_vertices[i].cluster; }
    void SetVertexCluster(int32_t i, int32_t cluster);

    // Returns 1 when the selection bit changed, else 0; keeps the selected counters.
    int32_t SelectVertex(int32_t i, bool on);
    // Returns the selected count afterwards.
    int32_t SelectAllVertices(bool on);
    int32_t GetSelectedCount() const { return m_selectedPads + m_selectedTracks; }
    int32_t CountTrackVertices() const;
    int32_t CountPadVertices() const;

    // ---- Adding and removing vertices ----------------------------------------------------------
    // Track vertices with a pen outside the table or a layer outside 0..30, and pad or via
    // vertices with a padstack outside 0..511, are refused: nothing is added and the result is
    // false. New vertices carry the active cluster number.

    // Room for `count` vertices in all, so that appending up to them moves none.
    void ReserveVertices(int64_t count) { m_vertices.Reserve(count); }
    // Appends; the new vertex becomes current.
    bool AppendVertex(int32_t x, int32_t y, int32_t layer, int32_t pen);
    // A blank record before index i; at or past the end the list grows to i + 1 records.
    void InsertBlankVertex(int32_t i);
    bool InsertVertexAt(int32_t i, int32_t x, int32_t y, int32_t layer, int32_t pen);
    // A run start at (x1, y1) and a vertex drawn with `pen` at (x2, y2), at i and i + 1.
    bool InsertSegmentAt(int32_t i, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer,
                         int32_t pen);
    bool InsertPadVertexAt(int32_t i, int32_t x, int32_t y, int32_t padStack, int32_t rotation,
                           bool mirrored);
    // Appends; the new vertex becomes current.
    bool AppendPadVertex(int32_t x, int32_t y, int32_t padStack, int32_t rotation, bool mirrored);
    // Appends a copy of the record as AppendPadVertex or AppendVertex (with `pen`) make it,
    // keeping the record's autorouted and change marks; it becomes current. Copper moving
    // between nets goes through here vertex by vertex.
    bool AppendCopy(const TrackRec& rec, int32_t pen);
    // Appends a vertex marked as routed by the autorouter; it becomes current.
    bool AppendTrackVertex(int32_t x, int32_t y, int32_t layer, int32_t pen);
    // Appends a run start and a drawn vertex; the drawn one becomes current. Both carry the
    // autorouted mark unless `autorouted` is false (a run the track tool starts).
    bool AppendSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t pen,
                       bool autorouted = true);
    // A vertex after the current one on its layer, with its pen (or the next vertex's when the
    // current one starts a run); it becomes current. False for an empty list or a current pad.
    bool InsertVertexAfterCurrent(int32_t x, int32_t y);
    // Deselects and removes the vertex; false when i names no vertex.
    bool DeleteVertex(int32_t i);
    // Removes every vertex and pin.
    void ClearVertices();
    // The vertices handed over whole, in order; the net is left as ClearVertices leaves it.
    std::vector<TrackRec> TakeVertices();

    int32_t GetCurrentVertex() const { return m_currentVertex; }
    // Clamped into the list (0 for an empty one).
    void SetCurrentVertex(int32_t i);

    // ---- Pens --------------------------------------------------------------------------------

    int32_t GetPenCount() const { return static_cast<int32_t>(m_pens.size()); }
    // 0 outside the table.
    int32_t GetPenWidth(int32_t pen) const;
    const std::vector<uint16_t>& GetPenTable() const { return m_pens; }
    // Whether the table as the file had it held no width above 0: loading gives it one.
    bool WasLoadedWithoutWidth() const { return m_loadedWithoutWidth; }
    // Takes another table whole (a shape's pens while the shape is edited as a board): at most
    // maxPenCount entries, the current pen kept inside. Vertices keep their pen numbers.
    void SetPenTable(const std::vector<uint16_t>& pens)
    {
        m_pens.assign(pens.begin(),
                      pens.begin() + std::min<ptrdiff_t>(ptrdiff_t(pens.size()), maxPenCount));
        if (m_pens.empty())
            m_pens.push_back(0);
        if (m_currentPen >= GetPenCount())
            m_currentPen = GetPenCount() > 1 ? 1 : 0;
    }
    // First pen of that width, else -1.
    int32_t FindPen(int32_t width) const;
    // FindPen, or the width appended as a new pen. -1 for widths outside 0..65535 and, with a
    // message, when the table already holds 16 pens.
    int32_t AddPen(int32_t width);
    int32_t GetCurrentPen() const { return m_currentPen; }
    // Pens outside the table are ignored.
    void SetCurrentPen(int32_t pen);
    int32_t GetCurrentPenWidth() const { return GetPenWidth(m_currentPen); }
    // Within minimum..maximum the pen of that width (appended when new) becomes current; the
    // current pen is returned either way.
    int32_t SelectPenByWidth(int32_t width);
    // Vertex i takes the first pen of that width; nothing when there is none.
    void SetVertexPenByWidth(int32_t i, int32_t width);
    // The first drawing pen (1 on) of the old width takes the new one.
    void ReplacePenWidth(int32_t oldWidth, int32_t newWidth);
    // Vertices drawn with the first pen of that width.
    int32_t CountPenUse(int32_t width) const;
    // Merges pens of equal width, sorts them by width and renumbers the vertices; with
    // `dropUnused` also drops pens no vertex draws with. Ends with at least two pens.
    void CompactPens(bool dropUnused);
    void MergePens() { CompactPens(false); }
    // Vertices drawn with the pen move to another pen of its width, else become run starts.
    void DeletePen(int32_t pen);

    // ---- Net settings --------------------------------------------------------------------------

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    int32_t GetMinWidth() const { return m_minWidth; }
    int32_t GetMaxWidth() const { return m_maxWidth; }
    int32_t GetClearance() const { return m_clearance; }
    void SetWidths(int32_t minWidth, int32_t maxWidth, int32_t clearance);
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t mask, bool on);
    bool TestFlags(uint32_t mask) const { return (m_flags & mask) != 0; }
    uint8_t GetStoredByte() const { return m_storedByte; }
    void SetStoredByte(uint8_t value) { m_storedByte = value; }
    int32_t GetActiveCluster() const { return m_activeCluster; }
    void SetActiveCluster(int32_t cluster) { m_activeCluster = cluster; }
    CCopperShape& GetProbe() { return m_probe; }

    // Track editor state.
    bool IsMode45() const { return m_mode45; }
    void SetMode45(bool on) { m_mode45 = on; }
    bool IsInverted() const { return m_inverted; }
    void SetInverted(bool on) { m_inverted = on; }
    int32_t GetEditFirst() const { return m_editFirst; }
    int32_t GetEditLast() const { return m_editLast; }
    void SetEditRange(int32_t first, int32_t last)
    {
        m_editFirst = first;
        m_editLast = last;
    }

    // ---- Deleting -----------------------------------------------------------------------------
    // Every delete keeps the current vertex inside the list and the runs well formed.

    // From the end to the start, each selected vertex: a pad or via alone; a track vertex of a
    // run of 3 or more alone (when it started the run, the next vertex starts it); a vertex of
    // a run of 2 with its whole run; a lone run start alone.
    void DeleteSelected();
    // The segment ending at drawn vertex i: the first or last segment of a longer run goes with
    // its end vertex, a middle one splits the run at i, a run of 2 goes whole. False when i is
    // no drawn vertex.
    bool DeleteSegment(int32_t i);
    // Every vertex of the current vertex's run.
    void DeleteCurrentRun();
    // Deletes what the autorouter laid (runs keep their form) and recomputes the ratsnest.
    void Unroute(CNetDocument& document);
    // Deletes the last autorouted run on the layer that passes within unrouteReach of (x, y),
    // then recomputes the ratsnest; false when there is none.
    bool UnrouteRunAt(CNetDocument& document, int32_t x, int32_t y, int32_t layer);

    // ---- Runs ---------------------------------------------------------------------------------
    // The run of a pad or via vertex is the vertex alone.

    // i itself for a run start, a pad or via vertex, and an index outside the list.
    int32_t GetRunStart(int32_t i) const;
    // -1 on an empty list; i itself outside the list.
    int32_t GetRunEnd(int32_t i) const;
    // 0 for an index outside the list.
    int32_t GetRunLength(int32_t i) const;
    // Drops repeated points and merges straight stretches drawn with one pen; a run left with
    // one vertex goes. Returns the run's end index after the first pass (i itself for a pad or
    // via vertex or an index outside the list).
    int32_t SimplifyRun(int32_t i);
    // Simplifies the current run, deselects everything and turns the run back when the edit
    // had inverted it.
    void FinishRunEdit();
    // Reverses the current run, keeping each segment's pen; the current index follows its
    // vertex. False for a pad or via vertex or an empty list.
    bool InvertRunDirection();
    // The current run moves to the layer; false when nothing changed or the layer is unusable.
    bool SetRunLayer(int32_t layer);
    // Every drawn vertex of the current run takes the pen; false for a pen outside the table
    // or pen 0.
    bool SetRunPen(int32_t pen);
    // The current run takes the pen of that width, added to the table within the net's width
    // limits; false when that is not possible or the current vertex is a pad or via.
    bool ChangeRunWidth(int32_t width);
    // One step along the list (the other way while the run is inverted); false when the
    // current vertex did not move.
    bool StepCurrentVertex(bool forward);
    // Returns how many vertices of the current run changed their selection.
    int32_t SelectRun(bool on);

    // ---- Track editor -------------------------------------------------------------------------

    // A new run at (x, y) on the layer with the current pen: a run start and a drawn vertex
    // (with mode45 two) at the point, the last one current. False, adding nothing, when the
    // layer or the current pen cannot draw.
    bool StartTrack(int32_t x, int32_t y, int32_t layer, bool mode45);
    // Starts editing the current run at the current vertex.
    void BeginRunEdit(bool mode45);
    // Prepares the current run for moving the current vertex: takes the edited range, adds the
    // bend vertices the 45-degree mode needs and selects the neighbours that follow the move.
    void SetEditAnchors();
    // The current vertex goes to the document's cursor; in the 45-degree mode its neighbours
    // bend to keep the segments at 45 degrees. False when its run has fewer than 2 vertices.
    bool MoveCurrentVertex(CNetDocument& document);
    // A click while drawing. False when the track ends there: on a pin, via or pad (the
    // cursor snapped onto its centre) or at the point of the vertex before. True when a vertex
    // was added.
    bool EditTrackInsert(CNetDocument& document);
    // A vertex at `point` on the segment ending at vertex i (two with the 45-degree option),
    // unless the segment is shorter than 1 mm or the point lies too near an end.
    bool InsertVertexOnSegment(const CNetDocument& document, int32_t i, CPoint point);
    // Backspace while drawing: drops the vertices at the run end. 0 when the current vertex is
    // not the run end, 1 when the run goes on, -1 when it was used up and deleted.
    int32_t TrimRunEnd();
    // Appends a selected copy of every selected vertex and deselects the originals.
    void DuplicateSelectedVertices();
    // Appends to `target` (which may be this net) selected copies of the selected items: pads
    // and vias, and runs of selected segments with the segment leaving the selection. The
    // originals are deselected.
    void CopySelectedInto(CNet& target);
    // Exchanges point, pen/layer word, cluster stamp and flags; false for an index outside the
    // list.
    bool SwapVertices(int32_t a, int32_t b);
    // The same with the n-th pad or via vertex (counted from 1); false when there is none.
    bool SwapWithPadVertex(int32_t i, int32_t n);
    bool FindPadVertex(CPoint point, int32_t padStack, bool mirrored) const;

    // ---- Hit tests ----------------------------------------------------------------------------
    // Each tests items on the copper layers of the mask (bit L-1 for layer L, layers 1..16) at
    // the point, acts by the mode bits and moves the point onto the item found. Pads of an
    // item on the other board side are those of the opposite layer, mirrored.

    // The first pin whose pad touches the point; it sets the active cluster and changes no
    // selection. The pin's index, or -1.
    int32_t HitTestPin(const CNetDocument& document, CPoint& point, int32_t mode,
                       uint32_t layerMask);
    // Whether HitTestPin would find a pin at the point, asked without changing the net.
    // `missDistances` (PadStackMissDistances) lets pins far from the point be passed over
    // without their pads being looked at.
    bool HasPinAt(const CNetDocument& document, CPoint point, uint32_t layerMask,
                  const std::vector<int64_t>& missDistances) const;
    // The first segment that touches the point with its half width: the point moves to the
    // segment's point nearest it; returns (and makes current or selects) the nearer end
    // vertex, toggles the segment's end vertex. -1 when the point is outside the box.
    int32_t HitTestSegment(const CNetDocument& document, CPoint& point, int32_t mode,
                           uint32_t layerMask);
    // Like HitTestSegment, with hitReport and hitInsert; the point moves onto the vertex
    // returned.
    int32_t HitTestVertex(const CNetDocument& document, CPoint& point, int32_t mode,
                          uint32_t layerMask);
    // A pin, a pad or via vertex, or a segment of the net: selects or toggles the whole net.
    bool HitTestNet(const CNetDocument& document, CPoint& point, int32_t mode, uint32_t layerMask);
    // The first free pad vertex (HitTestPad) or via vertex (HitTestVia) whose pad touches the
    // point; -1 when none does or the point is outside the box.
    int32_t HitTestPad(const CNetDocument& document, CPoint& point, int32_t mode,
                       uint32_t layerMask);
    int32_t HitTestVia(const CNetDocument& document, CPoint& point, int32_t mode,
                       uint32_t layerMask);
    // The last segment that touches the point: its run is selected or toggled and the point
    // moves to the run start, which is returned. -1 when none does or the point is outside the
    // box.
    int32_t HitTestRun(const CNetDocument& document, CPoint& point, int32_t mode,
                       uint32_t layerMask);

    // ---- Rectangle selection ------------------------------------------------------------------
    // The rectangle may come with its corners in any order; a point is inside it when
    // left <= x < right and top <= y < bottom. Each selects (hitSelect) or toggles (hitToggle)
    // what it finds and returns whether anything matched.

    // A pin, pad, via or track vertex in the rectangle on a mask layer takes the whole net.
    bool SelectIfPinsInRect(const CNetDocument& document, const CRect& rect, int32_t mode,
                            uint32_t layerMask);
    // Pad or via vertices whose padstack is of the free-pad kind. Pads and vias are taken on
    // any layer unless a narrower mask names the layers their padstack must reach.
    bool SelectPadsInRect(const CNetDocument& document, const CRect& rect, int32_t mode,
                          uint32_t layerMask = LAYER_MASK_ALL);
    bool SelectTrackVerticesInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    // Every run with a segment on a mask layer that meets the rectangle, whole.
    bool SelectRunsInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    bool SelectViasInRect(const CNetDocument& document, const CRect& rect, int32_t mode,
                          uint32_t layerMask = LAYER_MASK_ALL);

    // ---- Shapes of track ----------------------------------------------------------------------
    // A closed run on the layer with the current pen, appended selected, its last vertex
    // current. False, adding nothing, when the layer or the current pen cannot draw.

    // The ellipse in the box (x1, y1)-(x2, y2), in steps of a whole divisor of 360 degrees;
    // false when a half-axis is below minEllipseHalfAxis.
    bool AddEllipseTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer);
    bool AddRectangleTrack(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer);

    // ---- Drawing ------------------------------------------------------------------------------
    // Pixels are (board + the document's view offset) / its scale; widths width / scale. The
    // clip rectangle is in board units; items wholly outside it are skipped. Tracks are drawn
    // with solid pens made here; pads, holes, ratsnest lines and pin marks with the pen and
    // brush the caller selected. The previous pen is selected again afterwards. Pads and vias
    // whose padstack the table lacks draw nothing (the table notes the error). Nothing is drawn
    // at a scale below 1.

    // The unselected segments on the layer in its colour of the set (set 0 when the design
    // has fewer than 2 nets). A segment at a selected vertex is left to DrawSelected.
    void DrawLayer(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                   const CRect& clip, int32_t colorSet) const;
    // The segments at selected vertices: first a grey halo as wide as the clearance on both
    // sides, then in the highlight colour of their layer; only those on the shown layers
    // (IsLayerShown).
    void DrawSelected(CDeviceContext& dc, const CNetDocument& document, const CRect& clip,
                      uint32_t shownLayers = LAYER_MASK_ALL) const;
    // The edited range of the current run: its halo (unless the user turned it off), then in
    // the highlight colours.
    void DrawEditedRun(CDeviceContext& dc, const CNetDocument& document) const;
    // Unselected (DrawPads) or selected (DrawSelectedPads) pad and via vertices whose padstack
    // has a pad on the layer (0..26).
    void DrawPads(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                  const CRect& clip) const;
    void DrawSelectedPads(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                          const CRect& clip) const;
    // Appends the selected pad and via vertices in the clip, in order, to `pads`: an overlay
    // that draws them layer by layer then walks each net's vertices once.
    void PickSelectedPads(const CRect& clip, std::vector<const TrackRec*>& pads) const;
    // Those of `pads` (of any nets) whose padstack has a pad on the layer (0..26), in turn, as
    // DrawSelectedPads draws them.
    static void DrawPadVertices(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                                std::span<const TrackRec* const> pads);
    // The drill holes of the pad and via vertices as circles of `percent` of the drill, at
    // least `minimum` (board units) across.
    void DrawHoles(CDeviceContext& dc, const CNetDocument& document, const CRect& clip,
                   int32_t percent, int32_t minimum) const;
    void DrawRatsnest(CDeviceContext& dc, const CNetDocument& document) const;
    // A square of pinMarkReach pixels around every pin outside the first cluster, while the
    // net has 2 clusters or more.
    void DrawUnconnectedPinMarks(CDeviceContext& dc, const CNetDocument& document) const;
    // A line from the current vertex to the nearest pin or copper of another cluster; returns
    // the pixels it covers, (0, 0, 1, 1) when nothing was drawn.
    CRect DrawRubberBand(CDeviceContext& dc, const CNetDocument& document) const;
    // The pixels the current vertex and its segments cover, with the clearance; (0, 0, 1, 1)
    // below 2 vertices or for a pad or via.
    CRect GetEditRepaintRect(const CNetDocument& document) const;
    // A white label at every pad and via vertex by the pad-info mode: 1 a number running over
    // all nets (`counter` holds the labels numbered before and is advanced), 2 the hole
    // diameter in mm, 3 the padstack name, 4 the padstack index + 1, 5 the net name, 6 the net
    // index; other modes draw nothing.
    void DrawViaLabels(CDeviceContext& dc, const CNetDocument& document, int32_t mode,
                       int32_t netIndex, int32_t& counter) const;

    // ---- Box and moves -------------------------------------------------------------------------

    // Whether the other net holds the same vertices, pins, ratsnest, pens, settings and marks:
    // everything but the hit tests' scratch.
    bool HasSameContent(const CNet& other) const;
    // Where this net differs from `before`, which has the same name, flags, widths, pens and
    // active cluster (the run being edited and the count of clusters are no part of the
    // board's picture): the box of the vertices (with their neighbours), pins and ratsnest
    // lines that differ, each grown by its reach as CalcBoundingBox grows it. A pin's
    // component number is left out, as renumbered components renumber every pin alike, and so
    // is its cluster unless `pinClusters` (the picture shows them). False, with no box, when
    // more than those lists differ. `padsGained` is how many more pad and via vertices this net
    // has than `before` (0 when false).
    bool GetChangedBox(const CNet& before, CPadStackReaches& margins, bool pinClusters, CRect& box,
                       int32_t& padsGained) const;
    const CRect& GetBox() const { return m_box; }
    bool BoxContains(CPoint point) const;
    bool IsBoxChanged() const { return m_boxChanged; }
    void SetBoxChanged(bool on) { m_boxChanged = on; }
    // The copper of every vertex and pin with the clearance around it; (0, 0, 1, 1) for a net
    // with neither.
    void CalcBoundingBox(const CNetDocument& document);
    // The same with the margins of a lookup that serves many nets.
    void CalcBoundingBox(CPadStackReaches& margins);
    // Whether the box meets the rectangle (edges included).
    bool IntersectsRect(const CRect& rect) const;
    // Every vertex, pin, ratsnest line and the box.
    void OffsetAll(int32_t dx, int32_t dy);
    void MoveSelected(const CNetDocument& document, int32_t dx, int32_t dy);
    void RotateSelected(int32_t cx, int32_t cy, int32_t angle);

    // ---- Pins --------------------------------------------------------------------------------

    int32_t GetPinCount() const { return m_pins.GetSize(); }
    const NetPinRec& GetPin(int32_t i) const { return m_pins[i]; }
    void SetPin(int32_t i, const NetPinRec& pin) { m_pins[i] = pin; }
    // The new pin's index, its cluster number = that index. A negative component number, or
    // pad or padstack numbers outside 0..65535, are refused (-1).
    int32_t AddPin(int32_t x, int32_t y, int32_t component, int32_t pad, int32_t padStack,
                   int32_t angle, bool side, uint32_t layerMask);
    void ClearPins();
    // Room for `count` pins in all, so that adding up to them moves none.
    void ReservePins(int64_t count) { m_pins.Reserve(count); }
    // Index of the pin of that component pad, else -1.
    int32_t FindPin(int32_t component, int32_t pad) const;
    // Both grow the box to hold the pin where it now is: painting and the hit tests pass over a
    // net by its box.
    void MovePin(int32_t component, int32_t pad, int32_t dx, int32_t dy, CPadStackReaches& margins);
    // Rewrites position, padstack, angle, side and mask of the pin; false when there is none.
    bool UpdatePin(int32_t x, int32_t y, int32_t component, int32_t pad, int32_t padStack,
                   int32_t angle, bool side, uint32_t layerMask, CPadStackReaches& margins);
    int32_t GetPinCluster(int32_t i) const { return m_pins[i].GetCluster(); }
    // Whether renumbering the components (newIndex: the new number of each old one, -1 for one
    // deleted) changes any pin; a component number beyond the table counts as deleted.
    bool PinsChangeWith(const std::vector<int32_t>& newIndex) const;
    // Renumbers the pins' components, dropping the pins of deleted ones; returns how many were
    // dropped. A net that lost a pin is marked changed and its pins numbered as AddPin numbers
    // them; one whose pins only took new numbers keeps its clusters, as they still hold.
    int32_t RenumberPinComponents(const std::vector<int32_t>& newIndex);
    void SetPinCluster(int32_t i, int32_t cluster) { m_pins[i].SetCluster(cluster); }

    // ---- Clusters, ratsnest and ToDo ---------------------------------------------------------

    // Numbers the connected parts of the net; nothing for a net of more than 10000 vertices.
    void CalcClusters(CNetDocument& document);
    int32_t GetClusterCount() const { return m_clusterCount; }
    // The shortest pin-to-pin lines that join every connected part.
    void CalcRatsnest(CNetDocument& document);
    int32_t GetRatsLineCount() const { return m_ratsnest.GetSize(); }
    const RatsLine& GetRatsLine(int32_t i) const { return m_ratsnest[i]; }
    int32_t GetRatsnestLength() const { return m_ratsnestLength; }
    // Connections still to be made: 0 below 2 pins, the cluster count while no two pins are
    // joined, else the cluster count - 1.
    int32_t GetToDo() const;
    bool NeedsRatsnest() const { return m_ratsnestDirty; }
    bool AreClustersDirty() const { return m_clustersDirty; }
    // Each returns whether the byte changed.
    bool MarkRatsnestDirty(bool on);
    bool MarkClustersDirty(bool on);
    // From the pin of that component pad to the nearest pin or vertex of another cluster;
    // (0, 0, 0, 0) when the net has no such pin.
    RatsLine NearestConnection(int32_t component, int32_t pad) const;

    // Status-line texts; lengths in the display unit.
    std::string GetShortInfo() const;
    std::string GetStatusText(int32_t unit) const;

    // How far a pad of the rectangle reaches from the padstack origin: along the axes at
    // quarter turns, to its farthest corner at any other angle.
    static int64_t PadReach(const CRect& rect, int64_t angle);
    // The reach of a padstack: the radius about its origin within which every pad of it
    // stays at any rotation and on either board side.
    static int32_t PadStackReach(const CPadStackArray& padStacks, int32_t padStack);
    // The margin a padstack adds around its position turned by `angle`: its pads on layers
    // 1..26.
    static int64_t PadStackMargin(const CPadStackArray& padStacks, int32_t padStack, int64_t angle);
    // Per padstack, the distance from its origin beyond which a probe misses each of its pads.
    static std::vector<int64_t> PadStackMissDistances(const CPadStackArray& padStacks);

    // The net record. Loading drops leading drawn vertices, clamps the current vertex and
    // repairs pens and layers that name nothing (noting one warning on the archive).
    void Serialize(CArchive& ar) override;
    // Steps over the bytes of a net record that Serialize reads, for reading many side by side.
    static void SkipRecord(CArchive& ar);
    // The net an archive reads a record into: without the default pen table, which every
    // record replaces (a design holds tens of thousands of nets).
    static std::unique_ptr<CNet> MakeForReading();

private:
    // An empty pen table, for a net record about to be read into it.
    struct Blank {};
    explicit CNet(Blank) : m_pens() {}

    bool IsUsablePen(int32_t pen) const
    {
        return pen >= 0 && pen < GetPenCount() && pen < maxPenCount;
    }
    static bool IsUsableLayer(int32_t layer) { return layer >= 0 && layer <= maxLayer; }
    static bool IsUsablePadStack(int32_t padStack)
    {
        return padStack >= 0 && padStack <= TrackRec::padStackMask;
    }
    TrackRec MakeTrackVertex(int32_t x, int32_t y, int32_t layer, int32_t pen) const;
    TrackRec MakePadVertex(int32_t x, int32_t y, int32_t padStack, int32_t rotation,
                           bool mirrored) const;
    // Inserts ready records at i (appending past the end) and marks the net changed.
    void InsertRecords(int32_t i, std::initializer_list<TrackRec> records);
    void GrowBox(int32_t x, int32_t y);
    // Grows the box by the pin and its pad's reach, as a rebuild of the box takes it.
    void GrowBoxAbout(const NetPinRec& pin, CPadStackReaches& margins);
    void MarkChanged();
    void ClampCurrentVertex();
    // Bit p of `used` keeps pen p.
    void RemapPens(uint32_t used);
    // Load checks; true when anything had to be repaired.
    bool RepairLoaded();
    void RecountSelection();

    bool IsIndex(int32_t i) const { return i >= 0 && i < GetVertexCount(); }
    // Removes `count` vertices from `first` on (deselecting them) and clamps the current one.
    void RemoveVertices(int32_t first, int32_t count);
    // Appends a copy of the record, selected, and returns its index.
    int32_t AppendSelectedCopy(TrackRec record);
    // Selects (hitSelect) or toggles (hitToggle) vertex i.
    void ApplySelectMode(int32_t i, int32_t mode);
    // Selects or toggles the whole net.
    void ApplyNetSelectMode(int32_t mode);
    // Whether the probe touches the segment ending at vertex i on a mask layer.
    bool ProbeTouchesSegment(int32_t i, uint32_t layerMask) const;
    // Whether the probe touches the padstack's pad on a copper layer of the mask, placed at
    // (x, y) and turned by `angle`, mirrored from the opposite layer for the other side.
    bool ProbeTouchesPads(const CPadStackArray& padStacks, int32_t padStack, int32_t x, int32_t y,
                          int32_t angle, bool mirrored, uint32_t layerMask) const;
    // A pin farther from the probe than its padstack's entry in `missDistances` (when given)
    // is passed over without its pads being looked at.
    int32_t FindPinAtProbe(const CNetDocument& document, uint32_t layerMask,
                           const std::vector<int64_t>* missDistances = nullptr) const;
    // The first pad or via vertex at the probe; `viaKind` 1 for vias only, 0 for anything but
    // vias, -1 for both.
    // Applies the select mode to every vertex in the rectangle that `wanted` accepts.
    bool SelectVerticesInRect(const CRect& rect, int32_t mode,
                              const std::function<bool(const TrackRec&)>& wanted);
    int32_t HitTestPadVertex(const CNetDocument& document, CPoint& point, int32_t mode,
                             uint32_t layerMask, int32_t viaKind);
    int32_t FindPadVertexAtProbe(const CNetDocument& document, uint32_t layerMask,
                                 int32_t viaKind) const;
    int32_t FindSegmentAtProbe(uint32_t layerMask) const;
    // Inserts a run of vertices on the layer with the current pen (the first a run start),
    // selects it and makes its last vertex current.
    bool AppendClosedRun(const std::vector<CPoint>& points, int32_t layer);
    void DrawPadVertices(CDeviceContext& dc, const CNetDocument& document, int32_t layer,
                         const CRect& clip, bool selected) const;

    // Scratch of the hit tests, never part of the net's state.
    mutable CCopperShape m_probe;
    CTrackRecArray m_vertices;
    CNetPinArray m_pins;
    CRec16Array m_ratsnest;
    std::vector<uint16_t> m_pens{0, 2015};
    uint8_t m_storedByte = 0;
    CRect m_box;
    std::string m_name = defaultName;
    uint32_t m_flags = 0;
    int32_t m_minWidth = defaultMinWidth;
    bool m_loadedWithoutWidth = false;
    int32_t m_maxWidth = defaultMaxWidth;
    int32_t m_clearance = defaultClearance;
    int32_t m_currentPen = 1;
    bool m_boxChanged = false;
    bool m_ratsnestDirty = false;
    bool m_clustersDirty = false;
    int32_t m_clusterCount = 0;
    int32_t m_activeCluster = 0;
    int32_t m_ratsnestLength = 0;
    int32_t m_selectedPads = 0;
    int32_t m_selectedTracks = 0;
    bool m_mode45 = false;
    bool m_inverted = false;
    int32_t m_editFirst = 0;
    int32_t m_editLast = 0;
    int32_t m_currentVertex = 0;
};
