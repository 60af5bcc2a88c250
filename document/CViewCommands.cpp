#include "document/CViewCommands.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>

#include "document/CConfigStartUp.h"
#include "document/CDesign.h"
#include "document/CDesignExtent.h"
#include "document/CDesignSettings.h"
#include "document/CDocumentCleanup.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CViewCommandHost.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"
#include "framework/CFileDialogService.h"
#include "framework/CLauncher.h"
#include "framework/CListPickerService.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CTextArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

constexpr char quickGridTitle[] = "Quick snap to grid";
constexpr const char* quickGridFractions[] = {"1/10", "1/20",  "1/30",  "1/40",  "1/60",
                                              "1/80", "1/120", "1/160", "1/240", "1/320"};
constexpr char noSchematicApplication[] =
    "No schematic application is configured. Choose one under File, User Configuration, "
    "Start-up: \"Schematic App. Path\".";
constexpr char infoFileFilter[] = "Text Files (*.TXT *.txt)";
constexpr char schematicNotStarted[] = "The schematic application could not be started:\n";

// The Zoom... list: its key letters and the commands they stand for.
struct ZoomChoice {
    const char* key;
    uint32_t id;
};
constexpr ZoomChoice zoomChoices[] = {
    {"A", ID_VIEW_ZOOM_ALL},    {"H", ID_VIEW_ZOOM_HEIGHT}, {"I", ID_VIEW_ZOOM_IN},
    {"O", ID_VIEW_ZOOM_OUT},    {"W", ID_VIEW_ZOOM_WIDTH},  {"Z", ID_VIEW_PCB_OR_WORKAREA},
    {"1", ID_VIEW_ZOOM_ZOOM_1}, {"2", ID_VIEW_ZOOM_ZOOM_2}, {"3", ID_VIEW_ZOOM_ZOOM_3},
    {"4", ID_VIEW_ZOOM_ZOOM_4}, {"5", ID_VIEW_ZOOM_ZOOM_5},
};

constexpr uint32_t textModes[] = {ID_COMPONENTS_MOVE_ROTATE_TEXT, ID_BOARD_EDIT_TEXT,
                                  ID_BOARD_PLACE_TEXT};

// The status prompt of a command: its text up to the first line break.
std::string CommandPrompt(uint32_t id)
{
    const std::string text = CResString::Load(id);
    return text.substr(0, text.find('\n'));
}

bool IsComponentGridMode(uint32_t mode)
{
    return mode == ID_COMPONENTS_COPY || mode == ID_COMPONENTS_DELETE ||
           mode == ID_COMPONENTS_MIRROR || mode == ID_COMPONENTS_MOVE_ROTATE ||
           (mode >= ID_COMPONENTS_PROPERTIES && mode <= ID_COMPONENTS_SET_POSITION) ||
           mode == ID_COMPONENTS_ADD;
}

} // namespace

CViewCommands::CViewCommands(CWevraDoc& document, CViewCommandHost& host)
    : m_document(document), m_host(host)
{
    RegisterZoom();
    RegisterViewSwitches();
    RegisterEditing();
    RegisterTextAndTools();
    RegisterSelectionFilters();
    RegisterDisplay();
    RegisterCombos();
    RegisterPlanes();
    RegisterDialogs();
    RegisterLayers();
}

bool CViewCommands::IsEnabled(uint32_t id) const
{
    CCmdUI ui;
    ui.id = id;
    return Update(ui) ? ui.enabled : HasHandler(id);
}

bool CViewCommands::Send(uint32_t id) const
{
    return IsEnabled(id) && Execute(id);
}

void CViewCommands::SetMode(uint32_t mode)
{
    m_document.Session().SetMode(mode);
    RedrawFull();
}

void CViewCommands::RedrawFull()
{
    m_host.Redraw(true);
}

// ---- Zoom ---------------------------------------------------------------------------------------

