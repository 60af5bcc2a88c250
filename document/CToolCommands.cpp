#include "document/CToolCommands.h"

#include <string>

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CNetAliasReport.h"
#include "document/CPaintState.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CCmdUI.h"
#include "framework/CCommandTarget.h"
#include "model/CAngleText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CComponentTool.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CLineTool.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CTrackTool.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

using Condition = bool (*)(const CWevraDoc&);

bool Offers(CDialogService::Dialog dialog)
{
    return CDialogService::Get().Offers(dialog);
}

bool IsBoard(const CWevraDoc& doc)
{
    return !doc.IsShapeDocument();
}

bool HasComponents(const CWevraDoc& doc)
{
    return IsBoard(doc) && doc.Design().GetComponents().GetCount() > 0;
}

bool HasSelectedComponents(const CWevraDoc& doc)
{
    return IsBoard(doc) && doc.Design().GetComponents().GetSelectedCount() > 0;
}

bool HasNets(const CWevraDoc& doc)
{
    return IsBoard(doc) && doc.Design().GetNets().GetCount() > 1;
}

bool OnCopper(const CWevraDoc& doc)
{
    return IsBoard(doc) && IsCopperLayer(doc.Session().GetWorkLayer());
}

bool OffCopper(const CWevraDoc& doc)
{
    return !IsCopperLayer(doc.Session().GetWorkLayer());
}

bool Always(const CWevraDoc&)
{
    return true;
}

bool IsFigure(uint32_t id)
{
    return id == ID_TRACKS_ADD_CIRCLES || id == ID_TRACKS_ADD_ELLIPSES ||
           id == ID_TRACKS_ADD_RECTANGLES || id == ID_LINES_ADD_CIRCLES ||
           id == ID_LINES_ADD_ELLIPSES || id == ID_LINES_ADD_RECTANGLES;
}

// A menu item that starts a tool: checked while the tool runs, enabled when `enabled` says so
// (figures only where their size dialog can be shown). `start` starts it; plain StartTool
// without.
void AddTool(CCommandTarget& target, CWevraDoc& doc, uint32_t id, Condition enabled,
             void (*start)(CWevraDoc&) = nullptr)
{
    if (start)
        target.OnCommand(id, [&doc, start] { start(doc); });
    else
        target.OnCommand(id, [&doc, id] { CToolCommands::StartTool(doc, id); });
    const bool figure = IsFigure(id);
    target.OnUpdate(id, [&doc, id, enabled, figure](CCmdUI& ui) {
        ui.Enable(enabled(doc) && (!figure || Offers(CDialogService::Dialog::inputSizes)));
        ui.SetCheck(doc.Session().IsMode(id));
    });
}

// A command that acts at once: enabled when `enabled` says so.
void AddAction(CCommandTarget& target, CWevraDoc& doc, uint32_t id, Condition enabled,
               void (*run)(CWevraDoc&))
{
    target.OnCommand(id, [&doc, run] { run(doc); });
    target.OnUpdate(id, [&doc, enabled](CCmdUI& ui) { ui.Enable(enabled(doc)); });
}

// The netlist commands' common frame: the error marks go, an undo state is kept, the tracer
// does its work and every view shows the new nets.
template <typename Work> void RunTracer(CWevraDoc& doc, Work work)
{
    doc.Design().GetNets().ClearErrors();
    doc.History().SaveUndoState();
    if (work(doc))
        doc.SetModified();
    doc.Design().GetNets().BuildToDoList();
    doc.Windows().UpdateAllViews();
    doc.Windows().RedrawBoardViews();
}

} // namespace

void CToolCommands::Register(CCommandTarget& target, CWevraDoc& document)
{
    RegisterComponents(target, document);
    RegisterTracksAndPads(target, document);
    RegisterLines(target, document);
    RegisterNetlist(target, document);
}

