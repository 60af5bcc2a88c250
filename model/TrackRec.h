#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/LittleEndian.h"
#include "model/CRecordArray.h"

class CArchive;

// One vertex of a net's copper: a point of a track run, or a pad or via placed as a free item.
// Stored as 20 bytes in the design file, field by field, little-endian.
struct TrackRec {
    static constexpr size_t recordSize = 20;

    // Flags: rotation of a pad or via in 1/1000 degree in the low 19 bits.
    static constexpr uint32_t rotationMask = 0x0007FFFFu;
    // The pad or via sits on the other board side: its pads are those of the opposite layers.
    static constexpr uint32_t flagMirrored = 0x00080000u;
    static constexpr uint32_t flagSelected = 0x00100000u;
    // New or dragged vertices; the online clearance check tests only marked segments.
    static constexpr uint32_t flagChangeMark = 0x00400000u;
    static constexpr uint32_t flagAutorouted = 0x01000000u;

    // Pen/layer word of a track vertex: pen in bits 0..3 (0 starts a run), layer in bits 4..8.
    static constexpr uint16_t penMask = 0x000F;
    static constexpr uint16_t layerMask = 0x01F0;
    static constexpr int32_t layerShift = 4;
    // Set for a pad or via vertex, whose bits 0..8 then hold its padstack index.
    static constexpr uint16_t padBit = 0x0200;
    static constexpr uint16_t padStackMask = 0x01FF;

    uint32_t flags = 0;
    uint16_t penLayer = 0;
    uint16_t reserved1 = 0; // kept as read
    int32_t x = 0;
    int32_t y = 0;
    // Number of the connected part of the net the vertex belongs to.
    uint16_t cluster = 0;
    uint16_t reserved2 = 0; // kept as read

    // What every insertion starts from: change mark set, pen 0 on layer 0 at (0, 0).
    static TrackRec Blank()
    {
        TrackRec rec;
        rec.flags = flagChangeMark;
        return rec;
    }

    bool IsPad() const { return (penLayer & padBit) != 0; }
    // -1 for a pad or via vertex.
    int32_t GetPen() const { return IsPad() ? -1 : int32_t(penLayer & penMask); }
    int32_t GetLayer() const
    {
        return IsPad() ? -1 : int32_t((penLayer & layerMask) >> layerShift);
    }
    // -1 for a track vertex.
    int32_t GetPadStack() const { return IsPad() ? int32_t(penLayer & padStackMask) : -1; }
    // A vertex that draws a segment from the one before it.
    bool IsDrawn() const { return GetPen() >= 1; }
    int32_t GetRotation() const { return int32_t(flags & rotationMask); }
    bool IsMirrored() const { return (flags & flagMirrored) != 0; }
    bool IsSelected() const { return (flags & flagSelected) != 0; }

    void Write(CArchive& ar) const;
    void Read(CArchive& ar);
    // The record's recordSize bytes as stored. Inline: the net records of a design are moved
    // through here vertex by vertex.
    void Encode(uint8_t* bytes) const
    {
        StoreLittleEndian(bytes, flags);
        StoreLittleEndian(bytes + 4, penLayer);
        StoreLittleEndian(bytes + 6, reserved1);
        StoreLittleEndian(bytes + 8, x);
        StoreLittleEndian(bytes + 12, y);
        StoreLittleEndian(bytes + 16, cluster);
        StoreLittleEndian(bytes + 18, reserved2);
    }
    void Decode(const uint8_t* bytes)
    {
        flags = LoadLittleEndian<uint32_t>(bytes);
        penLayer = LoadLittleEndian<uint16_t>(bytes + 4);
        reserved1 = LoadLittleEndian<uint16_t>(bytes + 6);
        x = LoadLittleEndian<int32_t>(bytes + 8);
        y = LoadLittleEndian<int32_t>(bytes + 12);
        cluster = LoadLittleEndian<uint16_t>(bytes + 16);
        reserved2 = LoadLittleEndian<uint16_t>(bytes + 18);
    }

    bool operator==(const TrackRec&) const = default;
};

using CTrackRecArray = CRecordArray<TrackRec>;
