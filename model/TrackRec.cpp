#include "model/TrackRec.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "framework/CArchive.h"
#include "framework/ReverseBytes.h"

namespace {

// A vertex is read and written as one block of its 20 bytes: designs hold many of them. Each
// field is moved whole and its bytes put in file order only on a big-endian host.
template <typename T> void Put(uint8_t*& p, T value)
{
    auto bits = std::make_unsigned_t<T>(value);
    if constexpr (std::endian::native == std::endian::big)
        bits = ReverseBytes(bits);
    std::memcpy(p, &bits, sizeof bits);
    p += sizeof bits;
}

template <typename T> void Get(const uint8_t*& p, T& value)
{
    std::make_unsigned_t<T> bits;
    std::memcpy(&bits, p, sizeof bits);
    if constexpr (std::endian::native == std::endian::big)
        bits = ReverseBytes(bits);
    value = T(bits);
    p += sizeof bits;
}

} // namespace

void TrackRec::Write(CArchive& ar) const
{
    uint8_t bytes[recordSize];
    Encode(bytes);
    ar.Write(bytes, recordSize);
}

void TrackRec::Read(CArchive& ar)
{
    uint8_t bytes[recordSize];
    ar.Read(bytes, recordSize);
    Decode(bytes);
}

void TrackRec::Encode(uint8_t* bytes) const
{
    uint8_t* p = bytes;
    Put(p, flags);
    Put(p, penLayer);
    Put(p, reserved1);
    Put(p, x);
    Put(p, y);
    Put(p, cluster);
    Put(p, reserved2);
}

void TrackRec::Decode(const uint8_t* bytes)
{
    const uint8_t* p = bytes;
    Get(p, flags);
    Get(p, penLayer);
    Get(p, reserved1);
    Get(p, x);
    Get(p, y);
    Get(p, cluster);
    Get(p, reserved2);
}
