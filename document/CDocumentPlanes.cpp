#include "document/CDocumentPlanes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/CPlaneBuild.h"
#include "analysis/CPlaneRefill.h"
#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CViewState.h"
#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentDocument.h"
#include "model/CDialogService.h"
#include "model/CFieldRange.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CTextArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"

namespace {

// Marks a refill as running for as long as it runs, however it ends.
struct CRefilling {
    explicit CRefilling(bool& running) : running(running) { running = true; }
    ~CRefilling() { running = false; }
    CRefilling(const CRefilling&) = delete;
    CRefilling& operator=(const CRefilling&) = delete;
    bool& running;
};

// The plane tool's outline editing mode, which a full-board or polyline plane continues in.
constexpr int32_t newPlaneStyle = CPour::styleSolid;
constexpr int32_t newPlanePenWidth = 3033;
constexpr int32_t newPlaneHatchGrid = 6047;
constexpr int32_t newPlaneHatchRotation = 45000;
// The seed of a rectangle plane sits this far inside its top left corner.
constexpr int32_t rectangleSeedInset = 3033;
constexpr double circleStepDegrees = 7.5;
// The borders (0.1 to 1.0 mm) a full-board plane may keep from the board edge.
constexpr int32_t borderChoices[] = {1007, 1511, 2015, 2519, 3023, 5039, 10078};
constexpr double rotationScale = 1000.0;

// Layer names begin with their two-digit number and a blank.
constexpr size_t layerNumberLength = 3;

} // namespace

std::string CDocumentPlanes::PlaneName(int32_t number, int32_t layer) const
{
    std::string name = CNumberText::FormatInt(number);
    if (number >= 0 && number < 10)
        name.insert(0, "0");
    const std::string layerName = m_design.GetLayers().GetLayerName(layer);
    return name + ". " + layerName.substr(std::min(layerNumberLength, layerName.size()));
}

CPour& CDocumentPlanes::AppendNewPlane(CPoint seed)
{
    const int32_t layer = m_session.GetWorkLayer();
    m_design.GetPlanes().push_back(std::make_unique<CPour>(-1, layer, seed.x, seed.y, newPlaneStyle,
                                                           newPlanePenWidth, newPlaneHatchGrid,
                                                           newPlaneHatchRotation));
    CPour& plane = *m_design.GetPlanes().back();
    plane.SetDisplayMode(CPour::displayWysiwyg);
    plane.SetName(PlaneName(GetPlaneCount(), layer));
    m_session.SetPlaneIndex(GetPlaneCount() - 1);
    return plane;
}

CPour* CDocumentPlanes::GetCurrentPlane()
{
    if (m_session.GetPlaneIndex() < 0 || m_session.GetPlaneIndex() >= GetPlaneCount())
        return nullptr;
    return m_design.GetPlanes()[size_t(m_session.GetPlaneIndex())].get();
}

void CDocumentPlanes::SetCurrentPlane(int32_t i)
{
    m_session.SetPlaneIndex(std::min(i, GetPlaneCount() - 1));
    if (m_session.GetPlaneIndex() >= 0)
        m_session.SetWorkLayer(m_design.GetPlanes()[size_t(m_session.GetPlaneIndex())]->GetLayer());
    else
        m_session.SetMode(ID_VIEW);
}

void CDocumentPlanes::RebuildPlane(int32_t i)
{
    if (i < 0 || i >= GetPlaneCount())
        return;
    CPour& plane = *m_design.GetPlanes()[size_t(i)];
    CPlaneBuild build(*this, plane);
    plane.SetFillRevision(m_design.GetCopperRevision());
}

void CDocumentPlanes::RefillAll()
{
    if (m_refilling)
        return;
    // A fill that throws must not leave every later refill refused.
    const CRefilling refilling(m_refilling);
    std::vector<CPour*> planes;
    for (const auto& plane : m_design.GetPlanes())
        planes.push_back(plane.get());
    MarkRefilled(planes, CPlaneRefill::Run(*this, planes));
}

void CDocumentPlanes::MarkRefilled(const std::vector<CPour*>& planes, size_t built)
{
    // Planes a Cancel left unbuilt keep the revision of their old fill: still to be refilled.
    for (size_t k = 0; k < built && k < planes.size(); ++k)
        planes[k]->SetFillRevision(m_design.GetCopperRevision());
}

