#include "model/CComponent.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "framework/CArchive.h"
#include "framework/CDeviceContext.h"
#include "framework/CResString.h"
#include "framework/Numeric.h"
#include "model/CComponentDocument.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CWevraText.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CComponent, "CComponent", 0)

namespace {

// The pixel of a board coordinate; the caller makes sure the scale is positive.
int32_t ToDevice(int32_t board, int32_t offset, int32_t scale)
{
    return SaturateToInt((int64_t(board) + offset) / scale);
}

void WriteStringList(CArchive& ar, const std::vector<std::string>& list)
{
    ar.WriteCount(list.size());
    for (const std::string& text : list)
        ar.WriteString(text);
}

// Into the list a fresh component starts with, keeping its room.
void ReadStringList(CArchive& ar, std::vector<std::string>& list)
{
    const uint32_t count = ar.ReadCount(1);
    list.resize(count);
    for (std::string& text : list)
        text = ar.ReadString();
}

CPoint ReadPoint(CArchive& ar)
{
    const int32_t x = ar.ReadInt();
    const int32_t y = ar.ReadInt();
    return CPoint(x, y);
}

} // namespace

CComponent::CComponent() : m_names{defaultReference, defaultType} {}

std::unique_ptr<CComponent> CComponent::MakeForReading()
{
    return std::unique_ptr<CComponent>(new CComponent(Blank{}));
}

CComponent::CComponent(const std::string& reference, const std::string& type, int32_t shapeIndex,
                       int32_t x, int32_t y, int32_t rotation, bool mirrored)
    : CComponent()
{
    m_names = {reference, type};
    m_shapeIndex = shapeIndex;
    m_position = CPoint(x, y);
    SetRotation(rotation);
    SetMirrored(mirrored);
}

int32_t CComponent::NormalizeRotation(int32_t rotation)
{
    // A remainder, so that any angle a file or a sum brings is in range at once.
    const int32_t rest = rotation % FULL_TURN;
    return rest < 0 ? rest + FULL_TURN : rest;
}

bool CComponent::HasSameContent(const CComponent& other) const
{
    return m_position == other.m_position && m_textPoints == other.m_textPoints &&
           m_shapeIndex == other.m_shapeIndex && m_textAngles == other.m_textAngles &&
           m_names == other.m_names && m_padNets == other.m_padNets && m_box == other.m_box &&
           m_partFields == other.m_partFields && m_group == other.m_group &&
           m_cluster == other.m_cluster && m_flags == other.m_flags &&
           m_rotationWord == other.m_rotationWord;
}

void CComponent::SetRotation(int32_t rotation)
{
    m_rotationWord = (m_rotationWord & ~ComponentRotationWord::angleMask) |
                     static_cast<uint32_t>(NormalizeRotation(rotation));
}

void CComponent::SetMirrored(bool on)
{
    m_rotationWord = on ? (m_rotationWord | ComponentRotationWord::mirrored)
                        : (m_rotationWord & ~ComponentRotationWord::mirrored);
}

std::string CComponent::GetName(int32_t k) const
{
    return k >= 0 && k < GetNameCount() ? m_names[size_t(k)] : std::string();
}

bool CComponent::SetName(int32_t k, const std::string& name)
{
    if (k < 0 || k >= GetNameCount())
        return false;
    m_names[size_t(k)] = name;
    return true;
}

// ---- Texts ---------------------------------------------------------------------------------

CPoint CComponent::GetTextPoint(int32_t kind) const
{
    return IsTextKind(kind) ? m_textPoints[size_t(kind)] : CPoint();
}

void CComponent::SetTextPoint(int32_t kind, CPoint point)
{
    if (IsTextKind(kind))
        m_textPoints[size_t(kind)] = point;
}

int32_t CComponent::GetTextAngle(int32_t kind) const
{
    return IsTextKind(kind) ? m_textAngles[size_t(kind)] : 0;
}

void CComponent::SetTextAngle(int32_t kind, int32_t angle)
{
    if (IsTextKind(kind))
        m_textAngles[size_t(kind)] = angle;
}

std::string CComponent::GetKindText(int32_t kind, const CShapeLib& cache) const
{
    switch (kind) {
    case textReference:
        return GetReference();
    case textType:
        return GetType();
    case textShapeName:
        return cache.GetShapeName(m_shapeIndex);
    default:
        return std::string();
    }
}

// ---- Pad nets ------------------------------------------------------------------------------

