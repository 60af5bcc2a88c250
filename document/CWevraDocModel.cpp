#include "document/CWevraDoc.h"

#include <algorithm>
#include <string>

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

bool CWevraDoc::ShowsClearanceHalo() const
{
    return CDocumentFrame::Get().ShowsClearanceHalo();
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