void CViewCommands::RegisterZoom()
{
    CWevraDoc& doc = m_document;
    OnCommand(ID_VIEW_ZOOM_IN, [this] { ZoomBy(true); });
    OnCommand(ID_VIEW_ZOOM_OUT, [this] { ZoomBy(false); });
    OnUpdate(ID_VIEW_ZOOM_OUT,
             [&doc](CCmdUI& ui) { ui.Enable(doc.View().GetScale() < zoomOutLimit); });

    const auto hasBoard = [&doc](CCmdUI& ui) {
        ui.Enable(doc.Design().GetBoardWidth() != 0 && doc.Design().GetBoardHeight() != 0);
    };
    for (uint32_t id :
         {ID_VIEW_ZOOM_ALL, ID_VIEW_PCB_OR_WORKAREA, ID_VIEW_ZOOM_HEIGHT, ID_VIEW_ZOOM_WIDTH}) {
        OnCommand(id, [this, id] { FitBoard(id); });
        OnUpdate(id, hasBoard);
    }

    for (size_t i = 0; i < std::size(zoomScales); ++i)
        OnCommand(ID_VIEW_ZOOM_ZOOM_1 + uint32_t(i), [this, i] { SetZoomScale(zoomScales[i]); });

    OnCommand(ID_VIEW_ZOOM_WINDOW, [&doc] {
        doc.Session().SetAction(CEditState::actionWaiting);
        doc.View().SetZoomWindowPending(true);
    });
    OnUpdate(ID_VIEW_ZOOM_WINDOW,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.View().IsZoomWindowPending()); });
    OnCommand(ID_VIEW_ZOOM_ZOOM, [this] { PickZoom(); });
}

void CViewCommands::FitBoard(uint32_t id)
{
    switch (id) {
    case ID_VIEW_ZOOM_ALL:
        // Every item beyond the board too; PCB or Workarea takes the board alone.
        m_document.View().ZoomDesign(CDesignExtent::Of(m_document.Design()));
        break;
    case ID_VIEW_ZOOM_HEIGHT:
        m_document.View().ZoomHeight();
        break;
    case ID_VIEW_ZOOM_WIDTH:
        m_document.View().ZoomWidth();
        break;
    default:
        m_document.View().ZoomAll();
        break;
    }
    m_host.WarpMouseToCursor();
    RedrawFull();
}

int32_t CViewCommands::StepScale(bool in)
{
    const int32_t before = m_document.View().GetScale();
    // Stepping back right after a step returns to the scale it started from: a fifth less and
    // a fifth more are not inverse to one another.
    const int32_t scale =
        before == m_zoomTo && m_zoomedIn != in ? m_zoomFrom : CViewState::SteppedScale(before, in);
    m_zoomFrom = before;
    m_zoomTo = std::clamp(scale, CDesignSettings::minScale, CDesignSettings::maxScale);
    m_zoomedIn = in;
    return scale;
}

void CViewCommands::ZoomBy(bool in)
{
    const int32_t scale = StepScale(in);
    m_document.View().CenterOnCursor();
    m_document.View().SetScale(scale);
    m_document.View().CenterOnCursor();
    m_host.WarpMouseToCursor();
    m_host.SetWarpAfterRepaint(false);
    RedrawFull();
}

void CViewCommands::ZoomAtPixel(bool in, int32_t px, int32_t py)
{
    // The pointer stays where it is, and so does the board under it.
    m_document.View().ZoomAtPixel(StepScale(in), px, py);
    m_host.SetWarpAfterRepaint(false);
    RedrawFull();
}

void CViewCommands::SetZoomScale(int32_t scale)
{
    m_document.View().SetScale(scale);
    m_document.View().CenterOnCursor();
    m_host.WarpMouseToCursor();
    m_host.SetWarpAfterRepaint(false);
    RedrawFull();
}

void CViewCommands::PickZoom()
{
    std::vector<std::string> entries;
    for (const ZoomChoice& choice : zoomChoices)
        entries.push_back(std::string(choice.key) + ".\t" + CommandPrompt(choice.id));
    const int32_t picked = CServices::ListPicker().PickFromList(CommandPrompt(ID_VIEW_ZOOM_ZOOM),
                                                                entries, 0, ID_VIEW_ZOOM_ZOOM);
    if (picked >= 0 && size_t(picked) < std::size(zoomChoices))
        Send(zoomChoices[picked].id);
}

// ---- View switches, units and grid --------------------------------------------------------------

