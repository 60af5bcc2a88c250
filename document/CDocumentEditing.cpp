#include "document/CDocumentEditing.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentViews.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CFieldRange.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CTextArray.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr int32_t maxSnapRange = 4;
constexpr int32_t rotateQuarter = 90000;

// A copy array fills at most this many places, and each count is checked against it before
// the two are multiplied.
constexpr int64_t maxArrayPlaces = 1000;
// Copies closer together than this (just under 0.1 mm) would lie on one another.
constexpr int32_t minArrayStep = 1006;
// Two inches between the copies, until the user says otherwise.
constexpr int32_t defaultArrayStep = 512000;

constexpr char cancelMoveText[] = "CWevraDoc::CancelMove";
constexpr char templateQuestionText[] = "In Construction! Try?";

bool IsTrackTool(uint32_t mode)
{
    return mode == ID_TRACKS_EDIT || mode == ID_TRACKS_ADD;
}

bool IsLineTool(uint32_t mode)
{
    return mode == ID_LINES_EDIT || mode == ID_LINES_ADD;
}

int32_t Difference(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) - b);
}

std::string AppTitle()
{
    return CResString::Load(IDS_APP_TITLE);
}

} // namespace

// ---- Settings menu ------------------------------------------------------------------------------

void CDocumentEditing::OnSettingsSnapToGrid()
{
    m_design.GetGridSettings().SetCurrentSnapOn(!m_design.GetGridSettings().IsCurrentSnapOn());
    m_modified();
}

bool CDocumentEditing::IsSnapToGridOn() const
{
    return m_design.GetGridSettings().IsCurrentSnapOn();
}

void CDocumentEditing::OnSettingsSnapToGuidelines()
{
    const int32_t range = m_design.GetGridSettings().GetSnapRange();
    ApplySnapRange(range >= maxSnapRange ? 0 : range + 1);
}

void CDocumentEditing::OnSnapToGuidesDecrement()
{
    const int32_t range = m_design.GetGridSettings().GetSnapRange();
    if (range > 0)
        ApplySnapRange(range - 1);
}

void CDocumentEditing::OnSnapToGuidesIncrement()
{
    const int32_t range = m_design.GetGridSettings().GetSnapRange();
    if (range < maxSnapRange)
        ApplySnapRange(range + 1);
}

void CDocumentEditing::ApplySnapRange(int32_t range)
{
    m_design.GetGridSettings().SetSnapRange(range);
    if (range >= 1) {
        const CNet& net = *m_design.GetNets().GetCurrentNet();
        std::vector<CPoint> pins;
        pins.reserve(size_t(net.GetPinCount()));
        for (int32_t p = 0; p < net.GetPinCount(); ++p)
            pins.emplace_back(net.GetPin(p).x, net.GetPin(p).y);
        m_design.GetGridSettings().CollectSnapPoints(pins);
    } else {
        m_design.GetGridSettings().ClearSnapPoints();
    }
    m_view.Windows().UpdateAllViews();
    m_modified();
}

bool CDocumentEditing::IsSnapToGuidelinesOn() const
{
    return m_design.GetGridSettings().GetSnapRange() >= 1;
}

std::string CDocumentEditing::GetSnapToGuidelinesText() const
{
    return CResString::LoadPart(ID_SETTINGS_SNAP_TO_GUIDELINES) + " " +
           CNumberText::FormatInt(m_design.GetGridSettings().GetSnapRange()) + "\t[ ]";
}

void CDocumentEditing::OnBoardImportFromTemplate()
{
    if (CServices::Messages().MessageBox(templateQuestionText, AppTitle(), MB_OKCANCEL) != IDOK)
        return;
    if (CDialogService::Get().TemplateImport(m_document) == CDialogService::resultOk)
        m_view.Windows().UpdateAllViews();
}

// ---- Moving and rotating the selection ----------------------------------------------------------

void CDocumentEditing::MoveSelectedItems(int32_t dx, int32_t dy)
{
    m_planes.MoveSelectedPlanes(dx, dy);
    m_design.GetLines().OffsetSelected(dx, dy);
    m_design.GetNets().MoveSelected(dx, dy);
    m_design.GetTexts().MoveSelected(dx, dy);
    // Each component moves with its own move, so that its pins and texts follow.
    if (m_design.GetComponents().GetSelectedCount() > 0) {
        for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i) {
            if (m_design.GetComponents().IsSelected(i))
                m_design.GetComponents().MoveBy(i, dx, dy);
        }
    }
}

void CDocumentEditing::MoveSelection(int32_t dx, int32_t dy)
{
    m_history.PushUndoForSelection();
    MoveSelectedItems(dx, dy);
    m_modified();
}

