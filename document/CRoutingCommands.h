#pragma once

class CCommandTarget;
class CWevraDoc;

// The Tools menu's design-rule check and autorouting commands on a design: the check of all
// nets, routing at the cursor, on the work layer or on both outer layers, and taking the
// autorouted tracks away again. Each runs its work through the net list; the routing commands
// record an undo state first and mark the design modified; every view shows the result.
class CRoutingCommands {
public:
    // Adds the commands and their enable twins to the document's command map.
    static void Register(CCommandTarget& target, CWevraDoc& document);

    static void TestAll(CWevraDoc& document);
    // The connection of the ratsnest at the cursor, on the work layer.
    static void RouteManualTracks(CWevraDoc& document);
    // Route All says on the status line how many connections it made and how many stay open.
    static void RouteAllDefaultLayer(CWevraDoc& document);
    static void RouteAllTopBottom(CWevraDoc& document);
    static void UnrouteAll(CWevraDoc& document);
    static void UnrouteNet(CWevraDoc& document);
    // A board design with a net besides net 0.
    static bool CanRun(const CWevraDoc& document);

private:
    // Undo state, the change, then the modified mark, the ToDo list and every view.
    template <typename Change> static void Edit(CWevraDoc& document, Change change);
    // Edit with a Route All, then its count on the status line.
    template <typename Change> static void RouteAll(CWevraDoc& document, Change change);
};
