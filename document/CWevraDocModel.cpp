#include "document/CWevraDoc.h"

#include <algorithm>
#include <string>

#include "analysis/CAutoRouter.h"
#include "analysis/CConnectTracer.h"
#include "analysis/CDrc.h"
#include "analysis/CNetConnectCheck.h"
#include "document/CDocumentFrame.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "model/CComponentArray.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/Geometry.h"
#include "resources/StringIds.h"

namespace {

// Pads of components whose pin is on no net, while a netlist gives the board its nets.
constexpr COLORREF unconnectedPadColor = RGB(150, 150, 150);

} // namespace

// ---- Nets ---------------------------------------------------------------------------------------

const CPadStackArray& CWevraDoc::GetPadStacks() const
{
    return m_shapeCache->GetPadStacks();
}

bool CWevraDoc::IsLayerEnabled(int32_t layer) const
{
    return m_layers->IsEnabled(layer);
}

int32_t CWevraDoc::CheckNetClusters(CNet& net)
{
    return CNetConnectCheck(*this, net).Check();
}

int32_t CWevraDoc::GetNetCount() const
{
    return m_nets->GetCount();
}

bool CWevraDoc::ShowsClearanceHalo() const
{
    return CDocumentFrame::Get().ShowsClearanceHalo();
}

std::string CWevraDoc::GetComponentReference(int32_t component) const
{
    return m_components->GetReference(component);
}

int32_t CWevraDoc::GetComponentCount() const
{
    return m_components->GetCount();
}

std::vector<int32_t> CWevraDoc::GetComponentPadNets(int32_t component) const
{
    const CComponent* target = m_components->GetComponent(component);
    if (!target)
        return {};
    const std::vector<uint16_t>& nets = target->GetPadNets();
    return std::vector<int32_t>(nets.begin(), nets.end());
}

void CWevraDoc::SetPadNet(int32_t component, int32_t pad, int32_t net)
{
    if (CComponent* target = m_components->GetComponent(component))
        target->SetPadNet(pad, net, m_nets->GetCount());
}

void CWevraDoc::ResetPadNets()
{
    m_components->ResetPadArrays();
}

void CWevraDoc::RenumberNets(const std::vector<int32_t>& newIndex)
{
    const auto renumber = [&newIndex](int32_t net) {
        return net >= 0 && size_t(net) < newIndex.size() ? newIndex[size_t(net)] : 0;
    };
    const int32_t netCount = m_nets->GetCount();
    for (int32_t i = 0; i < m_components->GetCount(); ++i) {
        CComponent& component = *m_components->GetComponent(i);
        for (int32_t pad = 0; pad < component.GetPadNetCount(); ++pad)
            component.SetPadNet(pad, renumber(component.GetPadNet(pad)), netCount);
    }
    // A plane without a net (-1) stays without one.
    for (const auto& plane : m_planes) {
        if (plane->GetNet() >= 0)
            plane->SetNet(renumber(plane->GetNet()));
    }
}

void CWevraDoc::RecalcComponentBoxes()
{
    m_components->RecalcAllRects();
}

void CWevraDoc::RebuildNetPins()
{
    m_components->RebuildNetPins();
}

bool CWevraDoc::AllNetsToNet0()
{
    return CConnectTracer(*this).AllNetsToNet0();
}

bool CWevraDoc::RebuildFromTracks()
{
    return CConnectTracer(*this).RebuildFromTracks();
}

bool CWevraDoc::UpdateFromNetPins()
{
    return CConnectTracer(*this).UpdateFromNetPins();
}

void CWevraDoc::TestAllNets()
{
    CDrc(*this).TestAll();
}

bool CWevraDoc::RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                                int32_t y2)
{
    for (int32_t i = 0; i < m_nets->GetCount(); ++i) {
        if (m_nets->GetNet(i) == &net)
            return CAutoRouter(*this).RouteConnection(i, layer, x1, y1, x2, y2);
    }
    return false;
}

bool CWevraDoc::RouteAllDefaultLayer()
{
    return CAutoRouter(*this).RouteAllDefaultLayer();
}

bool CWevraDoc::RouteAllTopBottom()
{
    return CAutoRouter(*this).RouteAllTopBottom();
}

// ---- Components ---------------------------------------------------------------------------------

CPen CWevraDoc::GetUnconnectedPadPen() const
{
    return CPen(CPen::Style::Solid, 1, unconnectedPadColor);
}

CBrush CWevraDoc::GetUnconnectedPadBrush() const
{
    return CBrush(unconnectedPadColor);
}

CPen CWevraDoc::GetHolePen() const
{
    return GetLayerPen(LAYER_DRILL, normalSet);
}

CBrush CWevraDoc::GetHoleBrush() const
{
    return GetLayerBrush(LAYER_DRILL, normalSet);
}

int32_t CWevraDoc::GetTextCount() const
{
    return m_texts->GetCount();
}

const CWevraText& CWevraDoc::GetText(int32_t i) const
{
    return *m_texts->GetText(i);
}

void CWevraDoc::RedrawBoard()
{
    RedrawBoardViews();
}
