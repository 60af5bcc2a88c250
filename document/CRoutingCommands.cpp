#include "document/CRoutingCommands.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CToolCommands.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CCmdUI.h"
#include "framework/CCommandTarget.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "resources/CommandIds.h"

namespace {

constexpr char noErrorsText[] = "DRC Test All: no errors";

// The ratsnest lines of every net: the connections still to make.
int64_t OpenConnections(const CNetArray& nets)
{
    int64_t open = 0;
    for (int32_t i = 1; i < nets.GetCount(); ++i)
        open += nets.GetNet(i)->GetRatsLineCount();
    return open;
}

std::string Connections(int64_t count)
{
    return std::to_string(count) + (count == 1 ? " connection" : " connections");
}

} // namespace

void CRoutingCommands::Register(CCommandTarget& target, CWevraDoc& document)
{
    CWevraDoc& doc = document;
    const auto enable = [&doc](CCmdUI& ui) { ui.Enable(CanRun(doc)); };
    const struct {
        uint32_t id;
        void (*run)(CWevraDoc&);
    } commands[] = {
        {ID_TOOLS_DRC_TEST_ALL, &TestAll},
        {ID_TOOLS_AUTOROUTING_ROUTE_ALL_DEFAULT_LAYER, &RouteAllDefaultLayer},
        {ID_TOOLS_AUTOROUTING_ROUTE_ALL_TOP_AND_BOT_LAYERS, &RouteAllTopBottom},
        {ID_TOOLS_AUTOROUTING_UNROUTE_ALL_ONLY_AUTOROUTED, &UnrouteAll},
        {ID_TOOLS_AUTOROUTING_UNROUTE_NET, &UnrouteNet},
    };
    for (const auto& command : commands) {
        target.OnCommand(command.id, [&doc, run = command.run] { run(doc); });
        target.OnUpdate(command.id, enable);
    }
    // The R key and the menu item start the same tool; each click routes a connection.
    for (const uint32_t id : {ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS, ID_AUTOROUTER1}) {
        target.OnCommand(id, [&doc] {
            CToolCommands::StartTool(doc, ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS);
        });
        target.OnUpdate(id, [&doc](CCmdUI& ui) {
            ui.Enable(CanRun(doc));
            ui.SetCheck(doc.Session().IsMode(ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS));
        });
    }
}

bool CRoutingCommands::CanRun(const CWevraDoc& document)
{
    return !document.IsShapeDocument() && document.Design().GetNets().GetCount() >= 2;
}

template <typename Change> void CRoutingCommands::Edit(CWevraDoc& document, Change change)
{
    document.History().EditIfChanged(
        [&document, &change] { return change(document.Design().GetNets()); });
    document.Design().GetNets().BuildToDoList();
    document.Windows().UpdateAllViews();
}

template <typename Change> void CRoutingCommands::RouteAll(CWevraDoc& document, Change change)
{
    const int64_t before = OpenConnections(document.Design().GetNets());
    Edit(document, change);
    // A track can join more than the two ends it was laid for, so the ratsnest tells what was
    // made.
    const int64_t after = OpenConnections(document.Design().GetNets());
    const std::string text = "Route All: " + Connections(std::max<int64_t>(before - after, 0)) +
                             " routed, " + std::to_string(after) + " left open";
    document.View().SetInfoText(text);
    document.Windows().SetStatusText(text);
}

void CRoutingCommands::TestAll(CWevraDoc& document)
{
    document.RunCheckAll();
    // An empty list and a board without marks look the same as a check that never ran.
    const bool clean = document.Design().GetNets().GetErrorCount() == 0;
    document.Windows().SetCheckVerdict(clean ? noErrorsText : "");
    if (clean) {
        document.View().SetInfoText(noErrorsText);
        document.Windows().SetStatusText(noErrorsText);
    }
    document.Windows().UpdateAllViews();
}

void CRoutingCommands::RouteManualTracks(CWevraDoc& document)
{
    Edit(document, [](CNetArray& nets) { return nets.RouteAtCursor(); });
}

void CRoutingCommands::RouteAllDefaultLayer(CWevraDoc& document)
{
    RouteAll(document, [](CNetArray& nets) { return nets.RouteAllDefaultLayer(); });
}

void CRoutingCommands::RouteAllTopBottom(CWevraDoc& document)
{
    RouteAll(document, [](CNetArray& nets) { return nets.RouteAllTopBottom(); });
}

void CRoutingCommands::UnrouteAll(CWevraDoc& document)
{
    Edit(document, [](CNetArray& nets) {
        nets.UnrouteAll();
        return true;
    });
}

void CRoutingCommands::UnrouteNet(CWevraDoc& document)
{
    Edit(document, [](CNetArray& nets) {
        nets.UnrouteCurrent();
        return true;
    });
}
