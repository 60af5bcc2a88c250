#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"

class CArchive;
class CComponentDocument;
class CDeviceContext;
class CPadStackArray;
class CShape;
class CShapeLib;

// The bits of a component's flags word. A lock bit set means the action is refused; the
// Component Properties dialog shows each lock inverted, as "Enabled for Editing".
struct ComponentFlags {
    static constexpr uint32_t showRatsnest = 0x20;
    static constexpr uint32_t lockSelect = 0x40;
    static constexpr uint32_t selected = 0x80;
    static constexpr uint32_t lockDelete = 0x100;
    static constexpr uint32_t lockMove = 0x200;
    static constexpr uint32_t lockRotate = 0x400;
    static constexpr uint32_t lockMirror = 0x800;
    static constexpr uint32_t lockMoveText = 0x1000;
    static constexpr uint32_t lockReplaceShape = 0x2000;
    static constexpr uint32_t lockShape = 0x4000;
    static constexpr uint32_t lockGroup = 0x8000;
    static constexpr uint32_t lockCluster = 0x10000;
    static constexpr uint32_t lockReference = 0x20000;
    static constexpr uint32_t lockType = 0x40000;
    static constexpr uint32_t lockPartfields = 0x80000;
    // Every lock bit, Select through Partfields.
    static constexpr uint32_t allLocks = 0x000FFF40;
    // Uses a private copy of its shape made by Replace Pads.
    static constexpr uint32_t shapeModified = 0x400000;
    static constexpr uint32_t fromTemplate = 0x800000;
    static constexpr uint32_t fromPlaceComponent = 0x1000000;
    static constexpr uint32_t fromNetlist = 0x4000000;
    static constexpr uint32_t oppositeText = 0x8000000;
    static constexpr uint32_t oppositeSilk = 0x10000000;
};

// A component's rotation word: the angle in 1/1000 degree, kept in 0..359999, and the side of
// the board. The upper bits are carried unchanged.
struct ComponentRotationWord {
    static constexpr uint32_t angleMask = 0x000FFFFF;
    // The component sits on the bottom side.
    static constexpr uint32_t mirrored = 0x00100000;
};

// One footprint placed on the board: a shape of the design's shape cache (named by its index
// there) at a position, rotation and side, with its reference and type, the net of each of its
// pads, lock bits and bookkeeping bits. The component list owns the components and does
// everything that concerns several of them or the nets.
//
// Text kinds: 0 reference, 1 type, 2 shape name. Lookups by a text kind, name entry or pad
// outside the lists read as empty or 0 and are ignored by the setters.
class CComponent : public CObject {
    WEVRA_DECLARE_SERIAL(CComponent)

public:
    static constexpr int32_t textReference = 0;
    static constexpr int32_t textType = 1;
    static constexpr int32_t textShapeName = 2;
    static constexpr int32_t textKindCount = 3;

    static constexpr char defaultReference[] = "ref";
    static constexpr char defaultType[] = "type";

    // At (0, 0), no shape (-1), named "ref" and "type", no pad nets, no part fields.
    CComponent();
    CComponent(const std::string& reference, const std::string& type, int32_t shapeIndex, int32_t x,
               int32_t y, int32_t rotation, bool mirrored);

    // Any angle brought into 0..359999.
    static int32_t NormalizeRotation(int32_t rotation);

    CPoint GetPosition() const { return m_position; }
    // Moves the origin only: the texts and the box stay where they are.
    void SetPosition(int32_t x, int32_t y) { m_position = CPoint(x, y); }

    uint32_t GetRotationWord() const { return m_rotationWord; }
    // The word as a file holds it, angle and upper bits unchecked.
    void SetRotationWord(uint32_t word) { m_rotationWord = word; }
    int32_t GetRotation() const
    {
        return static_cast<int32_t>(m_rotationWord & ComponentRotationWord::angleMask);
    }
    void SetRotation(int32_t rotation);
    bool IsMirrored() const { return (m_rotationWord & ComponentRotationWord::mirrored) != 0; }
    void SetMirrored(bool on);

