#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CCachedPicture.h"
#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "framework/ColorRef.h"
#include "model/CPointArray.h"
#include "model/FillStroke.h"

class CArchive;
class CDeviceContext;

// One copper plane: a closed outline on one layer, the net it belongs to, a seed point inside
// the outline from which the fill grows, the fill parameters, and the fill result the plane
// fill computes (never stored: a loaded plane is unfilled until it is refilled).
//
// Outline indexes are checked: calls outside the outline change nothing (false or -1).
class CPour : public CObject {
    WEVRA_DECLARE_SERIAL(CPour)

public:
    // Version word of the record; from 8001 on the name and the two parameters are stored,
    // from 8002 on their values count.
    static constexpr uint32_t recordVersion = 8002;
    static constexpr uint32_t firstNamedVersion = 8001;
    static constexpr uint32_t firstSpacingVersion = 8002;

    // A plane without fill: the file format knows it, the dialog offers it not.
    static constexpr int32_t styleNone = 0;
    static constexpr int32_t styleSolid = 1;
    static constexpr int32_t styleLine = 2;
    static constexpr int32_t styleCross = 3;

    static constexpr int32_t displayWysiwyg = 1;
    static constexpr int32_t displayHatch = 2;
    static constexpr int32_t displayHidden = 3;
    static constexpr uint32_t displayModeMask = 0x3;
    static constexpr uint32_t flagSelected = 0x1000;

    static constexpr int32_t minPenWidth = 1007;
    static constexpr int32_t maxPenWidth = 10078;
    static constexpr int32_t maxHatchGrid = 25600;
    static constexpr int32_t maxLayer = 30;
    static constexpr int32_t defaultLayer = 27;

    // Width of the round probe of HitOutline.
    static constexpr int32_t probeWidth = 1511;
    // A new vertex keeps at most this far from either end of its segment.
    static constexpr int32_t maxInsertEndDistance = 12800;
    // IsNearOtherVertex: 5 mil in x and in y.
    static constexpr int32_t nearVertexDistance = 1280;
    static constexpr int32_t squareSide = 25600;

    static constexpr char defaultName[] = "NotNamed";

    // What a plane read from a stream starts from.
    CPour();
    // A new plane: display mode WYSIWYG, no outline, no fill; the parameters are clamped.
    CPour(int32_t net, int32_t layer, int32_t seedX, int32_t seedY, int32_t style, int32_t penWidth,
          int32_t hatchGrid, int32_t hatchRotation);
    // A copy in the same place under another name, without the fill.
    CPour(const CPour& other, const std::string& name, bool selected);
    CPour(const CPour&) = delete;
    CPour& operator=(const CPour&) = delete;
    ~CPour() override = default;

