#include "model/RatsLine.h"

#include "framework/CArchive.h"

void RatsLine::Write(CArchive& ar) const
{
    ar << x1 << y1 << x2 << y2;
}

void RatsLine::Read(CArchive& ar)
{
    ar >> x1 >> y1 >> x2 >> y2;
}
