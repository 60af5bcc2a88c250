#include "document/CEditSession.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "document/CDesign.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentViews.h"
#include "document/CDocumentWindows.h"
#include "document/CViewState.h"
#include "framework/VirtualKeys.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CLineTool.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/CTextArray.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

// A rubber band must be this big on both sides to select (about 0.2 mm).
constexpr int64_t minSelectBand = 2015;
// A figure drawn with the rubber band is at least 1 mm both ways.
constexpr int64_t minFigureBand = 10078;
// A board drawn with the rubber band must be bigger than this on both sides (5 mm).
constexpr int64_t minBoardBand = 50393;

// Selection modes of the collections' rectangle selection.
constexpr int32_t bandSelect = 4;
constexpr int32_t bandAdd = 16;

// Layer sets hold this many layers, one byte each.
constexpr int32_t layerSetSlots = COutputRec::maxLayers;
constexpr char customLayerSetName[] = "Custom";

bool IsPlaneCommand(uint32_t mode)
{
    return (mode >= ID_PLANES_FIRST && mode <= ID_PLANES_ADD_LAST) ||
           (mode >= ID_PLANES_DELETE_ALL && mode <= ID_PLANES_LAST);
}

// The component tools place on the block grid.
bool IsComponentGridMode(uint32_t mode)
{
    return mode == ID_COMPONENTS_COPY || mode == ID_COMPONENTS_DELETE ||
           mode == ID_COMPONENTS_MIRROR || mode == ID_COMPONENTS_MOVE_ROTATE ||
           (mode >= ID_COMPONENTS_PROPERTIES && mode <= ID_COMPONENTS_SET_POSITION) ||
           mode == ID_COMPONENTS_ADD;
}

bool IsTrackTool(uint32_t mode)
{
    return mode == ID_TRACKS_EDIT || mode == ID_TRACKS_ADD;
}

bool IsLineTool(uint32_t mode)
{
    return mode == ID_LINES_EDIT || mode == ID_LINES_ADD;
}

int32_t ClampToBoard(int32_t value, int32_t size)
{
    return std::clamp(value, 0, std::max(size, 0));
}

// In Set Grid Offset the cursor goes onto what lies at the raw cursor; the probe itself
// changes no selection.
constexpr int32_t snapProbeMode = 8;

} // namespace

void CEditSession::Reset()
{
    m_edit.rubberBandVisible = false;
    m_edit.rubberBand = CRect();
    m_edit.rubberBandStart = CPoint();
    m_edit.rawCursor = CPoint();
    m_edit.cursor = CPoint();
    m_edit.previousCursor = CPoint();
    m_edit.anchor = CPoint();
    m_view.SetZoomRect(CRect());
}

// ---- Editing state ------------------------------------------------------------------------------

void CEditSession::SetAction(uint32_t action)
{
    m_edit.action = action;
    if (action == CEditState::actionDragging)
        m_history.BeginDrag();
    else
        // A run that ends other than by its abandonment is kept, when it changed something.
        m_history.EndDrag();
}

int32_t CEditSession::GetWorkLayer() const
{
    const COutputRec* set = m_design.GetCurrentLayerSet();
    return set ? set->GetRefLayer() : m_design.GetLayers().GetRefLayer();
}

int32_t CEditSession::GetComponentTextMode() const
{
    return m_design.GetDisplaySets().GetCurrentTextMode();
}

void CEditSession::SetComponentTextMode(int32_t m)
{
    if (COutputRec* set = m_design.GetCurrentLayerSet()) {
        // The text being worked on is one the board shows.
        switch (m + 1) {
        case COutputRec::textModeReference:
            set->SetTextReference(true);
            break;
        case COutputRec::textModeType:
            set->SetTextType(true);
            break;
        case COutputRec::textModeShape:
            set->SetTextShape(true);
            break;
        default:
            set->SetTextMode(COutputRec::textNone);
            break;
        }
    }
    SetModified();
}

void CEditSession::ShowOnlyComponentText(int32_t kind)
{
    if (COutputRec* set = m_design.GetCurrentLayerSet())
        set->ShowTextOnly(kind);
    SetModified();
}

