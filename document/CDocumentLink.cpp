#include "document/CDocumentLink.h"

#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CUndoSnapshot.h"
#include "document/CViewState.h"
#include "model/LayerIds.h"

namespace {

// Pads of components whose pin is on no net, while a netlist gives the board its nets.
constexpr COLORREF unconnectedPadColor = RGB(150, 150, 150);

} // namespace

// ---- The design's own data ----------------------------------------------------------------------

CNetArray& CDocumentLink::GetNets()
{
    return m_design.GetNets();
}

const CNetArray& CDocumentLink::GetNets() const
{
    return m_design.GetNets();
}

CComponentArray& CDocumentLink::GetComponents()
{
    return m_design.GetComponents();
}

const std::vector<std::unique_ptr<CPour>>& CDocumentLink::GetPlanes() const
{
    return m_design.GetPlanes();
}

const CShapeLib& CDocumentLink::GetShapeCache() const
{
    return m_design.GetShapeCache();
}

CShapeLib& CDocumentLink::GetEditableShapeCache()
{
    return m_design.GetEditableShapeCache();
}

CGridArr& CDocumentLink::GetGridSettings()
{
    return m_design.GetGridSettings();
}

const CWevraFont& CDocumentLink::GetFont() const
{
    return m_design.GetFont();
}

const CPadStackArray& CDocumentLink::GetPadStacks() const
{
    return m_design.GetPadStacks();
}

int32_t CDocumentLink::GetBoardWidth() const
{
    return m_design.GetBoardWidth();
}

int32_t CDocumentLink::GetBoardHeight() const
{
    return m_design.GetBoardHeight();
}

bool CDocumentLink::IsLayerEnabled(int32_t layer) const
{
    return m_design.IsLayerEnabled(layer);
}

int32_t CDocumentLink::GetNetCount() const
{
    return m_design.GetNetCount();
}

std::string CDocumentLink::GetComponentReference(int32_t component) const
{
    return m_design.GetComponentReference(component);
}

int32_t CDocumentLink::GetComponentCount() const
{
    return m_design.GetComponentCount();
}

std::vector<int32_t> CDocumentLink::GetComponentPadNets(int32_t component) const
{
    return m_design.GetComponentPadNets(component);
}

void CDocumentLink::SetPadNet(int32_t component, int32_t pad, int32_t net)
{
    m_design.SetPadNet(component, pad, net);
}

void CDocumentLink::ResetPadNets()
{
    m_design.ResetPadNets();
}

void CDocumentLink::RenumberNets(const std::vector<int32_t>& newIndex)
{
    m_design.RenumberNets(newIndex);
}

void CDocumentLink::RecalcComponentBoxes()
{
    m_design.RecalcComponentBoxes();
}

void CDocumentLink::RebuildNetPins()
{
    m_design.RebuildNetPins();
}

void CDocumentLink::SetNetlistPath(const std::string& path)
{
    m_design.SetNetlistPath(path);
}

void CDocumentLink::SetNetlistTime(int64_t seconds)
{
    m_design.SetNetlistTime(seconds);
}

bool CDocumentLink::IsMode45() const
{
    return m_design.Settings().mode45 != 0;
}

bool CDocumentLink::IsAutoRatsnest() const
{
    return m_design.Settings().ratsnestActive != 0;
}

int32_t CDocumentLink::GetUnit() const
{
    return int32_t(m_design.Settings().unit);
}

CPoint CDocumentLink::GetOrigin() const
{
    return m_design.Settings().userOffset;
}

int32_t CDocumentLink::GetPadInfoMode() const
{
    return int32_t(m_design.Settings().pinInfoMode);
}

void CDocumentLink::SetModified()
{
    // The nets change their pins and copper without a snapshot of their own.
    m_hooks.copperModified();
}

// ---- The editing session ------------------------------------------------------------------------

uint32_t CDocumentLink::GetMode() const
{
    return m_session.GetMode();
}

void CDocumentLink::SetMode(uint32_t mode)
{
    m_session.SetMode(mode);
}

uint32_t CDocumentLink::GetAction() const
{
    return m_session.GetAction();
}

void CDocumentLink::SetAction(uint32_t action)
{
    m_session.SetAction(action);
}

int32_t CDocumentLink::GetWorkLayer() const
{
    return m_session.GetWorkLayer();
}

CPoint CDocumentLink::GetCursor() const
{
    return m_session.GetCursor();
}

void CDocumentLink::SetCursor(CPoint point)
{
    m_session.SetCursor(point);
}

int32_t CDocumentLink::GetComponentTextMode() const
{
    return m_session.GetComponentTextMode();
}

int32_t CDocumentLink::GetCurrentNet() const
{
    return m_session.GetCurrentNetIndex();
}

