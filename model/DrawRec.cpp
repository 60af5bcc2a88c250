#include "model/DrawRec.h"

#include "framework/CArchive.h"

void DrawRec::Write(CArchive& ar) const
{
    ar << flags << tag << penLayer << x << y;
}

void DrawRec::Read(CArchive& ar)
{
    ar >> flags >> tag >> penLayer >> x >> y;
}
