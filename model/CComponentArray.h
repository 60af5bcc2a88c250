#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "model/CComponent.h"
#include "model/CDialogService.h"
#include "model/CFieldRange.h"
#include "model/CSharedItem.h"
#include "model/LayerIds.h"

class CArchive;
class CComponentTool;
class CComponentArrayDocument;
class CDeviceContext;

// The components placed on the board, numbered by their index in the list. The list owns them
// and does everything that concerns several components or the rest of the design: references
// and their prefixes, the selection, hit tests, moves, rotations and mirroring that honour the
// lock bits, shape replacement, the pins the pads give the nets, drawing of the component
// texts and pad labels, and the list's record in the design file.
//
// The list keeps a selected count next to the components' own selected bits: select through
// the list. Pins name their component by index, so after deleting or sorting components the
// caller rebuilds the net pins. Operations that need the shape cache, the nets or the font do
// nothing without a document. Index arguments outside the list read as an empty component
// (empty reference, no shape, no pads) and are ignored by the setters.
class CComponentArray : public CObject {
    WEVRA_DECLARE_SERIAL(CComponentArray)

public:
    static constexpr int32_t textKindCount = CComponent::textKindCount;
    static constexpr int32_t textOptionCount = 6;
    static constexpr int32_t defaultTextLineWidth = 2015;
    static constexpr int32_t defaultTextHeight = 10078;
    // Designs from this version on keep the shape cache in front of the component list; older
    // ones store it after the list.
    static constexpr uint32_t ownShapeCacheVersion = 8034;
    // The proposal of an empty prefix list.
    static constexpr char defaultPrefix[] = "U1";

    // Hit modes of FindAtPoint, FindNextAtPoint and SelectInRect.
    static constexpr int32_t hitSelect = 4;
    // FindAtPoint also finds components locked against selection.
    static constexpr int32_t hitIgnoreSelectLock = 8;
    static constexpr int32_t hitToggle = 16;

    // A component the netlist places is moved in these steps until it lies above and right of
    // the board origin.
    static constexpr int32_t placeStep = 25600;
    // Half-sizes of the squares around a point in which texts and pads are picked.
    static constexpr int32_t textPickReach = 10078;
    static constexpr int32_t padPickReach = 2519;
    // Box sides are counted in these units when the hit order compares areas.
    static constexpr int32_t hitAreaUnit = 256;

    CComponentArray();
    explicit CComponentArray(CComponentArrayDocument& document);
    // Undo snapshots: deep copies of every component and every field; the copy has nothing
    // selected.
    CComponentArray(const CComponentArray& other);
    CComponentArray& operator=(const CComponentArray& other);
    ~CComponentArray() override;
    // Brings the components of this copy of `other` to those a copy made now would hold, looking
    // into only the components it no longer shares (as CNetArray::ShareNetsOf does for nets).
    // `replaced` becomes the components it lets go; the rest of this copy stays as it was.
    // False, and nothing done, when the lists are not as long.
    bool ShareComponentsOf(const CComponentArray& other,
                           std::vector<CSharedItem<CComponent>>& replaced);

    CComponentArrayDocument* GetDocument() const { return m_document; }
    void SetDocument(CComponentArrayDocument* document) { m_document = document; }

    // The interactive tool of the Components menu working on this list.
    CComponentTool& GetComponentTool();
    // What "Get Shape" needs to know of the components: references, types and shape names.
    CDialogService::ShapeRequest MakeShapeRequest(bool replace) const;
    // Component i as the position dialogs offer it: its reference and the board positions of
    // its pins.
    CDialogService::PinnedComponent MakePinnedComponent(int32_t i) const;
    // Where component i may be put, its x or y: its texts and pins keep their distance from its
    // position however it is turned, and must stay within the coordinates a board uses.
    CFieldRange PlacesOf(int32_t i) const;

    // ---- Components ------------------------------------------------------------------------

    int32_t GetCount() const { return static_cast<int32_t>(m_components.size()); }
    bool IsIndex(int32_t i) const { return i >= 0 && i < GetCount(); }
    // nullptr outside the list.
    CComponent* GetComponent(int32_t i);
    const CComponent* GetComponent(int32_t i) const;
    // The same for two copies of the list that share the component unchanged; null outside the
    // list.
    const void* GetComponentIdentity(int32_t i) const
    {
        return IsIndex(i) ? m_components[size_t(i)].Identity() : nullptr;
    }