void CDocumentLink::SetCurrentComponent(int32_t component)
{
    m_session.SetCurrentComponent(component);
}

int32_t CDocumentLink::SelectAll(bool select)
{
    return m_session.SelectAll(select);
}

void CDocumentLink::DeselectAll()
{
    m_session.DeselectAll();
}

void CDocumentLink::SaveUndoState()
{
    // An import changes the shape cache, the padstacks and the netlist the design names besides
    // the collections: one Undo brings them all back as they were.
    CDocumentHistory& history = m_history;
    m_importMark = history.GetUndoMark();
    m_modifiedBeforeImport = m_hooks.isModified();
    history.SetSnapshotNeeded();
    history.PushUndo(CUndoSnapshot::maskAll | CUndoSnapshot::maskShapeCache |
                     CUndoSnapshot::maskNetlist);
}

void CDocumentLink::TakeBackUndoState()
{
    if (m_history.TakeBackSince(m_importMark))
        m_hooks.setModifiedFlag(m_modifiedBeforeImport);
}

// ---- The painting -------------------------------------------------------------------------------

int32_t CDocumentLink::GetScale() const
{
    return m_view.GetScale();
}

CPoint CDocumentLink::GetViewOffset() const
{
    return m_view.GetViewOffset();
}

COLORREF CDocumentLink::LayerColor(int32_t layer, int32_t colorSet) const
{
    return m_paint.LayerColor(layer, colorSet);
}

CPen CDocumentLink::GetLayerPen(int32_t layer, int32_t colorSet) const
{
    return m_paint.GetLayerPen(layer, colorSet);
}

CBrush CDocumentLink::GetLayerBrush(int32_t layer, int32_t colorSet) const
{
    return m_paint.GetLayerBrush(layer, colorSet);
}

CPen CDocumentLink::GetComponentTextPen(bool bottomSide, bool highlight) const
{
    return m_paint.GetComponentTextPen(bottomSide, highlight);
}

CPen CDocumentLink::GetUnconnectedPadPen() const
{
    return CPen(CPen::Style::Solid, 1, unconnectedPadColor);
}

CBrush CDocumentLink::GetUnconnectedPadBrush() const
{
    return CBrush(unconnectedPadColor);
}

CPen CDocumentLink::GetHolePen() const
{
    return GetLayerPen(LAYER_DRILL, normalSet);
}

CBrush CDocumentLink::GetHoleBrush() const
{
    return GetLayerBrush(LAYER_DRILL, normalSet);
}

bool CDocumentLink::ShowsClearanceHalo() const
{
    return CDocumentFrame::Get().ShowsClearanceHalo();
}

// ---- The checks and the autorouter --------------------------------------------------------------

int32_t CDocumentLink::CheckNetClusters(CNet& net)
{
    return m_analysis.CheckNetClusters(net);
}

void CDocumentLink::BeginClusterChecks()
{
    m_analysis.BeginClusterChecks();
}

void CDocumentLink::EndClusterChecks()
{
    m_analysis.EndClusterChecks();
}

bool CDocumentLink::AllNetsToNet0()
{
    return m_analysis.AllNetsToNet0();
}

void CDocumentLink::TestAllNets()
{
    m_analysis.TestAllNets();
}

bool CDocumentLink::RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                                    int32_t y2)
{
    return m_analysis.RouteConnection(net, layer, x1, y1, x2, y2);
}

bool CDocumentLink::RouteAllDefaultLayer()
{
    return m_analysis.RouteAllDefaultLayer();
}

bool CDocumentLink::RouteAllTopBottom()
{
    return m_analysis.RouteAllTopBottom();
}

// ---- The windows --------------------------------------------------------------------------------

void CDocumentLink::FillNetCombo()
{
    m_windows.FillNetCombo();
}

void CDocumentLink::SelectNetInCombo(int32_t net)
{
    m_windows.SelectNetInCombo(net);
}

void CDocumentLink::RedrawBoardViews()
{
    m_windows.RedrawBoardViews();
}

void CDocumentLink::RedrawLeftPane(int32_t row)
{
    m_windows.RedrawLeftPane(row);
}

void CDocumentLink::ShowLeftPane(bool shown)
{
    m_windows.ShowLeftPane(shown);
}

void CDocumentLink::ShowBottomPane(bool shown)
{
    m_windows.ShowBottomPane(shown);
}

std::string CDocumentLink::GetDesignFolder() const
{
    return m_hooks.designFolder();
}

void CDocumentLink::SetStatusText(const std::string& text)
{
    m_windows.SetStatusText(text);
}

void CDocumentLink::AddMessage(const std::string& text)
{
    m_windows.AddMessage(text);
}

const CShapeLibArray* CDocumentLink::GetShapeLibraries() const
{
    return CDocumentFrame::Get().GetLibrarySet();
}