void CDocumentEditing::MoveSelectionToCursor()
{
    MoveSelection(Difference(m_edit.cursor.x, m_edit.previousCursor.x),
                  Difference(m_edit.cursor.y, m_edit.previousCursor.y));
}

void CDocumentEditing::MoveCurrentComponentToCursor()
{
    if (!m_design.GetComponents().IsIndex(m_edit.currentComponentIndex))
        return;
    const CPoint position = m_design.GetComponents().GetPosition(m_edit.currentComponentIndex);
    MoveSelection(Difference(m_edit.cursor.x, position.x), Difference(m_edit.cursor.y, position.y));
}

void CDocumentEditing::CenterSelectionOnGrid()
{
    bool found = false;
    CRect box;
    const auto take = [&found, &box](CPoint p) {
        if (!found) {
            box = CRect(p.x, p.y, p.x, p.y);
            found = true;
            return;
        }
        box = CRect(std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                    std::max(box.bottom, p.y));
    };
    if (m_design.GetLines().GetSelectedCount() > 0) {
        for (int32_t i = 0; i < m_design.GetLines().GetCount(); ++i) {
            if (m_design.GetLines().IsSelected(i))
                take(m_design.GetLines().GetPoint(i));
        }
    }
    if (m_design.GetNets().GetSelectedCount() > 0) {
        for (int32_t n = 0; n < m_design.GetNets().GetCount(); ++n) {
            const CNet& net = *m_design.GetNets().GetNet(n);
            for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                if (net.IsVertexSelected(v))
                    take(net.GetVertexPoint(v));
            }
        }
    }
    if (!found)
        return;
    const CPoint centre(SaturateToInt(box.left + box.Width() / 2),
                        SaturateToInt(box.top + box.Height() / 2));
    m_edit.previousCursor = centre;
    m_edit.cursor = m_session.SnapToGrid(centre);
    MoveSelection(Difference(m_edit.cursor.x, centre.x), Difference(m_edit.cursor.y, centre.y));
    m_session.SetAnchor();
}

void CDocumentEditing::RotateSelection(int32_t angle)
{
    m_history.PushUndoForSelection();
    const CPoint centre = m_edit.cursor;
    m_design.GetComponents().RotateSelectedAbout(centre.x, centre.y, angle);
    m_design.GetLines().RotateSelected(centre.x, centre.y, angle);
    m_design.GetTexts().RotateSelected(centre.x, centre.y, angle);
    m_design.GetNets().RotateSelected(centre.x, centre.y, angle);
    m_planes.RotateSelectedPlanes(centre.x, centre.y, angle);
    m_modified();
}

void CDocumentEditing::RotateSelection90()
{
    RotateSelection(rotateQuarter);
}

void CDocumentEditing::CancelMove()
{
    if (m_edit.mode != ID_EDIT_SELECT_MODE)
        CServices::Messages().MessageBox(cancelMoveText, AppTitle());
    if (m_edit.action == CEditState::actionDragging)
        MoveSelectedItems(Difference(m_edit.anchor.x, m_edit.cursor.x),
                          Difference(m_edit.anchor.y, m_edit.cursor.y));
    m_session.SetAction(CEditState::actionWaiting);
    m_edit.rubberBandVisible = false;
    // Deselected first: with a selection the idle tool would first end the running one.
    m_session.SelectAll(false);
    m_session.SetMode(ID_VIEW);
}

// ---- Copying and deleting the selection ---------------------------------------------------------

void CDocumentEditing::CopySelectedInPlace()
{
    const bool components = m_design.GetComponents().GetSelectedCount() > 0;
    // Copied tracks stay in their nets, so pads copied with them keep theirs too: a copied
    // block is the same circuit again, not pads of no net under tracks of a net. Pads copied
    // without any track start unconnected.
    m_design.GetComponents().CopySelected(m_design.GetNets().GetSelectedCount() > 0);
    m_design.GetNets().DuplicateSelected();
    m_design.GetLines().DuplicateSelected();
    m_design.GetTexts().CopySelected();
    m_planes.CopySelectedPlanes();
    if (components)
        m_design.GetComponents().RebuildNetPins();
}

bool CDocumentEditing::CopySelection()
{
    m_history.SaveUndoState();
    CopySelectedInPlace();
    m_modified();
    return true;
}

bool CDocumentEditing::DeleteSelectedItems()
{
    m_edit.rubberBandVisible = false;
    if (m_design.GetComponents().GetSelectedCount() > 0) {
        m_design.GetComponents().DeleteSelected();
        m_edit.currentComponentIndex = -1;
    }
    m_design.GetLines().DeleteSelected();
    m_design.GetNets().DeleteSelected();
    m_design.GetTexts().DeleteSelected();
    m_planes.DeleteSelectedPlanes();
    m_session.SelectAll(false);
    // The checks' errors may name the items just deleted.
    m_design.GetNets().ClearErrors();
    m_modified();
    return true;
}