    std::string GetReference(int32_t i) const { return At(i).GetReference(); }
    std::string GetType(int32_t i) const { return At(i).GetType(); }
    int32_t GetShapeIndex(int32_t i) const { return At(i).GetShapeIndex(); }
    std::string GetShapeName(int32_t i) const;
    CPoint GetPosition(int32_t i) const { return At(i).GetPosition(); }
    int32_t GetRotation(int32_t i) const { return At(i).GetRotation(); }
    bool IsMirrored(int32_t i) const { return At(i).IsMirrored(); }
    bool IsSelected(int32_t i) const { return At(i).IsSelected(); }
    uint16_t GetGroup(int32_t i) const { return At(i).GetGroup(); }
    uint16_t GetCluster(int32_t i) const { return At(i).GetCluster(); }
    bool TestFlag(int32_t i, uint32_t mask) const { return At(i).TestFlag(mask); }
    CRect GetBox(int32_t i) const { return At(i).GetBox(); }
    // The middle of the box, each half rounded toward zero.
    CPoint GetCenter(int32_t i) const;

    // Pads, from the shape in the design's shape cache.
    int32_t GetShapePadCount(int32_t i) const;
    // The padstack of pad n; -1 for a pad the shape lacks.
    int32_t GetPadShape(int32_t i, int32_t n) const;
    CPoint GetPadPosition(int32_t i, int32_t n) const;
    // The shape pad's own angle plus the component's rotation.
    int32_t GetPadRotation(int32_t i, int32_t n) const;
    // The drill of pad n: the width of its padstack's drill-layer pad, 0 when it has none.
    int32_t GetPadExtent(int32_t i, int32_t n) const;

    void SetName(int32_t i, int32_t k, const std::string& name);
    // Each of these setters recomputes the box.
    void SetPosition(int32_t i, int32_t x, int32_t y);
    void SetRotation(int32_t i, int32_t rotation);
    void SetMirrored(int32_t i, bool on);
    // Stored as given (pad nets and pins stay), then the box.
    void SetShapeIndex(int32_t i, int32_t shapeIndex);
    void SetGroup(int32_t i, uint16_t group);
    void SetCluster(int32_t i, uint16_t cluster);
    // Selection goes through Select, which keeps the selected count.
    void SetFlag(int32_t i, uint32_t mask, bool on);

    // Appends a new empty component with that shape; returns its index.
    int32_t AddEmpty(int32_t shapeIndex);
    // The netlist's way in: false, adding nothing, when a component of exactly that reference
    // exists. The new component is marked as from the netlist, moved up and right in steps of
    // placeStep until its box lies at y <= 0 and x >= 0, and gets its texts centred.
    bool AddComponent(const std::string& reference, const std::string& type, int32_t shapeIndex,
                      int32_t x, int32_t y, int32_t rotation, bool mirrored);
    // The same without looking through the list, for a caller that makes every reference
    // unique itself; returns the new component's index.
    int32_t AppendComponent(const std::string& reference, const std::string& type,
                            int32_t shapeIndex, int32_t x, int32_t y, int32_t rotation,
                            bool mirrored);
    // The first component of exactly that reference, -1 when none.
    int32_t FindByReference(std::string_view reference) const;
    // False, changing nothing, when no component has the reference, the pad is not one of
    // its pads, or the net is not one of the design's.
    bool SetPadNetByReference(std::string_view reference, int32_t pad, int32_t net);

    // Appends a copy of component i named with the reference increment (never a reference
    // already in use), unlocked, marked as placed, its pads on no net unless `keepPadNets`.
    // Returns its index.
    int32_t CopyComponent(int32_t i, bool keepPadNets = false);
    // Each selected component present at the start is deselected and a selected copy of it
    // appended; the last copy becomes the document's current component.
    void CopySelected(bool keepPadNets = false);
    // Deletes the selected components except those locked against deletion. The nets' pins
    // follow: those of the deleted components go, those of later ones take their new numbers.
    void DeleteSelected();

    // ---- References ----------------------------------------------------------------------------