bool CEditSession::IsOnlyComponentText(int32_t kind) const
{
    const COutputRec* set = m_design.GetCurrentLayerSet();
    if (set == nullptr)
        return kind == COutputRec::textNone;
    if (kind == COutputRec::textNone)
        return !set->IsTextReference() && !set->IsTextType() && !set->IsTextShape();
    return set->GetTextMode() == kind && set->IsTextShown(kind);
}

int32_t CEditSession::GetCurrentNetIndex() const
{
    return m_design.GetNets().GetCurrentIndex();
}

int32_t CEditSession::GetSelectedCount() const
{
    int32_t count = m_design.GetLines().GetSelectedCount() + m_design.GetNets().GetSelectedCount() +
                    m_design.GetComponents().GetSelectedCount() +
                    m_design.GetTexts().GetSelectedCount();
    for (const auto& plane : m_design.GetPlanes())
        count += plane->IsSelected() ? 1 : 0;
    return count;
}

int32_t CEditSession::SelectAll(bool select)
{
    const int32_t linesBefore = m_design.GetLines().GetSelectedCount();
    int32_t changed = std::abs(m_design.GetLines().SelectAll(select) - linesBefore);
    changed += m_design.GetComponents().SelectAll(select);
    changed += m_design.GetNets().SelectAll(select);
    const int32_t textsBefore = m_design.GetTexts().GetSelectedCount();
    m_design.GetTexts().SelectAll(select);
    changed += std::abs(m_design.GetTexts().GetSelectedCount() - textsBefore);
    for (const auto& plane : m_design.GetPlanes()) {
        if (plane->IsSelected() != select) {
            plane->SetSelected(select);
            ++changed;
        }
    }
    return changed;
}

void CEditSession::UpdateLayerMask()
{
    m_edit.layerMask = 0;
    const COutputRec* set = m_design.GetCurrentLayerSet();
    if (!set)
        return;
    for (int32_t i = 0; i < set->GetLayerCount(); ++i) {
        const int32_t layer = set->GetLayer(i);
        if (layer >= 1 && layer < LAYER_COUNT && m_design.GetLayers().IsVisible(layer))
            m_edit.layerMask |= 1u << (layer - 1);
    }
}

// ---- Tool mode ----------------------------------------------------------------------------------

void CEditSession::SetMode(uint32_t mode)
{
    // The board view's End Mode usually starts the idle tool itself; that nested start must not
    // send End Mode again while the view is still ending the first.
    if (!m_edit.endingMode && GetSelectedCount() > 0) {
        m_edit.endingMode = true;
        m_view.Windows().EndMode();
        m_edit.endingMode = false;
    }
    SelectAll(false);
    StartModeWithNothingSelected(mode);
}

void CEditSession::StartModeWithNothingSelected(uint32_t mode)
{
    m_design.GetComponents().ClearCurrent();
    SetAction(CEditState::actionWaiting);
    m_edit.mode = mode;
    if (m_edit.planeIndex >= 0 && !IsPlaneCommand(mode))
        m_edit.planeIndex -= CEditState::planeIndexPark;
    if (m_hooks.isShapeDocument() || mode == ID_COMPONENTS_REPLACE_PADS)
        m_edit.defaultPadStackKind = CEditState::kindShapePad;
    else if (mode == ID_TRACKS_ADD_OR_REMOVE_VIA)
        m_edit.defaultPadStackKind = CEditState::kindVia;
    else
        m_edit.defaultPadStackKind = CEditState::kindPad;
    m_edit.rubberBandVisible = false;
    SelectGridForMode();
    m_hooks.retitle();
    m_windows.RefreshToolbar();
    m_view.Windows().UpdateAllViews();
}