void CDocumentPlanes::RefillLayer(int32_t layer)
{
    if (m_refilling)
        return;
    const CRefilling refilling(m_refilling);
    if (layer < 1)
        layer = m_session.GetWorkLayer();
    std::vector<CPour*> planes;
    for (const auto& plane : m_design.GetPlanes()) {
        if (plane->GetLayer() == layer)
            planes.push_back(plane.get());
    }
    MarkRefilled(planes, CPlaneRefill::Run(*this, planes));
}

bool CDocumentPlanes::DeleteCurrentPlane()
{
    const int32_t index = m_session.GetPlaneIndex();
    if (GetCurrentPlane() == nullptr)
        return false;
    m_history.SaveUndoState();
    DeletePlane(index);
    SetCurrentPlane(index);
    m_modified();
    m_windows.RefreshPlaneList();
    RedrawBoard();
    return true;
}

void CDocumentPlanes::DeletePlane(int32_t index)
{
    m_design.GetPlanes().erase(m_design.GetPlanes().begin() + index);
    // The current plane, also while another tool has parked it, stays the same plane.
    const bool parked = m_session.GetPlaneIndex() < 0;
    const int64_t current = parked ? int64_t(m_session.GetPlaneIndex()) + CEditState::planeIndexPark
                                   : m_session.GetPlaneIndex();
    if (current < 0 || current < index)
        return;
    if (current == index)
        m_session.SetPlaneIndex(CEditState::noPlane);
    else
        m_session.SetPlaneIndex(
            SaturateToInt(current - 1 - (parked ? CEditState::planeIndexPark : 0)));
}

void CDocumentPlanes::DeleteSelectedPlanes()
{
    for (int32_t i = GetPlaneCount() - 1; i >= 0; --i) {
        if (m_design.GetPlanes()[size_t(i)]->IsSelected())
            DeletePlane(i);
    }
}

void CDocumentPlanes::DeleteAllPlanes()
{
    m_history.SaveUndoState();
    m_design.GetPlanes().clear();
    m_session.SetPlaneIndex(CEditState::noPlane);
    m_modified();
    m_windows.RefreshPlaneList();
    RedrawBoard();
    m_session.SetMode(ID_VIEW);
}

void CDocumentPlanes::CopySelectedPlanes()
{
    const int32_t count = GetPlaneCount();
    for (int32_t i = 0; i < count; ++i) {
        CPour& plane = *m_design.GetPlanes()[size_t(i)];
        if (!plane.IsSelected())
            continue;
        plane.SetSelected(false);
        const std::string name = PlaneName(GetPlaneCount() + 1, plane.GetLayer());
        m_design.GetPlanes().push_back(std::make_unique<CPour>(plane, name, true));
    }
}

void CDocumentPlanes::MoveAllPlanes(int32_t dx, int32_t dy)
{
    for (const auto& plane : m_design.GetPlanes())
        plane->Move(dx, dy);
}

void CDocumentPlanes::MoveSelectedPlanes(int32_t dx, int32_t dy)
{
    for (const auto& plane : m_design.GetPlanes()) {
        if (plane->IsSelected())
            plane->Move(dx, dy);
    }
}

void CDocumentPlanes::RotateSelectedPlanes(int32_t cx, int32_t cy, int32_t angle)
{
    for (const auto& plane : m_design.GetPlanes()) {
        if (plane->IsSelected())
            plane->Rotate(cx, cy, angle);
    }
}

int32_t CDocumentPlanes::SelectPlane(int32_t i, bool on)
{
    if (i < 0 || i >= GetPlaneCount() || m_design.GetPlanes()[size_t(i)]->IsSelected() == on)
        return 0;
    m_design.GetPlanes()[size_t(i)]->SetSelected(on);
    return 1;
}

int32_t CDocumentPlanes::SelectAllPlanes(bool on)
{
    int32_t changed = 0;
    for (int32_t i = 0; i < GetPlaneCount(); ++i)
        changed += SelectPlane(i, on);
    return changed;
}

