#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/CDesignSettings.h"
#include "document/CLayerCounts.h"
#include "document/CNetGroups.h"
#include "document/Rec12.h"
#include "framework/CFontDesc.h"
#include "framework/ColorRef.h"

class CArchive;
class CComponentArray;
class CComponentArrayDocument;
class CDrawRecArray;
class CGridArr;
class CLayerArray;
class CNetArray;
class CNetArrayDocument;
class COutputArray;
class COutputRec;
class CPadStackArray;
class CPour;
class CShapeLib;
class CTextArray;
class CWevraFont;
class CWevraText;

// What a design file holds: the collections of a board (layers, output jobs, display layer sets,
// drawn lines, nets, components, the shape cache, grids, font, texts, planes and the board
// outline) and the settings of the file's header, with the per-layer object counts (CLayerCounts)
// and the net groups (CNetGroups) worked out from them. It owns the collections for its whole
// life; their contents change places with another design's when a design is read or a template
// taken. The counts and net groups stay put: the document clears the one and rebuilds the other
// after a load.
// The nets, components and texts ask the document they were given for the editing state and
// painting they need; the design answers the questions about its own data, which the document's
// link (CDocumentLink) hands on to it.
class CDesign {
public:
    // Fresh collections, the nets and components of `netDocument` and `componentDocument`; the
    // texts get their document from the caller.
    CDesign(CNetArrayDocument& netDocument, CComponentArrayDocument& componentDocument);
    struct LoadTarget {};
    // A design to read a stream into: fresh collections, the header values of `current` (the
    // fields an older stream lacks keep them), a copy of its grids and font. The texts get
    // their document from the caller.
    CDesign(LoadTarget, const CDesign& current, CNetArrayDocument& netDocument,
            CComponentArrayDocument& componentDocument);
    ~CDesign();
    CDesign(const CDesign&) = delete;
    CDesign& operator=(const CDesign&) = delete;

    // ---- Collections ----------------------------------------------------------------------------

    CLayerArray& GetLayers() { return *m_layers; }
    const CLayerArray& GetLayers() const { return *m_layers; }
    COutputArray& GetOutputJobs() { return *m_outputJobs; }
    const COutputArray& GetOutputJobs() const { return *m_outputJobs; }
    COutputArray& GetDisplaySets() { return *m_displaySets; }
    const COutputArray& GetDisplaySets() const { return *m_displaySets; }
    // The current layer set, nullptr when the display sets hold none.
    COutputRec* GetCurrentLayerSet();
    const COutputRec* GetCurrentLayerSet() const;
    CDrawRecArray& GetLines() { return *m_lines; }
    const CDrawRecArray& GetLines() const { return *m_lines; }
    CNetArray& GetNets() { return *m_nets; }
    const CNetArray& GetNets() const { return *m_nets; }
    CComponentArray& GetComponents() { return *m_components; }
    const CComponentArray& GetComponents() const { return *m_components; }
    const CShapeLib& GetShapeCache() const { return *m_shapeCache; }
    CShapeLib& GetEditableShapeCache() { return *m_shapeCache; }
    CGridArr& GetGridSettings() { return *m_grids; }
    const CGridArr& GetGridSettings() const { return *m_grids; }
    CWevraFont& GetFont() { return *m_font; }
    const CWevraFont& GetFont() const { return *m_font; }
    CTextArray& GetTexts() { return *m_texts; }
    const CTextArray& GetTexts() const { return *m_texts; }
    std::vector<std::unique_ptr<CPour>>& GetPlanes() { return m_planes; }
    const std::vector<std::unique_ptr<CPour>>& GetPlanes() const { return m_planes; }
    int32_t GetPlaneCount() const { return static_cast<int32_t>(m_planes.size()); }
    const CPour& GetPlane(int32_t i) const { return *m_planes[size_t(i)]; }

    // Advances with every change a plane's fill depends on (the copper, its nets and
    // clearances, the padstacks, the planes themselves); never stored. Revisions are unique in
    // the process, so that a fill never fits another design's or an abandoned state's copper.
    uint64_t GetCopperRevision() const { return m_copperRevision; }
    void AdvanceCopperRevision();
    // Back to a revision of this design's copper, for copper put back as it was then.
    void RestoreCopperRevision(uint64_t revision) { m_copperRevision = revision; }
    // The plane has no fill (a design file keeps none) or one made before the last change of
    // the copper: the board, the status line and the check say so.
    bool IsPlaneFillStale(const CPour& plane) const;
    // What leaves the program fills such a plane first.
    bool NeedsRefill(const CPour& plane) const { return IsPlaneFillStale(plane); }
    // The first plane whose fill is stale, nullptr when none is.
    const CPour* FindStalePlane() const;

