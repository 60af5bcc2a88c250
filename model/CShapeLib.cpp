#include "model/CShapeLib.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <utility>

#include "framework/CArchive.h"
#include "framework/CDeviceContext.h"
#include "framework/CResString.h"
#include "model/CShapeLibArray.h"
#include "model/CShapeLibDocument.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CShapeLib, "CShapeLib", 0)

namespace {

constexpr std::array<int32_t, 3> s_defaultKinds = {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD,
                                                   PADSTACK_KIND_VIA};
// How far the extent reaches around the first point before the others widen it.
constexpr int32_t EXTENT_MARGIN = 1000;
constexpr CRect EMPTY_SHAPE_EXTENT(-10, -10, 10, 10);
constexpr COLORREF PREVIEW_GREY = RGB(128, 128, 128);

// Shape names are single-byte; only the ASCII letters compare without case, whatever the
// locale.
bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The smallest box around a set of points, kept wide enough for any int32 point.
struct PointBox {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    bool empty = true;

    void Add(int64_t x, int64_t y)
    {
        if (empty) {
            left = right = x;
            top = bottom = y;
            empty = false;
            return;
        }
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }

    void AddShape(const CShape& shape)
    {
        for (const ShapePad& pad : shape.GetPads())
            Add(pad.x, pad.y);
        for (const ShapeOutlineVertex& vertex : shape.GetOutline())
            Add(vertex.x, vertex.y);
    }
};

} // namespace

CShapeLib::CShapeLib() : CShapeLib(defaultName) {}

CShapeLib::CShapeLib(const std::string& name)
    : m_name(name), m_pens{0, defaultPenWidth}, m_padStacks(std::make_unique<CPadStackArray>())
{
}

CShapeLib::CShapeLib(const std::string& name, CPadStackArray::Blank blank)
    : m_name(name), m_pens{0, defaultPenWidth}, m_padStacks(std::make_unique<CPadStackArray>(blank))
{
}

CShapeLib::CShapeLib(const CShapeLib& other)
    : CObject(other), m_name(other.m_name), m_curShape(other.m_curShape), m_pens(other.m_pens),
      m_curPen(other.m_curPen), m_scale(other.m_scale),
      m_padStacks(std::make_unique<CPadStackArray>(*other.m_padStacks))
{
    m_shapes.reserve(other.m_shapes.size());
    for (const auto& shape : other.m_shapes)
        m_shapes.push_back(std::make_unique<CShape>(*shape));
}

CShapeLib& CShapeLib::operator=(const CShapeLib& other)
{
    if (this != &other) {
        CShapeLib copy(other);
        m_name = std::move(copy.m_name);
        m_shapes = std::move(copy.m_shapes);
        m_curShape = copy.m_curShape;
        m_pens = std::move(copy.m_pens);
        m_padStackUse.clear();
        m_curPen = copy.m_curPen;
        m_scale = copy.m_scale;
        m_padStacks = std::move(copy.m_padStacks);
    }
    return *this;
}

CShapeLib::~CShapeLib() = default;

// ---- Shapes --------------------------------------------------------------------------------

CShape* CShapeLib::GetShape(int32_t i)
{
    return const_cast<CShape*>(std::as_const(*this).GetShape(i));
}

const CShape* CShapeLib::GetShape(int32_t i) const
{
    return i >= 0 && i < GetCount() ? m_shapes[size_t(i)].get() : nullptr;
}

std::string CShapeLib::GetShapeName(int32_t i) const
{
    const CShape* shape = GetShape(i);
    return shape ? shape->GetName() : std::string();
}

CRect CShapeLib::GetShapeExtent(int32_t i) const
{
    const CShape* shape = GetShape(i);
    return shape ? shape->GetExtent() : CRect();
}

int32_t CShapeLib::GetElementCount(int32_t i) const
{
    const CShape* shape = GetShape(i);
    return shape ? shape->GetOutlineCount() : 0;
}

void CShapeLib::SetCurShape(int32_t i)
{
    m_curShape = GetCount() == 0 ? 0 : std::clamp(i, 0, GetCount() - 1);
}

