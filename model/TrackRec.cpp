#include "model/TrackRec.h"

#include "framework/CArchive.h"

void TrackRec::Write(CArchive& ar) const
{
    ar << flags << penLayer << reserved1 << x << y << cluster << reserved2;
}

void TrackRec::Read(CArchive& ar)
{
    ar >> flags >> penLayer >> reserved1 >> x >> y >> cluster >> reserved2;
}