bool CEditSession::SelectGridForMode()
{
    int32_t grid = CGridArr::gridDefault;
    if (IsComponentGridMode(m_edit.mode))
        grid = CGridArr::gridBlock;
    else if (m_edit.mode == ID_COMPONENTS_MOVE_ROTATE_TEXT || m_edit.mode == ID_BOARD_EDIT_TEXT ||
             m_edit.mode == ID_BOARD_PLACE_TEXT)
        grid = CGridArr::gridText;
    if (grid == m_design.GetGridSettings().GetCurrentIndex())
        return false;
    m_design.GetGridSettings().SetCurrentIndex(grid);
    return true;
}

// ---- Selection filter and rectangle selection ---------------------------------------------------

void CEditSession::SetSelectionFilter(uint32_t bits, bool on)
{
    if (bits < 0x100)
        m_settings.selectionFilter &= ~0xFFu;
    m_settings.selectionFilter &= ~bits;
    if (on)
        m_settings.selectionFilter |= bits;
    // One of the two object kinds is always selectable.
    if (!on && bits == CDesignSettings::filterElectrical)
        m_settings.selectionFilter |= CDesignSettings::filterNonElectrical;
    if (!on && bits == CDesignSettings::filterNonElectrical)
        m_settings.selectionFilter |= CDesignSettings::filterElectrical;
    m_edit.cursor = SnapToGrid(m_edit.rawCursor);
    m_edit.previousCursor = m_edit.cursor;
}

void CEditSession::ToggleSelectionFilter(uint32_t bits)
{
    SetSelectionFilter(bits, !IsSelectionFilter(bits));
    SetModified();
}

bool CEditSession::SelectInRect(bool add)
{
    if (!add)
        SelectAll(false);
    const int32_t mode = add ? bandAdd : bandSelect;
    m_edit.rubberBand.NormalizeRect();
    const CRect& rect = m_edit.rubberBand;
    const uint32_t mask = m_edit.workLayerOnly ? LayerBit(GetWorkLayer()) : m_edit.layerMask;
    // Pads and vias count on every layer unless the work layer alone may be taken; then on it
    // when their padstack reaches it.
    const uint32_t padMask = m_edit.workLayerOnly ? mask : LAYER_MASK_ALL;

    bool selected = false;
    if (IsSelectionFilter(CDesignSettings::filterNonElectrical)) {
        if (IsSelectionFilter(CDesignSettings::filterPoints))
            selected |= m_design.GetLines().SelectVerticesInRect(rect, mode, mask);
        else if (IsSelectionFilter(CDesignSettings::filterLines))
            selected |= m_design.GetLines().SelectSegmentsInRect(rect, mode, mask);
    }
    if (IsSelectionFilter(CDesignSettings::filterElectrical)) {
        if (IsSelectionFilter(CDesignSettings::filterPads))
            selected |= m_design.GetNets().SelectPadsInRect(rect, mode, padMask);
        if (IsSelectionFilter(CDesignSettings::filterPoints))
            selected |= m_design.GetNets().SelectTrackVerticesInRect(rect, mode, mask);
        else if (IsSelectionFilter(CDesignSettings::filterLines))
            selected |= m_design.GetNets().SelectRunsInRect(rect, mode, mask);
        else if (IsSelectionFilter(CDesignSettings::filterNets))
            selected |= m_design.GetNets().SelectNetsWithPinsInRect(rect, mode, mask);
        if (IsSelectionFilter(CDesignSettings::filterComponents))
            selected |= m_design.GetComponents().SelectInRect(rect, mode, mask);
        if (IsSelectionFilter(CDesignSettings::filterVias))
            selected |= m_design.GetNets().SelectViasInRect(rect, mode, padMask);
    }
    if (IsSelectionFilter(CDesignSettings::filterTexts)) {
        const int32_t before = m_design.GetTexts().GetSelectedCount();
        m_design.GetTexts().SelectInRect(rect, mode, mask);
        selected |= m_design.GetTexts().GetSelectedCount() != before;
    }
    if (IsSelectionFilter(CDesignSettings::filterPlanes)) {
        for (const auto& plane : m_design.GetPlanes()) {
            selected |=
                plane->SelectInRect(rect.left, rect.top, rect.right, rect.bottom, mode, mask) != 0;
        }
    }
    return selected;
}

// ---- Rubber band --------------------------------------------------------------------------------

