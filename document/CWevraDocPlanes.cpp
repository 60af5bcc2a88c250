#include "document/CWevraDoc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "analysis/CPlaneBuild.h"
#include "framework/CNumberText.h"
#include "framework/Numeric.h"
#include "framework/VirtualKeys.h"
#include "model/CDialogService.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CTextArray.h"
#include "resources/CommandIds.h"

namespace {

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

std::string CWevraDoc::PlaneName(int32_t number, int32_t layer) const
{
    std::string name = CNumberText::FormatInt(number);
    if (number >= 0 && number < 10)
        name.insert(0, "0");
    const std::string layerName = m_layers->GetLayerName(layer);
    return name + ". " + layerName.substr(std::min(layerNumberLength, layerName.size()));
}

CPour& CWevraDoc::AppendNewPlane(CPoint seed)
{
    const int32_t layer = GetWorkLayer();
    m_planes.push_back(std::make_unique<CPour>(-1, layer, seed.x, seed.y, newPlaneStyle,
                                               newPlanePenWidth, newPlaneHatchGrid,
                                               newPlaneHatchRotation));
    CPour& plane = *m_planes.back();
    plane.SetDisplayMode(CPour::displayWysiwyg);
    plane.SetName(PlaneName(GetPlaneCount(), layer));
    m_edit.planeIndex = GetPlaneCount() - 1;
    return plane;
}

CPour* CWevraDoc::GetCurrentPlane()
{
    if (m_edit.planeIndex < 0 || m_edit.planeIndex >= GetPlaneCount())
        return nullptr;
    return m_planes[size_t(m_edit.planeIndex)].get();
}

void CWevraDoc::SetCurrentPlane(int32_t i)
{
    m_edit.planeIndex = std::min(i, GetPlaneCount() - 1);
    if (m_edit.planeIndex >= 0)
        SetWorkLayer(m_planes[size_t(m_edit.planeIndex)]->GetLayer());
    else
        SetMode(ID_VIEW);
}

void CWevraDoc::RebuildPlane(int32_t i)
{
    if (i < 0 || i >= GetPlaneCount())
        return;
    CPlaneBuild build(*this, *m_planes[size_t(i)]);
}

void CWevraDoc::RefillAll()
{
    if (m_refilling)
        return;
    m_refilling = true;
    for (int32_t i = 0; i < GetPlaneCount(); ++i)
        RebuildPlane(i);
    m_refilling = false;
}

void CWevraDoc::RefillLayer(int32_t layer)
{
    if (m_refilling)
        return;
    m_refilling = true;
    if (layer < 1)
        layer = GetWorkLayer();
    for (int32_t i = 0; i < GetPlaneCount(); ++i) {
        if (m_planes[size_t(i)]->GetLayer() == layer)
            RebuildPlane(i);
    }
    m_refilling = false;
}

bool CWevraDoc::DeleteCurrentPlane()
{
    const int32_t index = m_edit.planeIndex;
    if (GetCurrentPlane() == nullptr)
        return false;
    SaveUndoState();
    DeletePlane(index);
    SetCurrentPlane(index);
    SetModified();
    RefreshPlaneList();
    RedrawBoard();
    return true;
}

void CWevraDoc::DeleteSelectedPlanes()
{
    for (int32_t i = GetPlaneCount() - 1; i >= 0; --i) {
        if (m_planes[size_t(i)]->IsSelected())
            DeletePlane(i);
    }
}

void CWevraDoc::DeleteAllPlanes()
{
    SaveUndoState();
    m_planes.clear();
    m_edit.planeIndex = CEditState::noPlane;
    SetModified();
    RefreshPlaneList();
    RedrawBoard();
    SetMode(ID_VIEW);
}

void CWevraDoc::CopySelectedPlanes()
{
    const int32_t count = GetPlaneCount();
    for (int32_t i = 0; i < count; ++i) {
        CPour& plane = *m_planes[size_t(i)];
        if (!plane.IsSelected())
            continue;
        plane.SetSelected(false);
        const std::string name = PlaneName(GetPlaneCount() + 1, plane.GetLayer());
        m_planes.push_back(std::make_unique<CPour>(plane, name, true));
    }
}

void CWevraDoc::MoveAllPlanes(int32_t dx, int32_t dy)
{
    for (const auto& plane : m_planes)
        plane->Move(dx, dy);
}

void CWevraDoc::MoveSelectedPlanes(int32_t dx, int32_t dy)
{
    for (const auto& plane : m_planes) {
        if (plane->IsSelected())
            plane->Move(dx, dy);
    }
}

void CWevraDoc::RotateSelectedPlanes(int32_t cx, int32_t cy, int32_t angle)
{
    for (const auto& plane : m_planes) {
        if (plane->IsSelected())
            plane->Rotate(cx, cy, angle);
    }
}

int32_t CWevraDoc::SelectPlane(int32_t i, bool on)
{
    if (i < 0 || i >= GetPlaneCount() || m_planes[size_t(i)]->IsSelected() == on)
        return 0;
    m_planes[size_t(i)]->SetSelected(on);
    return 1;
}

int32_t CWevraDoc::SelectAllPlanes(bool on)
{
    int32_t changed = 0;
    for (int32_t i = 0; i < GetPlaneCount(); ++i)
        changed += SelectPlane(i, on);
    return changed;
}

int32_t CWevraDoc::CountSelectedPlanes() const
{
    return int32_t(std::count_if(m_planes.begin(), m_planes.end(),
                                 [](const auto& plane) { return plane->IsSelected(); }));
}

int32_t CWevraDoc::SelectPlanesInRect(const CRect& rect, int32_t mode, uint32_t layerMask)
{
    int32_t taken = 0;
    for (const auto& plane : m_planes)
        taken += plane->SelectInRect(rect.left, rect.top, rect.right, rect.bottom, mode, layerMask);
    return taken;
}

void CWevraDoc::SetPlaneDisplayMode(int32_t mode)
{
    for (const auto& plane : m_planes)
        plane->SetDisplayMode(mode);
}

int32_t CWevraDoc::GetPlaneDisplayMode() const
{
    return m_planes.empty() ? CPour::displayWysiwyg : m_planes.front()->GetDisplayMode();
}

CPour& CWevraDoc::AddFullBoardPlane(CPoint seed, int32_t border)
{
    CPour& plane = AppendNewPlane(seed);
    // An outline of fewer than five points is no rectangle to inset: the board size is.
    std::array<CPoint, 5> corners = {CPoint(0, 0), CPoint(m_settings.boardWidth, 0),
                                     CPoint(m_settings.boardWidth, m_settings.boardHeight),
                                     CPoint(0, m_settings.boardHeight), CPoint(0, 0)};
    if (m_boardOutline.GetSize() >= 5) {
        for (int32_t k = 0; k < 5; ++k)
            corners[size_t(k)] = CPoint(m_boardOutline[k].x, m_boardOutline[k].y);
    }
    constexpr int32_t inward[5][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
    CPointArray& outline = plane.GetOutline();
    outline.SetSize(0);
    for (int32_t k = 0; k < 5; ++k) {
        const CPoint corner = corners[size_t(k)];
        outline.SetAtGrow(k, SaturateToInt(int64_t(corner.x) + int64_t(inward[k][0]) * border),
                          SaturateToInt(int64_t(corner.y) + int64_t(inward[k][1]) * border));
    }
    SetModified();
    RefreshPlaneList();
    RebuildPlane(m_edit.planeIndex);
    RedrawBoard();
    SetMode(ID_PLANES_EDIT_POLYLINE);
    return plane;
}

CPour& CWevraDoc::AddFullBoardPlaneAtCursor()
{
    std::vector<std::string> choices;
    for (const int32_t border : borderChoices)
        choices.push_back(CLengthText::FormatLength(GetUnit(), border));
    std::string chosen = choices.front();
    CDialogService::Get().BorderSize(choices, chosen);
    return AddFullBoardPlane(m_edit.cursor, CLengthText::ParseLength(GetUnit(), chosen));
}

bool CWevraDoc::EditPlaneProperties()
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr)
        return false;
    // The dialog names its plane by name: none is left without one.
    for (size_t i = 0; i < m_planes.size(); ++i) {
        if (m_planes[i]->GetName().empty())
            m_planes[i]->SetName("Plane " + std::to_string(i + 1));
    }
    std::vector<std::string> layerNames(size_t(CPour::maxLayer) + 1);
    for (int32_t layer = 1; layer <= CPour::maxLayer && layer < m_layers->GetCount(); ++layer) {
        if (m_layers->IsEnabled(layer))
            layerNames[size_t(layer)] = m_layers->GetLayerName(layer);
    }
    std::vector<std::string> netNames;
    for (int32_t i = 0; i < m_nets->GetCount(); ++i)
        netNames.push_back(m_nets->GetNet(i)->GetName());

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
    if (CDialogService::Get().PlaneProperties(GetUnit(), layerNames, netNames, values) !=
        CDialogService::resultOk)
        return false;
    double degrees = 0.0;
    CNumberText::ParseLeadingDouble(values.hatchRotation, degrees);
    plane->SetName(values.name);
    plane->SetNet(values.net);
    plane->SetLayer(std::clamp(values.layer, 1, int32_t(CPour::maxLayer)));
    plane->SetStyle(std::clamp(values.style, CPour::styleSolid, CPour::styleCross));
    plane->SetPenWidth(values.penWidth);
    plane->SetHatchGrid(values.hatchGrid);
    plane->SetHatchRotation(RoundToInt(degrees * rotationScale));
    plane->SetMinSpace(values.minSpace);
    plane->SetSeed(values.start);
    plane->ClampParams();
    SetModified();
    RebuildPlane(m_edit.planeIndex);
    RefreshPlaneList();
    RedrawBoard();
    return true;
}

