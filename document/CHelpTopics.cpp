#include "document/CHelpTopics.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "framework/CLauncher.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "resources/CommandIds.h"

namespace {

struct Topic {
    uint32_t command;
    const char* page;
};

// Sorted by command id, which the lookup below relies on.
constexpr std::array<Topic, 158> topics = {{
    {ID_TRACKS_ADD_OR_REMOVE_VIA, "TracksAddorRemoveVia"},
    {ID_VIEW_INCHES, "ViewInches"},
    {ID_VIEW_MIL, "ViewMil"},
    {ID_VIEW_METRIC, "ViewMetric"},
    {ID_BOARD_BOARD_SIZE_AND_OFFSET, "BoardBoardsize"},
    {ID_COMPONENTS_MOVE_ALL_TEXT_TO_CENTER, "ComponentsMoveAllTexttoCenter"},
    {ID_PADS_EDIT_COMPONENT_PADSTACKS, "SettingsComponentPad"},
    {ID_SETTINGS_GENERAL_PAD, "SettingsGeneralPad"},
    {ID_SETTINGS_LAYER, "SettingsLayer"},
    {ID_SETTINGS_PEN_WIDTH, "SettingsPenWidth"},
    {ID_SETTINGS_PENSTYLE_45_DEGREES, "SettingsPenstyle45degrees"},
    {ID_SETTINGS_VIA, "SettingsVia"},
    {ID_TOOLS_DRC_ACTIVE, "ToolsDRCActive"},
    {ID_TOOLS_DRC_TEST_ALL, "ToolsDRCTestAll"},
    {ID_COMPONENTS_COPY, "ComponentsCopy"},
    {ID_COMPONENTS_DELETE, "ComponentsDelete"},
    {ID_COMPONENTS_MIRROR, "ComponentsMirror"},
    {ID_COMPONENTS_MOVE_ROTATE, "ComponentsMoveRotate"},
    {ID_COMPONENTS_MOVE_ARRAY_CIRCULAR, "ComponentsMoveArrayCircular"},
    {ID_COMPONENTS_MOVE_ROTATE_TEXT, "ComponentsMoveRotateText"},
    {ID_COMPONENTS_PROPERTIES, "ComponentsProperties"},
    {ID_COMPONENTS_REPLACE_PADS, "ComponentsReplacePads"},
    {ID_COMPONENTS_REPLACE_SHAPE, "ComponentsReplaceShape"},
    {ID_COMPONENTS_ROTATE, "ComponentsRotate"},
    {ID_COMPONENTS_ROTATE_90_DEGR, "ComponentsRotate90Degr"},
    {ID_COMPONENTS_SET_POSITION, "ComponentsSetPosition"},
    {ID_COMPONENTS_SNAP_TO_GRID, "ComponentsSnaptogrid"},
    {ID_LINES_EDIT, "LinesEdit"},
    {ID_LINES_COPY_LINES, "LinesCopyLines"},
    {ID_LINES_DELETE_LINES, "LinesDeleteLines"},
    {ID_LINES_DELETE_SEGMENTS, "LinesDeleteSegments"},
    {ID_PADS_COPY, "PadsCopy"},
    {ID_PADS_DELETE, "PadsDelete"},
    {ID_PADS_MOVE, "PadsMoveRotate"},
    {ID_PADS_REPLACE, "PadsReplace"},
    {ID_PADS_ROTATE, "PadsRotate"},
    {ID_PLANES_NEW_PLANE, "PlanesAddFullBoard"},
    {ID_PLANES_ADD_CIRCLE, "PlanesAddCircle"},
    {ID_PLANES_ADD_POLYLINE, "PlanesAddPolyline"},
    {ID_PLANES_ADD_RECTANGLE, "PlanesAddRectangle"},
    {ID_PLANES_DELETE_ALL, "PlanesDeleteAll"},
    {ID_PLANES_MOVE_SEEDPOINT, "PlanesEditMoveSeedpoint"},
    {ID_PLANES_EDIT_POLYLINE, "PlanesEditPolyline"},
    {ID_PLANES_PROPERTIES, "PlanesProperties"},
    {ID_PLANES_REFILL_ALL, "PlanesRebuildAll"},
    {ID_PLANES_REFILL_LAYER, "PlanesRebuildLayer"},
    {ID_COMPONENTS_EDIT_SHAPE_LIBRARY, "ComponentsEditShapeLibrary"},
    {ID_BOARD_EDIT_TEXT, "BoardEditText"},
    {ID_TRACKS_EDIT, "TracksEdit"},
    {ID_TRACKS_CHANGE_TRACKS_WIDTH, "TracksChangeTracksWidth"},
    {ID_TRACKS_COPY_TRACKS, "TracksCopyTracks"},
    {ID_TRACKS_DELETE_TRACKS, "TracksDeleteTracks"},
    {ID_TRACKS_DELETE_SEGMENTS, "TracksDeleteSegments"},
    {ID_BOARD_CONFIGURATION, "BoardConfiguration"},
    {ID_FILE_EXPORT_EXPORT_PLY_CNF_CMP_FORMAT, "FileExportExportPLYCNFCMPFormat"},
    {ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS, "FileImportWevraDOSComponents"},
    {ID_FILE_OPEN_INFOFILES, "FileOpenInfofiles"},
    {ID_FILE_OUTPUT, "FileOutput"},
    {ID_TOOLS_RUN_SCHEMATIC_APPLICATION, "ToolsRunSchematicApplication"},
    {ID_NETLIST_ADD_NET, "NetlistAddnewNet"},
    {ID_NETLIST_DELETE_ALL_UNUSED_NETS, "NetlistDeleteAllUnusedNets"},
    {ID_NETLIST_CONNECT_PINS_TO_NETS, "NetlistConnectPinstoNets"},
    {ID_NETLIST_LOAD, "NetlistLoad"},
    {ID_NETLIST_UPDATE_FROM_NETPINS, "NetlistUpdatefromNetPins"},
    {ID_NETLIST_REBUILD_FROM_TRACKS, "NetlistRebuildfromTracks"},
    {ID_NETLIST_ALL_NETS_TO_NET_0, "NetlistAllNetstoNet0"},
    {ID_VIEW_COMPONENTS_PIN_INFO_FONT_FOR_PIN_INFO, "ViewComponentsPinInfoFontforPinInfo"},
    {ID_PADS_ARRAY_RECTANGULAR, "PadsAddRectangularArray"},
    {ID_PADS_ARRAY_CIRCULAR, "PadsAddCircularArray"},
    {ID_TRACKS_ADD_CIRCLES, "TracksAddCircles"},
    {ID_COMPONENTS_ADD, "ComponentsAdd"},
    {ID_TRACKS_ADD_ELLIPSES, "TracksAddEllipses"},
    {ID_LINES_ADD, "LinesAdd"},
    {ID_LINES_ADD_CIRCLES, "LinesAddCircles"},
    {ID_LINES_ADD_ELLIPSES, "LinesAddEllipses"},
    {ID_LINES_ADD_RECTANGLES, "LinesAddRectangles"},
    {ID_PADS_ADD_MANUALLY, "PadsAddManually"},
    {ID_TRACKS_ADD_RECTANGLES, "TracksAddRectangles"},
    {ID_BOARD_PLACE_TEXT, "BoardPlaceText"},
    {ID_TRACKS_ADD, "TracksAdd"},
    {ID_SETTINGS_QUICK_SELECT_GRID_SIZES, "SettingsQuikSelectGridSizes"},
    {ID_TOOLS_RATSNEST_ACTIVE, "ToolsRatsnestActive"},
    {ID_TOOLS_AUTOROUTING_ROUTE_ALL_TOP_AND_BOT_LAYERS, "ToolsAutoRoutingRouteAllTOPandBOTLayers"},
    {ID_TOOLS_AUTOROUTING_ROUTE_ALL_DEFAULT_LAYER, "ToolsAutoRoutingRouteAllDefaultLayer"},
    {ID_TOOLS_AUTOROUTING_ROUTE_MANUAL_TRACKS, "ToolsAutoRoutingRouteManualTracks"},
    {ID_EDIT_SELECT_MODE, "EditSelectionTool"},
    {ID_EDIT_SELECTION_FILTERS_TRACKS_OF_COMPONENTS, "EditSelectionFiltersTracksofComponents"},
    {ID_EDIT_SELECTION_FILTERS_SELECT_BLOCKS, "EditSelectionFiltersBlocks"},
    {ID_EDIT_SELECTION_FILTERS_COMPONENTS, "EditSelectionFiltersComponents"},
    {ID_EDIT_SELECTION_FILTERS_ELECTRICAL_OBJECTS, "EditSelectionFiltersElectricalObjects"},
    {ID_EDIT_SELECTION_FILTERS_SELECT_LINES, "EditSelectionFiltersLines"},
    {ID_EDIT_SELECTION_FILTERS_NETS, "EditSelectionFiltersNets"},
    {ID_EDIT_SELECTION_FILTERS_NON_ELECTRICAL_OBJECTS, "EditSelectionFiltersNonElectricalObjects"},
    {ID_EDIT_SELECTION_FILTERS_PADS, "EditSelectionFiltersPads"},
    {ID_EDIT_SELECTION_FILTERS_SELECT_POINTS, "EditSelectionFiltersPoints"},
    {ID_EDIT_SELECTION_FILTERS_TEXTS, "EditSelectionFiltersTexts"},
    {ID_SETTINGS_SET_GRID, "SettingsSetGridSizes"},
    {ID_SETTINGS_SET_GRID_OFFSET, "SettingsSetGridOffset"},
    {ID_SETTINGS_SNAP_TO_GRID, "SettingsSnaptoGrid"},
    {ID_SETTINGS_SNAP_TO_GUIDELINES, "SettingsSnaptoGuidelines"},
    {ID_COMPONENTS_TEXT_OPTIONS, "ComponentsTextOptions"},
    {ID_TOOLS_AUTOROUTING_UNROUTE_ALL_ONLY_AUTOROUTED, "ToolsAutoRoutingUnRouteAllOnlyAutorouted"},
    {ID_FILE_USER_CONFIGURATION, "FileUserConfiguration"},
    {ID_VIEW_BOTTOM_PANE, "ViewBottomPane"},
    {ID_VIEW_COMPONENTS_TEXT_HIDE, "ViewComponentTextHide"},
    {ID_VIEW_COMPONENTS_TEXT_COMPONENT_REFERENCE_TEXT, "ViewComponentTextReferenceText"},
    {ID_VIEW_COMPONENTS_TEXT_COMPONENT_SHAPE_TEXT, "ViewComponentTextShapeText"},
    {ID_VIEW_COMPONENTS_TEXT_COMPONENT_TYPE_TEXT, "ViewComponentTextTypeText"},
    {ID_VIEW_SELECT_LAYERSET, "ViewSelectLayerset"},
    {ID_VIEW_LEFT_PANE, "ViewLeftPane"},
    {ID_SETTINGS_LOCK_RELATIVE_RULER, "SettingsLockRelativeRuler"},
    {ID_BOARD_PROPERTIES, "BoardProperties"},
    {ID_VIEW_COMPONENTS_PIN_INFO_HIDE, "ViewComponentsPinInfoHide"},
    {ID_VIEW_COMPONENTS_PIN_INFO_HOLE_DIAMETERS, "ViewComponentsPinInfoHoleDiameters"},
    {ID_VIEW_COMPONENTS_PIN_INFO_NET_INDEX, "ViewComponentsPinInfoNetIndex"},
    {ID_VIEW_COMPONENTS_PIN_INFO_NET_NAMES, "ViewComponentsPinInfoNetNames"},
    {ID_VIEW_COMPONENTS_PIN_INFO_PIN_NUMBERS, "ViewComponentsPinInfoPinNumbers"},
    {ID_VIEW_COMPONENTS_PIN_INFO_PADSTACK_INDEX, "ViewComponentsPinInfoPadstackIndex"},
    {ID_VIEW_COMPONENTS_PIN_INFO_PADSTACK_NAMES, "ViewComponentsPinInfoPadstackNames"},
    {ID_VIEW_COMPONENTS_PIN_INFO_SUBNET_MARK, "ViewComponentsPinInfoSubnetMark"},
    {ID_VIEW_PLANES_HATCHVIEW, "ViewPlanesHatchview"},
    {ID_VIEW_PLANES_HIDE, "ViewPlanesHide"},
    {ID_VIEW_PLANES_WYSIWYG, "ViewPlanesWYSIWYG"},
    {ID_VIEW_SCROLL_BARS, "ViewScrollbars"},
    {ID_VIEW_GRID, "ViewGrid"},
    {ID_VIEW_TOOLTIP_AT_CURSOR, "ViewAutoHighlightNetatCursor"},
    {ID_COMPONENTS_COMPONENT_TABLE, "ComponentsComponentTable"},
    {ID_BOARD_LAYER_TABLE, "BoardLayerTable"},
    {ID_NETLIST_NETLIST_TABLE, "NetlistNetListTable"},
    {ID_PADS_PADSTACK_TABLE, "PadsPadstackTable"},
    {ID_COMPONENTS_SHAPE_TABLE, "ComponentsShapeTable"},
    {ID_VIEW_TOGGLE_TRANSPARENT_COLORS, "ViewToggleTransparentColors"},
    {ID_VIEW_ZOOM_ALL, "ViewZoomAll"},
    {ID_VIEW_ZOOM_HEIGHT, "ViewZoomHeight"},
    {ID_VIEW_ZOOM_IN, "ViewZoomIn"},
    {ID_VIEW_ZOOM_OUT, "ViewZoomOut"},
    {ID_VIEW_ZOOM_WIDTH, "ViewZoomWidth"},
    {ID_VIEW_ZOOM_WINDOW, "ViewZoomWindow"},
    {ID_FILE_NEW, "FileNew"},
    {ID_FILE_OPEN, "FileOpen"},
    {ID_FILE_CLOSE, "FileClose"},
    {ID_FILE_SAVE, "FileSave"},
    {ID_FILE_SAVE_AS, "FileSaveAs"},
    {ID_FILE_PRINT_SETUP, "FilePrintSetup"},
    {ID_FILE_PRINT, "FilePrint"},
    {ID_FILE_PRINT_PREVIEW, "FilePrintPreview"},
    {ID_FILE_SEND_MAIL, "FileSendMail"},
    {ID_FILE_RECENT_FILE, "FileRecentFile"},
    {ID_EDIT_UNDO, "EditUndo"},
    {ID_EDIT_REDO, "EditRedo"},
    {ID_WINDOW_CASCADE, "WindowCascade"},
    {ID_WINDOW_TILE_HORIZONTAL, "WindowTileHorizontal"},
    {ID_WINDOW_TILE_VERTICAL, "WindowTileVertical"},
    {ID_HELP_ABOUT_WEVRA, "HelpAboutWevra"},
    {ID_FILE_EXIT, "FileExit"},
    {ID_HELP_HELP_INDEX, "HelpHelpContents"},
    {ID_VIEW_TOOLBAR, "ViewToolbar"},
    {ID_VIEW_STATUS_BAR, "ViewStatusBar"},
}};
static_assert(std::is_sorted(topics.begin(), topics.end(),
                             [](const Topic& a, const Topic& b) { return a.command < b.command; }),
              "help topics must be sorted by command id");

constexpr char fallbackTopic[] = "Hotkeys";

std::filesystem::path HelpFolder()
{
    return CPathHelper::GetProgramFolder() / "help";
}

} // namespace

std::string CHelpTopics::PageFor(uint32_t helpContext)
{
    // Dialogs ask for help with this added to the command that opens them.
    constexpr uint32_t dialogContextBase = 0x10000;
    uint32_t command =
        helpContext >= dialogContextBase ? helpContext - dialogContextBase : helpContext;
    auto found =
        std::lower_bound(topics.begin(), topics.end(), command,
                         [](const Topic& topic, uint32_t id) { return topic.command < id; });
    std::string topic =
        found != topics.end() && found->command == command ? found->page : fallbackTopic;
    return topic + ".htm";
}

bool CHelpTopics::Show(uint32_t helpContext)
{
    const std::filesystem::path folder = HelpFolder();
    std::filesystem::path page = folder / PageFor(helpContext);
    std::error_code error;
    if (!std::filesystem::is_regular_file(page, error))
        page = folder / (std::string(fallbackTopic) + ".htm");
    return CServices::Launcher().ShowPage(page);
}