void CEditSession::StartRubberBand()
{
    m_edit.rubberBandStart = m_edit.mode == ID_EDIT_SELECT_MODE ? m_edit.rawCursor : m_edit.cursor;
    m_edit.rubberBand = CRect(m_edit.rubberBandStart.x, m_edit.rubberBandStart.y,
                              m_edit.rubberBandStart.x, m_edit.rubberBandStart.y);
}

void CEditSession::ClampRubberBandToBoard()
{
    m_edit.rubberBandVisible = true;
    if (m_edit.mode == ID_PLANES_ADD_RECTANGLE) {
        m_edit.rubberBandStart =
            CPoint(ClampToBoard(m_edit.rubberBandStart.x, m_settings.boardWidth),
                   ClampToBoard(m_edit.rubberBandStart.y, m_settings.boardHeight));
        m_edit.cursor = CPoint(ClampToBoard(m_edit.cursor.x, m_settings.boardWidth),
                               ClampToBoard(m_edit.cursor.y, m_settings.boardHeight));
    }
    const CPoint end = m_edit.mode == ID_EDIT_SELECT_MODE ? m_edit.rawCursor : m_edit.cursor;
    m_edit.rubberBand = CRect(m_edit.rubberBandStart.x, m_edit.rubberBandStart.y, end.x, end.y);
    m_history.SetSnapshotNeeded();
}

bool CEditSession::NormaliseRubberBand()
{
    m_edit.previousCursor = m_edit.cursor;
    m_edit.anchor = m_edit.cursor;
    m_edit.rubberBand.NormalizeRect();
    return m_edit.rubberBand.Width() >= minSelectBand &&
           m_edit.rubberBand.Height() >= minSelectBand;
}

void CEditSession::OffsetRubberBand()
{
    const int64_t dx = int64_t(m_edit.cursor.x) - m_edit.previousCursor.x;
    const int64_t dy = int64_t(m_edit.cursor.y) - m_edit.previousCursor.y;
    m_edit.rubberBand = CRect(
        SaturateToInt(m_edit.rubberBand.left + dx), SaturateToInt(m_edit.rubberBand.top + dy),
        SaturateToInt(m_edit.rubberBand.right + dx), SaturateToInt(m_edit.rubberBand.bottom + dy));
}

bool CEditSession::IsCursorInRubberBand() const
{
    return m_edit.rubberBand.PtInRect(m_edit.rawCursor);
}

bool CEditSession::BoardSizeFromRubberBand()
{
    NormaliseRubberBand();
    const CRect band = m_edit.rubberBand;
    const bool applied = band.Width() > minBoardBand && band.Height() > minBoardBand;
    if (applied) {
        const int32_t dx = SaturateToInt(-int64_t(band.left));
        const int32_t dy = SaturateToInt(-int64_t(band.top));
        m_design.GetLines().OffsetAll(dx, dy);
        m_design.GetNets().MoveAll(dx, dy);
        m_design.GetComponents().MoveAll(dx, dy);
        for (const auto& plane : m_design.GetPlanes())
            plane->Move(dx, dy);
        // The texts belong to the board as much as the lines drawn on it.
        for (int32_t i = 0; i < m_design.GetTexts().GetCount(); ++i)
            m_design.GetTexts().GetText(i)->Offset(dx, dy);
        const int32_t width = SaturateToInt(band.Width());
        const int32_t height = SaturateToInt(band.Height());
        m_edit.rubberBand = CRect(0, 0, width, height);
        m_design.SetBoardOutlineRect(0, 0, width, height);
        SetModified();
        m_view.ZoomAll();
    }
    m_edit.rubberBandVisible = false;
    return applied;
}

void CEditSession::UpdateRubberBand(bool square)
{
    ClampRubberBandToBoard();
    if (!square)
        return;
    const int64_t dx = int64_t(m_edit.rubberBand.right) - m_edit.rubberBand.left;
    const int64_t dy = int64_t(m_edit.rubberBand.bottom) - m_edit.rubberBand.top;
    if (std::abs(dx) <= std::abs(dy))
        m_edit.rubberBand.right = SaturateToInt(m_edit.rubberBand.left + std::abs(dy));
    else
        m_edit.rubberBand.bottom = SaturateToInt(m_edit.rubberBand.top + std::abs(dx));
}

