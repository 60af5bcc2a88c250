#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/CPoint.h"
#include "framework/CSize.h"

class CDesign;
class CDocumentPaint;
class CDosConfig;
class CEditSession;
class CGridArr;
class CPenTables;
class CShapeLib;
class CShapeLibArray;
class CToolDocument;
class CWevraDoc;

// The modal dialogs that model tools open, reduced to the plain values they are filled with
// and give back. The editor installs an implementation built on its Qt dialogs; tests install a
// scripted one. Each method returns the dialog's result (1 for OK, IDCANCEL = 2 for Cancel, or
// the id of another button that ends it) and edits its in/out values only on OK. Without an
// installed service every dialog answers Cancel.
class CDialogService {
public:
    static constexpr int32_t resultOk = 1;
    static constexpr int32_t resultCancel = 2;
    // "Input sizes" ends with this instead when the user wants to draw the box with the mouse.
    static constexpr int32_t resultWindow = 1660;
    // "Board Size" ends with this instead when the user wants to draw the board with the mouse.
    static constexpr int32_t resultBoardWindow = 1028;
    // "Shape Library" ends with this instead when it has handed the shape editor a library.
    static constexpr int32_t resultEditShape = 32917;

    // The dialogs, for asking whether the installed service can show one.
    enum class Dialog : uint8_t {
        netAdd,
        boardSize,
        setGrid,
        netGroups,
        position,
        moveUserOffset,
        clean,
        getShape,
        compProperties,
        newPcb,
        designConfig,
        editText,
        pcbInfo,
        borderSize,
        planeProperties,
        copyArray,
        templateImport,
        selectPad,
        padInfo,
        displayCompText,
        padArrayRect,
        padArrayCirc,
        pens,
        rotation,
        compText,
        centerText,
        inputSizes,
        compSetPosition,
        selectLayer,
        displayLayerset,
        compCircular,
        selCompText,
        importLayermap,
        shapeLibrary,
    };

    // "Place a Rectangular Array of Pads": the start relative to the user offset and the
    // distances as length texts, the pad counts as whole numbers, the rotations of the array
    // and of each pad as degrees texts.
    struct RectPadArray {
        std::string xStart;
        std::string yStart;
        std::string xDistance;
        std::string yDistance;
        std::string xCount;
        std::string yCount;
        std::string arrayRotation;
        std::string padRotation;
    };
    // "Place a Circular Array of Pads": the centre relative to the user offset and the radius
    // as length texts, the angles of the first and last pad and the first pad's rotation as
    // degrees texts, the count, and whether each pad turns with its place on the circle.
    struct CircPadArray {
        std::string xCenter;
        std::string yCenter;
        std::string radius;
        std::string firstAngle;
        std::string lastAngle;
        std::string firstRotation;
        std::string count;
        bool incrementRotation = false;
    };

    virtual ~CDialogService() = default;

    // The installed service, or the one that cancels everything.
    static CDialogService& Get();
    // Installs a service (not owned); nullptr reinstalls the cancelling default. Returns the
    // service installed before (nullptr for the default).
    static CDialogService* Set(CDialogService* service);

    // Whether this service shows the dialog rather than answering Cancel at once: a command
    // that opens a dialog no service shows stays disabled. None without an installed service.
    virtual bool Offers(Dialog /*dialog*/) const { return false; }

