#include "model/NetPinRec.h"

#include "framework/CArchive.h"

void NetPinRec::Write(CArchive& ar) const
{
    ar << x << y << component << pad << padStack << angle << side;
    for (uint8_t b : reserved2)
        ar << b;
    ar << layerMask << cluster << reserved3;
}

void NetPinRec::Read(CArchive& ar)
{
    ar >> x >> y >> component >> pad >> padStack >> angle >> side;
    for (uint8_t& b : reserved2)
        ar >> b;
    ar >> layerMask >> cluster >> reserved3;
}