void CViewCommands::RegisterViewSwitches()
{
    CWevraDoc& doc = m_document;
    CViewCommandHost& host = m_host;

    OnCommand(ID_VIEW_SCROLL_BARS,
              [&host] { host.SetScrollBarsShown(!host.AreScrollBarsShown()); });
    OnUpdate(ID_VIEW_SCROLL_BARS, [&host](CCmdUI& ui) { ui.SetCheck(host.AreScrollBarsShown()); });
    OnCommand(ID_VIEW_GRID, [this] {
        m_document.Design().GetGridSettings().CycleMode();
        m_document.SetModified();
        RedrawFull();
    });
    OnUpdate(ID_VIEW_GRID, [&doc](CCmdUI& ui) { ui.SetCheck(doc.IsGridShown()); });
    OnCommand(ID_VIEW_LONG_CURSOR_CROSSHAIR, [&host] {
        host.SetLongCrosshair(!host.IsLongCrosshair());
        host.Redraw(false);
    });
    OnUpdate(ID_VIEW_LONG_CURSOR_CROSSHAIR,
             [&host](CCmdUI& ui) { ui.SetCheck(host.IsLongCrosshair()); });
    OnCommand(ID_VIEW_TOOLTIP_AT_CURSOR, [&host] {
        const bool on = !host.IsTooltipAtCursor();
        host.SetTooltipAtCursor(on);
        if (!on)
            host.Redraw(true);
    });
    OnUpdate(ID_VIEW_TOOLTIP_AT_CURSOR,
             [&host](CCmdUI& ui) { ui.SetCheck(host.IsTooltipAtCursor()); });

    const auto viewFlag = [this](uint32_t id, uint32_t bit) {
        OnUpdate(id,
                 [this, bit](CCmdUI& ui) { ui.SetCheck(m_document.Design().GetViewFlag(bit)); });
    };
    OnCommand(ID_VIEW_AUTO_PANNING, [&doc] {
        doc.Design().SetViewFlag(CDesignSettings::viewAutoPanning,
                                 !doc.Design().GetViewFlag(CDesignSettings::viewAutoPanning));
    });
    viewFlag(ID_VIEW_AUTO_PANNING, CDesignSettings::viewAutoPanning);
    OnCommand(ID_VIEW_HOLES_ALWAYS_VISIBLE, [this] {
        const bool on = !m_document.Design().GetViewFlag(CDesignSettings::viewHolesAlwaysVisible);
        // The holes are drawn with the drill layer, which the layer set must hold.
        if (on) {
            m_document.Session().SetWorkLayer(LAYER_DRILL);
            RedrawFull();
        }
        m_document.Design().SetViewFlag(CDesignSettings::viewHolesAlwaysVisible, on);
    });
    viewFlag(ID_VIEW_HOLES_ALWAYS_VISIBLE, CDesignSettings::viewHolesAlwaysVisible);

    OnCommand(ID_VIEW_UPDATE_ALL_VIEWS, [this] {
        m_document.Windows().FillLayerCombo();
        RedrawFull();
    });
    OnCommand(ID_DRAW_REDRAW, [this] { RedrawFull(); });
    // Sent by windows that have nothing to report; taken so that it goes no further.
    OnCommand(ID_OTHER_NOTHING, [] {});

    const struct {
        uint32_t id;
        int32_t unit;
    } units[] = {{ID_VIEW_INCHES, 0}, {ID_VIEW_MIL, 2}, {ID_VIEW_METRIC, 1}};
    for (const auto& entry : units) {
        const int32_t unit = entry.unit;
        OnCommand(entry.id, [this, unit] {
            m_document.Design().SetUnit(unit);
            m_document.SetModified();
            RedrawFull();
        });
        OnUpdate(entry.id,
                 [&doc, unit](CCmdUI& ui) { ui.SetRadio(doc.Session().GetUnit() == unit); });
    }
    OnCommand(ID_SETTINGS_QUICK_SELECT_GRID_SIZES, [this] { QuickSnapToGrid(); });
}

void CViewCommands::QuickSnapToGrid()
{
    const uint32_t mode = m_document.Session().GetMode();
    int32_t grid = CGridArr::gridDefault;
    if (IsComponentGridMode(mode))
        grid = CGridArr::gridBlock;
    else if (std::find(std::begin(textModes), std::end(textModes), mode) != std::end(textModes))
        grid = CGridArr::gridText;
    CGridArr& grids = m_document.Design().GetGridSettings();
    const int32_t unit = m_document.Session().GetUnit();

    std::vector<std::string> entries;
    int32_t current = -1;
    for (size_t i = 0; i < std::size(quickGridSizes); ++i) {
        entries.push_back(std::to_string(i) + ".\t" + quickGridFractions[i] + " inch  \t" +
                          CLengthText::FormatLengthFine(unit, quickGridSizes[i]));
        if (grids.GetSnap(grid).cx == quickGridSizes[i] && current < 0)
            current = int32_t(i);
    }
    const int32_t picked = CServices::ListPicker().PickFromList(
        quickGridTitle, entries, current, ID_SETTINGS_QUICK_SELECT_GRID_SIZES);
    if (picked < 0 || size_t(picked) >= std::size(quickGridSizes))
        return;
    grids.SetSnap(grid, quickGridSizes[picked], quickGridSizes[picked]);
    m_document.SetModified();
    RedrawFull();
}

// ---- Selection tool and editing -----------------------------------------------------------------

