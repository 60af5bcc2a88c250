#include "model/TrackRec.h"

#include <cstddef>

#include "framework/CArchive.h"
#include "framework/LittleEndian.h"

namespace {

// A vertex is read and written as one block of its 20 bytes: designs hold many of them.
template <typename T> void Put(uint8_t*& p, T value)
{
    StoreLittleEndian(p, value);
    p += sizeof value;
}

template <typename T> void Get(const uint8_t*& p, T& value)
{
    value = LoadLittleEndian<T>(p);
    p += sizeof value;
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
