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
#include "document/CWevraDoc.h"
#include "model/LayerIds.h"

namespace {

// Pads of components whose pin is on no net, while a netlist gives the board its nets.
constexpr COLORREF unconnectedPadColor = RGB(150, 150, 150);

} // namespace

// ---- The design's own data ----------------------------------------------------------------------

CNetArray& CDocumentLink::GetNets()
{
    return m_document.Design().GetNets();
}

const CNetArray& CDocumentLink::GetNets() const
{
    return m_document.Design().GetNets();
}

CComponentArray& CDocumentLink::GetComponents()
{
    return m_document.Design().GetComponents();
}

const CShapeLib& CDocumentLink::GetShapeCache() const
{
    return m_document.Design().GetShapeCache();
}

CShapeLib& CDocumentLink::GetEditableShapeCache()
{
    return m_document.Design().GetEditableShapeCache();
}

CGridArr& CDocumentLink::GetGridSettings()
{
    return m_document.Design().GetGridSettings();
}

const CWevraFont& CDocumentLink::GetFont() const
{
    return m_document.Design().GetFont();
}

const CPadStackArray& CDocumentLink::GetPadStacks() const
{
    return m_document.Design().GetPadStacks();
}

int32_t CDocumentLink::GetBoardWidth() const
{
    return m_document.Design().GetBoardWidth();
}

int32_t CDocumentLink::GetBoardHeight() const
{
    return m_document.Design().GetBoardHeight();
}

bool CDocumentLink::IsLayerEnabled(int32_t layer) const
{
    return m_document.Design().IsLayerEnabled(layer);
}

int32_t CDocumentLink::GetNetCount() const
{
    return m_document.Design().GetNetCount();
}

std::string CDocumentLink::GetComponentReference(int32_t component) const
{
    return m_document.Design().GetComponentReference(component);
}

int32_t CDocumentLink::GetComponentCount() const
{
    return m_document.Design().GetComponentCount();
}

std::vector<int32_t> CDocumentLink::GetComponentPadNets(int32_t component) const
{
    return m_document.Design().GetComponentPadNets(component);
}

void CDocumentLink::SetPadNet(int32_t component, int32_t pad, int32_t net)
{
    m_document.Design().SetPadNet(component, pad, net);
}

void CDocumentLink::ResetPadNets()
{
    m_document.Design().ResetPadNets();
}

void CDocumentLink::RenumberNets(const std::vector<int32_t>& newIndex)
{
    m_document.Design().RenumberNets(newIndex);
}

void CDocumentLink::RecalcComponentBoxes()
{
    m_document.Design().RecalcComponentBoxes();
}

void CDocumentLink::RebuildNetPins()
{
    m_document.Design().RebuildNetPins();
}

void CDocumentLink::SetNetlistPath(const std::string& path)
{
    m_document.Design().SetNetlistPath(path);
}

void CDocumentLink::SetNetlistTime(int64_t seconds)
{
    m_document.Design().SetNetlistTime(seconds);
}

bool CDocumentLink::IsMode45() const
{
    return m_document.Design().Settings().mode45 != 0;
}

bool CDocumentLink::IsAutoRatsnest() const
{
    return m_document.Design().Settings().ratsnestActive != 0;
}

int32_t CDocumentLink::GetUnit() const
{
    return int32_t(m_document.Design().Settings().unit);
}

CPoint CDocumentLink::GetOrigin() const
{
    return m_document.Design().Settings().userOffset;
}

int32_t CDocumentLink::GetPadInfoMode() const
{
    return int32_t(m_document.Design().Settings().pinInfoMode);
}

void CDocumentLink::SetModified()
{
    // The nets change their pins and copper without a snapshot of their own.
    m_document.SetCopperModified();
}

// ---- The editing session ------------------------------------------------------------------------

uint32_t CDocumentLink::GetMode() const
{
    return m_document.Session().GetMode();
}

void CDocumentLink::SetMode(uint32_t mode)
{
    m_document.Session().SetMode(mode);
}

uint32_t CDocumentLink::GetAction() const
{
    return m_document.Session().GetAction();
}

void CDocumentLink::SetAction(uint32_t action)
{
    m_document.Session().SetAction(action);
}

int32_t CDocumentLink::GetWorkLayer() const
{
    return m_document.Session().GetWorkLayer();
}

CPoint CDocumentLink::GetCursor() const
{
    return m_document.Session().GetCursor();
}

void CDocumentLink::SetCursor(CPoint point)
{
    m_document.Session().SetCursor(point);
}

