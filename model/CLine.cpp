#include "model/CLine.h"

#include "framework/CArchive.h"

WEVRA_IMPLEMENT_SERIAL(CLine, "CLine", 0)

void CLine::Serialize(CArchive& ar)
{
    // Read into a fresh list so that a damaged record leaves this one as it was.
    if (ar.IsLoading()) {
        CPointArray loaded;
        loaded.Serialize(ar);
        m_points = loaded;
        return;
    }
    m_points.Serialize(ar);
}
