#include "model/TrackRec.h"

#include <cstddef>

#include "framework/CArchive.h"

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
