#include "model/CNetErrorRec.h"

#include <algorithm>
#include <limits>

#include "framework/CArchive.h"

WEVRA_IMPLEMENT_SERIAL(CNetErrorRec, "CNetErrorRec", 0)

namespace {

int32_t Shifted(int32_t v, int32_t d)
{
    return static_cast<int32_t>(std::clamp<int64_t>(
        int64_t(v) + d, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void StoreItem(CArchive& ar, const CNetErrorRec::Item& item)
{
    ar << item.text << item.net << item.position.x << item.position.y;
}

void LoadItem(CArchive& ar, CNetErrorRec::Item& item)
{
    ar >> item.text >> item.net >> item.position.x >> item.position.y;
}

} // namespace

bool CNetErrorRec::HasSamePositions(const CNetErrorRec& other) const
{
    const CPoint a = m_first.position;
    const CPoint b = m_second.position;
    const CPoint c = other.m_first.position;
    const CPoint d = other.m_second.position;
    return (a == c && b == d) || (a == d && b == c);
}

void CNetErrorRec::Offset(int32_t dx, int32_t dy)
{
    for (Item* item : {&m_first, &m_second}) {
        item->position.x = Shifted(item->position.x, dx);
        item->position.y = Shifted(item->position.y, dy);
    }
}

void CNetErrorRec::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << uint32_t(m_kind);
        StoreItem(ar, m_first);
        StoreItem(ar, m_second);
        return;
    }
    // Read into a fresh record so that a damaged one leaves this one as it was.
    CNetErrorRec loaded;
    uint32_t kind = 0;
    ar >> kind;
    loaded.m_kind = int32_t(kind);
    LoadItem(ar, loaded.m_first);
    LoadItem(ar, loaded.m_second);
    *this = loaded;
}