bool CDocumentEditing::CopyArray()
{
    m_edit.rubberBandVisible = false;
    m_session.SetAction(CEditState::actionWaiting);
    std::string xText = CLengthText::FormatLength(m_session.GetUnit(), defaultArrayStep);
    std::string yText = xText;
    std::string columnsText = "2";
    std::string rowsText = "2";
    std::string incrementText = "100";
    if (CDialogService::Get().CopyArray(xText, yText, columnsText, rowsText, incrementText) !=
        CDialogService::resultOk)
        return false;
    // Each count is checked before the two are multiplied; a distance only where it parts
    // copies, which it must not put beyond where a point can lie.
    const int32_t unit = m_session.GetUnit();
    const CFieldRange counts{1, maxArrayPlaces};
    const CFieldRange steps{minArrayStep + 1, FieldRanges::coordinate};
    const std::optional<int32_t> columns = counts.TakeCount(columnsText, "Copy array columns");
    const std::optional<int32_t> rows =
        columns ? counts.TakeCount(rowsText, "Copy array rows") : std::nullopt;
    const std::optional<int32_t> places =
        rows ? CFieldRange{2, maxArrayPlaces}.TakeCount(
                   int64_t(*columns) * *rows,
                   std::to_string(*columns) + " x " + std::to_string(*rows), "Copy array places")
             : std::nullopt;
    const auto step = [&](int32_t count, const std::string& text, const char* axis) {
        return count < 2 ? std::optional<int32_t>(CLengthText::ParseLength(unit, text))
                         : steps.TakeLength(unit, text, std::string("Copy array distance ") + axis);
    };
    const std::optional<int32_t> dx = places ? step(*columns, xText, "x") : std::nullopt;
    const std::optional<int32_t> dy = dx ? step(*rows, yText, "y") : std::nullopt;
    if (!dy)
        return false;

    m_history.SaveUndoState();
    m_design.GetComponents().SetReferenceIncrement(CNumberText::ParseInt(incrementText));
    // The selection walks the grid row by row and leaves a copy at every place but the first,
    // where the items it came from stay.
    CopySelectedInPlace();
    const int32_t rowBack = SaturateToInt(-int64_t(*columns) * *dx);
    for (int32_t r = 0; r < *rows; ++r) {
        for (int32_t c = 0; c < *columns; ++c) {
            if (r == 0 && c == 0)
                continue;
            MoveSelectedItems(*dx, 0);
            CopySelectedInPlace();
        }
        MoveSelectedItems(rowBack, *dy);
    }
    // The last selection has walked past the grid.
    DeleteSelectedItems();
    m_design.GetComponents().SetReferenceIncrement(0);
    return true;
}

// ---- Pens ---------------------------------------------------------------------------------------

void CDocumentEditing::SelectPen(int32_t index)
{
    const bool dragging = m_edit.action == CEditState::actionDragging;
    if (IsCopperLayer(m_session.GetWorkLayer())) {
        const CNet& board = *m_design.GetNets().GetNet(0);
        if (index < 1 || index >= board.GetPenCount())
            return;
        CNet& net = *m_design.GetNets().GetCurrentNet();
        const int32_t pen = net.AddPen(board.GetPenWidth(index));
        if (pen < 1)
            return;
        net.SetCurrentPen(pen);
        if (dragging && IsTrackTool(m_edit.mode))
            net.SetRunPen(pen);
    } else {
        if (index < 1 || index >= m_design.GetLines().GetPenCount())
            return;
        m_design.GetLines().SetCurrentPen(index);
        if (dragging && IsLineTool(m_edit.mode))
            m_design.GetLines().SetCurrentPolylinePen(index);
    }
    m_windows.FillPenCombo();
    m_modified();
}

// ---- Deleting -----------------------------------------------------------------------------------

bool CDocumentEditing::DeleteSelection()
{
    m_edit.currentComponentIndex = -1;
    m_history.SaveUndoState();
    if (m_design.GetNets().GetSelectedCount() > 0)
        m_design.GetNets().DeleteSelected();
    if (m_design.GetLines().GetSelectedCount() > 0)
        m_design.GetLines().DeleteSelected();
    if (m_design.GetComponents().GetSelectedCount() > 0)
        m_design.GetComponents().DeleteSelected();
    if (m_design.GetTexts().GetSelectedCount() > 0)
        m_design.GetTexts().DeleteSelected();
    for (int32_t i = int32_t(m_design.GetPlanes().size()) - 1; i >= 0; --i) {
        if (m_design.GetPlanes()[size_t(i)]->IsSelected())
            m_planes.DeletePlane(i);
    }
    m_modified();
    m_session.SelectAll(false);
    return true;
}
