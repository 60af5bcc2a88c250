#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/CPlaneBuildDocument.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"

class CDesign;
class CDeviceContext;
class CDocumentAnalysis;
class CDocumentHistory;
class CDocumentPaint;
class CDocumentWindows;
class CEditSession;
class CViewState;

// The copper planes of a design as its tools and the plane fill see them: the current plane,
// adding, deleting, selecting and moving planes, their fill, the editing of a plane's outline
// and their drawing over the board. The planes themselves are the design's collection.
class CDocumentPlanes : public CPlaneBuildDocument {
public:
    // The analysis is made after the planes and used only once it is there. `modified` marks
    // the document modified.
    CDocumentPlanes(CDesign& design, CEditSession& session, CDocumentPaint& paint, CViewState& view,
                    CDocumentWindows& windows, CDocumentHistory& history,
                    CDocumentAnalysis& analysis, std::function<void()> modified)
        : m_design(design), m_session(session), m_paint(paint), m_view(view), m_windows(windows),
          m_history(history), m_analysis(analysis), m_modified(std::move(modified))
    {
    }
    CDocumentPlanes(const CDocumentPlanes&) = delete;
    CDocumentPlanes& operator=(const CDocumentPlanes&) = delete;

    // The plane at the current index; nullptr when there is none.
    CPour* GetCurrentPlane();
    // The index becomes min(i, count - 1); a plane's layer becomes the work layer, and without
    // a current plane the idle mode follows.
    void SetCurrentPlane(int32_t i);
    // Computes plane i's fill for the design's copper as it is now; nothing for an index
    // outside the list.
    void RebuildPlane(int32_t i);
    // Both are ignored while one of them runs; a layer below 1 means the work layer.
    void RefillAll();
    void RefillLayer(int32_t layer);
    // After an undo snapshot; the next plane (or the new last one) becomes current. False
    // without a current plane.
    bool DeleteCurrentPlane();
    // Removes plane `index`; the current plane index keeps naming the same plane, or none.
    void DeletePlane(int32_t index);
    void DeleteSelectedPlanes();
    // After an undo snapshot: no planes, no current plane, the idle mode.
    void DeleteAllPlanes();
    void CopySelectedPlanes();
    void MoveAllPlanes(int32_t dx, int32_t dy);
    void MoveSelectedPlanes(int32_t dx, int32_t dy);
    void RotateSelectedPlanes(int32_t cx, int32_t cy, int32_t angle);
    // 1 when plane i's selection changed.
    int32_t SelectPlane(int32_t i, bool on);
    int32_t SelectAllPlanes(bool on);
    int32_t CountSelectedPlanes() const;
    int32_t SelectPlanesInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    void SetPlaneDisplayMode(int32_t mode);
    int32_t GetPlaneDisplayMode() const;

    // New planes on the work layer, appended and made current. The full-board plane lies
    // `border` inside the board outline; the circle and rectangle planes fill the box and are
    // filled; the polyline plane starts as a square at the point whose corner 1 the user drags.
    CPour& AddFullBoardPlane(CPoint seed, int32_t border);
    CPour& AddCirclePlane(const CRect& box);
    CPour& AddRectanglePlane(const CRect& box);
    CPour& AddPolylinePlane(CPoint cursor);
    // Inside the current plane on its layer: the seed moves there and the plane is refilled.
    bool MovePlaneSeed(CPoint point);

    // The click of Add Full Board: the border chosen in the "Set border size" dialog, the seed
    // at the cursor. No plane (nullptr) when the dialog is cancelled.
    CPour* AddFullBoardPlaneAtCursor();
    // The "Plane Properties" dialog on the current plane; on OK the plane is refilled. False
    // without a current plane or on Cancel.
    bool EditPlaneProperties();

    // Outline editing of the current plane: a click picks a vertex (or drops the dragged one),
    // the mouse drags it, keys end, cancel or change the edit. False when nothing was done.
    bool PlaneEditClick();
    void PlaneEditMouseMove();
    bool PlaneEditKey(uint32_t key);
    // "F" or "f" in a plane mode refills the current plane.
    bool PlaneChar(char ch);
    // The end-tool command in a plane mode: a running vertex drag ends as with Enter,
    // otherwise the idle mode follows.
    void EndPlaneTool();

    // The selected planes on the shown layers (IsLayerShown).
    void DrawSelectedPlanes(CDeviceContext& dc, uint32_t shownLayers) const;
    void DrawPlaneOutline(CDeviceContext& dc, bool editing) const;
    void DrawPlaneSeed(CDeviceContext& dc) const;

    // ---- What the plane fill asks of the design -------------------------------------------------

    const CPadStackArray& GetPadStacks() const override;
    int32_t GetNetCount() const override;
    const CNet& GetNet(int32_t i) const override;
    int32_t GetPlaneCount() const override;
    const CPour& GetPlane(int32_t i) const override;
    int32_t GetTextCount() const override;
    const CWevraText& GetText(int32_t i) const override;
    const CWevraFont& GetFont() const override;
    // Also drops the design-rule check's errors: a new fill changes the copper they describe.
    void ClearReportLines() override;
    void SetStatusBarText(const std::string& text) override;
    void SetMode(uint32_t mode) override;
    void RedrawBoard() override;

private:
    // A new plane with the defaults on the work layer, appended, named and made current.
    CPour& AppendNewPlane(CPoint seed);
    // "NN. " and the layer's name after its number.
    std::string PlaneName(int32_t number, int32_t layer) const;
    // The first `built` of the planes a refill went through count as filled for the copper as
    // it is now.
    void MarkRefilled(const std::vector<CPour*>& planes, size_t built);

    CDesign& m_design;
    CEditSession& m_session;
    CDocumentPaint& m_paint;
    CViewState& m_view;
    CDocumentWindows& m_windows;
    CDocumentHistory& m_history;
    CDocumentAnalysis& m_analysis;
    std::function<void()> m_modified;
    // Set while RefillAll or RefillLayer runs.
    bool m_refilling = false;
};
