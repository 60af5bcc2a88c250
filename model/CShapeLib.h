#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "framework/ColorRef.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"

class CArchive;
class CDeviceContext;
class CShapeLibArray;
class CShapeLibDocument;

// A named collection of shapes with the two tables their records point into: the pen table of
// outline line widths and the library's own padstack table. Every design keeps one named
// "Cache" (the shape cache): each shape placed on the board is copied into it, and components
// name their shape by index in it.
//
// An index that names no shape reads as empty (nullptr, "", 0) and is ignored by the setters.
class CShapeLib : public CObject {
    WEVRA_DECLARE_SERIAL(CShapeLib)

public:
    static constexpr uint32_t fileVersion = 800;
    static constexpr char cacheName[] = "Cache";
    static constexpr char defaultName[] = "NoName";
    // The width of pen 1 of a new library, which every library keeps at least.
    static constexpr uint16_t defaultPenWidth = 2015;
    // An outline vertex names its pen in 4 bits.
    static constexpr int32_t maxPenCount = ShapeOutlineVertex::maxPen + 1;

    // Differences reported by CompareShapes.
    static constexpr uint32_t padCountDiffers = 1;
    static constexpr uint32_t outlineCountDiffers = 2;
    static constexpr uint32_t padStackDiffers = 4;
    static constexpr uint32_t outlineLayerDiffers = 8;

    // "NoName", no shapes, pens [0, 2015], current pen 1 and the standard padstack table.
    CShapeLib();
    explicit CShapeLib(const std::string& name);
    // The same without padstacks, for a library that a loaded record replaces whole.
    CShapeLib(const std::string& name, CPadStackArray::Blank);
    // Deep copy: shapes, name, current shape and pen, drawing scale, padstacks and pens; the
    // use counts start empty.
    CShapeLib(const CShapeLib& other);
    CShapeLib& operator=(const CShapeLib& other);
    ~CShapeLib() override;

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    bool IsCache() const { return m_name == cacheName; }

    int32_t GetCount() const { return static_cast<int32_t>(m_shapes.size()); }
    CShape* GetShape(int32_t i);
    const CShape* GetShape(int32_t i) const;
    std::string GetShapeName(int32_t i) const;
    CRect GetShapeExtent(int32_t i) const;
    // Number of outline vertices.
    int32_t GetElementCount(int32_t i) const;
    int32_t GetCurShape() const { return m_curShape; }
    // Clamped to the shapes there are (0 for an empty library).
    void SetCurShape(int32_t i);

    // Board units per pixel of the drawing operations.
    int32_t GetScale() const { return m_scale; }
    void SetScale(int32_t scale) { m_scale = scale; }

    CPadStackArray& GetPadStacks() { return *m_padStacks; }
    const CPadStackArray& GetPadStacks() const { return *m_padStacks; }
    // Uses per padstack as the last CountPadStackUse found them; 0 for other indexes.
    uint32_t GetPadStackUse(int32_t k) const;

    // Pens: entry 0 is the move-to, the others outline line widths.
    const std::vector<uint16_t>& GetPens() const { return m_pens; }
    int32_t GetPenWidth(int32_t pen) const;
    int32_t GetCurPen() const { return m_curPen; }
    // Takes another table whole (the pens of a shape edited as a board, written back); the
    // current pen kept inside. Outline vertices keep their pen numbers.
    void SetPens(const std::vector<uint16_t>& pens)
    {
        m_pens = pens;
        if (m_pens.empty())
            m_pens.push_back(0);
        if (m_curPen >= static_cast<int32_t>(m_pens.size()))
            m_curPen = m_pens.size() > 1 ? 1 : 0;
    }

    // The first shape of that name ignoring case, -1 when none.
    int32_t FindShape(const std::string& name) const;
    // Appends an empty shape; returns its index.
    int32_t AddShape(const std::string& name);
    // Append a record to shape i, the word stored whole. False when there is no shape i.
    bool AddPadToShape(int32_t i, int32_t x, int32_t y, uint16_t word, int32_t rotation);
    bool AddOutlineToShape(int32_t i, int32_t x, int32_t y, uint16_t word);
    // Removes shape i; the current shape stays within the shapes left.
    bool DeleteShape(int32_t i);

    // 0 when equal, else the difference bits above; the padstacks are compared only when the
    // pad counts agree, the line layers only when the outline counts agree. An index that
    // names no shape differs in everything.
    uint32_t CompareShapes(int32_t i, int32_t j) const;
    // The box of every pad position and outline point, at least 1000 around the first one;
    // (-10, -10, 10, 10) for a shape with neither.
    void RecalcShapeExtent(int32_t i);
    // The first pad when its padstack is drilled, else the centre of the pads and outline.
    CPoint GetReferencePoint(int32_t i) const;
    // Moves the shape so that its reference point lies at the origin.
    void NormalizeShape(int32_t i);
    void NormalizeAll();

