#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "framework/ColorRef.h"
#include "model/DrawRec.h"
#include "model/LayerIds.h"
#include "model/PenTable.h"

class CArchive;
class CCopperShape;
class CDeviceContext;
class CLineTool;

// Every drawn (non-copper) line of a design as one ordered list of vertices: a polyline is a
// move-to (pen 0) followed by line-tos (pens 1..15, drawn with that entry of the pen table).
// Vertices without a pen (DrawRec::noPenBit) are passed over by drawing, counting and editing.
//
// Every index is checked: getters answer -1, (0, 0) or false outside the list, and editing
// calls outside it change nothing (false).
class CDrawRecArray : public CObject {
    WEVRA_DECLARE_SERIAL(CDrawRecArray)

public:
    static constexpr int32_t layerCount = 31;
    static constexpr int32_t maxLayer = layerCount - 1;
    // A vertex keeps its pen in 4 bits: 15 pens besides the move-to entry.
    static constexpr int32_t maxPenCount = penTableLimit;
    static constexpr int32_t maxPenWidth = penWidthLimit;
    // What a pen table is made up to when sorting, or removing a pen, leaves it without pens.
    static constexpr int32_t sortFallbackWidth = 2015;
    static constexpr int32_t removeFallbackWidth = 3023;
    // Hit modes.
    static constexpr int32_t hitSelect = 4;
    static constexpr int32_t hitToggle = 16;
    // Width of the round probe of HitTest.
    static constexpr int32_t probeWidth = 1511;
    // Segments must be longer than this to be split, and a split keeps at most this far from
    // either end.
    static constexpr int32_t maxSplitEndDistance = 12800;

    CDrawRecArray();
    // Undo snapshots: everything is copied, but the copy starts with nothing selected.
    CDrawRecArray(const CDrawRecArray& other);
    CDrawRecArray& operator=(const CDrawRecArray& other);
    ~CDrawRecArray() override;

    // The interactive tool of the Lines menu working on this list.
    CLineTool& GetLineTool();

    // ---- Vertices ------------------------------------------------------------------------------

    int32_t GetCount() const { return m_vertices.GetSize(); }
    bool IsValidIndex(int32_t i) const { return i >= 0 && i < GetCount(); }
    // The record itself; callers pass a valid index.
    const DrawRec& GetRecord(int32_t i) const { return m_vertices[i]; }