    // "Add Net": `name` holds the proposed unique net name and returns the one typed.
    virtual int32_t NetAdd(std::string& name);
    // "Board Size" (`workspace`: the workspace of a shape document): the width and height as
    // length texts in the display unit; may end with resultBoardWindow.
    virtual int32_t BoardSize(std::string& width, std::string& height, bool workspace);
    // "Set Grid": the snap sizes in board units, shown and typed in `unit`, and the snap switch.
    virtual int32_t SetGrid(int32_t unit, int32_t& x, int32_t& y, bool& snapOn);
    // "Edit Netgroups": the two groups chosen and the spacing typed.
    virtual int32_t NetGroups(std::string& groupA, std::string& groupB, std::string& spacing);
    // "Position", titled `title` when it is not empty: a point in board units, shown in `unit`;
    // the typed absolute values plus the typed relative ones come back.
    virtual int32_t Position(const std::string& title, int32_t unit, int32_t& x, int32_t& y);
    // A component as "Move User Offset" offers it: its reference and the board positions of
    // its pins 1, 2, ...
    struct PinnedComponent {
        std::string reference;
        std::vector<CPoint> pins;
    };
    // "Move User Offset": the new user offset, at typed distances from a chosen pin, (0, 0) or
    // the board's centre; Cancel ("Use cursor") leaves the offset to be picked on the board.
    virtual int32_t MoveUserOffset(int32_t unit, const std::vector<PinnedComponent>& components,
                                   CSize board, CPoint& offset);
    // What "Clean" is to do; the border around drill holes is in board units.
    struct CleanChoices {
        bool unusedNets = true;
        bool unusedShapes = true;
        bool unusedPads = true;
        bool minimalPadSize = true;
        int32_t border = 0;
    };
    virtual int32_t Clean(int32_t unit, CleanChoices& choices);
    // "Component Properties" for component `component` of the document: its names, position,
    // rotation, side, group, cluster and flag bits (each lock shown inverted, as "Enabled for
    // Editing"). OK records an undo state and edits the component in place; Cancel changes
    // nothing.
    virtual int32_t CompProperties(CToolDocument& document, int32_t component);
    // "New PCB Design": OK lets the new design be made; it may read a template design into the
    // document (with the document's template flag set around the read).
    virtual int32_t NewPcb(CWevraDoc& document);
    // What "Design Configuration" edits of the open design: the design, the editing session
    // (the display unit; it marks the design modified) and the painting (the layers' colours,
    // the previews), with the design's folder and name, where the output jobs' files go.
    struct DesignParts {
        CDesign& design;
        CEditSession& session;
        CDocumentPaint& paint;
        std::string folder;
        std::string name;
    };
    // "Design Configuration", opened on page `firstPage` (0 Display, 1 DRC, 2 Grid, 3 Layers,
    // 4 Output): the Display, Layers and Output pages edit the design at once, the Grid page
    // edits `grids` (loaded from the design's), which the caller takes over on OK.
    virtual int32_t DesignConfig(const DesignParts& parts, int32_t firstPage, CGridArr& grids);
    // "Edit Text": the characters; the height (`size`) and line width (`width`) as length texts
    // in the display unit; the layer number, shown by its name in `layerNames` (indexed by
    // layer number); the mirror switch; the rotation as a degrees text.
    virtual int32_t EditText(std::string& text, std::string& size, std::string& width,
                             int32_t& layer, bool& mirrored, std::string& rotation,
                             const std::vector<std::string>& layerNames);
    // "PCB-design Info", display only: the board width and height as length texts, the
    // numbers of components, component pins and nets.
    virtual int32_t PcbInfo(const std::string& boardXSize, const std::string& boardYSize,
                            const std::string& components, const std::string& componentPins,
                            const std::string& nets);
    // "Set border size": `chosen` takes one of the length texts in `choices`.
    virtual int32_t BorderSize(const std::vector<std::string>& choices, std::string& chosen);
    // "Plane Properties": the plane's name, net (-1 none), layer, style (1 solid, 2 line,
    // 3 cross hatch), pen width, hatch grid, minimal space and start (seed) point in board
    // units, and its hatch rotation as a degrees text.
    struct PlaneValues {
        std::string name;
        int32_t net = -1;
        int32_t layer = 1;
        int32_t style = 1;
        int32_t penWidth = 0;
        int32_t hatchGrid = 0;
        std::string hatchRotation;
        int32_t minSpace = 0;
        CPoint start;
    };
    // Lengths are shown and typed in `unit`; `layerNames` is indexed by layer number, empty for
    // a layer that is not offered; `netNames` by net number.
    virtual int32_t PlaneProperties(int32_t unit, const std::vector<std::string>& layerNames,
                                    const std::vector<std::string>& netNames, PlaneValues& plane);
    // "Copy Rectangular Array...": the X and Y distances as length texts in the display unit,
    // the columns, the rows and the reference increment as typed.
    virtual int32_t CopyArray(std::string& xDistance, std::string& yDistance, std::string& columns,
                              std::string& rows, std::string& increment);
    // "Import Properties from Template": imports from the template design into the document.
    virtual int32_t TemplateImport(CWevraDoc& document);
    // "Input sizes": the width and height of a figure as length texts in the display unit; may
    // end with resultWindow.
    virtual int32_t InputSizes(std::string& width, std::string& height);
    // "Rotation": the angle as a degrees text and whether it is absolute (else relative to
    // each component's own rotation).
    virtual int32_t Rotation(std::string& angle, bool& absolute);
    // A placed component as "Get Shape" sees it.
    struct PlacedComponent {
        std::string reference;
        std::string type;
        std::string shape;
    };
    // What "Get Shape" is opened for: the shape of a new component (with its reference
    // prefix and type) or the replacement of the edited components' shape; the design's
    // components propose prefixes and types and hide the shapes private to one of them.
    struct ShapeRequest {
        bool replace = false;
        std::vector<PlacedComponent> components;
    };
    // "Get Shape": the shape chosen, as its index in the design's shape cache (the dialog
    // copies a shape of another library into the cache), with the reference prefix and the
    // type text for a new component.
    virtual int32_t GetShape(CShapeLib& cache, const ShapeRequest& request, int32_t& shape,
                             std::string& prefix, std::string& type);
    // "Shape Library", the library mode of "Get Shape": maintains the library set and the
    // design's shape cache in place (a copy of the cache is named after `designTitle`);
    // `cacheChanged` tells whether the cache changed. It may end with resultEditShape after
    // handing the document frame the library whose shape is to be edited.
    virtual int32_t ShapeLibrary(CShapeLib& cache, CShapeLibArray& libraries,
                                 const ShapeRequest& request, const std::string& designTitle,
                                 bool& cacheChanged);
    // "Edit Component Set Position" for `component` (its reference and the positions of its
    // pins 1, 2, ...), with the centre of its box and the mouse position as the other points
    // to measure from; every point relative to the user offset, shown in `unit`. Gives back
    // the offset to move by, in board units.
    virtual int32_t CompSetPosition(int32_t unit, const PinnedComponent& component, CPoint center,
                                    CPoint mouse, int32_t& dx, int32_t& dy);
    // "Select Pad" for the default padstack of `kind` (1 free pad, 2 shape pad, 4 via): adds,
    // edits and deletes the design's padstacks and sets the kind's default itself.
    virtual int32_t SelectPad(CWevraDoc& document, int32_t kind);
    // "Padinfo": what the pads show (0 nothing .. 6 net indexes) and whether pins without a
    // connection are marked.
    virtual int32_t PadInfo(int32_t& display, bool& markers);
    // "Display componentstext": which component texts the display layer set shows.
    virtual int32_t DisplayCompText(bool& reference, bool& shape, bool& type);
    virtual int32_t PadArrayRect(RectPadArray& values);
    virtual int32_t PadArrayCirc(CircPadArray& values);
    // "Pens": shows and edits the pen tables that `pens` stands for; its changes are made as
    // the buttons are pressed, and Cancel leaves them to the caller to undo.
    virtual int32_t Pens(CPenTables& pens);
    // "Component Text": the height and the pen width of the reference, type and shape texts,
    // as length texts.
    virtual int32_t CompText(std::array<std::string, 3>& sizes, std::array<std::string, 3>& pens);
    // "Center All Text": which component texts go to the centre of their components.
    virtual int32_t CenterText(bool& reference, bool& type, bool& shape);
    // "Select Default Layer": `layer` takes the enabled layer chosen (the session's work layer
    // is offered first), each shown with its colour.
    virtual int32_t SelectLayer(const CDesign& design, const CEditSession& session,
                                const CDocumentPaint& paint, int32_t& layer);
    // "Display Layerset": the display layer set chosen becomes current (already while the
    // dialog is open); Cancel makes the set current at the start current again.
    virtual int32_t DisplayLayerset(CWevraDoc& document);