    int32_t GetShapeIndex() const { return m_shapeIndex; }
    void SetShapeIndex(int32_t index) { m_shapeIndex = index; }

    // Entry 0 is the reference, entry 1 the type; a component always has both.
    int32_t GetNameCount() const { return static_cast<int32_t>(m_names.size()); }
    std::string GetName(int32_t k) const;
    bool SetName(int32_t k, const std::string& name);
    std::string GetReference() const { return GetName(0); }
    std::string GetType() const { return GetName(1); }
    void SetReference(const std::string& reference) { SetName(0, reference); }
    void SetType(const std::string& type) { SetName(1, type); }

    std::vector<std::string>& GetPartFields() { return m_partFields; }
    const std::vector<std::string>& GetPartFields() const { return m_partFields; }

    uint16_t GetGroup() const { return m_group; }
    void SetGroup(uint16_t group) { m_group = group; }
    uint16_t GetCluster() const { return m_cluster; }
    void SetCluster(uint16_t cluster) { m_cluster = cluster; }

    uint32_t GetFlags() const { return m_flags; }
    // True when any bit of the mask is set.
    bool TestFlag(uint32_t mask) const { return (m_flags & mask) != 0; }
    void SetFlag(uint32_t mask, bool on) { m_flags = on ? (m_flags | mask) : (m_flags & ~mask); }
    // The list holding the component counts its selected components: select through the list.
    bool IsSelected() const { return TestFlag(ComponentFlags::selected); }
    void SetSelected(bool on) { SetFlag(ComponentFlags::selected, on); }
    bool IsRatsnestShown() const { return TestFlag(ComponentFlags::showRatsnest); }
    void SetRatsnestShown(bool on) { SetFlag(ComponentFlags::showRatsnest, on); }

    // Board position and angle (1/1000 degree) of the texts by kind.
    CPoint GetTextPoint(int32_t kind) const;
    void SetTextPoint(int32_t kind, CPoint point);
    int32_t GetTextAngle(int32_t kind) const;
    // Stored as given.
    void SetTextAngle(int32_t kind, int32_t angle);
    // The text a kind shows: the reference, the type, or the name of the shape in the cache.
    std::string GetKindText(int32_t kind, const CShapeLib& cache) const;

    // Bounding box of the placed shape outline box; the list keeps it up to date.
    // Whether the other component holds the same fields.
    bool HasSameContent(const CComponent& other) const;
    const CRect& GetBox() const { return m_box; }
    void SetBox(const CRect& box) { m_box = box; }

    // A pad holds its net's number in 16 bits: a design's nets past these are named by no pad.
    static constexpr int32_t padNetNumbers = 65536;
    // One net per pad of the shape, in pad order; 0 is no net.
    int32_t GetPadNetCount() const { return static_cast<int32_t>(m_padNets.size()); }
    const std::vector<uint16_t>& GetPadNets() const { return m_padNets; }
    int32_t GetPadNet(int32_t pad) const;
    // False, changing nothing, unless the pad is in the list and the net is one of the
    // design's `netCount` nets.
    bool SetPadNet(int32_t pad, int32_t net, int32_t netCount);
    // New entries are on no net; entries beyond the count are dropped.
    void ResizePadNets(int32_t count);

    // The shape and its pads, looked up in the design's shape cache; a component without a
    // shape there has no pads.
    const CShape* GetShape(const CShapeLib& cache) const;
    int32_t GetPadCount(const CShapeLib& cache) const;
    // -1 for a pad the shape lacks.
    int32_t GetPadStack(int32_t pad, const CShapeLib& cache) const;
    // Where a point given relative to the shape lies on the board: mirrored in x on the bottom
    // side, then turned by the rotation, then moved to the position.
    CPoint ToBoard(CPoint local) const;
    CPoint GetPadPosition(int32_t pad, const CShapeLib& cache) const;
    // The shape pad's own angle plus the component's rotation, not brought into one turn.
    int32_t GetPadAngle(int32_t pad, const CShapeLib& cache) const;
    // GetPadPosition, GetPadAngle and GetPadStack of one pad with one look-up: the pins of a
    // whole design are made from these.
    struct PadPlacement {
        CPoint at;
        int32_t angle = 0;
        int32_t padStack = -1;
    };
    PadPlacement GetPadPlacement(int32_t pad, const CShapeLib& cache) const;

