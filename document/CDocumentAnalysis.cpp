#include "document/CDocumentAnalysis.h"

#include <algorithm>

#include "analysis/CAutoRouter.h"
#include "analysis/CCheckPadTable.h"
#include "analysis/CConnectTracer.h"
#include "analysis/CDrc.h"
#include "analysis/CNetConnectCheck.h"
#include "document/CDesign.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "framework/CResString.h"
#include "model/CNetArray.h"
#include "model/CNetErrorRec.h"
#include "model/CPour.h"
#include "resources/StringIds.h"

// ---- The checks ---------------------------------------------------------------------------------

CDocumentAnalysis::CDocumentAnalysis(CDesign& design, CDocumentLink& link, CEditSession& session,
                                     CDocumentWindows& windows)
    : m_design(design), m_link(link), m_session(session), m_windows(windows)
{
}

CDocumentAnalysis::~CDocumentAnalysis() = default;

int32_t CDocumentAnalysis::CheckNetClusters(CNet& net)
{
    return CNetConnectCheck(m_link, net, CNetConnectCheck::scannedItems, m_padTable.get())
        .Check(m_clusterHints);
}

void CDocumentAnalysis::BeginClusterChecks()
{
    if (m_clusterBatches++ == 0)
        m_padTable = std::make_unique<CCheckPadTable>(m_link);
}

void CDocumentAnalysis::EndClusterChecks()
{
    if (m_clusterBatches > 0 && --m_clusterBatches == 0)
        m_padTable.reset();
}

bool CDocumentAnalysis::AllNetsToNet0()
{
    return CConnectTracer(*this).AllNetsToNet0();
}

bool CDocumentAnalysis::RebuildFromTracks()
{
    return CConnectTracer(*this).RebuildFromTracks();
}

bool CDocumentAnalysis::UpdateFromNetPins()
{
    return CConnectTracer(*this).UpdateFromNetPins();
}

void CDocumentAnalysis::TestAllNets()
{
    CDrc(*this).TestAll();
    // The check compares the nets' copper only: a plane not filled, or filled before the copper
    // changed, may lie over copper, which only a refill shows.
    CNetArray& nets = m_design.GetNets();
    for (const auto& plane : m_design.GetPlanes()) {
        if (!m_design.IsPlaneFillStale(*plane))
            continue;
        const int32_t net = std::max(plane->GetNet(), 0);
        CNetErrorRec record({CResString::Load(IDS_PLANE_NEEDS_REFILL), net, plane->GetSeed()},
                            {plane->GetName(), net, plane->GetSeed()});
        record.SetKind(plane->GetLayer());
        nets.AddDistinctError(record);
    }
}

bool CDocumentAnalysis::RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1,
                                        int32_t x2, int32_t y2)
{
    for (int32_t i = 0; i < m_design.GetNets().GetCount(); ++i) {
        if (m_design.GetNets().GetNet(i) == &net)
            return CAutoRouter(*this).RouteConnection(i, layer, x1, y1, x2, y2);
    }
    return false;
}

bool CDocumentAnalysis::RouteAllDefaultLayer()
{
    return CAutoRouter(*this).RouteAllDefaultLayer();
}

bool CDocumentAnalysis::RouteAllTopBottom()
{
    return CAutoRouter(*this).RouteAllTopBottom();
}

// ---- The design as the checks see it ------------------------------------------------------------

CNetArray& CDocumentAnalysis::GetNets()
{
    return m_design.GetNets();
}

const CPadStackArray& CDocumentAnalysis::GetPadStacks() const
{
    return m_design.GetPadStacks();
}

bool CDocumentAnalysis::IsLayerEnabled(int32_t layer) const
{
    return m_design.IsLayerEnabled(layer);
}

int32_t CDocumentAnalysis::GetBoardWidth() const
{
    return m_design.GetBoardWidth();
}

int32_t CDocumentAnalysis::GetBoardHeight() const
{
    return m_design.GetBoardHeight();
}

std::string CDocumentAnalysis::GetComponentReference(int32_t component) const
{
    return m_design.GetComponentReference(component);
}

void CDocumentAnalysis::DeselectAll()
{
    m_session.DeselectAll();
}

void CDocumentAnalysis::ResetPadNets()
{
    m_design.ResetPadNets();
}

void CDocumentAnalysis::SetPadNet(int32_t component, int32_t pad, int32_t net)
{
    m_design.SetPadNet(component, pad, net);
}

void CDocumentAnalysis::RebuildNetPins()
{
    m_design.RebuildNetPins();
}

void CDocumentAnalysis::ShowErrorPane()
{
    m_windows.ShowBottomPane(true);
}

const CNetDocument& CDocumentAnalysis::GetNetDocument() const
{
    return m_link;
}

int32_t CDocumentAnalysis::GetTextCount() const
{
    return m_design.GetTextCount();
}

const CWevraText& CDocumentAnalysis::GetText(int32_t i) const
{
    return m_design.GetText(i);
}

const CWevraFont& CDocumentAnalysis::GetFont() const
{
    return m_design.GetFont();
}

int32_t CDocumentAnalysis::GetWorkLayer() const
{
    return m_session.GetWorkLayer();
}

void CDocumentAnalysis::ApplyWorkLayerToTool(int32_t layer)
{
    m_session.ApplyWorkLayerToTool(layer);
}

void CDocumentAnalysis::RedrawBoard()
{
    m_windows.RedrawBoardViews();
}
