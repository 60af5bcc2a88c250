#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/CObject.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "model/CPadStack.h"
#include "model/PadShapes.h"

class CArchive;
class CDeviceContext;

// The padstack table of a shape library; the design's own is the one of its shape cache. Pins,
// free pads and vias name a padstack by its index here. The table keeps one default padstack per
// kind (free pad, shape pad, via), fills itself with the standard pads and vias, and draws pads.
//
// An index that names no padstack (negative or beyond the table, typically from a damaged file)
// reads as "no pad": 0, an empty rectangle or name, nullptr, false. The table remembers that it
// met one; ReportPendingError shows the message once, outside painting.
class CPadStackArray : public CObject {
    WEVRA_DECLARE_SERIAL(CPadStackArray)

public:
    static constexpr uint32_t fileVersion = 821;
    // Padstack indexes are 9-bit in the vertex and shape-pad records.
    static constexpr int32_t maxCount = PADSTACK_INDEX_LIMIT - 1;
    static constexpr char padErrorText[] = "Pad Error in Lib";

    // The 44 standard pads as free pads, all defaults 0.
    CPadStackArray();
    // No padstacks at all: a table that a loaded record replaces whole.
    struct Blank {};
    explicit CPadStackArray(Blank) {}
    CPadStackArray(const CPadStackArray& other);
    CPadStackArray& operator=(const CPadStackArray& other);
    ~CPadStackArray() override;

    int32_t GetCount() const { return static_cast<int32_t>(m_stacks.size()); }
    // Deletes every padstack and zeroes the defaults.
    void RemoveAll();

    // Lookups. Layers outside 0..26 have no pad (without counting as an error).
    const CPadStack* GetPadStack(int32_t stack) const;
    CPadStack* GetPadStack(int32_t stack);
    // nullptr also when the pad has no shape.
    const CPad* GetPad(int32_t stack, int32_t layer) const;
    int32_t GetPadShape(int32_t stack, int32_t layer) const;
    std::string GetPadShapeName(int32_t stack, int32_t layer) const;
    // These read the pad slot also when it has no shape.
    int32_t GetPadWidth(int32_t stack, int32_t layer) const;
    int32_t GetPadHeight(int32_t stack, int32_t layer) const;
    int32_t GetPadOffsetX(int32_t stack, int32_t layer) const;
    int32_t GetPadOffsetY(int32_t stack, int32_t layer) const;
    CRect GetPadRect(int32_t stack, int32_t layer) const;
    std::string GetName(int32_t stack) const;
    uint32_t GetLayerMask(int32_t stack, bool mirrored) const;
    bool IsPadKind(int32_t stack) const;
    bool IsShapePadKind(int32_t stack) const;
    bool IsVia(int32_t stack) const;

    void SetPadKind(int32_t stack, bool on);
    void SetShapePadKind(int32_t stack, bool on);
    void SetVia(int32_t stack, bool on);
    void ClearKinds(int32_t stack);
    void ClearAllKinds();

    // The first padstack of exactly that name (case-sensitive), or -1.
    int32_t FindByName(const std::string& name) const;
    // The first padstack with the same shapes and rectangles on every layer, or -1.
    int32_t FindIdentical(const CPadStack& stack) const;

    // "Undefined" ... "Line" for the shape codes, empty for any other number.
    static std::string ShapeName(int32_t code);
    // The code of exactly that name, or -1.
    static int32_t ShapeCodeFromName(const std::string& name);

    // Whether an index naming no padstack was met since the last report.
    bool HasPendingError() const { return m_pendingError; }
    // Shows "Pad Error in Lib" once when such an index was met, and forgets it. Painting only
    // marks the error; the view calls this after painting. Returns whether it showed it.
    bool ReportPendingError();

    // Defaults per kind (1, 2, 4); any other kind value is taken as the index itself. Clamped
    // to the table, 0 for an empty one.
    int32_t GetDefault(int32_t kind) const;
    // Stores min(index, count - 1) clamped to 0..1023 for kinds 1, 2 and 4 (others store
    // nothing) and returns it.
    int32_t SetDefault(int32_t kind, int32_t index);
    // Makes the padstack of that name the default of the shape-pad kind when it has that kind,
    // else of the free-pad kind. Its index, or -1 when absent.
    int32_t SelectDefaultByName(const std::string& name);