int32_t CComponent::GetPadNet(int32_t pad) const
{
    return pad >= 0 && pad < GetPadNetCount() ? m_padNets[size_t(pad)] : 0;
}

bool CComponent::SetPadNet(int32_t pad, int32_t net, int32_t netCount)
{
    const int32_t limit = std::min(netCount, padNetNumbers);
    if (pad < 0 || pad >= GetPadNetCount() || net < 0 || net >= limit)
        return false;
    m_padNets[size_t(pad)] = static_cast<uint16_t>(net);
    return true;
}

void CComponent::ResizePadNets(int32_t count)
{
    m_padNets.resize(size_t(std::max(count, 0)), 0);
}

// ---- Shape and pads ------------------------------------------------------------------------

const CShape* CComponent::GetShape(const CShapeLib& cache) const
{
    return cache.GetShape(m_shapeIndex);
}

int32_t CComponent::GetPadCount(const CShapeLib& cache) const
{
    const CShape* shape = GetShape(cache);
    return shape ? shape->GetPadCount() : 0;
}

int32_t CComponent::GetPadStack(int32_t pad, const CShapeLib& cache) const
{
    const CShape* shape = GetShape(cache);
    return shape && pad >= 0 && pad < shape->GetPadCount() ? shape->GetPadStackIndex(pad) : -1;
}

CPoint CComponent::ToBoard(CPoint local) const
{
    // Mirroring comes first, so a bottom-side component is the top-side one seen from below,
    // turned the other way.
    const int32_t x = IsMirrored() ? SaturateToInt(-int64_t(local.x)) : local.x;
    const CPoint turned = RotatePoint(x, local.y, GetRotation());
    return CPoint(SaturateToInt(int64_t(m_position.x) + turned.x),
                  SaturateToInt(int64_t(m_position.y) + turned.y));
}

CPoint CComponent::GetPadPosition(int32_t pad, const CShapeLib& cache) const
{
    const CShape* shape = GetShape(cache);
    if (!shape || pad < 0 || pad >= shape->GetPadCount())
        return m_position;
    return ToBoard(shape->GetPadPos(pad));
}

int32_t CComponent::GetPadAngle(int32_t pad, const CShapeLib& cache) const
{
    const CShape* shape = GetShape(cache);
    return TurnedBy(shape && pad >= 0 && pad < shape->GetPadCount() ? shape->GetPadRotation(pad)
                                                                    : 0);
}

CComponent::PadPlacement CComponent::GetPadPlacement(int32_t pad, const CShapeLib& cache) const
{
    const CShape* shape = GetShape(cache);
    if (!shape || pad < 0 || pad >= shape->GetPadCount())
        return PadPlacement{m_position, TurnedBy(0), -1};
    return PadPlacement{ToBoard(shape->GetPadPos(pad)), TurnedBy(shape->GetPadRotation(pad)),
                        shape->GetPadStackIndex(pad)};
}

int32_t CComponent::TurnedBy(int32_t own) const
{
    const int64_t sum = int64_t(own) + GetRotation();
    // Only an angle beyond the int range is brought into one turn.
    if (sum > std::numeric_limits<int32_t>::max())
        return static_cast<int32_t>(sum % FULL_TURN);
    return static_cast<int32_t>(sum);
}

// ---- Drawing -------------------------------------------------------------------------------

void CComponent::DrawOutline(CDeviceContext& dc, const CComponentDocument& document, int32_t layer,
                             bool highlight) const
{
    const CPoint offset = document.GetViewOffset();
    const int32_t shapeLayer = IsMirrored() ? OppositeLayer(layer) : layer;
    const int32_t colorSet =
        highlight ? CComponentDocument::highlightSet : CComponentDocument::normalSet;
    document.GetShapeCache().DrawComponentOutline(
        dc, m_shapeIndex, SaturateToInt(int64_t(m_position.x) + offset.x),
        SaturateToInt(int64_t(m_position.y) + offset.y), GetRotation(), IsMirrored(), shapeLayer,
        document.GetLayerColor(layer, colorSet));
}

void CComponent::DrawPads(CDeviceContext& dc, const CComponentDocument& document, int32_t layer,
                          bool highlight) const
{
    DrawPadLoop(dc, document, layer, highlight ? PadPens::highlight : PadPens::byNet);
}