CRect CEditSession::TakeRubberBand()
{
    NormaliseRubberBand();
    m_edit.rubberBandVisible = false;
    return m_edit.rubberBand;
}

bool CEditSession::AddCircleFromRubberBand()
{
    NormaliseRubberBand();
    m_edit.rubberBandVisible = false;
    const bool copper = IsCopperLayer(GetWorkLayer());
    if (m_edit.rubberBand.Width() < minFigureBand || m_edit.rubberBand.Height() < minFigureBand ||
        !copper) {
        SetAction(actionWaiting);
        return false;
    }
    m_design.GetNets().SelectAll(false);
    if (!m_design.GetNets().AddEllipseTrack(m_edit.rubberBand.left, m_edit.rubberBand.top,
                                            m_edit.rubberBand.right, m_edit.rubberBand.bottom)) {
        SetAction(actionWaiting);
        return false;
    }
    m_editing.CenterSelectionOnGrid();
    SetAction(actionDragging);
    return true;
}

bool CEditSession::AddRectangleFromRubberBand()
{
    NormaliseRubberBand();
    m_edit.rubberBandVisible = false;
    if (m_edit.rubberBand.Width() < minFigureBand || m_edit.rubberBand.Height() < minFigureBand) {
        SetAction(actionWaiting);
        return false;
    }
    const CRect& band = m_edit.rubberBand;
    bool added = false;
    if (IsCopperLayer(GetWorkLayer())) {
        m_design.GetNets().SelectAll(false);
        added = m_design.GetNets().AddRectangleTrack(band.left, band.top, band.right, band.bottom);
    } else {
        m_design.GetLines().SelectAll(false);
        added = m_design.GetLines().GetLineTool().AddRectangle(band, GetWorkLayer());
    }
    if (!added) {
        SetAction(actionWaiting);
        return false;
    }
    m_editing.CenterSelectionOnGrid();
    // Set directly: the caller took the snapshot of the state before the figure.
    m_edit.action = actionDragging;
    return true;
}

bool CEditSession::CancelRubberBand()
{
    NormaliseRubberBand();
    m_edit.rubberBandVisible = false;
    SetAction(CEditState::actionWaiting);
    return false;
}

// ---- Work layer ---------------------------------------------------------------------------------

bool CEditSession::SetWorkLayer(int32_t layer)
{
    if (layer < 0 || layer >= LAYER_COUNT || (layer > 0 && !m_design.GetLayers().IsEnabled(layer)))
        return false;
    COutput* job = m_design.GetDisplaySets().GetJob(m_design.GetDisplaySets().GetCurrent());
    if (!job || job->GetItemCount() == 0)
        return false;
    // The work layer already, which the board draws over the others: nothing changes.
    if (layer > 0 && layer == GetWorkLayer())
        return true;

    // Changing a stored layer set would change it for good: the change goes into the first set,
    // which stands for the user's own arrangement.
    if (job->GetCurrentItem() != 0) {
        COutputRec& custom = *job->GetItem(0);
        custom.Assign(*job->GetCurrentRec());
        custom.SetDisplayName(customLayerSetName);
        job->SetCurrentItem(0);
    }
    COutputRec& set = *job->GetCurrentRec();
    std::array<uint8_t, layerSetSlots> layers = set.GetLayerBytes();
    const int32_t count = set.GetLayerCount();
    if (layer > 0) {
        const auto end = layers.begin() + count;
        const auto found = std::find(layers.begin(), end, uint8_t(layer));
        if (found != end)
            std::rotate(found, found + 1, end);
        else if (count < layerSetSlots)
            layers[size_t(count)] = uint8_t(layer);
    } else {
        layers.fill(0);
        set.SetTextReference(false);
        set.SetTextType(false);
        set.SetTextShape(false);
    }
    set.SetLayerBytes(layers);

    ApplyWorkLayerToTool(layer);
    m_windows.FillLayerCombo();
    m_windows.FillPenCombo();
    SetModified();
    return true;
}