int32_t CDocumentPlanes::CountSelectedPlanes() const
{
    return int32_t(std::count_if(m_design.GetPlanes().begin(), m_design.GetPlanes().end(),
                                 [](const auto& plane) { return plane->IsSelected(); }));
}

int32_t CDocumentPlanes::SelectPlanesInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    int32_t taken = 0;
    for (const auto& plane : m_design.GetPlanes())
        taken += plane->SelectInRect(rect.left, rect.top, rect.right, rect.bottom, mode, layerMask);
    return taken;
}

void CDocumentPlanes::SetPlaneDisplayMode(int32_t mode)
{
    for (const auto& plane : m_design.GetPlanes())
        plane->SetDisplayMode(mode);
}

int32_t CDocumentPlanes::GetPlaneDisplayMode() const
{
    return m_design.GetPlanes().empty() ? CPour::displayWysiwyg
                                        : m_design.GetPlanes().front()->GetDisplayMode();
}

CPour& CDocumentPlanes::AddFullBoardPlane(CPoint seed, int32_t border)
{
    CPour& plane = AppendNewPlane(seed);
    // An outline of fewer than five points is no rectangle to inset: the board size is.
    std::array<CPoint, 5> corners = {CPoint(0, 0), CPoint(m_design.GetBoardWidth(), 0),
                                     CPoint(m_design.GetBoardWidth(), m_design.GetBoardHeight()),
                                     CPoint(0, m_design.GetBoardHeight()), CPoint(0, 0)};
    if (m_design.GetBoardOutline().GetSize() >= 5) {
        for (int32_t k = 0; k < 5; ++k)
            corners[size_t(k)] =
                CPoint(m_design.GetBoardOutline()[k].x, m_design.GetBoardOutline()[k].y);
    }
    constexpr int32_t inward[5][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
    CPointArray& outline = plane.GetOutline();
    outline.SetSize(0);
    for (int32_t k = 0; k < 5; ++k) {
        const CPoint corner = corners[size_t(k)];
        outline.SetAtGrow(k, SaturateToInt(int64_t(corner.x) + int64_t(inward[k][0]) * border),
                          SaturateToInt(int64_t(corner.y) + int64_t(inward[k][1]) * border));
    }
    m_modified();
    m_windows.RefreshPlaneList();
    RebuildPlane(m_session.GetPlaneIndex());
    RedrawBoard();
    m_session.SetMode(ID_PLANES_EDIT_POLYLINE);
    return plane;
}

CPour* CDocumentPlanes::AddFullBoardPlaneAtCursor()
{
    std::vector<std::string> choices;
    for (const int32_t border : borderChoices)
        choices.push_back(CLengthText::FormatLength(m_session.GetUnit(), border));
    std::string chosen = choices.front();
    if (CDialogService::Get().BorderSize(choices, chosen) != CDialogService::resultOk)
        return nullptr;
    return &AddFullBoardPlane(m_session.GetCursor(),
                              CLengthText::ParseLength(m_session.GetUnit(), chosen));
}

bool CDocumentPlanes::EditPlaneProperties()
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr)
        return false;
    // The dialog names its plane by name: none is left without one.
    for (size_t i = 0; i < m_design.GetPlanes().size(); ++i) {
        if (m_design.GetPlanes()[i]->GetName().empty())
            m_design.GetPlanes()[i]->SetName("Plane " + std::to_string(i + 1));
    }
    std::vector<std::string> layerNames(size_t(CPour::maxLayer) + 1);
    for (int32_t layer = 1; layer <= CPour::maxLayer && layer < m_design.GetLayers().GetCount();
         ++layer) {
        if (m_design.GetLayers().IsEnabled(layer))
            layerNames[size_t(layer)] = m_design.GetLayers().GetLayerName(layer);
    }
    std::vector<std::string> netNames;
    for (int32_t i = 0; i < m_design.GetNets().GetCount(); ++i)
        netNames.push_back(m_design.GetNets().GetNet(i)->GetName());

    CDialogService::PlaneValues values;
    values.name = plane->GetName();
    values.net = plane->GetNet();
    values.layer = plane->GetLayer();
    values.style = plane->GetStyle();
    values.penWidth = plane->GetPenWidth();
    values.hatchGrid = plane->GetHatchGrid();
    values.minSpace = plane->GetMinSpace();
    values.start = plane->GetSeed();
    values.hatchRotation = CNumberText::FormatFixed(plane->GetHatchRotation() / rotationScale, 3);
    if (CDialogService::Get().PlaneProperties(m_session.GetUnit(), layerNames, netNames, values) !=
        CDialogService::resultOk)
        return false;
    const int32_t unit = m_session.GetUnit();
    // A length left as the dialog showed it is kept as the plane has it: shown rounded to the
    // unit, it may read back beyond the plane's limits.
    const int32_t style = std::clamp(values.style, CPour::styleSolid, CPour::styleCross);
    const std::optional<int32_t> penWidth =
        CFieldRange{CPour::minPenWidth, CPour::maxPenWidth}.TakeLength(
            unit, CLengthText::Kept(unit, values.penWidth, plane->GetPenWidth()),
            "Plane pen width");
    // A solid plane draws no hatch: its grid, which the dialog does not take, is only kept
    // from being finer than the pen.
    const int32_t grid = CLengthText::Kept(unit, values.hatchGrid, plane->GetHatchGrid());
    const std::optional<int32_t> hatchGrid =
        !penWidth                    ? std::nullopt
        : style == CPour::styleSolid ? std::optional<int32_t>(grid)
                                     : CFieldRange{*penWidth, CPour::maxHatchGrid}.TakeLength(
                                           unit, grid, "Plane hatch grid");
    const std::optional<int32_t> hatchRotation =
        hatchGrid ? FieldRanges::eitherTurn.TakeAngle(values.hatchRotation, "Plane hatch rotation")
                  : std::nullopt;
    const std::optional<int32_t> minSpace =
        hatchRotation ? FieldRanges::length.TakeLength(unit, values.minSpace, "Plane minimal space")
                      : std::nullopt;
    if (!minSpace)
        return false;
    // A name the program made from the old layer would name the wrong one.
    const int32_t number = m_session.GetPlaneIndex() + 1;
    const int32_t layer = std::clamp(values.layer, 1, int32_t(CPour::maxLayer));
    if (layer != plane->GetLayer() && values.name == plane->GetName() &&
        values.name == PlaneName(number, plane->GetLayer()))
        values.name = PlaneName(number, layer);
    plane->SetName(values.name);
    plane->SetNet(values.net);
    plane->SetLayer(layer);
    plane->SetStyle(style);
    plane->SetPenWidth(*penWidth);
    plane->SetHatchGrid(*hatchGrid);
    plane->SetHatchRotation(*hatchRotation);
    plane->SetMinSpace(*minSpace);
    plane->SetSeed(values.start);
    plane->ClampParams();
    m_modified();
    RebuildPlane(m_session.GetPlaneIndex());
    m_windows.RefreshPlaneList();
    RedrawBoard();
    return true;
}