CPour& CWevraDoc::AddCirclePlane(const CRect& box)
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
    SetModified();
    RefreshPlaneList();
    RebuildPlane(m_edit.planeIndex);
    RedrawBoard();
    return plane;
}

CPour& CWevraDoc::AddRectanglePlane(const CRect& box)
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
    SetModified();
    RefreshPlaneList();
    RebuildPlane(m_edit.planeIndex);
    RedrawBoard();
    return plane;
}

CPour& CWevraDoc::AddPolylinePlane(CPoint cursor)
{
    CPour& plane = AppendNewPlane(cursor);
    plane.StartSquareAtCursor(plane.GetLayer(), cursor);
    SetModified();
    RefreshPlaneList();
    SetMode(ID_PLANES_EDIT_POLYLINE);
    SetAction(CEditState::actionDragging);
    return plane;
}

bool CWevraDoc::MovePlaneSeed(CPoint point)
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr || !plane->ContainsPoint(point.x, point.y, plane->GetLayer()))
        return false;
    plane->SetSeed(point);
    SetModified();
    RebuildPlane(m_edit.planeIndex);
    RedrawBoard();
    return true;
}

bool CWevraDoc::PlaneEditClick()
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr || m_edit.mode != ID_PLANES_EDIT_POLYLINE)
        return false;
    if (m_edit.action == CEditState::actionDragging) {
        plane->CloseOutline();
        SetAction(CEditState::actionWaiting);
        RedrawBoard();
        return true;
    }
    const int32_t vertex = plane->HitOutline(m_edit.cursor, GetWorkLayer());
    if (vertex < 0)
        return false;
    plane->SetCurrentVertex(vertex);
    SetAction(CEditState::actionDragging);
    m_edit.cursor = plane->GetOutline()[plane->GetCurrentVertex()];
    plane->SaveOutline();
    return true;
}

