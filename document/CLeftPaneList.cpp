#include "document/CLeftPaneList.h"

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "framework/TextTrim.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"

namespace {

constexpr int32_t maxPickScale = 400;

// A column of a ToDo line, cut where the line's layout puts it.
std::string Column(const std::string& line, size_t first, size_t length)
{
    return first < line.size() ? TrimBlanks(line.substr(first, length)) : std::string();
}

} // namespace

int32_t CLeftPaneList::ChooseMode()
{
    const bool trackTool = m_session.IsMode(ID_TRACKS_EDIT) || m_session.IsMode(ID_TRACKS_ADD);
    m_mode = trackTool ? modeNets : modeComponents;
    return m_mode;
}

int32_t CLeftPaneList::GetRowCount() const
{
    if (m_mode == modeNets)
        return int32_t(m_design.GetNets().GetToDoList().size());
    return m_design.GetComponents().GetCount();
}

int32_t CLeftPaneList::GetScrollRows() const
{
    return GetRowCount() + (m_mode == modeNets ? 2 : 1);
}

bool CLeftPaneList::HasRows() const
{
    if (m_mode == modeNets)
        return !m_design.GetNets().GetToDoList().empty();
    return m_design.GetShapeCache().GetCount() > 0 && m_design.GetComponents().GetCount() > 0;
}

bool CLeftPaneList::IsComponentRow(int32_t row) const
{
    return m_mode == modeComponents && m_design.GetComponents().IsIndex(row);
}

bool CLeftPaneList::MeetsBoard(int32_t component) const
{
    const CRect board(0, 0, m_design.GetBoardWidth(), m_design.GetBoardHeight());
    return m_design.GetComponents().IntersectsRect(component, board);
}

CLeftPaneList::ComponentRow CLeftPaneList::GetComponentRow(int32_t row) const
{
    if (!m_design.GetComponents().IsIndex(row))
        return {};
    const CComponentArray& components = m_design.GetComponents();
    return {components.GetReference(row), components.GetType(row), components.GetShapeName(row),
            !MeetsBoard(row), components.TestFlag(row, ComponentFlags::showRatsnest)};
}

CLeftPaneList::NetRow CLeftPaneList::GetNetRow(int32_t row) const
{
    const std::vector<std::string>& lines = m_design.GetNets().GetToDoList();
    if (row < 0 || row >= int32_t(lines.size()))
        return {};
    const std::string& line = lines[size_t(row)];
    return {Column(line, 0, 4), Column(line, 5, 11), Column(line, 16, 5)};
}

std::string CLeftPaneList::GetTotalText() const
{
    return "Total: " + std::to_string(m_design.GetNets().GetToDoTotal());
}

void CLeftPaneList::SelectAlone(int32_t component)
{
    m_session.DeselectAll();
    m_design.GetComponents().Select(component, true);
    m_session.SetCurrentComponent(component);
}

void CLeftPaneList::PickRow(int32_t row)
{
    if (m_mode == modeNets) {
        m_design.GetNets().ShowToDoNet(row);
        return;
    }
    if (!IsComponentRow(row) || !m_view.IsLeftPaneShown() ||
        !m_session.IsMode(ID_COMPONENTS_MOVE_ROTATE))
        return;
    SelectAlone(row);
    m_session.SetAction(MeetsBoard(row) ? CEditState::actionWaiting
                                        : CEditState::actionMoveFromPane);
    m_windows.RedrawBoardViews();
}

void CLeftPaneList::CentreOnComponent(int32_t row)
{
    if (!IsComponentRow(row) || !m_session.IsMode(ID_COMPONENTS_MOVE_ROTATE))
        return;
    m_session.SetCursor(m_design.GetComponents().GetPosition(row));
    if (m_view.GetScale() > maxPickScale)
        m_view.SetScale(maxPickScale);
    m_view.CenterOnCursor();
    m_windows.RedrawBoardViews();
}

void CLeftPaneList::StartMoveFromPane(int32_t row)
{
    if (!IsComponentRow(row))
        return;
    m_session.SetMode(ID_COMPONENTS_MOVE_ROTATE);
    SelectAlone(row);
    m_session.SetAction(CEditState::actionMoveFromPane);
    m_windows.RedrawBoardViews();
}

bool CLeftPaneList::IsRatsnestShown(int32_t row) const
{
    return IsComponentRow(row) &&
           m_design.GetComponents().TestFlag(row, ComponentFlags::showRatsnest);
}

bool CLeftPaneList::ToggleRatsnest(int32_t row)
{
    if (!IsComponentRow(row))
        return false;
    m_design.GetComponents().SetFlag(row, ComponentFlags::showRatsnest, !IsRatsnestShown(row));
    m_windows.RedrawBoardViews();
    return true;
}