void CComponent::DrawPadsOnLayer(CDeviceContext& dc, const CComponentDocument& document,
                                 int32_t layer, bool highlight) const
{
    DrawPadLoop(dc, document, layer, highlight ? PadPens::highlight : PadPens::byNetUnconnected);
}

void CComponent::DrawPadsPlain(CDeviceContext& dc, const CComponentDocument& document,
                               int32_t layer) const
{
    DrawPadLoop(dc, document, layer, PadPens::asSelected);
}

void CComponent::DrawPadLoop(CDeviceContext& dc, const CComponentDocument& document, int32_t layer,
                             PadPens pens) const
{
    const CShapeLib& cache = document.GetShapeCache();
    const CShape* shape = GetShape(cache);
    const int32_t scale = document.GetScale();
    if (!shape || scale <= 0)
        return;
    const CPadStackArray& stacks = cache.GetPadStacks();
    const CPoint offset = document.GetViewOffset();
    const bool mirrored = IsMirrored();
    const int32_t padLayer = mirrored ? OppositeLayer(layer) : layer;
    const int32_t currentNet = document.GetCurrentNet();
    const bool highlightCurrent = document.GetNetCount() >= 2;

    // Pens and brushes are selected only when a pad needs other ones than the last pad.
    enum { none = -1, normal = 0, highlight = 1, unconnected = 2 };
    int32_t selected = none;
    CPen previousPen;
    CBrush previousBrush;
    const auto select = [&](int32_t wanted) {
        if (wanted == selected)
            return;
        const CPen pen = wanted == unconnected ? document.GetUnconnectedPadPen()
                                               : document.GetLayerPen(layer, wanted);
        const CBrush brush = wanted == unconnected ? document.GetUnconnectedPadBrush()
                                                   : document.GetLayerBrush(layer, wanted);
        const CPen oldPen = dc.SelectPen(pen);
        const CBrush oldBrush = dc.SelectBrush(brush);
        if (selected == none) {
            previousPen = oldPen;
            previousBrush = oldBrush;
        }
        selected = wanted;
    };

    if (pens == PadPens::highlight)
        select(highlight);
    const std::vector<ShapePad>& pads = shape->GetPads();
    for (size_t n = 0; n < pads.size(); ++n) {
        const int32_t stack = pads[n].GetPadStackIndex();
        if (!stacks.GetPad(stack, padLayer))
            continue;
        if (pens == PadPens::byNet || pens == PadPens::byNetUnconnected) {
            const int32_t net = GetPadNet(static_cast<int32_t>(n));
            if (currentNet >= 1 && net == currentNet)
                select(highlightCurrent ? highlight : normal);
            else if (net == 0 && pens == PadPens::byNetUnconnected)
                select(unconnected);
            else
                select(normal);
        }
        const CPoint at = ToBoard(CPoint(pads[n].x, pads[n].y));
        const int32_t x = ToDevice(at.x, offset.x, scale);
        const int32_t y = ToDevice(at.y, offset.y, scale);
        const int32_t angle = GetPadAngle(static_cast<int32_t>(n), cache);
        if (mirrored)
            stacks.DrawPadMirrored(dc, stack, padLayer, x, y, angle, scale);
        else
            stacks.DrawPad(dc, stack, padLayer, x, y, angle, scale);
    }
    if (selected != none) {
        dc.SelectPen(previousPen);
        dc.SelectBrush(previousBrush);
    }
}

void CComponent::DrawHoles(CDeviceContext& dc, const CComponentDocument& document, int32_t percent,
                           int32_t minDiameter) const
{
    const CShapeLib& cache = document.GetShapeCache();
    const CShape* shape = GetShape(cache);
    const int32_t scale = document.GetScale();
    if (!shape || scale <= 0)
        return;
    const CPadStackArray& stacks = cache.GetPadStacks();
    const CPoint offset = document.GetViewOffset();
    const CPen previousPen = dc.SelectPen(document.GetHolePen());
    const CBrush previousBrush = dc.SelectBrush(document.GetHoleBrush());
    for (const ShapePad& pad : shape->GetPads()) {
        const int32_t stack = pad.GetPadStackIndex();
        if (!stacks.GetPad(stack, LAYER_DRILL))
            continue;
        const double width = stacks.GetPadWidth(stack, LAYER_DRILL);
        const int32_t diameter = std::max(TruncToInt(width * percent * 0.01), minDiameter);
        const int32_t radius = diameter / 2 / scale;
        const CPoint at = ToBoard(CPoint(pad.x, pad.y));
        const int32_t x = ToDevice(at.x, offset.x, scale);
        const int32_t y = ToDevice(at.y, offset.y, scale);
        dc.Ellipse(CRect(SaturateToInt(int64_t(x) - radius), SaturateToInt(int64_t(y) - radius),
                         SaturateToInt(int64_t(x) + radius), SaturateToInt(int64_t(y) + radius)));
    }
    dc.SelectPen(previousPen);
    dc.SelectBrush(previousBrush);
}