    // "Move component array circular": the centre relative to the user offset and the radius
    // as length texts, the angles (degrees texts) of the first and the last place, their
    // difference, the rotation of the first component and the rotation added per component,
    // and the components to put on the circle, as indexes into the references shown, in the
    // order they go round.
    struct CircularPlacement {
        std::string xCenter;
        std::string yCenter;
        std::string radius;
        std::string angleBegin;
        std::string angleEnd;
        std::string angleTotal;
        std::string angleFirst;
        std::string anglePer;
        std::vector<int32_t> moved;
    };
    virtual int32_t CompCircular(const std::vector<std::string>& references,
                                 CircularPlacement& values);
    // "Components Text Selector": which component text the Move/Rotate Text tool moves, 0
    // reference, 1 type, 2 shape name; -1 while none is chosen.
    virtual int32_t SelCompText(int32_t& choice);
    // "Import Layermap": shows the tables of the DOS configuration file `cnfPath` that `config`
    // holds (Browse, when `browse`, reads another file into it) and lets the user assign the
    // DOS layers 1..15 to the board layers named in `layerNames` (by layer number) and type the
    // widths of pens 1..7 and of DOS layers 8..15. The layer map `config` holds is preset.
    virtual int32_t ImportLayermap(const std::string& cnfPath, bool browse, uint32_t helpId,
                                   const std::vector<std::string>& layerNames, CDosConfig& config);
};