    // Entry i of the prefix list, each entry a prefix followed by the next free number ("R11"
    // for ten resistors); "U1" for an empty list.
    std::string GetPrefix(int32_t i) const;
    int32_t GetPrefixCount() const { return static_cast<int32_t>(m_prefixes.size()); }
    void RebuildReferencePrefixes();
    // The prefix followed by a number: with increment 0 one more than the highest number of
    // the components of that prefix, otherwise the text's own number plus the increment.
    std::string NextReference(std::string_view text, int32_t increment) const;
    int32_t GetReferenceIncrement() const { return m_referenceIncrement; }
    void SetReferenceIncrement(int32_t increment) { m_referenceIncrement = increment; }

    // The text before the first digit; the whole text when it has no digit.
    static std::string_view ReferencePrefix(std::string_view reference);
    // The value of the digits from the first digit on (clamped to int32), 0 without digits.
    static int32_t ReferenceNumber(std::string_view reference);
    // The order of SortByReference: by the text before the first digit ("" without digits),
    // then by the number, then byte by byte. So R2 comes before R10.
    static bool ReferenceLess(std::string_view a, std::string_view b);
    // Sorts the list in that order; components of equal references keep their order. The
    // current and active components stay the same components.
    void SortByReference();

    // ---- Selection and hit tests ---------------------------------------------------------------

    int32_t GetSelectedCount() const { return m_selectedCount; }
    // False when it already has that state or, to select, when it is locked against selection.
    bool Select(int32_t i, bool on);
    // Returns how many components changed.
    int32_t SelectAll(bool on);

    // The component the component tool works on, -1 for none.
    int32_t GetActiveIndex() const { return m_activeIndex; }
    void SetActiveIndex(int32_t i) { m_activeIndex = i; }
    // The component whose text the Move/Rotate Text tool works on, -1 for none.
    int32_t GetCurrent() const { return m_current; }
    void SetCurrent(int32_t i) { m_current = i; }
    // Deselects the current component; none is current afterwards.
    void ClearCurrent();

    // Whether a pad or outline vertex of the component lies on a layer of the mask (bit L-1 for
    // layer L), seen from the side the component is on.
    bool PassesSideFilter(int32_t i, uint32_t layerMask) const;
    // Whether the box meets the rectangle (taken with its corners in any order; edges count).
    bool IntersectsRect(int32_t i, const CRect& rect) const;
    // The smallest component (by box area) whose box holds the point and that passes the side
    // filter, or -1. Components locked against selection count only with hitIgnoreSelectLock
    // or in the Properties tool. A found component is selected (hitSelect) or toggled
    // (hitToggle) and the point moves to its position.
    int32_t FindAtPoint(CPoint& point, int32_t mode, uint32_t layerMask);
    // The next component in list order after the last one found whose box holds the point and
    // that passes the side filter (any lock); the search starts again at the list's start
    // after the last component or a search that found nothing.
    int32_t FindNextAtPoint(CPoint& point, int32_t mode, uint32_t layerMask);
    // Selects or toggles each component whose box meets the rectangle and that passes the side
    // filter; true when there was one.
    bool SelectInRect(const CRect& rect, int32_t mode, uint32_t layerMask);
    // The component text of the display kind near the point: the current component's, or the
    // first other one, which becomes current and selected (the point moves to its text).
    bool PickTextAtPoint(CPoint& point);

    // ---- Moves, rotations and mirroring ------------------------------------------------------
    // Components locked against the action are skipped.

    // Moves position, texts, box and the pins of every pad.
    void MoveBy(int32_t i, int32_t dx, int32_t dy);
    void MoveTo(int32_t i, int32_t x, int32_t y);
    // Position, texts and box of every unlocked component; the nets move their pins themselves.
    void MoveAll(int32_t dx, int32_t dy);
    // The last component (being added or copied) follows the cursor: no lock, no pins.
    void MoveLastTo(int32_t x, int32_t y);
    // Component i at the position, rotation and side whatever its locks, as its properties are
    // typed: the texts move along, and are centred afresh after a turn or a change of side;
    // box and pins follow.
    void SetPlacement(int32_t i, CPoint position, int32_t rotation, bool mirrored);
    void MoveCurrentText(int32_t dx, int32_t dy);

    // Each selected component takes the angle (absolute) or turns by it; its pins, box and
    // texts follow and its nets need a new ratsnest.
    void RotateSelected(int32_t angle, bool absolute);
    // Component i takes the angle unless it is locked against rotation or has it already;
    // pins, box and texts follow.
    void RotateTo(int32_t i, int32_t angle);
    // The same turn by the angle, each position turned about (cx, cy).
    void RotateSelectedAbout(int32_t cx, int32_t cy, int32_t angle);
    // Each selected component goes to the other board side; pins, box and texts follow.
    void MirrorSelected();
    void RotateCurrentText();
    void SetCurrentTextAngle(int32_t angle);

