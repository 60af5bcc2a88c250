#include "document/CErrorList.h"

#include <algorithm>

#include "document/CDesign.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "resources/CommandIds.h"

namespace {

constexpr int32_t maxErrorScale = 400;

std::string TrimLeft(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first);
}

} // namespace

const std::array<int32_t, CErrorList::columnCount>& CErrorList::ColumnX()
{
    static const std::array<int32_t, columnCount> x = {2,   42,  162, 262, 362,
                                                       442, 522, 622, 722, 822};
    return x;
}

const CErrorList::Columns& CErrorList::Headings()
{
    static const Columns headings = {
        "Nr", "Layer", "Net", "Object", "X:", "Y:", "Net", "Object", "X:", "Y"};
    return headings;
}

std::array<int32_t, CErrorList::columnCount>
CErrorList::ColumnStarts(const std::vector<Columns>& rows,
                         const std::function<int32_t(const std::string&)>& width, int32_t gap)
{
    std::array<int32_t, columnCount> starts = ColumnX();
    for (size_t c = 1; c < starts.size(); ++c) {
        int32_t widest = width(Headings()[c - 1]);
        for (const Columns& row : rows)
            widest = std::max(widest, width(row[c - 1]));
        starts[c] = std::max(starts[c], starts[c - 1] + widest + gap);
    }
    return starts;
}

CErrorList::Columns CErrorList::RowTexts(const CDesign& design, const CEditSession& session,
                                         int32_t record)
{
    const CNetArray& nets = design.GetNets();
    const CNetErrorRec* error = nets.GetError(record);
    if (!error)
        return {};
    const int32_t unit = session.GetUnit();
    const CNetErrorRec::Item& first = error->GetFirst();
    const CNetErrorRec::Item& second = error->GetSecond();
    return {std::to_string(record + 1),
            TrimLeft(design.GetLayers().GetLayerName(error->GetKind())),
            nets.GetNetName(first.net),
            first.text,
            CLengthText::FormatLength(unit, first.position.x),
            CLengthText::FormatLength(unit, first.position.y),
            nets.GetNetName(second.net),
            second.text,
            CLengthText::FormatLength(unit, second.position.x),
            CLengthText::FormatLength(unit, second.position.y)};
}

bool CErrorList::GoToError(CDesign& design, CEditSession& session, CViewState& view,
                           CDocumentWindows& windows, int32_t record)
{
    const CNetErrorRec* error = design.GetNets().GetError(record);
    if (!error)
        return false;
    // The tool change may rebuild the lists; keep what the record says.
    const int32_t layer = error->GetKind();
    const CNetErrorRec::Item first = error->GetFirst();
    session.SetMode(ID_TRACKS_EDIT);
    session.SetWorkLayer(layer);
    design.GetNets().SetCurrentNet(first.net);
    session.SetCursor(first.position);
    if (view.GetScale() > maxErrorScale)
        view.SetScale(maxErrorScale);
    view.CenterOnCursor();
    windows.RedrawBoardViews();
    return true;
}