    // Layers outside 0..30 are refused (false); pens above 15 are stored as 15.
    bool AddVertex(int32_t x, int32_t y, int32_t layer, int32_t pen, uint16_t tag);
    // A move-to and a line-to; the line-to becomes current.
    bool AddSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t pen,
                    uint16_t tag);
    // Before vertex i; i may be the count (appends).
    bool InsertVertex(int32_t i, int32_t x, int32_t y, int32_t layer, int32_t pen, uint16_t tag);
    // Deselects and removes the vertex; the current vertex stays within the list.
    bool DeleteVertex(int32_t i);
    bool DeleteCurrentVertex() { return DeleteVertex(m_currentVertex); }

    CPoint GetPoint(int32_t i) const;
    int32_t GetLayer(int32_t i) const;
    int32_t GetPen(int32_t i) const;
    int32_t GetTag(int32_t i) const;
    bool IsSelected(int32_t i) const;
    bool SetPoint(int32_t i, int32_t x, int32_t y);
    bool SetLayer(int32_t i, int32_t layer);
    bool SetPen(int32_t i, int32_t pen);
    bool SetTag(int32_t i, uint16_t tag);
    // Width of the vertex's pen; 0 for a move-to, a vertex without pen or a pen beyond the
    // table.
    int32_t GetVertexWidth(int32_t i) const;

    int32_t GetCurrentVertex() const { return m_currentVertex; }
    // Clamped into the list (0 for an empty one).
    void SetCurrentVertex(int32_t i);
    // (0, 0) for an empty list.
    CPoint GetCurrentPoint() const;
    // One vertex on or back; false at an end.
    bool StepCurrentVertex(bool forward);

    // The move-to at or before i (i clamped to the list), the last vertex of that polyline, and
    // its number of vertices. An empty list gives start 0, end -1.
    int32_t PolylineStart(int32_t i) const;
    int32_t PolylineEnd(int32_t i) const;
    int32_t PolylineLength(int32_t i) const { return PolylineEnd(i) - PolylineStart(i) + 1; }

    int32_t GetModeWord() const { return m_modeWord; }
    void SetModeWord(int32_t mode) { m_modeWord = mode; }

    // ---- Pens ----------------------------------------------------------------------------------

    int32_t GetPenCount() const { return static_cast<int32_t>(m_pens.size()); }
    const std::vector<uint16_t>& GetPenTable() const { return m_pens; }
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
    // 0 outside the table.
    int32_t GetPenWidth(int32_t pen) const;
    // First entry of that width, else -1.
    int32_t FindPen(int32_t width) const;
    // FindPen, or the width appended as a new pen. -1 for widths outside 0..65535 and, with a
    // message, when the table already holds 15 pens.
    int32_t FindOrAddPen(int32_t width);
    int32_t CountPenUse(int32_t pen) const;
    int32_t GetCurrentPen() const { return m_currentPen; }
    // Pens outside 1..count-1 are ignored.
    void SetCurrentPen(int32_t pen);
    // Merges equal widths, sorts the pens by width and renumbers the vertices.
    void SortPens();
    // The same, leaving pen p out; refused (false) for pen 0, a pen outside the table or a
    // pen some vertex still draws with.
    bool RemovePen(int32_t pen);

    // ---- Selection -----------------------------------------------------------------------------

    // 1 when the bit changed, else 0.
    int32_t SetSelected(int32_t i, bool on);
    // The selected count afterwards.
    int32_t SelectAll(bool on);
    // How many vertices of the current polyline changed.
    int32_t SelectCurrentPolyline(bool on);
    int32_t GetSelectedCount() const { return m_selectedFirst + m_selectedSecond; }
    // hitSelect selects, hitToggle toggles; only vertices on layers of the mask count. True
    // when any vertex was taken.
    bool SelectVerticesInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    // Takes every whole polyline of which a segment on a layer of the mask touches the
    // rectangle.
    bool SelectSegmentsInRect(const CRect& rect, int32_t mode, uint32_t layerMask);

    // ---- Editing -------------------------------------------------------------------------------

    void OffsetAll(int32_t dx, int32_t dy);
    void OffsetSelected(int32_t dx, int32_t dy);
    void RotateSelected(int32_t cx, int32_t cy, int32_t angle);
    // Layers outside 0..30 are ignored.
    void ChangeLayerOnSelection(int32_t layer);
    // The selected line-tos take the pen of that width (appended when new); nothing when the
    // table is full.
    void SetPenWidthOnSelection(int32_t width);
    void SetCurrentPolylineLayer(int32_t layer);
    // Every line-to of the current polyline; pens outside 1..count-1 are ignored.
    void SetCurrentPolylinePen(int32_t pen);
    // Appends a selected copy of every selected run (with its own move-to, and the segment
    // that leaves the selection); afterwards only the copies are selected.
    void DuplicateSelected();
    // Selected vertices go; polylines left with fewer than 2 vertices go whole.
    void DeleteSelected();
    // Removes the segment that ends at line-to i, splitting its polyline when it is inner.
    bool DeleteSegment(int32_t i);
    // After the current vertex was dragged onto a neighbour: 1 merged, 0 nothing to merge, -1
    // the polyline vanished.
    int32_t MergeCurrentVertex();
    // Whether this list holds a polyline with the same points and pen widths, in order, as the
    // one starting at vertex i of the other list.
    bool ContainsPolyline(const CDrawRecArray& other, int32_t i) const;
    void CountPerLayer();
    // Filled by CountPerLayer; 0 outside 0..30.
    int32_t GetLayerCount(int32_t layer) const;

    // ---- Hit tests -----------------------------------------------------------------------------

    // The first line-to on a layer of the mask whose segment the round probe at the point
    // touches; the segment is split at the point's foot when it allows, else its nearer end
    // is taken. That vertex is selected or toggled as the mode says, the point moves onto it,
    // and its index is returned; -1 when nothing is hit.
    int32_t HitTest(CPoint& point, int32_t mode, uint32_t layerMask);
    // The first line-to on exactly that layer whose segment touches the point, else -1.
    int32_t HitSegment(CPoint point, int32_t layer) const;
    // The end of that segment nearer to the point (the line-to on a tie).
    int32_t HitSegmentNearestEnd(CPoint point, int32_t layer) const;
    // Inserts a vertex at (x, y) into the segment ending at line-to i. Refused when the
    // segment is 1 mm long or shorter, or the point lies too near either end.
    bool SplitSegmentAt(int32_t i, int32_t x, int32_t y);

    // ---- Drawing -------------------------------------------------------------------------------
    // Screen position: (board + offset) / zoom; pens are width / zoom wide. The pen selected
    // before is selected again afterwards.

    // The unselected segments of the layer that may reach the rectangle (board units).
    void DrawLayer(CDeviceContext& dc, int32_t layer, const CRect& clip, COLORREF color,
                   int32_t offsetX, int32_t offsetY, int32_t zoom) const;
    // The selected segments on the shown layers (IsLayerShown), each in its layer's highlight
    // colour.
    void DrawSelected(CDeviceContext& dc, std::span<const COLORREF> highlightColors,
                      int32_t offsetX, int32_t offsetY, int32_t zoom,
                      uint32_t shownLayers = LAYER_MASK_ALL) const;
    // The screen area the current vertex and its segments cover; (0, 0, 1, 1) for fewer than
    // 2 vertices.
    CRect GetCurrentSegmentRect(int32_t offsetX, int32_t offsetY, int32_t zoom) const;

    // ---- Persistence ---------------------------------------------------------------------------

    // Loading sorts the pens, repairs pens beyond the table and drops stray vertices.
    void Serialize(CArchive& ar) override;
    // Leading line-tos and one-vertex polylines go; the others are cleaned by MergeCollinear.
    void RemoveStrayVertices();
    // Drops repeated points and middle vertices of straight runs of one pen from the polyline
    // of vertex i; returns its new end (start - 1 when it vanished).
    int32_t MergeCollinear(int32_t i);