    // ---- Shapes ------------------------------------------------------------------------------

    // Gives component i another shape of the cache: pad nets fitted to its pads (new ones on
    // no net), the private-shape mark cleared, the net pins rebuilt, box and texts afresh.
    // False when it already has that shape or is locked against shape replacement.
    bool ChangeShape(int32_t i, int32_t shapeIndex);
    // The rotation under which the new shape's pads (seen from its pad 0) lie nearest to the
    // present shape's: the current rotation plus a quarter-turn multiple, not brought into one
    // turn.
    int32_t BestRotationForShape(int32_t i, int32_t shapeIndex) const;
    // The pad of component i near the point takes the default shape padstack. A component
    // whose shape is its own private copy changes that copy; otherwise a private copy named
    // shape name + "_" + reference is made first. False when there is no pad near the point,
    // it already has that padstack, or the component is locked against it.
    bool ReplacePadAtPoint(int32_t i, CPoint point);
    // The pad that ReplacePadAtPoint would change, -1 when it would change nothing.
    int32_t FindReplaceablePad(int32_t i, CPoint point) const;
    // Every component's pad nets: one entry per pad of its shape, all on no net.
    void ResetPadArrays();

    // ---- Boxes, texts and pins ---------------------------------------------------------------

    void RecalcRect(int32_t i);
    void RecalcAllRects();
    // Centres the text of a kind on the component's box with the stroke font at the list's
    // height for that kind.
    void ResetTextPosition(int32_t i, int32_t kind);
    // ResetTextPosition of that kind for every component.
    void ResetTextPositions(int32_t kind);
    int32_t GetTextLineWidth(int32_t kind) const;
    void SetTextLineWidth(int32_t kind, int32_t width);
    int32_t GetTextHeight(int32_t kind) const;
    void SetTextHeight(int32_t kind, int32_t height);
    int32_t GetTextOption(int32_t k) const;
    void SetTextOption(int32_t k, int32_t value);

    // Every net's pins afresh: one per component pad, in the net of the pad (net 0 for none).
    void RebuildNetPins();
    // The pins of component i's pads take its pads' positions, padstacks, angles and side.
    void UpdatePins(int32_t i);
    // Pins made by the last RebuildNetPins, less those a deletion dropped since.
    int32_t GetPinCount() const { return m_pinCount; }

    // Fills the per-layer tables of shape outline vertices and component pads (layers seen
    // from the side each component is on); returns the component count.
    int32_t CountLayerUse();
    int32_t GetOutlineLayerUse(int32_t layer) const;
    int32_t GetPadLayerUse(int32_t layer) const;

    // ---- Drawing ------------------------------------------------------------------------------
    // Pixels are (board + the document's view offset) / its scale.

    // The outlines on the layer of the components whose selected state is `selected` and
    // whose box meets the clip rectangle.
    void Draw(CDeviceContext& dc, int32_t layer, const CRect& clip, bool highlight,
              bool selected) const;
    // The outlines on the layer of the components `picked` (indices, in order), picked once for
    // the many layers of a picture.
    void DrawOutlines(CDeviceContext& dc, int32_t layer, bool highlight,
                      const std::vector<size_t>& picked) const;
    // The layers on which the components `picked` (indices, in order) draw, seen from each
    // one's side: bit 1 << layer of its `outlines` where its shape has an outline segment, of
    // its `pads` where one of its pads has a pad (0..26). A picture drawn layer by layer works
    // them out once and hands each layer's drawing only the components that draw anything there.
    struct LayerUse {
        std::vector<size_t> picked;
        std::vector<uint32_t> outlines;
        std::vector<uint32_t> pads;
        // Those of `picked` whose `layers` (outlines or pads) hold the layer, in order.
        std::vector<size_t> On(const std::vector<uint32_t>& layers, int32_t layer) const;
    };
    LayerUse PickLayerUse(std::vector<size_t> picked) const;
    // The components whose ratsnest is shown, in order. Every picture asks, and a big board's
    // components are looked at on the work pool.
    std::vector<size_t> PickRatsnestShown() const;
    // The current component's silkscreen outline and copper pads of its side, highlighted.
    void DrawCurrent(CDeviceContext& dc) const;
    // The current component's text of the display kind in its side's text pen.
    void DrawCurrentText(CDeviceContext& dc) const;
    // Every component's text of that kind on its side's silkscreen (21 top, 22 bottom), with
    // the selected pen.
    void DrawTextKind(CDeviceContext& dc, int32_t layer, int32_t kind) const;
    // The same for the components whose selected state is `selected` and whose box meets the
    // clip rectangle, in the document's text pen of that side and selection, leaving out the
    // text the Move/Rotate Text tool is moving.
    void DrawLayerTexts(CDeviceContext& dc, int32_t layer, const CRect& clip, int32_t kind,
                        bool selected) const;
    // White labels at every pad by the document's pad-info mode, with the selected font.
    void DrawPadInfo(CDeviceContext& dc) const;
    // Each reference in white at the centre of its component's box, with the selected font.
    void DrawReferencesAtCenter(CDeviceContext& dc) const;