void CToolCommands::StartTool(CWevraDoc& document, uint32_t mode)
{
    if (!document.Session().IsAction(CEditState::actionWaiting) ||
        document.Design().GetNets().GetTrackTool().IsEditing())
        EndToolStep(document);
    document.Session().SetMode(mode);
    document.Windows().RedrawBoardViews();
}

bool CToolCommands::EndToolStep(CWevraDoc& document)
{
    const uint32_t mode = document.Session().GetMode();
    if (CComponentTool::IsComponentMode(mode)) {
        document.Design().GetComponents().GetComponentTool().EndToolStep(document.Session());
    } else if (CLineTool::IsLineMode(mode)) {
        document.Design().GetLines().GetLineTool().OnEscape(document.Session());
    } else if (CTrackTool::IsPadMode(mode)) {
        document.Design().GetNets().GetTrackTool().EndPadTool(document.Session());
    } else if (CTrackTool::IsTrackMode(mode)) {
        CTrackTool& tool = document.Design().GetNets().GetTrackTool();
        if (document.Session().IsAction(CEditState::actionWaiting) && !tool.IsEditing()) {
            // Nothing under way: the tool ends, as Esc ends it.
            document.Session().DeselectAll();
            document.Session().SetMode(ID_VIEW);
        } else {
            tool.EndTrackTool(document.Session());
        }
    } else {
        return false;
    }
    document.Windows().RedrawBoardViews();
    return true;
}

// ---- Components ---------------------------------------------------------------------------------

void CToolCommands::RegisterComponents(CCommandTarget& target, CWevraDoc& doc)
{
    for (const uint32_t id :
         {ID_COMPONENTS_COPY, ID_COMPONENTS_DELETE, ID_COMPONENTS_MIRROR, ID_COMPONENTS_MOVE_ROTATE,
          ID_COMPONENTS_REPLACE_PADS, ID_COMPONENTS_ROTATE_90_DEGR, ID_COMPONENTS_SNAP_TO_GRID,
          ID_COMPONENTS_FIX, ID_COMPONENTS_LOCK})
        AddTool(target, doc, id, &HasComponents);
    // The tools whose click opens a dialog.
    AddTool(target, doc, ID_COMPONENTS_PROPERTIES, [](const CWevraDoc& d) {
        return HasComponents(d) && Offers(CDialogService::Dialog::compProperties);
    });
    AddTool(target, doc, ID_COMPONENTS_ROTATE, [](const CWevraDoc& d) {
        return HasComponents(d) && Offers(CDialogService::Dialog::rotation);
    });
    AddTool(target, doc, ID_COMPONENTS_SET_POSITION, [](const CWevraDoc& d) {
        return HasComponents(d) && Offers(CDialogService::Dialog::compSetPosition);
    });
    // The text the tool moves is the kind the board shows, chosen first.
    AddTool(
        target, doc, ID_COMPONENTS_MOVE_ROTATE_TEXT,
        [](const CWevraDoc& d) {
            return HasComponents(d) && Offers(CDialogService::Dialog::selCompText);
        },
        &ChooseTextToMove);

    // Add and Replace Shape, which start with the shape chooser, are the board view's.

    // The context menu's commands on the selected components.
    AddAction(target, doc, ID_CONTEXT_COMPONENTS_MIRROR, &HasSelectedComponents, [](CWevraDoc& d) {
        d.Design().GetComponents().GetComponentTool().MirrorSelected(d.Session());
    });
    AddAction(target, doc, ID_CONTEXT_COMPONENTS_ROTATE_90_DEGR, &HasSelectedComponents,
              [](CWevraDoc& d) {
                  d.History().SaveUndoState();
                  d.Design().GetComponents().RotateSelected(CComponentTool::quarterTurn, false);
                  d.Design().RebuildNetPins();
                  d.SetModified();
                  d.Windows().RedrawBoardViews();
              });
    AddAction(
        target, doc, ID_CONTEXT_COMPONENTS_ROTATE,
        [](const CWevraDoc& d) {
            return HasSelectedComponents(d) && Offers(CDialogService::Dialog::rotation);
        },
        [](CWevraDoc& d) {
            d.Design().GetComponents().GetComponentTool().RotateSelectedDialog(d.Session());
        });

    AddAction(
        target, doc, ID_FILE_EXPORT_EXPORT_COMPONENTS_NETNAMES,
        [](const CWevraDoc& d) { return HasComponents(d) && HasNets(d); },
        [](CWevraDoc& d) { CNetAliasReport(d.Design(), d.Link(), d.GetDesignFolder()).Write(); });
}

