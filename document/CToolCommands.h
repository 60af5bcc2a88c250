#pragma once

#include <cstdint>

class CCommandTarget;
class CWevraDoc;

// The menu commands of the interactive tools on a design: the Components, Pads, Tracks and
// Lines menus, which start their tools, the commands of those tools' context menus that act on
// the selection at once, Extract Tracks from Shapes, the Netlist menu's rebuilds through the
// connectivity tracer and the net-alias report. Each has its enable/check twin: a tool's item
// is checked while its tool runs and disabled where the tool could do nothing (no components,
// the wrong kind of work layer, a dialog the program cannot show).
class CToolCommands {
public:
    // Adds the commands and their twins to the document's command map.
    static void Register(CCommandTarget& target, CWevraDoc& document);

    // Starts the tool of a command. A step of the running tool still under way ends first, as
    // End Mode ends it: a track being drawn is finished and keeps no backup, a floating copy
    // goes.
    static void StartTool(CWevraDoc& document, uint32_t mode);
    // End Mode while a tool of components, tracks, pads or lines runs: that tool's own end
    // step. False, doing nothing, in any other mode.
    static bool EndToolStep(CWevraDoc& document);

    // The pads' rotation dialog: its angle goes to the pads placed or turned from now on and
    // to the selected pads of the current net.
    static bool CanRotatePads(const CWevraDoc& document);
    static void RotatePads(CWevraDoc& document);
    // "Components Text Selector": the component text kind chosen becomes the one the board
    // shows, and the Move/Rotate Text tool starts on it.
    static void ChooseTextToMove(CWevraDoc& document);

private:
    static void RegisterComponents(CCommandTarget& target, CWevraDoc& document);
    static void RegisterTracksAndPads(CCommandTarget& target, CWevraDoc& document);
    static void RegisterLines(CCommandTarget& target, CWevraDoc& document);
    static void RegisterNetlist(CCommandTarget& target, CWevraDoc& document);
};