uint32_t CShapeLib::GetPadStackUse(int32_t k) const
{
    return k >= 0 && size_t(k) < m_padStackUse.size() ? m_padStackUse[size_t(k)] : 0;
}

int32_t CShapeLib::GetPenWidth(int32_t pen) const
{
    return pen >= 0 && size_t(pen) < m_pens.size() ? m_pens[size_t(pen)] : 0;
}

int32_t CShapeLib::FindShape(const std::string& name) const
{
    for (size_t i = 0; i < m_shapes.size(); ++i) {
        if (EqualIgnoringCase(m_shapes[i]->GetName(), name))
            return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t CShapeLib::AddShape(const std::string& name)
{
    m_shapes.push_back(std::make_unique<CShape>(name));
    return GetCount() - 1;
}

bool CShapeLib::AddPadToShape(int32_t i, int32_t x, int32_t y, uint16_t word, int32_t rotation)
{
    CShape* shape = GetShape(i);
    if (!shape)
        return false;
    shape->AddPad(x, y, 0, rotation);
    shape->SetPad(shape->GetPadCount() - 1, x, y, word, rotation);
    return true;
}

bool CShapeLib::AddOutlineToShape(int32_t i, int32_t x, int32_t y, uint16_t word)
{
    CShape* shape = GetShape(i);
    if (!shape)
        return false;
    shape->AddOutlineVertex(x, y, word);
    return true;
}

bool CShapeLib::DeleteShape(int32_t i)
{
    if (!GetShape(i))
        return false;
    m_shapes.erase(m_shapes.begin() + i);
    SetCurShape(m_curShape);
    return true;
}

uint32_t CShapeLib::CompareShapes(int32_t i, int32_t j) const
{
    const CShape* a = GetShape(i);
    const CShape* b = GetShape(j);
    if (!a || !b)
        return padCountDiffers | outlineCountDiffers | padStackDiffers | outlineLayerDiffers;

    uint32_t mask = 0;
    if (a->GetPadCount() != b->GetPadCount()) {
        mask |= padCountDiffers;
    } else {
        for (int32_t n = 0; n < a->GetPadCount(); ++n) {
            if (a->GetPadStackIndex(n) != b->GetPadStackIndex(n)) {
                mask |= padStackDiffers;
                break;
            }
        }
    }
    if (a->GetOutlineCount() != b->GetOutlineCount()) {
        mask |= outlineCountDiffers;
    } else {
        for (int32_t n = 0; n < a->GetOutlineCount(); ++n) {
            if (a->GetOutlinePen(n) > 0 && a->GetOutlineLayer(n) != b->GetOutlineLayer(n)) {
                mask |= outlineLayerDiffers;
                break;
            }
        }
    }
    return mask;
}

void CShapeLib::RecalcShapeExtent(int32_t i)
{
    CShape* shape = GetShape(i);
    if (!shape)
        return;
    if (shape->GetPadCount() == 0 && shape->GetOutlineCount() == 0) {
        shape->SetExtent(EMPTY_SHAPE_EXTENT);
        return;
    }
    const CPoint first = shape->GetPadCount() > 0 ? shape->GetPadPos(0) : shape->GetOutlinePoint(0);
    PointBox box;
    box.Add(int64_t(first.x) - EXTENT_MARGIN, int64_t(first.y) - EXTENT_MARGIN);
    box.Add(int64_t(first.x) + EXTENT_MARGIN, int64_t(first.y) + EXTENT_MARGIN);
    box.AddShape(*shape);
    shape->SetExtent(CRect(SaturateToInt(box.left), SaturateToInt(box.top),
                           SaturateToInt(box.right), SaturateToInt(box.bottom)));
}

CPoint CShapeLib::GetReferencePoint(int32_t i) const
{
    const CShape* shape = GetShape(i);
    if (!shape)
        return CPoint();
    if (shape->GetPadCount() > 0 &&
        m_padStacks->GetPad(shape->GetPadStackIndex(0), LAYER_DRILL) != nullptr)
        return shape->GetPadPos(0);
    PointBox box;
    box.AddShape(*shape);
    if (box.empty)
        return CPoint();
    return CPoint(static_cast<int32_t>((box.left + box.right) / 2),
                  static_cast<int32_t>((box.top + box.bottom) / 2));
}

void CShapeLib::NormalizeShape(int32_t i)
{
    CShape* shape = GetShape(i);
    if (!shape)
        return;
    const CPoint reference = GetReferencePoint(i);
    shape->Offset(SaturateToInt(-int64_t(reference.x)), SaturateToInt(-int64_t(reference.y)));
    RecalcShapeExtent(i);
}

void CShapeLib::NormalizeAll()
{
    for (int32_t i = 0; i < GetCount(); ++i)
        NormalizeShape(i);
}

// ---- Pens ----------------------------------------------------------------------------------

int32_t CShapeLib::CountPenUse(int32_t pen) const
{
    int32_t uses = 0;
    for (const auto& shape : m_shapes) {
        for (const ShapeOutlineVertex& vertex : shape->GetOutline()) {
            if (vertex.GetPen() == pen)
                ++uses;
        }
    }
    return uses;
}

int32_t CShapeLib::FindOrAddPen(int32_t width)
{
    const int32_t wanted = std::clamp<int32_t>(width, 0, std::numeric_limits<uint16_t>::max());
    if (m_pens.empty())
        m_pens.push_back(0);
    // Pens past the last one a vertex can name are never looked at.
    const int32_t reachable = std::min<int32_t>(static_cast<int32_t>(m_pens.size()), maxPenCount);
    for (int32_t k = 1; k < reachable; ++k) {
        if (m_pens[size_t(k)] == wanted)
            return m_curPen = k;
    }
    if (static_cast<int32_t>(m_pens.size()) < maxPenCount) {
        m_pens.push_back(static_cast<uint16_t>(wanted));
        return m_curPen = static_cast<int32_t>(m_pens.size()) - 1;
    }
    int32_t nearest = 1;
    for (int32_t k = 2; k < reachable; ++k) {
        if (std::abs(m_pens[size_t(k)] - wanted) < std::abs(m_pens[size_t(nearest)] - wanted))
            nearest = k;
    }
    return m_curPen = nearest;
}

void CShapeLib::SortPens()
{
    // Only the pens a vertex can name take part, so that sorting never moves a used pen out of
    // the vertices' reach.
    const int32_t reachable = std::min<int32_t>(static_cast<int32_t>(m_pens.size()), maxPenCount);
    std::vector<uint16_t> sorted(m_pens.begin() + std::min<int32_t>(reachable, 1),
                                 m_pens.begin() + reachable);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    sorted.insert(sorted.begin(), 0);

    std::array<int32_t, maxPenCount> newPen{};
    for (int32_t k = 1; k < reachable; ++k) {
        const auto at = std::lower_bound(sorted.begin() + 1, sorted.end(), m_pens[size_t(k)]);
        newPen[size_t(k)] = static_cast<int32_t>(at - sorted.begin());
    }
    if (sorted.size() < 2)
        sorted.push_back(defaultPenWidth);
    const int32_t lastPen = static_cast<int32_t>(sorted.size()) - 1;

    for (auto& shape : m_shapes) {
        for (int32_t n = 0; n < shape->GetOutlineCount(); ++n) {
            const int32_t pen = shape->GetOutlinePen(n);
            if (pen > 0)
                shape->SetOutlinePen(n, pen < reachable ? newPen[size_t(pen)] : lastPen);
        }
    }
    m_pens = std::move(sorted);
    m_curPen = 1;
}

// ---- Padstacks -----------------------------------------------------------------------------

void CShapeLib::CountPadStackUse(const CShapeLibDocument& document)
{
    const int32_t count = m_padStacks->GetCount();
    m_padStackUse.assign(size_t(count), 0);
    const auto use = [&](int32_t k, uint64_t times) {
        if (k >= 0 && k < count) {
            const uint64_t sum = m_padStackUse[size_t(k)] + times;
            m_padStackUse[size_t(k)] = static_cast<uint32_t>(
                std::min<uint64_t>(sum, std::numeric_limits<uint32_t>::max()));
        }
    };

    // How often each shape is placed: its own shapes once each for a library, the components'
    // placements for the cache. Counting per shape keeps this linear in the design.
    std::vector<uint64_t> placed(m_shapes.size(), IsCache() ? 0 : 1);
    if (IsCache()) {
        for (int32_t shape : document.GetComponentShapeIndexes()) {
            if (GetShape(shape))
                ++placed[size_t(shape)];
        }
        for (int32_t k : document.GetNetPadStackIndexes())
            use(k, 1);
    }
    for (size_t s = 0; s < m_shapes.size(); ++s) {
        for (const ShapePad& pad : m_shapes[s]->GetPads()) {
            use(pad.GetPadStackIndex(), placed[s]);
            if (IsCache() && pad.GetPadStackIndex() < count)
                m_padStacks->SetShapePadKind(pad.GetPadStackIndex(), true);
        }
    }
}

void CShapeLib::RenumberPadStacks(CShapeLibDocument& document, const std::vector<int32_t>& newIndex)
{
    for (auto& shape : m_shapes) {
        for (int32_t n = 0; n < shape->GetPadCount(); ++n) {
            const size_t old = size_t(shape->GetPadStackIndex(n));
            if (old < newIndex.size() && newIndex[old] >= 0)
                shape->SetPadStackIndex(n, newIndex[old]);
        }
    }
    if (IsCache())
        document.RenumberNetPadStacks(newIndex);
}

void CShapeLib::RemovePadStackAt(int32_t k)
{
    m_padStacks->RemoveAt(k);
    if (size_t(k) < m_padStackUse.size())
        m_padStackUse.erase(m_padStackUse.begin() + k);
}

bool CShapeLib::DeletePadStack(CShapeLibDocument& document, int32_t k)
{
    const int32_t count = m_padStacks->GetCount();
    if (k < 0 || k >= count || count < 2)
        return false;
    CountPadStackUse(document);
    if (m_padStackUse[size_t(k)] > 0 || m_padStacks->IsShapePadKind(k))
        return false;
    for (const auto& shape : m_shapes) {
        for (const ShapePad& pad : shape->GetPads()) {
            if (pad.GetPadStackIndex() == k)
                return false;
        }
    }

    RemovePadStackAt(k);
    std::vector<int32_t> newIndex(static_cast<size_t>(count), 0);
    for (int32_t i = 0; i < count; ++i)
        newIndex[size_t(i)] = CPadStackArray::IndexAfterRemoval(i, k);
    RenumberPadStacks(document, newIndex);
    return true;
}

void CShapeLib::DeleteUnusedPadStacks(CShapeLibDocument& document)
{
    CountPadStackUse(document);
    const int32_t count = m_padStacks->GetCount();
    if (count >= 2) {
        std::vector<bool> keep(size_t(count), false);
        for (int32_t k = 0; k < count; ++k)
            keep[size_t(k)] = m_padStackUse[size_t(k)] > 0;
        for (int32_t kind : s_defaultKinds)
            keep[size_t(m_padStacks->GetDefault(kind))] = true;
        // Shapes of the cache that no component places still need their padstacks.
        for (const auto& shape : m_shapes) {
            for (const ShapePad& pad : shape->GetPads()) {
                if (pad.GetPadStackIndex() < count)
                    keep[size_t(pad.GetPadStackIndex())] = true;
            }
        }

        std::vector<int32_t> newIndex(static_cast<size_t>(count));
        std::iota(newIndex.begin(), newIndex.end(), 0);
        bool removed = false;
        for (int32_t k = count - 1; k >= 0 && m_padStacks->GetCount() > 1; --k) {
            if (keep[size_t(k)])
                continue;
            RemovePadStackAt(k);
            for (int32_t& index : newIndex)
                index = index < 0 ? -1 : CPadStackArray::IndexAfterRemoval(index, k);
            removed = true;
        }
        if (removed)
            RenumberPadStacks(document, newIndex);
    }
    // The kinds pass points the design's vias at padstacks of the table it is given, so only
    // the design's own table may go through it.
    if (IsCache())
        document.NormalizePadStackKinds(*this);
}

bool CShapeLib::InsertPadStack(CShapeLibDocument& document, const CPadStack& stack, int32_t k)
{
    const int32_t count = m_padStacks->GetCount();
    if (k < 0 || k > count)
        return false;
    // The padstack may be one of this table, which the shifting below replaces.
    const CPadStack inserted(stack);
    std::array<int32_t, s_defaultKinds.size()> defaults{};
    for (size_t d = 0; d < s_defaultKinds.size(); ++d)
        defaults[d] = m_padStacks->GetDefault(s_defaultKinds[d]);

    const CPadStack* last = count > 0 && k < count ? m_padStacks->GetPadStack(count - 1) : nullptr;
    if (!m_padStacks->SetAt(count, last ? CPadStack(*last) : inserted))
        return false;
    for (int32_t i = count - 1; i > k; --i)
        m_padStacks->SetAt(i, CPadStack(*m_padStacks->GetPadStack(i - 1)));
    m_padStacks->SetAt(k, inserted);
    m_padStacks->RecalcMasks(k);

    if (m_padStackUse.size() == size_t(count))
        m_padStackUse.insert(m_padStackUse.begin() + k, 0);
    else
        m_padStackUse.assign(size_t(count) + 1, 0);
    if (k == count)
        return true;

    for (size_t d = 0; d < s_defaultKinds.size(); ++d) {
        if (defaults[d] >= k)
            m_padStacks->SetDefault(s_defaultKinds[d], defaults[d] + 1);
    }
    std::vector<int32_t> newIndex(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        newIndex[size_t(i)] = i < k ? i : i + 1;
    RenumberPadStacks(document, newIndex);
    return true;
}

// ---- Import --------------------------------------------------------------------------------

std::unique_ptr<CShape> CShapeLib::CopyShapeFrom(const CShapeLib& source, int32_t j,
                                                 const std::string& name)
{
    const CShape* original = source.GetShape(j);
    if (!original)
        return nullptr;
    auto copy = std::make_unique<CShape>(*original);
    copy->SetName(name);

    // Each source padstack and pen is mapped once, however many records name it.
    constexpr int32_t unmapped = -1;
    std::array<int32_t, PADSTACK_INDEX_LIMIT> stackOf;
    stackOf.fill(unmapped);
    for (int32_t n = 0; n < copy->GetPadCount(); ++n) {
        const int32_t from = copy->GetPadStackIndex(n);
        int32_t& to = stackOf[size_t(from)];
        if (to == unmapped) {
            const CPadStack* stack = source.GetPadStacks().GetPadStack(from);
            if (!stack)
                return nullptr;
            to = m_padStacks->Add(*stack);
            if (to < 0)
                return nullptr;
        }
        copy->SetPadStackIndex(n, to);
    }

    std::array<int32_t, maxPenCount> penOf;
    penOf.fill(unmapped);
    for (int32_t n = 0; n < copy->GetOutlineCount(); ++n) {
        const int32_t from = copy->GetOutlinePen(n);
        if (from == 0)
            continue;
        int32_t& to = penOf[size_t(from)];
        if (to == unmapped)
            to = FindOrAddPen(source.GetPenWidth(from));
        copy->SetOutlinePen(n, to);
    }
    return copy;
}

int32_t CShapeLib::ImportShape(const CShapeLib& source, int32_t j, const std::string& newName)
{
    const CShape* original = source.GetShape(j);
    if (!original)
        return -1;
    const std::string name = newName.empty() ? original->GetName() : newName;
    const int32_t existing = FindShape(name);
    if (existing >= 0)
        return existing;
    std::unique_ptr<CShape> copy = CopyShapeFrom(source, j, name);
    if (!copy)
        return -1;
    m_shapes.push_back(std::move(copy));
    RecalcShapeExtent(GetCount() - 1);
    return GetCount() - 1;
}

int32_t CShapeLib::ReplaceShape(const std::string& name, const CShapeLib& source, int32_t j)
{
    const int32_t at = FindShape(name);
    if (at < 0)
        return -1;
    std::unique_ptr<CShape> copy = CopyShapeFrom(source, j, name);
    if (!copy)
        return -1;
    m_shapes[size_t(at)] = std::move(copy);
    RecalcShapeExtent(at);
    return at;
}

int32_t CShapeLib::ImportShapeByName(const CShapeLibArray& libraries, const std::string& name)
{
    for (int32_t l = 0; l < libraries.GetCount(); ++l) {
        const CShapeLib& library = *libraries.GetLib(l);
        for (int32_t j = 0; j < library.GetCount(); ++j) {
            if (library.GetShapeName(j) == name)
                return ImportShape(library, j, "");
        }
    }
    return -1;
}

// ---- Drawing -------------------------------------------------------------------------------

void CShapeLib::DrawOutline(CDeviceContext& dc, const CShape& shape, int32_t layer, int32_t x,
                            int32_t y, int32_t angle, bool mirrored, COLORREF color,
                            int32_t fixedWidth) const
{
    const auto place = [&](const ShapeOutlineVertex& vertex) {
        const int32_t local = mirrored ? SaturateToInt(-int64_t(vertex.x)) : vertex.x;
        const CPoint turned = RotatePoint(local, vertex.y, angle);
        return CPoint(SaturateToInt((int64_t(x) + turned.x) / m_scale),
                      SaturateToInt((int64_t(y) + turned.y) / m_scale));
    };

    const std::vector<ShapeOutlineVertex>& outline = shape.GetOutline();
    CPen previous;
    bool penSelected = false;
    int32_t penWidth = 0;
    bool atStart = false; // the current position is the start of the next line
    for (size_t n = 1; n < outline.size(); ++n) {
        const ShapeOutlineVertex& vertex = outline[n];
        if (!vertex.IsLineTo() || vertex.GetLayer() != layer) {
            atStart = false;
            continue;
        }
        const int32_t width = fixedWidth >= 0 ? fixedWidth : GetPenWidth(vertex.GetPen()) / m_scale;
        if (!penSelected || width != penWidth) {
            const CPen old = dc.SelectPen(CPen(CPen::Style::Solid, width, color));
            if (!penSelected)
                previous = old;
            penSelected = true;
            penWidth = width;
        }
        if (!atStart)
            dc.MoveTo(place(outline[n - 1]));
        dc.LineTo(place(vertex));
        atStart = true;
    }
    if (penSelected)
        dc.SelectPen(previous);
}

void CShapeLib::DrawShape(CDeviceContext& dc, int32_t i, int32_t x, int32_t y, int32_t layer) const
{
    const CShape* shape = GetShape(i);
    if (!shape || m_scale <= 0)
        return;
    const CPen selected = dc.SelectPen(CPen());
    dc.SelectPen(selected);
    DrawOutline(dc, *shape, layer, x, y, 0, false, selected.color, -1);
    for (const ShapePad& pad : shape->GetPads()) {
        m_padStacks->DrawPad(dc, pad.GetPadStackIndex(), layer,
                             SaturateToInt((int64_t(x) + pad.x) / m_scale),
                             SaturateToInt((int64_t(y) + pad.y) / m_scale), pad.rotation, m_scale);
    }
}

void CShapeLib::DrawShapePreview(CDeviceContext& dc, int32_t i, int32_t x, int32_t y) const
{
    const CShape* shape = GetShape(i);
    if (!shape || m_scale <= 0)
        return;
    DrawOutline(dc, *shape, LAYER_SILK_TOP, x, y, 0, false, PREVIEW_GREY, 1);
    const CPen oldPen = dc.SelectPen(CPen(CPen::Style::Solid, 1, PREVIEW_GREY));
    const CBrush oldBrush = dc.SelectBrush(CBrush(PREVIEW_GREY));
    for (const ShapePad& pad : shape->GetPads()) {
        m_padStacks->DrawPad(dc, pad.GetPadStackIndex(), LAYER_TOP,
                             SaturateToInt((int64_t(x) + pad.x) / m_scale),
                             SaturateToInt((int64_t(y) + pad.y) / m_scale), pad.rotation, m_scale);
    }
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

void CShapeLib::DrawComponentOutline(CDeviceContext& dc, int32_t i, int32_t x, int32_t y,
                                     int32_t angle, bool mirrored, int32_t layer,
                                     COLORREF color) const
{
    const CShape* shape = GetShape(i);
    if (!shape || m_scale <= 0)
        return;
    DrawOutline(dc, *shape, layer, x, y, angle, mirrored, color, -1);
}

// ---- Storage -------------------------------------------------------------------------------

std::vector<uint8_t> CShapeLib::StoredBytes()
{
    CArchive ar;
    Serialize(ar);
    return ar.GetBuffer();
}

void CShapeLib::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << fileVersion << m_name << m_curShape;
        ar.WriteWordArray(m_pens);
        m_padStacks->Serialize(ar);
        ar.WriteCount(m_shapes.size());
        for (const auto& shape : m_shapes)
            ar.WriteObject(shape.get());
        return;
    }

    ar.ReadDWord(); // the library record has never changed with its version
    std::string name = ar.ReadString();
    const int32_t curShape = ar.ReadInt();
    std::vector<uint16_t> pens = ar.ReadWordArray();
    auto padStacks = std::make_unique<CPadStackArray>(CPadStackArray::Blank{});
    padStacks->Serialize(ar);
    const uint32_t count = ar.ReadCount(2);
    std::vector<std::unique_ptr<CShape>> shapes;
    shapes.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        shapes.push_back(ar.ReadObjectOf<CShape>());
        if (!shapes.back())
            CArchive::Fail(CArchiveException::badClass, "Empty shape record.");
    }

    m_name = std::move(name);
    m_shapes = std::move(shapes);
    m_curShape = curShape;
    m_pens = std::move(pens);
    m_padStackUse.clear();
    m_padStacks = std::move(padStacks);
    RepairLoadedIndexes(ar);
    if (!IsCache()) {
        m_padStacks->ClearAllKinds();
        for (int32_t k = 0; k < m_padStacks->GetCount(); ++k)
            m_padStacks->SetShapePadKind(k, true);
    }
}

void CShapeLib::RepairLoadedIndexes(CArchive& ar)
{
    const int32_t stackCount = m_padStacks->GetCount();
    const int32_t penCount = static_cast<int32_t>(m_pens.size());
    const int32_t fallbackStack = m_padStacks->GetDefault(PADSTACK_KIND_SHAPE_PAD);
    bool stackRepaired = false;
    bool penRepaired = false;
    bool layerRepaired = false;
    for (auto& shape : m_shapes) {
        for (int32_t n = 0; n < shape->GetPadCount(); ++n) {
            if (stackCount > 0 && shape->GetPadStackIndex(n) >= stackCount) {
                shape->SetPadStackIndex(n, fallbackStack);
                stackRepaired = true;
            }
        }
        for (int32_t n = 0; n < shape->GetOutlineCount(); ++n) {
            if (shape->GetOutlinePen(n) > 0 && shape->GetOutlinePen(n) >= penCount) {
                shape->SetOutlinePen(n, std::max(penCount - 1, 0));
                penRepaired = true;
            }
            // The record has room for a layer 31, which a design does not have.
            if (shape->GetOutlineLayer(n) >= LAYER_COUNT) {
                shape->SetOutlineLayer(n, LAYER_DRAWING_1);
                layerRepaired = true;
            }
        }
    }
    if (stackRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_SHAPE_PADSTACK_REPAIRED));
    if (penRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_SHAPE_PEN_REPAIRED));
    if (layerRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_LAYER_REPAIRED));

    const int32_t stored = m_curShape;
    SetCurShape(stored);
    if (m_curShape != stored)
        ar.AddLoadWarning(CResString::Load(IDS_CURRENT_INDEX_REPAIRED));
}