void CToolCommands::ChooseTextToMove(CWevraDoc& doc)
{
    int32_t choice = doc.Session().GetComponentTextMode() - 1;
    if (CDialogService::Get().SelCompText(choice) != CDialogService::resultOk || choice < 0 ||
        choice >= CComponent::textKindCount)
        return;
    // The document stores the mode one above the kind it is given.
    doc.Session().SetComponentTextMode(choice);
    doc.Paint().CreatePens(CPaintState::penKindScreen, doc.View().GetScale());
    StartTool(doc, ID_COMPONENTS_MOVE_ROTATE_TEXT);
}

// ---- Tracks and pads ----------------------------------------------------------------------------

void CToolCommands::RegisterTracksAndPads(CCommandTarget& target, CWevraDoc& doc)
{
    for (const uint32_t id :
         {ID_TRACKS_ADD, ID_TRACKS_CHANGE_TRACKS_WIDTH, ID_TRACKS_COPY_TRACKS,
          ID_TRACKS_DELETE_TRACKS, ID_TRACKS_DELETE_SEGMENTS, ID_TRACKS_ADD_CIRCLES,
          ID_TRACKS_ADD_ELLIPSES, ID_TRACKS_ADD_RECTANGLES})
        AddTool(target, doc, id, &OnCopper);
    AddTool(target, doc, ID_TRACKS_ADD_OR_REMOVE_VIA, &IsBoard);
    // The toolbar's name for Change Tracks Width.
    AddTool(target, doc, ID_CHANGE_WIDTH, &OnCopper,
            [](CWevraDoc& d) { StartTool(d, ID_TRACKS_CHANGE_TRACKS_WIDTH); });
    // Edit is the toolbar's track tool: it brings the work layer to copper itself.
    AddTool(target, doc, ID_TRACKS_EDIT, &IsBoard, [](CWevraDoc& d) {
        StartTool(d, ID_TRACKS_EDIT);
        d.Design().GetNets().BuildToDoList();
        d.Windows().UpdateAllViews();
        if (!IsCopperLayer(d.Session().GetWorkLayer()))
            d.Session().SetWorkLayer(LAYER_BOTTOM);
    });

    for (const uint32_t id :
         {ID_PADS_COPY, ID_PADS_DELETE, ID_PADS_MOVE, ID_PADS_REPLACE, ID_PADS_SET_PAD_ORDER})
        AddTool(target, doc, id, &Always);
    // Rotate starts with the angle it gives.
    AddTool(
        target, doc, ID_PADS_ROTATE,
        [](const CWevraDoc&) { return Offers(CDialogService::Dialog::rotation); },
        [](CWevraDoc& d) {
            StartTool(d, ID_PADS_ROTATE);
            RotatePads(d);
        });
    AddAction(target, doc, ID_ROTATE_PAD, &CanRotatePads, &RotatePads);
    // Without a padstack there is nothing to place.
    AddTool(
        target, doc, ID_PADS_ADD_MANUALLY,
        [](const CWevraDoc& d) { return d.Design().GetPadStacks().GetCount() > 0; },
        [](CWevraDoc& d) {
            StartTool(d, ID_PADS_ADD_MANUALLY);
            if (!IsCopperLayer(d.Session().GetWorkLayer()))
                d.Session().SetWorkLayer(LAYER_TOP);
        });

    AddAction(target, doc, ID_EDIT_EXTRACT_TRACKS_FROM_SHAPES, &HasSelectedComponents,
              [](CWevraDoc& d) {
                  d.Design().GetNets().GetTrackTool().ExtractTracksFromShapes(d.Session());
                  d.Session().DeselectAll();
                  d.Session().SetRubberBandVisible(false);
                  d.Session().SetAction(CEditState::actionWaiting);
                  d.Windows().RedrawBoardViews();
              });
}