    // Drawing; a board point maps to the pixel (point + view offset) / scale of the document.
    // The shape's outline on a board layer in that layer's colour of the normal or highlight
    // set. A component on the bottom side shows there what its shape draws on the opposite
    // layer.
    void DrawOutline(CDeviceContext& dc, const CComponentDocument& document, int32_t layer,
                     bool highlight) const;
    // The pads that reach the board layer. With `highlight` all in the layer's highlight pen
    // and brush; otherwise a pad on the current net is highlighted when the design has at
    // least two nets, and the others drawn in the layer's normal set. The pen and brush
    // selected before are selected again afterwards.
    void DrawPads(CDeviceContext& dc, const CComponentDocument& document, int32_t layer,
                  bool highlight) const;
    // The same, except that a pad on no net is drawn in the document's unconnected-pad pen and
    // brush.
    void DrawPadsOnLayer(CDeviceContext& dc, const CComponentDocument& document, int32_t layer,
                         bool highlight) const;
    // The same pads with whatever pen and brush are selected.
    void DrawPadsPlain(CDeviceContext& dc, const CComponentDocument& document, int32_t layer) const;
    // A circle at every drilled pad, `percent` of the drill wide and at least `minDiameter`,
    // in the document's hole pen and brush.
    void DrawHoles(CDeviceContext& dc, const CComponentDocument& document, int32_t percent,
                   int32_t minDiameter) const;
    // The text of a kind at its point and angle with the stroke font at `height`, mirrored on
    // the bottom side, with the selected pen.
    void DrawText(CDeviceContext& dc, const CComponentDocument& document, int32_t kind,
                  int32_t height) const;

    // Position, rotation word, flags, shape index, group, cluster, the three text points and
    // angles, the pad nets, the names and the part fields. A loaded component replaces this
    // one only when its whole record was read; it comes deselected, and missing names get
    // their defaults (with a load warning). The box is not stored.
    void Serialize(CArchive& ar) override;
    // Steps over the bytes of a component record that Serialize reads, for reading many side
    // by side.
    static void SkipRecord(CArchive& ar);
    // The component an archive reads a record into: without the default names, which every
    // record replaces (a design holds tens of thousands of components).
    static std::unique_ptr<CComponent> MakeForReading();
    // Once the design's shape cache and nets are loaded: a shape index the cache lacks leaves
    // the component without a shape, pad nets are fitted to the shape's pads, and nets the
    // design lacks become no net, each with a load warning.
    void RepairAfterLoad(CArchive& ar, const CShapeLib& cache, int32_t netCount);

private:
    struct Blank {};
    explicit CComponent(Blank) {}

    // Which pens and brushes the pad loop selects.
    enum class PadPens { asSelected, highlight, byNet, byNetUnconnected };

    static bool IsTextKind(int32_t kind) { return kind >= 0 && kind < textKindCount; }
    // A shape pad's own angle plus the rotation.
    int32_t TurnedBy(int32_t own) const;
    void DrawPadLoop(CDeviceContext& dc, const CComponentDocument& document, int32_t layer,
                     PadPens pens) const;

    CPoint m_position;
    std::array<CPoint, textKindCount> m_textPoints{};
    int32_t m_shapeIndex = -1;
    std::array<int32_t, textKindCount> m_textAngles{};
    std::vector<std::string> m_names;
    std::vector<uint16_t> m_padNets;
    CRect m_box;
    std::vector<std::string> m_partFields;
    uint16_t m_group = 0;
    uint16_t m_cluster = 0;
    uint32_t m_flags = 0;
    uint32_t m_rotationWord = 0;
};