private:
    // SortPens, leaving out entry `removed` (0 for none). Returns how many vertices named a
    // pen beyond the table and were repaired.
    int32_t RebuildPens(int32_t removed);
    void ClampCurrentVertex();
    void RemoveRange(int32_t first, int32_t last);
    bool IsSegment(int32_t i) const;
    bool TouchesProbe(int32_t i, const CCopperShape& probe) const;
    // The end of segment i nearer to the point, the line-to on a tie.
    int32_t NearerEnd(int32_t i, CPoint point) const;
    void ApplyMode(int32_t i, int32_t mode);
    void CopyFrom(const CDrawRecArray& other);
    void AppendCopy(CPoint point, int32_t layer, int32_t pen);
    void Store(CArchive& ar) const;
    void Load(CArchive& ar);

    CDrawRecList m_vertices;
    std::vector<uint16_t> m_pens;
    int32_t m_currentVertex = 0;
    int32_t m_modeWord = 1;
    int32_t m_currentPen = 1;
    std::array<int32_t, layerCount> m_layerCounts{};
    std::array<int32_t, layerCount> m_layerBlock2{};
    int32_t m_selectedFirst = 0;
    int32_t m_selectedSecond = 0;
    // Made at its first use; copies of the list start without one.
    std::unique_ptr<CLineTool> m_lineTool;
};
