#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/CObject.h"
#include "framework/CRect.h"
#include "framework/CRuntimeClass.h"
#include "model/CPad.h"
#include "model/LayerIds.h"

class CArchive;

// The copper, mask and drill geometry of one pin, free pad or via: one pad per layer 0..26.
// The drill program layer 26 holds the drill as a round pad whose width is the hole diameter.
class CPadStack : public CObject {
    WEVRA_DECLARE_SERIAL(CPadStack)

public:
    // Ring of copper the standard pads and vias keep around the hole on the inner layers.
    static constexpr int32_t standardRing = 2015;
    // How far mask pads reach beyond their copper pad on every side (0.1 mm).
    static constexpr int32_t maskGrowth = 1007;

    // All pads empty, no kinds, no name.
    CPadStack();
    // A through-hole stack (layer 0: pads on top and bottom with their mask pads) or a
    // surface-mount stack on `layer` (with the top paste and mask pads, whatever the layer);
    // a positive drill adds the drill and inner-layer pads. The masks are left to the table.
    CPadStack(const std::string& name, int32_t shapeCode, int32_t x1, int32_t y1, int32_t x2,
              int32_t y2, int32_t drill, int32_t layer, uint32_t kindFlags);

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }

    // nullptr for layers outside 0..26.
    CPad* GetPad(int32_t layer);
    const CPad* GetPad(int32_t layer) const;

    // Round drill pad of the diameter on layer 26 and round pads with `ring` around it on the
    // inner layers 3..16; the outer layers are left alone.
    void SetDrill(int32_t drill, int32_t ring);
    // The drill pad's width, 0 when it has no positive width and height.
    int32_t GetDrill() const;

    // Bit L-1 for each layer L in 1..26 with a pad; the mirrored mask looks at the opposite
    // layer, as seen from the other side of the board.
    void RecalcMasks();
    uint32_t GetLayerMask() const { return m_layerMask; }
    uint32_t GetMirroredLayerMask() const { return m_mirroredMask; }

    uint32_t GetKindFlags() const { return m_kinds; }
    void ClearKinds() { m_kinds = 0; }
    bool IsPadKind() const { return (m_kinds & 1u) != 0; }
    bool IsShapePadKind() const { return (m_kinds & 2u) != 0; }
    bool IsVia() const { return (m_kinds & 4u) != 0; }
    void SetPadKind(bool on) { SetKindBit(1u, on); }
    void SetShapePadKind(bool on) { SetKindBit(2u, on); }
    void SetVia(bool on) { SetKindBit(4u, on); }

    // Same shape code and rectangle on every layer (rotations do not count).
    bool HasSameShapes(const CPadStack& other) const;

    // Kind flags, name, then the 27 pad records; the masks are recomputed after loading.
    void Serialize(CArchive& ar) override;

private:
    void SetKindBit(uint32_t bit, bool on) { m_kinds = on ? (m_kinds | bit) : (m_kinds & ~bit); }

    std::array<CPad, PADSTACK_LAYER_COUNT> m_pads;
    uint32_t m_layerMask = 0;
    uint32_t m_mirroredMask = 0;
    uint32_t m_kinds = 0;
    std::string m_name;
};
