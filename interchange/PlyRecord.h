#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One 10-byte record of a DOS design's ".PLY" file: five little-endian 16-bit words (object,
// kind, x, y, net). The kind word makes it a line point (bits 7..9 clear: pen in bits 0..2, DOS
// layer in bits 3..6, bit 10 for a point of a plane outline), a through-hole pad (bit 7: drill
// slot bits 0..2, pad-size row bits 3..6) or an SMD pad (bit 8 or 9: row bits 0..6); pads keep a
// rotation code from bit 10. Lengths are DOS units.
struct PlyRecord {
    static constexpr size_t recordSize = 10;
    // A DOS unit is this many board units (1280 per inch).
    static constexpr int32_t dosUnit = 200;
    static constexpr uint16_t objectMask = 0x0FFF;
    static constexpr uint16_t drillHighBit = 0x2000;
    static constexpr uint16_t mirroredBits = 0xC000;
    static constexpr uint16_t netMask = 0x0FFF;
    static constexpr uint16_t throughHoleBit = 0x0080;
    static constexpr uint16_t smdBits = 0x0300;
    static constexpr uint16_t planeOutlineBit = 0x0400;
    // A whole kind word divided by this gives the quarter turns of a pad.
    static constexpr int32_t quarterTurnDivisor = 12288;
    static constexpr int32_t quarterTurn = 90000;
    static constexpr int32_t firstSmdRow = 16;
    static constexpr int32_t padRowCount = 128;
    static constexpr int32_t drillCount = 16;
    static constexpr int32_t penCount = 8;
    static constexpr int32_t dosLayerCount = 16;
    // DOS layers from this one on carry silkscreen lines whose width is the layer's own.
    static constexpr int32_t firstWidthLayer = 8;

    uint16_t object = 0;
    uint16_t kind = 0;
    int16_t x = 0;
    int16_t y = 0;
    uint16_t net = 0;

    int32_t GetObjectNumber() const { return object & objectMask; }
    int32_t GetNetNumber() const { return net & netMask; }
    bool IsPad() const { return (kind & (throughHoleBit | smdBits)) != 0; }
    bool IsThroughHole() const { return (kind & throughHoleBit) != 0; }
    bool IsSmd() const { return IsPad() && !IsThroughHole(); }
    bool IsPlaneOutline() const { return !IsPad() && (kind & planeOutlineBit) != 0; }
    // -1 for a pad record.
    int32_t GetLineLayer() const { return IsPad() ? -1 : (kind >> 3) & 15; }
    int32_t GetLinePen() const { return IsPad() ? -1 : kind & 7; }
    // -1 for a line record.
    int32_t GetPadRow() const;
    // The slot of the drill table a through-hole pad names, 0..15.
    int32_t GetDrillIndex() const { return (kind & 7) + ((object & drillHighBit) != 0 ? 8 : 0); }
    bool IsRecordMirrored() const { return (object & mirroredBits) != 0; }
    // The pad's board angle in 1/1000 degree, 0..359999: the code counts quarter turns the
    // other way round.
    int32_t GetPadAngle() const;
    // The rotation code that GetPadAngle reads back as the angle; -1 for an angle that is no
    // whole quarter turn.
    static int32_t RotationCode(int32_t angle);

    // A line point; a plane outline point with `planeOutline`. Pen 0..7, layer 0..15.
    static PlyRecord Line(int32_t net, int32_t x, int32_t y, int32_t pen, int32_t layer,
                          int32_t object, bool planeOutline);
    // A pad of pad-size row `row` (0..15 through-hole with drill slot 0..15, 16..127 SMD) with a
    // rotation code.
    static PlyRecord Pad(int32_t net, int32_t x, int32_t y, int32_t row, int32_t drill,
                         int32_t rotationCode, bool mirrored, int32_t object);

    void AppendTo(std::string& bytes) const;
    // Every whole record of the bytes (a short tail is no record).
    static std::vector<PlyRecord> ReadAll(const std::string& bytes);

    bool operator==(const PlyRecord&) const = default;
};
