#include "document/CHelpTopics.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "framework/CLauncher.h"
#include "framework/CServices.h"

namespace {

struct Topic {
    uint32_t command;
    const char* page;
};

// Sorted by command id.
constexpr std::array<Topic, 158> topics = {{
    {32775, "TracksAddorRemoveVia"},
    {32776, "ViewInches"},
    {32777, "ViewMil"},
    {32778, "ViewMetric"},
    {32784, "BoardBoardsize"},
    {32827, "ComponentsMoveAllTexttoCenter"},
    {32830, "SettingsComponentPad"},
    {32831, "SettingsGeneralPad"},
    {32832, "SettingsLayer"},
    {32834, "SettingsPenWidth"},
    {32835, "SettingsPenstyle45degrees"},
    {32837, "SettingsVia"},
    {32846, "ToolsDRCActive"},
    {32847, "ToolsDRCTestAll"},
    {32851, "ComponentsCopy"},
    {32852, "ComponentsDelete"},
    {32855, "ComponentsMirror"},
    {32856, "ComponentsMoveRotate"},
    {32857, "ComponentsMoveArrayCircular"},
    {32858, "ComponentsMoveRotateText"},
    {32859, "ComponentsProperties"},
    {32860, "ComponentsReplacePads"},
    {32861, "ComponentsReplaceShape"},
    {32862, "ComponentsRotate"},
    {32863, "ComponentsRotate90Degr"},
    {32864, "ComponentsSetPosition"},
    {32865, "ComponentsSnaptogrid"},
    {32870, "LinesEdit"},
    {32873, "LinesCopyLines"},
    {32874, "LinesDeleteLines"},
    {32876, "LinesDeleteSegments"},
    {32885, "PadsCopy"},
    {32886, "PadsDelete"},
    {32887, "PadsMoveRotate"},
    {32888, "PadsReplace"},
    {32889, "PadsRotate"},
    {32895, "PlanesAddFullBoard"},
    {32896, "PlanesAddCircle"},
    {32897, "PlanesAddPolyline"},
    {32898, "PlanesAddRectangle"},
    {32901, "PlanesDeleteAll"},
    {32903, "PlanesEditMoveSeedpoint"},
    {32904, "PlanesEditPolyline"},
    {32905, "PlanesProperties"},
    {32906, "PlanesRebuildAll"},
    {32907, "PlanesRebuildLayer"},
    {32917, "ComponentsEditShapeLibrary"},
    {32920, "BoardEditText"},
    {32921, "TracksEdit"},
    {32923, "TracksChangeTracksWidth"},
    {32924, "TracksCopyTracks"},
    {32925, "TracksDeleteTracks"},
    {32926, "TracksDeleteSegments"},
    {32948, "BoardConfiguration"},
    {32951, "FileExportExportPLYCNFCMPFormat"},
    {32952, "FileImportWevraDOSComponents"},
    {32955, "FileOpenInfofiles"},
    {32956, "FileOutput"},
    {32966, "ToolsRunSchematicApplication"},
    {33010, "NetlistAddnewNet"},
    {33012, "NetlistDeleteAllUnusedNets"},
    {33013, "NetlistConnectPinstoNets"},
    {33014, "NetlistLoad"},
    {33016, "NetlistUpdatefromNetPins"},
    {33017, "NetlistRebuildfromTracks"},
    {33018, "NetlistAllNetstoNet0"},
    {33024, "ViewComponentsPinInfoFontforPinInfo"},
    {33035, "PadsAddRectangularArray"},
    {33036, "PadsAddCircularArray"},
    {33043, "TracksAddCircles"},
    {33044, "ComponentsAdd"},
    {33045, "TracksAddEllipses"},
    {33046, "LinesAdd"},
    {33047, "LinesAddCircles"},
    {33048, "LinesAddEllipses"},
    {33049, "LinesAddRectangles"},
    {33051, "PadsAddManually"},
    {33052, "TracksAddRectangles"},
    {33054, "BoardPlaceText"},
    {33055, "TracksAdd"},
    {33059, "SettingsQuikSelectGridSizes"},
    {33060, "ToolsRatsnestActive"},
    {33064, "ToolsAutoRoutingRouteAllTOPandBOTLayers"},
    {33065, "ToolsAutoRoutingRouteAllDefaultLayer"},
    {33066, "ToolsAutoRoutingRouteManualTracks"},
    {33067, "EditSelectionTool"},
    {33084, "EditSelectionFiltersTracksofComponents"},
    {33088, "EditSelectionFiltersBlocks"},
    {33089, "EditSelectionFiltersComponents"},
    {33090, "EditSelectionFiltersElectricalObjects"},
    {33091, "EditSelectionFiltersLines"},
    {33092, "EditSelectionFiltersNets"},
    {33093, "EditSelectionFiltersNonElectricalObjects"},
    {33094, "EditSelectionFiltersPads"},
    {33095, "EditSelectionFiltersPoints"},
    {33097, "EditSelectionFiltersTexts"},
    {33102, "SettingsSetGridSizes"},
    {33103, "SettingsSetGridOffset"},
    {33106, "SettingsSnaptoGrid"},
    {33107, "SettingsSnaptoGuidelines"},
    {33121, "ComponentsTextOptions"},
    {33175, "ToolsAutoRoutingUnRouteAllOnlyAutorouted"},
    {33179, "FileUserConfiguration"},
    {33185, "ViewBottomPane"},
    {33190, "ViewComponentTextHide"},
    {33191, "ViewComponentTextReferenceText"},
    {33192, "ViewComponentTextShapeText"},
    {33193, "ViewComponentTextTypeText"},
    {33196, "ViewSelectLayerset"},
    {33197, "ViewLeftPane"},
    {33198, "SettingsLockRelativeRuler"},
    {33200, "BoardProperties"},
    {33201, "ViewComponentsPinInfoHide"},
    {33202, "ViewComponentsPinInfoHoleDiameters"},
    {33203, "ViewComponentsPinInfoNetIndex"},
    {33204, "ViewComponentsPinInfoNetNames"},
    {33205, "ViewComponentsPinInfoPinNumbers"},
    {33206, "ViewComponentsPinInfoPadstackIndex"},
    {33207, "ViewComponentsPinInfoPadstackNames"},
    {33208, "ViewComponentsPinInfoSubnetMark"},
    {33209, "ViewPlanesHatchview"},
    {33210, "ViewPlanesHide"},
    {33211, "ViewPlanesWYSIWYG"},
    {33212, "ViewScrollbars"},
    {33213, "ViewGrid"},
    {33215, "ViewAutoHighlightNetatCursor"},
    {33216, "ComponentsComponentTable"},
    {33217, "BoardLayerTable"},
    {33218, "NetlistNetListTable"},
    {33220, "PadsPadstackTable"},
    {33222, "ComponentsShapeTable"},
    {33225, "ViewToggleTransparentColors"},
    {33233, "ViewZoomAll"},
    {33234, "ViewZoomHeight"},
    {33235, "ViewZoomIn"},
    {33236, "ViewZoomOut"},
    {33238, "ViewZoomWidth"},
    {33239, "ViewZoomWindow"},
    {57600, "FileNew"},
    {57601, "FileOpen"},
    {57602, "FileClose"},
    {57603, "FileSave"},
    {57604, "FileSaveAs"},
    {57606, "FilePrintSetup"},
    {57607, "FilePrint"},
    {57609, "FilePrintPreview"},
    {57612, "FileSendMail"},
    {57616, "FileRecentFile"},
    {57643, "EditUndo"},
    {57644, "EditRedo"},
    {57650, "WindowCascade"},
    {57651, "WindowTileHorizontal"},
    {57652, "WindowTileVertical"},
    {57664, "HelpAboutWevra"},
    {57665, "FileExit"},
    {57667, "HelpHelpContents"},
    {59392, "ViewToolbar"},
    {59393, "ViewStatusBar"},
}};

// Dialogs ask for help with this added to the command that opens them.
constexpr uint32_t dialogContextBase = 0x10000;
constexpr char fallbackTopic[] = "Hotkeys";

std::filesystem::path HelpFolder()
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path("help") : program.parent_path() / "help";
}

} // namespace

std::string CHelpTopics::PageFor(uint32_t helpContext)
{
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
    if (!std::filesystem::is_regular_file(page, error))
        return false;
    return CServices::Launcher().OpenInBrowser(page);
}