int32_t CDocumentLink::GetComponentTextMode() const
{
    return m_document.Session().GetComponentTextMode();
}

int32_t CDocumentLink::GetCurrentNet() const
{
    return m_document.Session().GetCurrentNetIndex();
}

void CDocumentLink::SetCurrentComponent(int32_t component)
{
    m_document.Session().SetCurrentComponent(component);
}

int32_t CDocumentLink::SelectAll(bool select)
{
    return m_document.Session().SelectAll(select);
}

void CDocumentLink::DeselectAll()
{
    m_document.Session().DeselectAll();
}

void CDocumentLink::SaveUndoState()
{
    // An import changes the shape cache, the padstacks and the netlist the design names besides
    // the collections: one Undo brings them all back as they were.
    CDocumentHistory& history = m_document.History();
    m_importMark = history.GetUndoMark();
    m_modifiedBeforeImport = m_document.IsModified();
    history.SetSnapshotNeeded();
    history.PushUndo(CUndoSnapshot::maskAll | CUndoSnapshot::maskShapeCache |
                     CUndoSnapshot::maskNetlist);
}

void CDocumentLink::TakeBackUndoState()
{
    if (m_document.History().TakeBackSince(m_importMark))
        m_document.SetModifiedFlag(m_modifiedBeforeImport);
}

// ---- The painting -------------------------------------------------------------------------------

int32_t CDocumentLink::GetScale() const
{
    return m_document.View().GetScale();
}

CPoint CDocumentLink::GetViewOffset() const
{
    return m_document.View().GetViewOffset();
}

COLORREF CDocumentLink::LayerColor(int32_t layer, int32_t colorSet) const
{
    return m_document.Paint().LayerColor(layer, colorSet);
}

CPen CDocumentLink::GetLayerPen(int32_t layer, int32_t colorSet) const
{
    return m_document.Paint().GetLayerPen(layer, colorSet);
}

CBrush CDocumentLink::GetLayerBrush(int32_t layer, int32_t colorSet) const
{
    return m_document.Paint().GetLayerBrush(layer, colorSet);
}

CPen CDocumentLink::GetComponentTextPen(bool bottomSide, bool highlight) const
{
    return m_document.Paint().GetComponentTextPen(bottomSide, highlight);
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
    return m_document.Analysis().CheckNetClusters(net);
}

void CDocumentLink::BeginClusterChecks()
{
    m_document.Analysis().BeginClusterChecks();
}

void CDocumentLink::EndClusterChecks()
{
    m_document.Analysis().EndClusterChecks();
}

bool CDocumentLink::AllNetsToNet0()
{
    return m_document.Analysis().AllNetsToNet0();
}

void CDocumentLink::TestAllNets()
{
    m_document.Analysis().TestAllNets();
}

bool CDocumentLink::RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                                    int32_t y2)
{
    return m_document.Analysis().RouteConnection(net, layer, x1, y1, x2, y2);
}

bool CDocumentLink::RouteAllDefaultLayer()
{
    return m_document.Analysis().RouteAllDefaultLayer();
}

bool CDocumentLink::RouteAllTopBottom()
{
    return m_document.Analysis().RouteAllTopBottom();
}

// ---- The windows --------------------------------------------------------------------------------

void CDocumentLink::FillNetCombo()
{
    m_document.Windows().FillNetCombo();
}

void CDocumentLink::SelectNetInCombo(int32_t net)
{
    m_document.Windows().SelectNetInCombo(net);
}

void CDocumentLink::RedrawBoardViews()
{
    m_document.Windows().RedrawBoardViews();
}

void CDocumentLink::RedrawLeftPane(int32_t row)
{
    m_document.Windows().RedrawLeftPane(row);
}

void CDocumentLink::ShowLeftPane(bool shown)
{
    m_document.Windows().ShowLeftPane(shown);
}

void CDocumentLink::ShowBottomPane(bool shown)
{
    m_document.Windows().ShowBottomPane(shown);
}

std::string CDocumentLink::GetDesignFolder() const
{
    return m_document.GetDesignFolder();
}

void CDocumentLink::SetStatusText(const std::string& text)
{
    m_document.Windows().SetStatusText(text);
}

void CDocumentLink::AddMessage(const std::string& text)
{
    m_document.Windows().AddMessage(text);
}

const CShapeLibArray* CDocumentLink::GetShapeLibraries() const
{
    return CDocumentFrame::Get().GetLibrarySet();
}