void CViewCommands::RegisterEditing()
{
    CWevraDoc& doc = m_document;
    const auto hasSelection = [&doc](CCmdUI& ui) {
        ui.Enable(doc.Session().GetSelectedCount() > 0);
    };

    OnCommand(ID_EDIT_SELECT_MODE, [this] { SetMode(ID_EDIT_SELECT_MODE); });
    OnUpdate(ID_EDIT_SELECT_MODE,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.Session().IsMode(ID_EDIT_SELECT_MODE)); });

    OnCommand(ID_EDIT_CANCEL, [this] {
        m_document.Editing().CancelMove();
        RedrawFull();
    });
    OnUpdate(ID_EDIT_CANCEL, [&doc](CCmdUI& ui) {
        ui.Enable(!doc.Session().IsMode(ID_VIEW) || doc.Session().GetSelectedCount() > 0);
    });

    OnCommand(ID_EDIT_COPY_SELECTION, [this] {
        m_document.Editing().CopySelection();
        m_document.Session().SetAction(CEditState::actionPlacingCopy);
        RedrawFull();
    });
    OnUpdate(ID_EDIT_COPY_SELECTION, hasSelection);
    const auto deleteSelection = [this] {
        m_document.Editing().DeleteSelection();
        m_document.Session().SetRubberBandVisible(false);
        m_document.Session().SetAction(CEditState::actionWaiting);
        RedrawFull();
    };
    OnCommand(ID_EDIT_DELETE_SELECTION, deleteSelection);
    OnUpdate(ID_EDIT_DELETE_SELECTION, hasSelection);
    // The Del key of the Select tool; the other tools take their Del keys themselves.
    OnCommand(ID_OTHER_DELETE, deleteSelection);
    OnUpdate(ID_OTHER_DELETE, [&doc](CCmdUI& ui) {
        ui.Enable(doc.Session().IsMode(ID_EDIT_SELECT_MODE) &&
                  doc.Session().GetSelectedCount() > 0);
    });
    OnCommand(ID_EDIT_ROTATE_90, [this] {
        m_document.Editing().RotateSelection90();
        RedrawFull();
    });
    OnUpdate(ID_EDIT_ROTATE_90, hasSelection);

    OnCommand(ID_NETLIST_DELETE_ALL_UNUSED_NETS, [&doc] { doc.Cleanup().DeleteUnusedNets(); });
    OnUpdate(ID_NETLIST_DELETE_ALL_UNUSED_NETS, [&doc](CCmdUI& ui) {
        const CNetArray& nets = doc.Design().GetNets();
        bool unused = false;
        for (int32_t i = 1; i < nets.GetCount() && !unused; ++i)
            unused = nets.GetNet(i)->GetPinCount() == 0;
        ui.Enable(unused);
    });

    OnCommand(ID_END_MODE, [this] { EndMode(); });
    OnUpdate(ID_END_MODE, [&doc](CCmdUI& ui) {
        ui.Enable(!doc.Session().IsMode(ID_VIEW) || doc.Session().GetSelectedCount() > 0 ||
                  !doc.Session().IsAction(CEditState::actionWaiting));
    });
}

void CViewCommands::EndMode()
{
    CWevraDoc& doc = m_document;
    const uint32_t mode = doc.Session().GetMode();
    if (IsPlaneMode(mode)) {
        doc.Planes().EndPlaneTool();
        RedrawFull();
        return;
    }
    if (std::find(std::begin(textModes), std::end(textModes), mode) != std::end(textModes) &&
        mode != ID_COMPONENTS_MOVE_ROTATE_TEXT) {
        doc.Design().GetTexts().EndStep();
        RedrawFull();
        return;
    }
    if (m_host.EndToolStep())
        return;
    if (mode == ID_EDIT_SELECT_MODE) {
        if (doc.Session().IsAction(CEditState::actionWaiting) &&
            doc.Session().GetSelectedCount() == 0) {
            SetMode(ID_VIEW);
            return;
        }
        if (doc.Session().IsAction(CEditState::actionPlacingCopy)) {
            // The copy never placed goes again.
            doc.Editing().DeleteSelectedItems();
            doc.Session().SetAction(CEditState::actionWaiting);
            m_host.Redraw(false);
            return;
        }
        doc.Session().DeselectAll();
        doc.Session().SetRubberBandVisible(false);
        doc.Session().SetAction(CEditState::actionWaiting);
        RedrawFull();
        return;
    }
    // Every other tool ends as Esc ends it: back to waiting, then to the idle tool.
    doc.Session().SetAction(CEditState::actionWaiting);
    if (doc.Session().GetSelectedCount() > 0) {
        doc.Session().DeselectAll();
        RedrawFull();
    }
    if (!doc.Session().IsMode(ID_VIEW))
        SetMode(ID_VIEW);
}