CPour& CDocumentPlanes::AddCirclePlane(const CRect& box)
{
    const int32_t r = int32_t((int64_t(box.right) - box.left) / 2);
    const int32_t cx = SaturateToInt((int64_t(box.right) - box.left) / 2 + box.left);
    const int32_t cy = SaturateToInt((int64_t(box.bottom) - box.top) / 2 + box.top);
    CPour& plane = AppendNewPlane(CPoint(cx, cy));
    CPointArray& outline = plane.GetOutline();
    outline.SetSize(0);
    int32_t k = 0;
    for (double angle = 0.0; angle < 360.0; angle += circleStepDegrees, ++k) {
        const double a = angle * std::numbers::pi / 180.0;
        outline.SetAtGrow(k, SaturateToInt(int64_t(cx) + RoundToInt(r * std::cos(a))),
                          SaturateToInt(int64_t(cy) - RoundToInt(r * std::sin(a))));
    }
    outline.SetAtGrow(k, outline[0].x, outline[0].y);
    m_modified();
    m_windows.RefreshPlaneList();
    RebuildPlane(m_session.GetPlaneIndex());
    RedrawBoard();
    return plane;
}

CPour& CDocumentPlanes::AddRectanglePlane(const CRect& box)
{
    CPour& plane = AppendNewPlane(CPoint(SaturateToInt(int64_t(box.left) + rectangleSeedInset),
                                         SaturateToInt(int64_t(box.top) + rectangleSeedInset)));
    CPointArray& outline = plane.GetOutline();
    outline.SetSize(0);
    outline.SetAtGrow(0, box.left, box.top);
    outline.SetAtGrow(1, box.right, box.top);
    outline.SetAtGrow(2, box.right, box.bottom);
    outline.SetAtGrow(3, box.left, box.bottom);
    outline.SetAtGrow(4, box.left, box.top);
    m_modified();
    m_windows.RefreshPlaneList();
    RebuildPlane(m_session.GetPlaneIndex());
    RedrawBoard();
    return plane;
}