bool CToolCommands::CanRotatePads(const CWevraDoc& document)
{
    if (!Offers(CDialogService::Dialog::rotation))
        return false;
    const uint32_t mode = document.Session().GetMode();
    return mode == ID_PADS_MOVE || mode == ID_PADS_ROTATE || mode == ID_PADS_ADD_MANUALLY ||
           document.Design().GetNets().GetSelectedCount() > 0;
}

void CToolCommands::RotatePads(CWevraDoc& document)
{
    CTrackTool& tool = document.Design().GetNets().GetTrackTool();
    std::string text = CAngleText::Format(tool.GetPadAngle());
    bool absolute = true;
    if (CDialogService::Get().Rotation(text, absolute) != CDialogService::resultOk)
        return;
    const int32_t angle = CAngleText::Parse(text);
    // The angle of the pads placed or turned from now on, and of the pads selected now.
    tool.SetPadAngle(angle);
    CNet& net = *document.Design().GetNets().GetNet(document.Design().GetNets().GetCurrentIndex());
    bool changed = false;
    for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
        if (!net.IsPadVertex(i) || !net.IsVertexSelected(i))
            continue;
        if (!changed)
            document.History().SaveUndoState();
        changed = true;
        net.SetVertexRotation(i, angle);
    }
    if (changed)
        document.SetModified();
    document.Windows().RedrawBoardViews();
}

// ---- Lines --------------------------------------------------------------------------------------

void CToolCommands::RegisterLines(CCommandTarget& target, CWevraDoc& doc)
{
    for (const uint32_t id : {ID_LINES_ADD, ID_LINES_CHANGE_LINE_WIDTH, ID_LINES_COPY_LINES,
                              ID_LINES_DELETE_LINES, ID_LINES_DELETE_SEGMENTS, ID_LINES_ADD_CIRCLES,
                              ID_LINES_ADD_ELLIPSES, ID_LINES_ADD_RECTANGLES})
        AddTool(target, doc, id, &OffCopper);
    // Edit picks the points of drawn lines, and brings the work layer off copper itself.
    AddTool(target, doc, ID_LINES_EDIT, &Always, [](CWevraDoc& d) {
        StartTool(d, ID_LINES_EDIT);
        d.Session().SetSelectionFilter(~0u, false);
        d.Session().SetSelectionFilter(
            CDesignSettings::filterNonElectrical | CDesignSettings::filterPoints, true);
        if (IsCopperLayer(d.Session().GetWorkLayer()))
            d.Session().SetWorkLayer(LAYER_SILK_TOP);
    });
}

// ---- Netlist ------------------------------------------------------------------------------------

void CToolCommands::RegisterNetlist(CCommandTarget& target, CWevraDoc& doc)
{
    AddAction(target, doc, ID_NETLIST_UPDATE_FROM_NETPINS, &HasNets, [](CWevraDoc& d) {
        RunTracer(d, [](CWevraDoc& w) { return w.Analysis().UpdateFromNetPins(); });
    });
    AddAction(target, doc, ID_NETLIST_REBUILD_FROM_TRACKS, &HasNets, [](CWevraDoc& d) {
        RunTracer(d, [](CWevraDoc& w) { return w.Analysis().RebuildFromTracks(); });
    });
    AddAction(target, doc, ID_NETLIST_ALL_NETS_TO_NET_0, &HasNets, [](CWevraDoc& d) {
        RunTracer(d, [](CWevraDoc& w) { return w.Analysis().AllNetsToNet0(); });
    });
}