    // Pens.
    int32_t CountPenUse(int32_t pen) const;
    // The pen of that width (from pen 1 on), appended when absent; it becomes the current
    // pen. A table already holding every pen an outline vertex can name gives the pen of the
    // nearest width instead of an unreachable new one.
    int32_t FindOrAddPen(int32_t width);
    // Merges equal widths, sorts pens 1.. by width and renumbers the outline vertices; the
    // table keeps at least [0, 2015] and the current pen becomes 1.
    void SortPens();

    // Padstacks. The document is used only by the shape cache.
    // Counts the uses of every padstack: a library's own shape pads, or for the cache the pads
    // of the placed components and the design's vias and free pads; the cache's shape
    // padstacks are then marked as such.
    void CountPadStackUse(const CShapeLibDocument& document);
    // Removes padstack k when the table keeps at least one, nothing uses it and it is no
    // shape padstack; renumbers the later ones everywhere. False when refused.
    bool DeletePadStack(CShapeLibDocument& document, int32_t k);
    // Removes every padstack nothing uses, keeping the defaults, the padstacks of any shape of
    // the library and at least one padstack; the cache then has its padstack kinds
    // re-derived by the document.
    void DeleteUnusedPadStacks(CShapeLibDocument& document);
    // Inserts a copy at k (0..count) and renumbers the later ones everywhere. False, with a
    // message, when the table is full, or when k is out of range.
    bool InsertPadStack(CShapeLibDocument& document, const CPadStack& stack, int32_t k);

    // Copies shape j of another library (or of this one) under the new name (the source's
    // name when empty), with its padstacks and pens mapped into this library's tables. An
    // existing shape of that name (ignoring case) is returned instead. -1 when there is no
    // shape j or the padstack table cannot take its padstacks.
    int32_t ImportShape(const CShapeLib& source, int32_t j, const std::string& newName);
    // The same copy in place of this library's shape of that name, keeping its index; -1 when
    // there is none.
    int32_t ReplaceShape(const std::string& name, const CShapeLib& source, int32_t j);
    // Imports the first shape of exactly that name found in the library set; its index here,
    // -1 when no library holds it.
    int32_t ImportShapeByName(const CShapeLibArray& libraries, const std::string& name);

    // Drawing, in device pixels of (board coordinate) / scale; nothing when the scale is not
    // positive.
    // The outline of shape i on `layer` in the colour of the selected pen, each line as wide as
    // its pen, then its pads on that layer with the selected pen and brush; the shape's origin
    // at board point (x, y).
    void DrawShape(CDeviceContext& dc, int32_t i, int32_t x, int32_t y, int32_t layer) const;
    // The silkscreen-top outline in one-pixel grey and the signal-top pads filled grey.
    void DrawShapePreview(CDeviceContext& dc, int32_t i, int32_t x, int32_t y) const;
    // The outline of one layer of shape i as a component draws it: mirrored in x when asked,
    // turned by `angle`, moved to board point (x, y), in the given colour.
    void DrawComponentOutline(CDeviceContext& dc, int32_t i, int32_t x, int32_t y, int32_t angle,
                              bool mirrored, int32_t layer, COLORREF color) const;

    // Version 800, name, current shape, pens, the padstack table and the shapes. Loading
    // builds a new library and replaces this one only when the whole record was read; shape
    // pads and outline vertices naming a padstack or pen the tables lack are repaired, with a
    // load warning. A library other than the cache has all its padstacks marked as shape
    // padstacks.
    void Serialize(CArchive& ar) override;
    // The bytes Serialize stores: whether a dialog that works on the library changed it.
    std::vector<uint8_t> StoredBytes();

private:
    // A copy of shape j of `source` named `name`, its padstacks and pens mapped into this
    // library's tables; nullptr when it cannot be made.
    std::unique_ptr<CShape> CopyShapeFrom(const CShapeLib& source, int32_t j,
                                          const std::string& name);
    // Points every shape pad (and for the cache the design's vias and free pads) at the new
    // index of its padstack.
    void RenumberPadStacks(CShapeLibDocument& document, const std::vector<int32_t>& newIndex);
    // Removes padstack k from the table, its use count and the defaults on it.
    void RemovePadStackAt(int32_t k);
    void RepairLoadedIndexes(CArchive& ar);
    // Lines of one layer; each as wide as its pen unless `fixedWidth` (pixels) is 0 or more.
    void DrawOutline(CDeviceContext& dc, const CShape& shape, int32_t layer, int32_t x, int32_t y,
                     int32_t angle, bool mirrored, COLORREF color, int32_t fixedWidth) const;

    std::string m_name;
    std::vector<std::unique_ptr<CShape>> m_shapes;
    int32_t m_curShape = 0;
    std::vector<uint16_t> m_pens;
    std::vector<uint32_t> m_padStackUse;
    int32_t m_curPen = 1;
    int32_t m_scale = 1;
    std::unique_ptr<CPadStackArray> m_padStacks;
};