    // ---- Fields
    // ----------------------------------------------------------------------------------

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    int32_t GetMinSpace() const { return m_minSpace; }
    void SetMinSpace(int32_t space) { m_minSpace = space; }
    // Stored and copied with the minimal space; its meaning is the plane fill's.
    int32_t GetSecondParam() const { return m_secondParam; }
    void SetSecondParam(int32_t value) { m_secondParam = value; }
    int32_t GetNet() const { return m_net; }
    void SetNet(int32_t net) { m_net = net; }
    int32_t GetLayer() const { return m_layer; }
    void SetLayer(int32_t layer) { m_layer = layer; }
    CPoint GetSeed() const { return m_seed; }
    void SetSeed(CPoint seed) { m_seed = seed; }
    int32_t GetStyle() const { return m_style; }
    void SetStyle(int32_t style) { m_style = style; }
    int32_t GetPenWidth() const { return m_penWidth; }
    void SetPenWidth(int32_t width) { m_penWidth = width; }
    int32_t GetHatchGrid() const { return m_hatchGrid; }
    void SetHatchGrid(int32_t grid) { m_hatchGrid = grid; }
    int32_t GetHatchRotation() const { return m_hatchRotation; }
    void SetHatchRotation(int32_t rotation) { m_hatchRotation = rotation; }
    uint32_t GetFlags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }

    // Pen width into 1007..10078 (0.1 to 1.0 mm), then the hatch grid into pen width..25600.
    void ClampParams();

    int32_t GetDisplayMode() const { return int32_t(m_flags & displayModeMask); }
    void SetDisplayMode(int32_t mode);
    bool IsSelected() const { return (m_flags & flagSelected) != 0; }
    void SetSelected(bool on);

    // ---- Outline and fill
    // ------------------------------------------------------------------------

    CPointArray& GetOutline() { return m_outline; }
    const CPointArray& GetOutline() const { return m_outline; }
    // The closed boundaries of the filled areas.
    //
    // The writable fill accessors lend the fill out: until ReturnFill, whoever holds what they
    // gave may change any point at any time, and every repaint looks at every point to see
    // whether the kept picture of the fill still shows it. Afterwards a repaint only compares
    // the fill's change count.
    std::vector<std::unique_ptr<CPointArray>>& GetFillPolylines()
    {
        m_fillLent = true;
        return m_fillPolylines;
    }
    const std::vector<std::unique_ptr<CPointArray>>& GetFillPolylines() const
    {
        return m_fillPolylines;
    }
    CRectArray& GetFillStrokes()
    {
        m_fillLent = true;
        return m_fillStrokes;
    }
    const CRectArray& GetFillStrokes() const { return m_fillStrokes; }
    // Nothing the writable fill accessors handed out is used any more.
    void ReturnFill();
    void DeleteFill();
    bool HasFill() const { return !m_fillPolylines.empty() || m_fillStrokes.GetSize() > 0; }
    // Everything the fill grows from is the same (net numbers aside, which a renumbering of
    // the nets changes under an unchanged fill): the other plane's fill would fit this one.
    bool HasSameFillInputs(const CPour& other) const;

    // Where the plane fill reported a problem, and how often it failed.
    CPoint GetErrorMark() const { return m_errorMark; }
    void SetErrorMark(CPoint point) { m_errorMark = point; }
    const FillStroke& GetErrorSegment() const { return m_errorSegment; }
    void SetErrorSegment(const FillStroke& segment) { m_errorSegment = segment; }
    int32_t GetFillErrorCount() const { return m_fillErrorCount; }
    void SetFillErrorCount(int32_t count) { m_fillErrorCount = count; }
    void IncrementFillErrorCount() { ++m_fillErrorCount; }
    // The design's copper revision the fill was made at, 0 when the plane was never filled:
    // a fill older than the copper may run over copper added since. Kept in memory only.
    uint64_t GetFillRevision() const { return m_fillRevision; }
    void SetFillRevision(uint64_t revision) { m_fillRevision = revision; }

    // Bounding box of the outline points; (0, 0, 1, 1) for fewer than 3 points.
    CRect GetOutlineRect() const;
    // On the plane's layer and inside the outline.
    bool ContainsPoint(int32_t x, int32_t y, int32_t layer) const;
    // When the plane's layer is in the mask and an outline point lies in the rectangle, an
    // outline segment crosses one of its edges or a corner lies inside the outline: the plane
    // is selected (whatever the mode) and 1 returned; otherwise 0.
    int32_t SelectInRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t mode,
                         uint32_t layerMask);
    // Seed, error mark, outline and fill.
    void Move(int32_t dx, int32_t dy);
    void Rotate(int32_t cx, int32_t cy, int32_t angle);

    // ---- Outline editing
    // -------------------------------------------------------------------------

    int32_t GetCurrentVertex() const { return m_currentVertex; }
    // Clamped into the outline (0 for an empty one).
    void SetCurrentVertex(int32_t i);
    // On the plane's layer: the first outline segment the round probe at the point touches;
    // a vertex is inserted at the point's foot when the segment allows, else its nearer end
    // is taken. The vertex index, -1 when nothing is hit.
    int32_t HitOutline(CPoint point, int32_t layer);
    // Inserts (x, y) before vertex i into the segment that ends at i. Refused when the segment
    // is 1 mm long or shorter, or the point lies too near either end.
    bool InsertVertexAt(int32_t i, int32_t x, int32_t y);
    // A copy of the current vertex after it, which becomes current.
    bool InsertVertex();
    // Refused when the outline has fewer than 4 points. A closed ring stays closed.
    bool DeleteVertex(int32_t i);
    // Drops repeated points and middle points of straight runs next to vertex i of the closed
    // ring; a triangle is left as it is.
    void MergeOutline(int32_t i);
    // Another vertex (not the closing copy of the same corner) within 5 mil in x and y.
    bool IsNearOtherVertex(int32_t i) const;
    // Appends the first point when the last differs; the last point becomes current and the
    // ring is merged there.
    void CloseOutline();
    // The current vertex goes to (x, y) clamped to the board; vertex 0 takes the last point
    // along, and the last point vertex 0 unless the outline is kept open.
    void MoveVertex(int32_t x, int32_t y, int32_t boardWidth, int32_t boardHeight, bool keepOpen);
    void SaveOutline();
    void RestoreOutline();
    // The plane goes on the layer and its outline becomes a 25600 square centred on the
    // cursor, with vertex 1 current; the caller then drags that vertex.
    void StartSquareAtCursor(int32_t layer, CPoint cursor);

    // ---- Drawing
    // --------------------------------------------------------------------------------- Screen
    // position: (board + offset) / zoom.

    // Hatch view: the outline polygon with a hatch brush; WYSIWYG: the fill with the pen width;
    // then the error mark. Nothing for a hidden plane or an outline of fewer than 3 points.
    void Draw(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom,
              COLORREF color) const;
    void DrawErrorMark(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const;
    void DrawSeedPoint(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const;
    // The outline in white, one pixel wide.
    void DrawOutline(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const;
    // The outline dashed in white, one pixel wide: the fill no longer fits the copper.
    void DrawStaleOutline(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const;
    void DrawOutlineEdit(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom) const
    {
        DrawOutline(dc, offsetX, offsetY, zoom);
    }

    // ---- Persistence
    // -----------------------------------------------------------------------------

    // Always writes the current version. Loading clamps the parameters and the layer (noting a
    // warning) and leaves the plane unfilled.
    void Serialize(CArchive& ar) override;

private:
    void DrawOutlineWith(CDeviceContext& dc, bool dashed, int32_t offsetX, int32_t offsetY,
                         int32_t zoom) const;
    bool IsClosed() const;
    // The fill's strokes and boundaries with the pen width.
    void DrawFill(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t zoom,
                  COLORREF color) const;
    int32_t PointCount() const { return m_outline.GetSize(); }
    void Store(CArchive& ar);
    void Load(CArchive& ar);

    std::string m_name = defaultName;
    int32_t m_minSpace = 0;
    int32_t m_secondParam = 0;
    int32_t m_net = -1;
    int32_t m_layer = defaultLayer;
    CPoint m_seed;
    std::vector<std::unique_ptr<CPointArray>> m_fillPolylines;
    CRectArray m_fillStrokes;
    CPointArray m_outline;
    CPointArray m_outlineBackup;
    int32_t m_style = styleSolid;
    int32_t m_penWidth = 3023;
    int32_t m_hatchGrid = 6047;
    int32_t m_hatchRotation = 45;
    uint32_t m_flags = displayWysiwyg;
    int32_t m_currentVertex = 0;
    int32_t m_savedCurrentVertex = 0;
    CPoint m_errorMark{-1, -1};
    FillStroke m_errorSegment;
    int32_t m_fillErrorCount = 0;
    uint64_t m_fillRevision = 0;
    // What the last screen drawing of the fill left for the next one.
    mutable std::unique_ptr<CCachedPicture> m_picture;
    // Changes with every change of the fill made while it is not lent; unique among all planes
    // of the process, so that no other fill state ever shares it.
    uint64_t m_fillVersion = 0;
    bool m_fillLent = false;
    // The box of the fill's points for m_boxVersion.
    mutable uint64_t m_boxVersion = 0;
    mutable CPoint m_boxLow, m_boxHigh;
    mutable bool m_boxEmpty = true;
    void FillChanged();
};