// ---- Text tools, netlist and other programs -----------------------------------------------------

void CViewCommands::RegisterTextAndTools()
{
    CWevraDoc& doc = m_document;
    const auto offersEditText = [] {
        return CDialogService::Get().Offers(CDialogService::Dialog::editText);
    };

    OnCommand(ID_BOARD_EDIT_TEXT, [this] { SetMode(ID_BOARD_EDIT_TEXT); });
    OnUpdate(ID_BOARD_EDIT_TEXT,
             [&doc](CCmdUI& ui) { ui.SetCheck(doc.Session().IsMode(ID_BOARD_EDIT_TEXT)); });
    // Placing a text starts with its Edit Text dialog.
    OnCommand(ID_BOARD_PLACE_TEXT, [this] { SetMode(ID_BOARD_PLACE_TEXT); });
    OnUpdate(ID_BOARD_PLACE_TEXT, [&doc, offersEditText](CCmdUI& ui) {
        ui.Enable(offersEditText());
        ui.SetCheck(doc.Session().IsMode(ID_BOARD_PLACE_TEXT));
    });
    OnCommand(ID_TEXT_MODIFY, [this] {
        m_host.SaveCursor();
        m_document.Design().GetTexts().EditProperties();
        m_host.RestoreCursor();
        RedrawFull();
    });
    OnUpdate(ID_TEXT_MODIFY, [&doc, offersEditText](CCmdUI& ui) {
        ui.Enable(offersEditText() && doc.Session().IsAction(CEditState::actionDragging) &&
                  (doc.Session().IsMode(ID_BOARD_EDIT_TEXT) ||
                   doc.Session().IsMode(ID_BOARD_PLACE_TEXT)));
    });

    OnCommand(ID_NETLIST_CONNECT_PINS_TO_NETS, [this] {
        CWevraDoc& d = m_document;
        d.Design().GetNets().ClearErrors();
        d.Session().SetMode(ID_NETLIST_CONNECT_PINS_TO_NETS);
        // The pins show the index of their net, and the ratsnest the connections still to make.
        d.Design().SetPadInfoMode(6);
        d.Design().SetAutoRatsnest(true);
        d.Design().GetNets().RecalcAll();
        d.Session().SetWorkLayer(LAYER_TOP);
        RedrawFull();
    });
    OnUpdate(ID_NETLIST_CONNECT_PINS_TO_NETS, [&doc](CCmdUI& ui) {
        ui.Enable(doc.Design().GetComponents().GetCount() > 0);
        ui.SetCheck(doc.Session().IsMode(ID_NETLIST_CONNECT_PINS_TO_NETS));
    });

    OnCommand(ID_TOOLS_RUN_SCHEMATIC_APPLICATION, [this] { RunSchematicApplication(); });
    OnCommand(ID_FILE_OPEN_INFOFILES, [this] { OpenInfoFile(); });
    OnUpdate(ID_FILE_OPEN_INFOFILES, [&doc](CCmdUI& ui) { ui.Enable(!doc.IsShapeDocument()); });
}

void CViewCommands::OpenInfoFile()
{
    // The reports the program writes lie beside the design.
    const std::optional<std::string> file = CServices::FileDialogs().ChooseOpenFile(
        CommandPrompt(ID_FILE_OPEN_INFOFILES), m_document.GetDesignFolder(), infoFileFilter);
    if (file)
        CServices::Launcher().ShowTextFile(*file);
}

void CViewCommands::RunSchematicApplication()
{
    CConfigStartUp settings;
    settings.Load();
    const std::string caption = CResString::Load(IDS_APP_TITLE);
    if (settings.m_schematicAppPath.empty()) {
        CServices::Messages().MessageBox(noSchematicApplication, caption, MB_OK,
                                         MB_ICONINFORMATION);
        return;
    }
    // The schematic of the design's netlist, when there is one.
    std::string schematic;
    const std::string& netlist = m_document.Design().GetNetlistPath();
    std::error_code error;
    if (!netlist.empty() && std::filesystem::exists(netlist, error)) {
        std::filesystem::path path = netlist;
        path.replace_extension("." + settings.m_schematicAppExtension);
        schematic = path.string();
    }
    if (!CServices::Launcher().StartProgram(settings.m_schematicAppPath, {schematic}))
        CServices::Messages().MessageBox(schematicNotStarted + settings.m_schematicAppPath, caption,
                                         MB_OK, MB_ICONEXCLAMATION);
}