void CEditSession::SelectLayerByKey(int32_t digit, bool shift, bool ctrl)
{
    const int32_t layer = digit + (shift ? 10 : 0) + (ctrl ? 20 : 0);
    if (layer > 0) {
        SetWorkLayer(layer);
        return;
    }
    if (layer == 0 && SetWorkLayer(0) &&
        m_design.GetViewFlag(CDesignSettings::viewHolesAlwaysVisible))
        SetWorkLayer(LAYER_DRILL);
}

void CEditSession::ApplyWorkLayerToTool(int32_t layer)
{
    // The drill layer is only ever shown on top; it never becomes the layer tools draw on.
    if (layer == LAYER_DRILL)
        return;
    COutputRec* set = m_design.GetCurrentLayerSet();
    const bool copper = IsCopperLayer(layer);
    const bool dragging = IsAction(CEditState::actionDragging);
    if (IsTrackTool(m_edit.mode)) {
        if (dragging) {
            if (copper) {
                m_design.GetNets().GetCurrentNet()->SetRunLayer(layer);
                if (set)
                    set->SetRefLayer(layer);
            }
            return;
        }
        if (!copper)
            SetMode(m_edit.mode == ID_TRACKS_EDIT ? ID_LINES_EDIT : ID_LINES_ADD);
    } else if (IsLineTool(m_edit.mode)) {
        if (dragging) {
            if (!copper) {
                m_design.GetLines().SetCurrentPolylineLayer(layer);
                if (set)
                    set->SetRefLayer(layer);
            }
            return;
        }
        if (copper)
            SetMode(m_edit.mode == ID_LINES_EDIT ? ID_TRACKS_EDIT : ID_TRACKS_ADD);
    }
    if (!copper)
        m_design.GetNets().SelectAll(false);
    if (set)
        set->SetRefLayer(layer);
    m_design.GetLayers().SetRefLayer(layer);
    SetModified();
}

// ---- Cursor -------------------------------------------------------------------------------------

CPoint CEditSession::SnapToGrid(CPoint point) const
{
    return m_design.GetGridSettings().SnapToPoints(point.x, point.y, m_settings.userOffset.x,
                                                   m_settings.userOffset.y);
}

bool CEditSession::CursorFromPixel(int32_t px, int32_t py)
{
    m_edit.rawCursor = CPoint(SaturateToInt(int64_t(px) * m_settings.scale - m_settings.offset.x),
                              SaturateToInt(int64_t(py) * m_settings.scale - m_settings.offset.y));
    m_edit.previousCursor = m_edit.cursor;
    m_edit.cursor = SnapToGrid(m_edit.rawCursor);
    return m_edit.cursor != m_edit.previousCursor;
}

bool CEditSession::MoveCursorByKey(uint32_t key)
{
    int32_t sx = 0;
    int32_t sy = 0;
    switch (key) {
    case VK_LEFT:
        sx = -1;
        break;
    case VK_RIGHT:
        sx = 1;
        break;
    case VK_UP:
        sy = -1;
        break;
    case VK_DOWN:
        sy = 1;
        break;
    case VK_HOME:
        sx = -1;
        sy = -1;
        break;
    case VK_PRIOR:
        sx = 1;
        sy = -1;
        break;
    case VK_NEXT:
        sx = 1;
        sy = 1;
        break;
    case VK_END:
        sx = -1;
        sy = 1;
        break;
    default:
        return false;
    }
    const CSize step = m_design.GetGridSettings().GetCurrentSnap();
    const CPoint moved(SaturateToInt(m_edit.cursor.x + int64_t(sx) * step.cx),
                       SaturateToInt(m_edit.cursor.y + int64_t(sy) * step.cy));
    const CPoint snapped = SnapToGrid(moved);
    if (snapped == m_edit.cursor)
        return false;
    // A drag follows the keys as it follows the mouse: by the cursor's displacement.
    m_edit.previousCursor = m_edit.cursor;
    m_edit.cursor = snapped;
    return true;
}