    // Appends a copy with its masks computed and returns its index; an identical padstack is
    // reused when some padstack bears the new one's name (compared upper-cased). -1 with a
    // message when the table is full.
    int32_t Add(const CPadStack& stack);
    // Appends a copy under a unique name; -1 with a message when the table is full.
    int32_t AddCopy(const CPadStack& stack);
    // Replaces padstack `index` by a copy; `index` equal to the count appends. False for other
    // indexes and, with a message, when the table is full.
    bool SetAt(int32_t index, const CPadStack& stack);
    // Deletes padstack `index` and closes the gap; the table's own defaults follow their
    // padstacks (a default on the removed one moves to the one before it). Every other holder
    // of an index (shape pads, net vertices, free pads) must either not use the padstack or be
    // renumbered by the caller with IndexAfterRemoval. False when `index` names no padstack.
    bool RemoveAt(int32_t index);
    // Where index `index` points after padstack `removed` is deleted: -1 for the removed one.
    static int32_t IndexAfterRemoval(int32_t index, int32_t removed);

    void SetDrill(int32_t stack, int32_t drill, int32_t ring);
    void SetPadShape(int32_t stack, int32_t layer, uint32_t shapeWord);
    void RecalcMasks(int32_t stack);
    void RecalcAllMasks();

    // Gives padstack `index` the name, followed by "__A", "__B", ... while another padstack
    // bears it; returns the name given.
    std::string MakeUniqueName(int32_t index, const std::string& name);

    // The standard pads (mode 1 or 2, as that kind) or vias (mode 4); other modes add nothing.
    // Generated padstacks with a drill are named after their sizes. `clear` empties the table
    // first. False, with a message and nothing added, when they would not fit in the table.
    bool Fill(bool clear, int32_t mode);

    // Removes pads of zero width or height, then asks per padstack without a drill whether to
    // add a top paste pad (or, for fiducials and connectors, remove it); recomputes the masks.
    void Normalise();

    // Draws the pad of (stack, layer) with the current pen and brush about device point (x, y):
    // the rectangle divided by `scale`, turned by `angle` plus the pad's own rotation. Round pads
    // keep their size and move their centre; the others are polygons as the photoplot shows
    // them: Oval a stadium, the octagons eight corners, Square, Rectangle, Connector, Device and
    // Line their rectangle. A pad of no shape draws nothing.
    void DrawPad(CDeviceContext& dc, int32_t stack, int32_t layer, int32_t x, int32_t y,
                 int32_t angle, int32_t scale) const;
    // The same mirrored in x, for items on the bottom side.
    void DrawPadMirrored(CDeviceContext& dc, int32_t stack, int32_t layer, int32_t x, int32_t y,
                         int32_t angle, int32_t scale) const;
    // What DrawPad would cover for the default padstack of `kind` on `layer` (the drill pad
    // when that layer has none), grown by 2; (0, 0, 1, 1) when there is neither.
    CRect GetPadBounds(int32_t kind, int32_t layer, int32_t x, int32_t y, int32_t angle,
                       int32_t scale) const;

    // Version 821, the packed defaults, then the padstacks as an object array. Loading builds
    // a new table and replaces this one only when the whole record was read.
    void Serialize(CArchive& ar) override;

private:
    // The padstack of that index; marks the pending error when there is none.
    const CPadStack* Find(int32_t stack) const;
    CPadStack* Find(int32_t stack);
    const CPad* FindPad(int32_t stack, int32_t layer) const;
    // False, with the message, when `added` more padstacks would overfill the table.
    bool HasRoomFor(size_t added) const;
    void ReclampDefaults();
    void Draw(CDeviceContext& dc, int32_t stack, int32_t layer, int32_t x, int32_t y, int32_t angle,
              int32_t scale, bool mirrored) const;

    std::vector<std::unique_ptr<CPadStack>> m_stacks;
    // Bits 0..9 the default of kind 1, 10..19 of kind 2, 20..29 of kind 4.
    uint32_t m_defaults = 0;
    // Atomic: plane fills on several threads look pads up at once.
    mutable std::atomic<bool> m_pendingError{false};
};