void CWevraDoc::PlaneEditMouseMove()
{
    CPour* plane = GetCurrentPlane();
    if (plane != nullptr && m_edit.mode == ID_PLANES_EDIT_POLYLINE &&
        m_edit.action == CEditState::actionDragging)
        plane->MoveVertex(m_edit.cursor.x, m_edit.cursor.y, m_settings.boardWidth,
                          m_settings.boardHeight, false);
}

bool CWevraDoc::PlaneEditKey(uint32_t key)
{
    CPour* plane = GetCurrentPlane();
    if (plane == nullptr || m_edit.mode != ID_PLANES_EDIT_POLYLINE ||
        m_edit.action != CEditState::actionDragging) {
        if (key != VK_ESCAPE)
            return false;
        SetMode(ID_VIEW);
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
        SetAction(CEditState::actionWaiting);
        RebuildPlane(m_edit.planeIndex);
        RedrawBoard();
        return true;
    case VK_ESCAPE:
        plane->RestoreOutline();
        SetAction(CEditState::actionWaiting);
        RebuildPlane(m_edit.planeIndex);
        RedrawBoard();
        return true;
    case VK_INSERT:
        plane->InsertVertex();
        break;
    case VK_DELETE:
        // A plane needs three corners to enclose anything.
        if (corners <= 3)
            return false;
        plane->DeleteVertex(plane->GetCurrentVertex());
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
        m_edit.cursor = outline[plane->GetCurrentVertex()];
    return true;
}

bool CWevraDoc::PlaneChar(char ch)
{
    const bool planeMode = (m_edit.mode >= ID_PLANES_FIRST && m_edit.mode <= ID_PLANES_ADD_LAST) ||
                           (m_edit.mode >= ID_PLANES_DELETE_ALL && m_edit.mode <= ID_PLANES_LAST);
    if ((ch != 'F' && ch != 'f') || !planeMode || GetCurrentPlane() == nullptr)
        return false;
    RebuildPlane(m_edit.planeIndex);
    RedrawBoard();
    return true;
}

void CWevraDoc::EndPlaneTool()
{
    if (m_edit.mode == ID_PLANES_EDIT_POLYLINE && m_edit.action == CEditState::actionDragging &&
        GetCurrentPlane() != nullptr)
        PlaneEditKey(VK_RETURN);
    else
        SetMode(ID_VIEW);
}

void CWevraDoc::DrawSelectedPlanes(CDeviceContext& dc) const
{
    for (const auto& plane : m_planes) {
        if (plane->IsSelected())
            plane->Draw(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale,
                        LayerColor(plane->GetLayer(), highlightSet));
    }
}

void CWevraDoc::DrawPlaneOutline(CDeviceContext& dc, bool editing) const
{
    if (m_edit.planeIndex < 0 || m_edit.planeIndex >= GetPlaneCount())
        return;
    const CPour& plane = *m_planes[size_t(m_edit.planeIndex)];
    if (editing)
        plane.DrawOutlineEdit(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale);
    else
        plane.DrawOutline(dc, m_settings.offset.x, m_settings.offset.y, m_settings.scale);
}

void CWevraDoc::DrawPlaneSeed(CDeviceContext& dc) const
{
    if (m_edit.planeIndex >= 0 && m_edit.planeIndex < GetPlaneCount())
        m_planes[size_t(m_edit.planeIndex)]->DrawSeedPoint(dc, m_settings.offset.x,
                                                           m_settings.offset.y, m_settings.scale);
}

const CNet& CWevraDoc::GetNet(int32_t i) const
{
    return *m_nets->GetNet(i);
}

int32_t CWevraDoc::GetTextCount() const
{
    return m_texts->GetCount();
}

const CWevraText& CWevraDoc::GetText(int32_t i) const
{
    return *m_texts->GetText(i);
}

void CWevraDoc::ClearReportLines()
{
    m_reportLines.clear();
    m_nets->ClearErrors();
}

void CWevraDoc::RedrawBoard()
{
    RedrawBoardViews();
}