    // ---- Header settings ------------------------------------------------------------------------

    CDesignSettings& Settings() { return m_settings; }
    const CDesignSettings& Settings() const { return m_settings; }
    const std::string& GetNetlistPath() const { return m_settings.netlistPath; }
    void SetNetlistPath(const std::string& path) { m_settings.netlistPath = path; }
    const std::string& GetTemplatePath() const { return m_settings.templatePath; }
    // Seconds since 1970.
    int64_t GetNetlistTime() const { return m_settings.netlistTime; }
    void SetNetlistTime(int64_t seconds) { m_settings.netlistTime = seconds; }
    // Accumulated editing time in milliseconds.
    uint32_t GetDesignTime() const { return m_settings.designTime; }
    void AddDesignTime(uint32_t milliseconds) { m_settings.designTime += milliseconds; }
    bool GetViewFlag(uint32_t bit) const { return (m_settings.viewFlags & bit) != 0; }
    void SetViewFlag(uint32_t bit, bool on)
    {
        m_settings.viewFlags = on ? (m_settings.viewFlags | bit) : (m_settings.viewFlags & ~bit);
    }
    bool IsDrcActive() const { return m_settings.drcActive != 0; }
    void SetDrcActive(uint8_t active) { m_settings.drcActive = active; }
    // The pen style option that bends tracks at 45 degrees.
    bool IsMode45() const { return m_settings.mode45 != 0; }
    void SetMode45(bool on) { m_settings.mode45 = on ? 1 : 0; }
    // Whether the tools recompute the ratsnest of the nets they change.
    bool IsAutoRatsnest() const { return m_settings.ratsnestActive != 0; }
    void SetAutoRatsnest(bool on) { m_settings.ratsnestActive = on ? 1 : 0; }
    // The selection filter's switch that takes the tracks on a component's pins along with it.
    bool IsTracksOfComponents() const { return m_settings.tracksOfComponents != 0; }
    void SetTracksOfComponents(bool on) { m_settings.tracksOfComponents = on ? 1 : 0; }
    // The pin information marks the subnets of the pins.
    bool IsSubnetMark() const { return m_settings.subnetMark != 0; }
    void SetSubnetMark(bool on) { m_settings.subnetMark = on ? 1 : 0; }
    // The display unit of length texts.
    int32_t GetUnit() const { return int32_t(m_settings.unit); }
    void SetUnit(int32_t unit) { m_settings.unit = uint32_t(unit); }
    // The user grid origin.
    CPoint GetOrigin() const { return m_settings.userOffset; }
    void SetUserOffset(CPoint offset) { m_settings.userOffset = offset; }
    // What the labels at pads and vias show (0 nothing .. 6 net numbers).
    int32_t GetPadInfoMode() const { return int32_t(m_settings.pinInfoMode); }
    void SetPadInfoMode(int32_t mode) { m_settings.pinInfoMode = uint32_t(mode); }
    // R2_COPYPEN (opaque layers) or R2_MERGEPEN (layers seen through one another).
    uint32_t GetDrawingMode() const { return m_settings.drawingMode; }
    void SetDrawingMode(uint32_t mode) { m_settings.drawingMode = mode; }
    bool IsTransparentColors() const
    {
        return m_settings.drawingMode == CDesignSettings::drawTransparent;
    }
    const CFontDesc& GetPinInfoFont() const { return m_settings.pinInfoFont; }
    // The stored font record follows; what the description does not hold stays as stored.
    void SetPinInfoFont(const CFontDesc& font);
    // The pin-information font and its stored record follow one another.
    void SetPinInfoFontFromRecord();
    void SetPinInfoFontRecordFromFont();

    // ---- Board ----------------------------------------------------------------------------------

    int32_t GetBoardWidth() const { return m_settings.boardWidth; }
    int32_t GetBoardHeight() const { return m_settings.boardHeight; }
    void SetBoardSize(int32_t width, int32_t height);
    const CRec12Array& GetBoardOutline() const { return m_boardOutline; }
    CRec12Array& GetBoardOutline() { return m_boardOutline; }
    // The outline becomes the closed rectangle (x1, y1)-(x2, y2) in its first five points and
    // the board size (x2, y2).
    void SetBoardOutlineRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // The outline points and the board size; the view goes back to the origin.
    void CopyBoardOutlineFrom(const CDesign& other);
    // A layer's colour in one of the three colour sets (screen, highlight, print); 0 outside
    // the tables.
    COLORREF GetStoredColor(int32_t table, int32_t layer) const;
    // False, and nothing changes, for a set or layer outside the tables.
    bool SetStoredColor(int32_t table, int32_t layer, COLORREF color);