CPour& CDocumentPlanes::AddPolylinePlane(CPoint cursor)
{
    CPour& plane = AppendNewPlane(cursor);
    plane.StartSquareAtCursor(plane.GetLayer(), cursor);
    m_modified();
    m_windows.RefreshPlaneList();
    m_session.SetMode(ID_PLANES_EDIT_POLYLINE);
    m_session.SetAction(CEditState::actionDragging);
    return plane;
}

bool CDocumentPlanes::MovePlaneSeed(CPoint point)
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr || !plane->ContainsPoint(point.x, point.y, plane->GetLayer()))
        return false;
    plane->SetSeed(point);
    m_modified();
    RebuildPlane(m_session.GetPlaneIndex());
    RedrawBoard();
    return true;
}

bool CDocumentPlanes::PlaneEditClick()
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr || m_session.GetMode() != ID_PLANES_EDIT_POLYLINE)
        return false;
    if (m_session.GetAction() == CEditState::actionDragging) {
        plane->CloseOutline();
        // Dropped without a refill: the fill is the old outline's.
        m_design.AdvanceCopperRevision();
        m_session.SetAction(CEditState::actionWaiting);
        RedrawBoard();
        return true;
    }
    const int32_t vertex = plane->HitOutline(m_session.GetCursor(), m_session.GetWorkLayer());
    if (vertex < 0)
        return false;
    plane->SetCurrentVertex(vertex);
    m_session.SetAction(CEditState::actionDragging);
    m_session.SetCursor(plane->GetOutline()[plane->GetCurrentVertex()]);
    plane->SaveOutline();
    return true;
}

void CDocumentPlanes::PlaneEditMouseMove()
{
    CPour* plane = GetCurrentPlane();
    if (plane != nullptr && m_session.GetMode() == ID_PLANES_EDIT_POLYLINE &&
        m_session.GetAction() == CEditState::actionDragging) {
        plane->MoveVertex(m_session.GetCursor().x, m_session.GetCursor().y,
                          m_design.GetBoardWidth(), m_design.GetBoardHeight(), false);
        m_design.AdvanceCopperRevision();
    }
}

bool CDocumentPlanes::PlaneEditKey(uint32_t key)
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr || m_session.GetMode() != ID_PLANES_EDIT_POLYLINE ||
        m_session.GetAction() != CEditState::actionDragging) {
        if (key != VK_ESCAPE)
            return false;
        m_session.SetMode(ID_VIEW);
        return true;
    }
    const CPointArray& outline = plane->GetOutline();
    const int32_t n = outline.GetSize();
    const bool closed = n > 1 && outline[0] == outline[n - 1];
    // The closing copy of the first corner is no corner of its own.
    const int32_t corners = closed ? n - 1 : n;
    switch (key) {
    case VK_RETURN:
        plane->CloseOutline();
        m_session.SetAction(CEditState::actionWaiting);
        RebuildPlane(m_session.GetPlaneIndex());
        RedrawBoard();
        return true;
    case VK_ESCAPE:
        plane->RestoreOutline();
        m_session.SetAction(CEditState::actionWaiting);
        RebuildPlane(m_session.GetPlaneIndex());
        RedrawBoard();
        return true;
    case VK_INSERT:
        plane->InsertVertex();
        m_design.AdvanceCopperRevision();
        break;
    case VK_DELETE:
        // A plane needs three corners to enclose anything.
        if (corners <= 3)
            return false;
        plane->DeleteVertex(plane->GetCurrentVertex());
        m_design.AdvanceCopperRevision();
        break;
    case VK_ADD:
        plane->SetCurrentVertex(plane->GetCurrentVertex() + 1);
        break;
    case VK_SUBTRACT:
        plane->SetCurrentVertex(plane->GetCurrentVertex() - 1);
        break;
    default:
        return false;
    }
    if (outline.GetSize() > 0)
        m_session.SetCursor(outline[plane->GetCurrentVertex()]);
    return true;
}