bool CEditSession::SnapCursor(bool keepSelection)
{
    if (!keepSelection)
        SelectAll(false);
    const CPoint before = m_edit.cursor;
    m_edit.cursor = SnapToGrid(m_edit.cursor);
    SetAnchor();
    if (m_edit.mode == ID_SETTINGS_SET_GRID_OFFSET) {
        CPoint point = m_edit.rawCursor;
        const bool hit =
            IsCopperLayer(GetWorkLayer())
                ? m_design.GetNets().FindNetAt(point, snapProbeMode, m_edit.layerMask) >= 0
                : m_design.GetLines().HitTest(point, snapProbeMode, m_edit.layerMask) >= 0;
        if (hit)
            m_edit.cursor = point;
        return hit;
    }
    m_edit.cursor = before;
    SetAnchor();
    return false;
}

// ---- What the tools ask of the design -----------------------------------------------------------

void CEditSession::ResetCurrentComponent()
{
    m_currentComponent = CComponent();
    m_currentComponent.SetReference("");
    m_currentComponent.SetType("");
    m_currentComponent.SetShapeIndex(0);
}

bool CEditSession::IsShapeDocument() const
{
    return m_hooks.isShapeDocument();
}

bool CEditSession::HasLibraryShapes() const
{
    const CShapeLibArray* libraries = CDocumentFrame::Get().GetLibrarySet();
    for (int32_t i = 0; libraries != nullptr && i < libraries->GetCount(); ++i) {
        if (const CShapeLib* library = libraries->GetLib(i); library && library->GetCount() > 0)
            return true;
    }
    return false;
}

std::string CEditSession::GetShapeLibraryFile() const
{
    return CDocumentFrame::Get().GetLibraryFile();
}

CGridArr& CEditSession::GetGridSettings()
{
    return m_design.GetGridSettings();
}

void CEditSession::SendViewCommand(uint32_t id)
{
    m_windows.SendViewCommand(id);
}

void CEditSession::MoveSelection(int32_t dx, int32_t dy)
{
    m_editing.MoveSelection(dx, dy);
}

void CEditSession::RotateSelection(int32_t angle)
{
    m_editing.RotateSelection(angle);
}

void CEditSession::RebuildNetPins()
{
    m_design.RebuildNetPins();
}

void CEditSession::UpdateAllViews()
{
    m_windows.UpdateAllViews();
}

void CEditSession::ShowBottomPane(bool shown)
{
    m_windows.ShowBottomPane(shown);
}

void CEditSession::SetStatusText(const std::string& text)
{
    m_windows.SetStatusText(text);
}

CNetArray& CEditSession::GetNets()
{
    return m_design.GetNets();
}

CComponentArray& CEditSession::GetComponents()
{
    return m_design.GetComponents();
}

CDrawRecArray& CEditSession::GetLines()
{
    return m_design.GetLines();
}

CShapeLib& CEditSession::GetEditableShapeCache()
{
    return m_design.GetEditableShapeCache();
}

void CEditSession::SaveUndoState()
{
    m_history.SaveUndoState();
}

void CEditSession::SaveUndoStateUnlessAbandoned()
{
    m_history.BeginTentativeEdit();
}

void CEditSession::AbandonRun()
{
    m_history.AbandonTentativeEdit();
}

void CEditSession::KeepRun()
{
    m_history.KeepTentativeEdit();
}

void CEditSession::PushUndoForSelection()
{
    m_history.PushUndoForSelection();
}

void CEditSession::SetModified()
{
    m_hooks.modified();
}

void CEditSession::RedrawBoardViews()
{
    m_windows.RedrawBoardViews();
}

void CEditSession::RepaintBoardViews()
{
    m_windows.RepaintBoardViews();
}

const CWevraFont& CEditSession::GetFont() const
{
    return m_design.GetFont();
}

std::vector<std::string> CEditSession::GetLayerNames() const
{
    std::vector<std::string> names;
    names.reserve(LAYER_COUNT);
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        names.push_back(m_design.GetLayers().GetLayerName(layer));
    return names;
}
