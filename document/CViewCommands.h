#pragma once

#include <cstdint>
#include <vector>

#include "framework/CCommandTarget.h"
#include "framework/CPoint.h"

class CShapeLibArray;
class CViewCommandHost;
class CWevraDoc;

// The board view's commands, for the command router: zoom and view switches, units and the
// quick grid, the selection tool and its filters, the display switches, the toolbar's combo
// boxes, the plane commands, the text tools and a few netlist and tool commands. Each has its
// update twin; a command that needs something (a selection, a current plane, components, more
// than one net, a dialog the program can show) is disabled without it, so no enabled item
// does nothing. The board view hands itself over as the host for what only the window has.
class CViewCommands : public CCommandTarget {
public:
    // Board units per pixel of Zoom 1 to Zoom 5.
    static constexpr int32_t zoomScales[] = {5000, 2000, 1000, 500, 200};
    // Zoom Out is offered up to this scale; the O key zooms further.
    static constexpr int32_t zoomOutLimit = 10000;
    // The quick grid's snap steps, 1/10 to 1/320 inch (thirds truncated).
    static constexpr int32_t quickGridSizes[] = {25600, 12800, 8533, 6400, 4266,
                                                 3200,  2133,  1600, 1066, 800};

    CViewCommands(CWevraDoc& document, CViewCommandHost& host);

    // As the update pass of a menu sees the command: handled here and not disabled.
    bool IsEnabled(uint32_t id) const;
    // Runs a command of this map as a menu would: nothing when it is disabled. True when it ran.
    bool Send(uint32_t id) const;
    // The items of the plane tools' context menu, in order; 0 stands for a separator.
    std::vector<uint32_t> GetPlaneContextMenu() const;
    static bool IsPlaneMode(uint32_t mode);
    // A fifth in or out about the cursor; the step right after the opposite step returns to
    // the scale it came from.
    void ZoomBy(bool in);
    // The same step about the board point under the client pixel, which stays under it.
    void ZoomAtPixel(bool in, int32_t px, int32_t py);

    // Options of the view without a place in the design file.
    bool IsPathFinder1() const { return m_pathFinder1; }
    bool IsPathFinder2() const { return m_pathFinder2; }

    // The user offset a Set Grid Offset road gives, unless it lies beyond the range the design
    // keeps (opening a design puts a negative one at 0): then the user is told, and nothing
    // changes. True when taken.
    bool TakeUserOffset(CPoint offset);

private:
    // CViewCommands.cpp
    void RegisterZoom();
    void RegisterViewSwitches();
    void RegisterEditing();
    void RegisterTextAndTools();
    // CViewCommandsDisplay.cpp
    void RegisterSelectionFilters();
    void RegisterDisplay();
    void RegisterCombos();
    // CViewCommandsPlanes.cpp
    void RegisterPlanes();
    // CViewCommandsDialogs.cpp
    void RegisterDialogs();
    void EditBoardSize();
    void InputPosition();
    void SetGridOffset();
    void EditShapeLibrary();
    // Writes the library set to its file; false, with a message, when it cannot.
    static bool SaveLibrary(CShapeLibArray& libraries);
    // Asks for a file to write the library set to, which then becomes the user's library.
    static void SaveLibraryAs(CShapeLibArray& libraries);
    // CViewCommandsLayers.cpp
    void RegisterLayers();
    void EditDesignConfig(int32_t firstPage);
    void ChangeLayerOnSelection();

    // Starts the tool of a command and redraws.
    void SetMode(uint32_t mode);
    void RedrawFull();
    void FitBoard(uint32_t id);
    void SetZoomScale(int32_t scale);
    // The scale of the next step in or out, remembering the step for the one after.
    int32_t StepScale(bool in);
    void PickZoom();
    void QuickSnapToGrid();
    void EndMode();
    void SelectPenStep(int32_t step);
    // The current plane, or the one a tool outside the planes set aside; -1 for none.
    int32_t PlaneToEdit() const;
    void RunSchematicApplication();
    // A text file of the design's folder, such as a report, in the text editor.
    void OpenInfoFile();

    CWevraDoc& m_document;
    CViewCommandHost& m_host;
    bool m_pathFinder1 = false;
    bool m_pathFinder2 = false;
    // The last zoom step, so that the opposite step returns to the scale it came from.
    int32_t m_zoomFrom = 0;
    int32_t m_zoomTo = 0;
    bool m_zoomedIn = false;
};