bool CDocumentPlanes::PlaneChar(char ch)
{
    const bool planeMode =
        (m_session.GetMode() >= ID_PLANES_FIRST && m_session.GetMode() <= ID_PLANES_ADD_LAST) ||
        (m_session.GetMode() >= ID_PLANES_DELETE_ALL && m_session.GetMode() <= ID_PLANES_LAST);
    if ((ch != 'F' && ch != 'f') || !planeMode || GetCurrentPlane() == nullptr)
        return false;
    RebuildPlane(m_session.GetPlaneIndex());
    RedrawBoard();
    return true;
}

void CDocumentPlanes::EndPlaneTool()
{
    if (m_session.GetMode() == ID_PLANES_EDIT_POLYLINE &&
        m_session.GetAction() == CEditState::actionDragging && GetCurrentPlane() != nullptr)
        PlaneEditKey(VK_RETURN);
    else
        m_session.SetMode(ID_VIEW);
}

void CDocumentPlanes::DrawSelectedPlanes(CDeviceContext& dc, uint32_t shownLayers) const
{
    const CPoint offset = m_view.GetViewOffset();
    const int32_t scale = m_view.GetScale();
    for (const auto& plane : m_design.GetPlanes()) {
        if (plane->IsSelected() && IsLayerShown(shownLayers, plane->GetLayer()))
            plane->Draw(dc, offset.x, offset.y, scale,
                        m_paint.LayerColor(plane->GetLayer(), CComponentDocument::highlightSet));
    }
}

void CDocumentPlanes::DrawPlaneOutline(CDeviceContext& dc, bool editing) const
{
    const int32_t index = m_session.GetPlaneIndex();
    if (index < 0 || index >= GetPlaneCount())
        return;
    const CPour& plane = GetPlane(index);
    const CPoint offset = m_view.GetViewOffset();
    const int32_t scale = m_view.GetScale();
    if (editing)
        plane.DrawOutlineEdit(dc, offset.x, offset.y, scale);
    else
        plane.DrawOutline(dc, offset.x, offset.y, scale);
}

void CDocumentPlanes::DrawPlaneSeed(CDeviceContext& dc) const
{
    const int32_t index = m_session.GetPlaneIndex();
    if (index < 0 || index >= GetPlaneCount())
        return;
    const CPoint offset = m_view.GetViewOffset();
    GetPlane(index).DrawSeedPoint(dc, offset.x, offset.y, m_view.GetScale());
}

// ---- What the plane fill asks of the design -----------------------------------------------------

const CPadStackArray& CDocumentPlanes::GetPadStacks() const
{
    return m_design.GetPadStacks();
}

int32_t CDocumentPlanes::GetNetCount() const
{
    return m_design.GetNetCount();
}

const CNet& CDocumentPlanes::GetNet(int32_t i) const
{
    return *m_design.GetNets().GetNet(i);
}

int32_t CDocumentPlanes::GetPlaneCount() const
{
    return int32_t(m_design.GetPlanes().size());
}

const CPour& CDocumentPlanes::GetPlane(int32_t i) const
{
    return *m_design.GetPlanes()[size_t(i)];
}

int32_t CDocumentPlanes::GetTextCount() const
{
    return m_design.GetTextCount();
}

const CWevraText& CDocumentPlanes::GetText(int32_t i) const
{
    return m_design.GetText(i);
}

const CWevraFont& CDocumentPlanes::GetFont() const
{
    return m_design.GetFont();
}

void CDocumentPlanes::ClearReportLines()
{
    m_analysis.GetReportLines().clear();
    m_design.GetNets().ClearErrors();
}

void CDocumentPlanes::SetStatusBarText(const std::string& text)
{
    m_windows.SetStatusText(text);
}

void CDocumentPlanes::SetMode(uint32_t mode)
{
    m_session.SetMode(mode);
}

void CDocumentPlanes::RedrawBoard()
{
    m_windows.RedrawBoardViews();
}