    // ---- Storage -------------------------------------------------------------------------------

    // Text line widths, heights and options, then the components as an object array. A load
    // replaces the list only when the whole record was read; the prefix list is rebuilt, the
    // components come deselected and none is current or active.
    void Serialize(CArchive& ar) override;
    // The same; loading a design older than ownShapeCacheVersion also reads the shape cache
    // stored after the list into the document's cache, named "Cache".
    void Serialize(CArchive& ar, uint32_t fileVersion);
    // Once the shape cache and the nets are loaded: every component's shape index and pad nets
    // are brought in line with them (each kind of repair noted once on the archive).
    void RepairAfterLoad(CArchive& ar, int32_t netCount);

private:
    // Up to this many components are gone through on one thread: waking others would cost more.
    static constexpr size_t componentsAlone = 4096;
    // The box of a component as its shape and placement give it.
    CRect BoxOf(const CComponent& component) const;
    const CComponent& At(int32_t i) const;
    // The text kind the display layer set names, -1 for none.
    int32_t DisplayTextKind() const;
    // Moves the position, the text points and the box; no lock test, no pins.
    void Offset(CComponent& component, int32_t dx, int32_t dy);
    // After a turn or a side change: pins, box, texts, and the nets need a new ratsnest.
    void AfterReshape(int32_t i);
    void MarkNetsDirty(const CComponent& component);
    bool IsShapeShared(int32_t i) const;
    bool ReferenceExists(std::string_view reference) const;
    // The first of prefix + (start + k * step), k = 0, 1, ..., that no component bears.
    std::string UnusedReference(std::string_view prefix, int64_t start, int64_t step) const;
    const std::vector<int32_t>& HitOrder();
    void RemapIndexes(const std::vector<int32_t>& newIndex);
    void ResetTransientState();
    void CopyFields(const CComponentArray& other);
    // Component i as a copy of the list holds it: shared, or copied without its selection when
    // an edit may write it through a pointer a tool holds (selected, current or active).
    CSharedItem<CComponent> KeptComponent(size_t i) const;
    void DrawText(CDeviceContext& dc, const CComponent& component, int32_t kind) const;
    void DrawLabel(CDeviceContext& dc, CPoint board, const std::string& text) const;

    int32_t m_activeIndex = -1;
    int32_t m_selectedCount = 0;
    int32_t m_referenceIncrement = 0;
    int32_t m_current = -1;
    std::array<int32_t, textKindCount> m_textLineWidths;
    std::array<int32_t, textKindCount> m_textHeights;
    std::array<int32_t, textOptionCount> m_textOptions{};
    int32_t m_pinCount = 0;
    int32_t m_lastHit = -1;
    std::array<int32_t, LAYER_COUNT> m_outlineLayerUse{};
    std::array<int32_t, LAYER_COUNT> m_padLayerUse{};
    std::vector<CSharedItem<CComponent>> m_components;
    CComponentArrayDocument* m_document = nullptr;
    std::vector<std::string> m_prefixes;
    // Component indexes by box area, smallest first; rebuilt when a box changed its size.
    std::vector<int32_t> m_hitOrder;
    bool m_hitOrderStale = true;
    // Made at its first use; copies of the list start without one.
    std::unique_ptr<CComponentTool> m_tool;
};