    // ---- Parts taken from a template design -----------------------------------------------------

    // The layer table, the display layer sets or the output jobs change places with the other
    // design's.
    void ExchangeLayers(CDesign& other) { m_layers.swap(other.m_layers); }
    void ExchangeDisplaySets(CDesign& other) { m_displaySets.swap(other.m_displaySets); }
    void ExchangeOutputJobs(CDesign& other) { m_outputJobs.swap(other.m_outputJobs); }

    // ---- The design file stream (CDesignFile.cpp)
    // -------------------------------------------------

    // The current file version, the header and every collection; unnamed planes are named first.
    void Store(CArchive& ar);
    // The header and the collections of a stream of `version`, read into a fresh design; a
    // damaged stream throws.
    void ReadHeader(CArchive& ar, uint32_t version);
    void ReadCollections(CArchive& ar, uint32_t version);
    // Header values and indexes between collections that a damaged file can get wrong, each
    // kind of repair reported once as a load warning.
    void RepairLoadedIndexes(CArchive& ar);
    // Once the shape cache and the nets are loaded: every component's shape index and pad
    // nets brought in line with them.
    void RepairComponentsAfterLoad(CArchive& ar);
    // Unnamed planes get "Plane Nr n" after their 1-based position.
    void CleanUpPlaneList();
    // Takes every collection and the header of a completely read design; the read design gets
    // these collections in exchange.
    void TakeOver(CDesign& loaded);
    // Hands the nets and components to the release thread to be freed there (a small design's,
    // or any on one thread, at once), for a design about to be destroyed: on a big board they take
    // as long to free as to read. The design is left without them; nothing but its destructor may
    // use it afterwards.
    void ReleaseInBackground();
    // The same for collections taken out of a design or copied from one.
    static void ReleaseCollections(std::unique_ptr<CNetArray> nets,
                                   std::unique_ptr<CComponentArray> components);

    // ---- Layer counts and net groups ------------------------------------------------------------

    // Recounts the objects per layer: drawn-line, track and shape-outline vertices in one table,
    // net and component pads in the other; entry 0 of each holds its total.
    void ResetLayerTables();
    int32_t GetLayerCount(int32_t table, int32_t layer) const;
    // The sum of a layer's two counts.
    int32_t GetLayerObjectCount(int32_t layer) const;

    // Net groups "G0".."G255" with spacings in steps of 0.1 mm. The text (a design's template
    // path) is not interpreted.
    void ResetNetGroups(const std::string& text);
    const std::string& GetNetGroupName(int32_t group) const;
    int32_t GetNetGroupSpacing(int32_t group) const;
    // The counts themselves, which the document clears for a new or loaded design.
    CLayerCounts& LayerCounts() { return m_layerCounts; }

    // ---- What the collections ask of the design -------------------------------------------------

    const CPadStackArray& GetPadStacks() const;
    bool IsLayerEnabled(int32_t layer) const;
    int32_t GetNetCount() const;
    std::string GetComponentReference(int32_t component) const;
    int32_t GetComponentCount() const;
    std::vector<int32_t> GetComponentPadNets(int32_t component) const;
    void SetPadNet(int32_t component, int32_t pad, int32_t net);
    void ResetPadNets();
    void RenumberNets(const std::vector<int32_t>& newIndex);
    void RecalcComponentBoxes();
    void RebuildNetPins();
    int32_t GetTextCount() const;
    const CWevraText& GetText(int32_t i) const;

private:
    void WriteHeader(CArchive& ar) const;
    void RepairPadStackIndexes(CArchive& ar);

    std::unique_ptr<CLayerArray> m_layers;
    std::unique_ptr<COutputArray> m_outputJobs;
    std::unique_ptr<COutputArray> m_displaySets;
    std::unique_ptr<CDrawRecArray> m_lines;
    std::unique_ptr<CNetArray> m_nets;
    std::unique_ptr<CComponentArray> m_components;
    std::unique_ptr<CShapeLib> m_shapeCache;
    std::unique_ptr<CGridArr> m_grids;
    std::unique_ptr<CWevraFont> m_font;
    std::unique_ptr<CTextArray> m_texts;
    std::vector<std::unique_ptr<CPour>> m_planes;
    CRec12Array m_boardOutline;

    // The header of the design file.
    CDesignSettings m_settings;
    CLayerCounts m_layerCounts;
    CNetGroups m_netGroups;
    // The bytes the design took when it was last stored or loaded: the next store reserves
    // them at once instead of growing its buffer step by step.
    size_t m_storeSizeHint = 0;
    uint64_t m_copperRevision = 0;
};
