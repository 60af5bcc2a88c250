#include "document/CDesignExtent.h"

#include <algorithm>

#include "document/CDesign.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPour.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"

namespace {

class CBox {
public:
    explicit CBox(const CRect& start) : m_box(start) { m_box.NormalizeRect(); }
    void Add(CPoint p)
    {
        m_box.left = std::min(m_box.left, p.x);
        m_box.top = std::min(m_box.top, p.y);
        m_box.right = std::max(m_box.right, p.x);
        m_box.bottom = std::max(m_box.bottom, p.y);
    }
    void Add(const CRect& rect)
    {
        Add(CPoint(rect.left, rect.top));
        Add(CPoint(rect.right, rect.bottom));
    }
    const CRect& Get() const { return m_box; }

private:
    CRect m_box;
};

} // namespace

CRect CDesignExtent::Of(const CDesign& design)
{
    CBox box(CRect(0, 0, design.GetBoardWidth(), design.GetBoardHeight()));
    const CRec12Array& outline = design.GetBoardOutline();
    for (int32_t i = 0; i < outline.GetSize(); ++i)
        box.Add(CPoint(outline[i].x, outline[i].y));
    const CDrawRecArray& lines = design.GetLines();
    for (int32_t i = 0; i < lines.GetCount(); ++i)
        box.Add(lines.GetPoint(i));
    const CComponentArray& components = design.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        box.Add(components.GetBox(i));
        box.Add(components.GetPosition(i));
    }
    const CNetArray& nets = design.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t i = 0; i < net.GetVertexCount(); ++i)
            box.Add(CPoint(net.GetVertex(i).x, net.GetVertex(i).y));
    }
    const CTextArray& texts = design.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i)
        box.Add(texts.GetText(i)->GetPosition());
    for (int32_t i = 0; i < design.GetPlaneCount(); ++i)
        box.Add(design.GetPlane(i).GetOutlineRect());
    return box.Get();
}