void CComponent::DrawText(CDeviceContext& dc, const CComponentDocument& document, int32_t kind,
                          int32_t height) const
{
    const int32_t scale = document.GetScale();
    if (!IsTextKind(kind) || scale <= 0)
        return;
    CWevraText text;
    text.SetText(GetKindText(kind, document.GetShapeCache()));
    text.SetPosition(m_textPoints[size_t(kind)]);
    text.SetAngle(m_textAngles[size_t(kind)]);
    text.SetHeight(height);
    text.SetMirrored(IsMirrored());
    const CPoint offset = document.GetViewOffset();
    text.Draw(dc, document.GetFont(), offset.x, offset.y, scale);
}

// ---- Storage -------------------------------------------------------------------------------

void CComponent::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_position.x << m_position.y << m_rotationWord << m_flags << m_shapeIndex << m_group
           << m_cluster;
        for (const CPoint& point : m_textPoints)
            ar << point.x << point.y;
        for (int32_t angle : m_textAngles)
            ar << angle;
        ar.WriteWordArray(m_padNets);
        WriteStringList(ar, m_names);
        WriteStringList(ar, m_partFields);
        return;
    }

    CComponent loaded{Blank{}};
    loaded.m_position = ReadPoint(ar);
    loaded.m_rotationWord = ar.ReadDWord();
    loaded.m_flags = ar.ReadDWord();
    loaded.m_shapeIndex = ar.ReadInt();
    loaded.m_group = ar.ReadWord();
    loaded.m_cluster = ar.ReadWord();
    for (CPoint& point : loaded.m_textPoints)
        point = ReadPoint(ar);
    for (int32_t& angle : loaded.m_textAngles)
        angle = ar.ReadInt();
    ar.ReadWordArray(loaded.m_padNets);
    ReadStringList(ar, loaded.m_names);
    ReadStringList(ar, loaded.m_partFields);

    loaded.SetSelected(false);
    // Every user of the component takes its reference and type for granted.
    if (loaded.m_names.size() < 2) {
        const char* defaults[] = {defaultReference, defaultType};
        for (size_t k = loaded.m_names.size(); k < 2; ++k)
            loaded.m_names.emplace_back(defaults[k]);
        ar.AddLoadWarning(CResString::Load(IDS_COMPONENT_NAMES_REPAIRED));
    }
    loaded.m_box = m_box;
    *this = std::move(loaded);
}

void CComponent::SkipRecord(CArchive& ar)
{
    constexpr size_t point = 2 * sizeof(CPoint::x);
    constexpr size_t head = point + sizeof(m_rotationWord) + sizeof(m_flags) +
                            sizeof(m_shapeIndex) + sizeof(m_group) + sizeof(m_cluster) +
                            size_t(textKindCount) * (point + sizeof(int32_t));
    ar.Skip(head);
    ar.SkipCounted(sizeof(uint16_t));
    // The names and the part fields.
    for (int list = 0; list < 2; ++list) {
        const uint32_t count = ar.ReadCount(1);
        for (uint32_t k = 0; k < count; ++k)
            ar.SkipString();
    }
}

void CComponent::RepairAfterLoad(CArchive& ar, const CShapeLib& cache, int32_t netCount)
{
    if (m_shapeIndex != -1 && !cache.GetShape(m_shapeIndex)) {
        m_shapeIndex = -1;
        ar.AddLoadWarning(CResString::Load(IDS_COMPONENT_SHAPE_REPAIRED));
    }
    const int32_t padCount = GetPadCount(cache);
    if (GetPadNetCount() != padCount) {
        ResizePadNets(padCount);
        ar.AddLoadWarning(CResString::Load(IDS_COMPONENT_PAD_NETS_REPAIRED));
    }
    bool netRepaired = false;
    for (uint16_t& net : m_padNets) {
        if (net != 0 && net >= netCount) {
            net = 0;
            netRepaired = true;
        }
    }
    if (netRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_COMPONENT_NET_REPAIRED));
}
