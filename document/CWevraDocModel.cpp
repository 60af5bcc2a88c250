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

int32_t CWevraDoc::CheckNetClusters(CNet& net)
{
    return CNetConnectCheck(*this, net).Check();
}

bool CWevraDoc::ShowsClearanceHalo() const
{
    return CDocumentFrame::Get().ShowsClearanceHalo();
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
    for (int32_t i = 0; i < m_design.GetNets().GetCount(); ++i) {
        if (m_design.GetNets().GetNet(i) == &net)
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

void CWevraDoc::RedrawBoard()
{
    RedrawBoardViews();
}
