#include "interchange/PlyRecord.h"

namespace {

void AppendWord(std::string& bytes, uint16_t word)
{
    bytes.push_back(char(word & 0xFF));
    bytes.push_back(char(word >> 8));
}

uint16_t WordAt(const std::string& bytes, size_t at)
{
    return uint16_t(uint8_t(bytes[at]) | (uint16_t(uint8_t(bytes[at + 1])) << 8));
}

// Quarter turns fill the code from bit 10 so that the whole kind word divided by
// quarterTurnDivisor gives them back whatever the low bits hold.
constexpr int32_t codePerQuarterTurn = PlyRecord::quarterTurnDivisor / 1024;

} // namespace

int32_t PlyRecord::GetPadRow() const
{
    if (!IsPad())
        return -1;
    return IsThroughHole() ? (kind >> 3) & 15 : kind & 127;
}

int32_t PlyRecord::GetPadAngle() const
{
    const int32_t angle = -(int32_t(kind) / quarterTurnDivisor) * quarterTurn;
    return angle < 0 ? angle + 4 * quarterTurn : angle;
}

int32_t PlyRecord::RotationCode(int32_t angle)
{
    angle %= 4 * quarterTurn;
    if (angle < 0)
        angle += 4 * quarterTurn;
    if (angle % quarterTurn != 0)
        return -1;
    const int32_t quarters = (4 - angle / quarterTurn) % 4;
    return quarters * codePerQuarterTurn;
}

PlyRecord PlyRecord::Line(int32_t net, int32_t x, int32_t y, int32_t pen, int32_t layer,
                          int32_t object, bool planeOutline)
{
    PlyRecord record;
    record.object = uint16_t(object & objectMask);
    record.kind = uint16_t((pen & 7) + 8 * (layer & 15) + (planeOutline ? planeOutlineBit : 0));
    record.x = int16_t(x);
    record.y = int16_t(y);
    record.net = uint16_t(net & netMask);
    return record;
}

PlyRecord PlyRecord::Pad(int32_t net, int32_t x, int32_t y, int32_t row, int32_t drill,
                         int32_t rotationCode, bool mirrored, int32_t object)
{
    PlyRecord record;
    const int32_t low = row < firstSmdRow ? (drill & 7) + 8 * row + throughHoleBit : row + 256;
    record.kind = uint16_t((rotationCode << 10) + low);
    record.object =
        uint16_t((object & objectMask) + (row < firstSmdRow && drill >= 8 ? drillHighBit : 0) +
                 (mirrored ? 0x4000 : 0));
    record.x = int16_t(x);
    record.y = int16_t(y);
    record.net = uint16_t(net & netMask);
    return record;
}

void PlyRecord::AppendTo(std::string& bytes) const
{
    AppendWord(bytes, object);
    AppendWord(bytes, kind);
    AppendWord(bytes, uint16_t(x));
    AppendWord(bytes, uint16_t(y));
    AppendWord(bytes, net);
}

std::vector<PlyRecord> PlyRecord::ReadAll(const std::string& bytes)
{
    std::vector<PlyRecord> records(bytes.size() / recordSize);
    for (size_t i = 0; i < records.size(); ++i) {
        const size_t at = i * recordSize;
        records[i].object = WordAt(bytes, at);
        records[i].kind = WordAt(bytes, at + 2);
        records[i].x = int16_t(WordAt(bytes, at + 4));
        records[i].y = int16_t(WordAt(bytes, at + 6));
        records[i].net = WordAt(bytes, at + 8);
    }
    return records;
}
