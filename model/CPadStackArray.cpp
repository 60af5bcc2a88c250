#include "model/CPadStackArray.h"
#include "framework/Numeric.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <utility>

#include "framework/CArchive.h"
#include "framework/CDeviceContext.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CPadStackArray, "CPadStackArray", 1)

namespace {

constexpr std::array<const char*, PAD_SHAPE_COUNT> s_shapeNames = {
    "Undefined", "Round",      "Oval",      "Square", "Rectangle",
    "Octagon",   "Octagon(w)", "Connector", "Device", "Line",
};

constexpr std::array<int32_t, 3> s_defaultKinds = {PADSTACK_KIND_PAD, PADSTACK_KIND_SHAPE_PAD,
                                                   PADSTACK_KIND_VIA};
constexpr uint32_t DEFAULT_FIELD_MASK = 0x3FFu;
constexpr int32_t MAX_DEFAULT = 1023;

// Bit position of a kind's default in the packed word; -1 for values that are no kind.
int FieldShift(int32_t kind)
{
    switch (kind) {
    case PADSTACK_KIND_PAD:
        return 0;
    case PADSTACK_KIND_SHAPE_PAD:
        return 10;
    case PADSTACK_KIND_VIA:
        return 20;
    default:
        return -1;
    }
}

// Names are single-byte; only the ASCII letters change case, whatever the locale.
std::string UpperCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// "%2.2f", the way the standard names print their sizes.
std::string Mm2(double mm)
{
    return CNumberText::FormatFixed(mm, 2, 2);
}

// The letter after "__" of the n-th renaming. Past the last single-byte letter the suffix
// becomes a number, so that renaming always ends.
std::string UniqueSuffix(int32_t n)
{
    if ('A' + n <= 0xFF)
        return std::string(1, static_cast<char>('A' + n));
    return std::to_string(n);
}

// The through-hole standard pads: outer diameter and hole in millimetres.
struct ThroughHoleSize {
    double diameter;
    double hole;
};

constexpr std::array<ThroughHoleSize, 14> s_throughHoleSizes = {{
    {0.8, 0.6},
    {0.9, 0.7},
    {1.0, 0.8},
    {1.2, 1.0},
    {1.5, 1.3},
    {1.8, 1.5},
    {2.0, 1.5},
    {2.2, 1.5},
    {2.5, 1.5},
    {3.0, 1.5},
    {3.5, 3.2},
    {4.5, 4.2},
    {5.5, 5.2},
    {6.5, 6.2},
}};

struct PadFamily {
    const char* prefix;
    int32_t shape;
};

constexpr std::array<PadFamily, 3> s_throughHoleFamilies = {{
    {"CIR", PAD_ROUND},
    {"OCT", PAD_OCTAGON},
    {"SQR", PAD_SQUARE},
}};

// Surface-mount standard pads: width and height in millimetres.
struct SmdSize {
    const char* name;
    double width;
    double height;
};

constexpr std::array<SmdSize, 2> s_smdSizes = {{
    {"TOP RCT W0.45_H0.90", 0.45, 0.90},
    {"TOP RCT W0.50_H1.00", 0.50, 1.00},
}};

std::string OneDecimal(double mm)
{
    return CNumberText::FormatFixed(mm, 1);
}

CPadStack SquareStack(const std::string& name, int32_t shape, double halfMm, double holeMm,
                      uint32_t kinds)
{
    const int32_t low = MmToUnits(-halfMm);
    const int32_t high = MmToUnits(halfMm);
    return CPadStack(name, shape, low, low, high, high, MmToUnits(holeMm), LAYER_COMMON, kinds);
}

std::vector<CPadStack> StandardPads(uint32_t kinds)
{
    std::vector<CPadStack> pads;
    for (const PadFamily& family : s_throughHoleFamilies) {
        for (const ThroughHoleSize& size : s_throughHoleSizes) {
            const std::string name = std::string(family.prefix) + " " + OneDecimal(size.diameter) +
                                     " H" + OneDecimal(size.hole);
            pads.push_back(SquareStack(name, family.shape, size.diameter / 2, size.hole, kinds));
        }
    }
    for (const SmdSize& smd : s_smdSizes) {
        pads.emplace_back(smd.name, PAD_RECTANGLE, MmToUnits(-smd.width / 2),
                          MmToUnits(-smd.height / 2), MmToUnits(smd.width / 2),
                          MmToUnits(smd.height / 2), 0, LAYER_TOP, kinds);
    }
    return pads;
}

// Diameters 0.45 to 4.00 mm in steps of 0.05, each with a hole 0.2 mm smaller; the running
// double sum is part of the result, as the stored names and sizes came from it.
std::vector<CPadStack> StandardVias()
{
    std::vector<CPadStack> vias;
    double radius = 0.2;
    do {
        radius += 0.025;
        const double diameter = radius + radius;
        const double hole = diameter - 0.2;
        vias.push_back(SquareStack("VIA " + Mm2(diameter) + " H" + Mm2(hole), PAD_ROUND, radius,
                                   hole, PADSTACK_KIND_VIA));
    } while (radius < 1.99);
    return vias;
}

std::string StandardPrefix(int32_t shape)
{
    switch (shape) {
    case PAD_UNDEFINED:
        return "000";
    case PAD_ROUND:
        return "CIR";
    case PAD_OVAL:
        return "OVL";
    case PAD_SQUARE:
        return "SQR";
    case PAD_RECTANGLE:
        return "RCT";
    case PAD_OCTAGON:
    case PAD_OCTAGON_W:
        return "OCT";
    case PAD_CONNECTOR:
        return "CON";
    case PAD_DEVICE:
        return "DEV";
    default:
        return "";
    }
}

// The name a generated padstack with a drill gets: its bottom pad size and hole in mm.
std::string SizeName(const CPadStack& stack)
{
    const CPad& bottom = *stack.GetPad(LAYER_BOTTOM);
    const std::string sizes = Mm2(bottom.GetWidth() * MM_PER_UNIT) + " H" +
                              Mm2(stack.GetPad(LAYER_DRILL)->GetWidth() * MM_PER_UNIT);
    if (stack.IsVia())
        return "VIA " + sizes;
    return StandardPrefix(bottom.GetShape()) + " " + sizes;
}

bool AskYes(const std::string& name, uint32_t question)
{
    return CServices::Messages().MessageBox(name + " : " + CResString::Load(question), "", MB_YESNO,
                                            MB_ICONQUESTION) == IDYES;
}

// Steps of each round end of an oval pad.
constexpr size_t ovalSteps = 8;
// An oval's two round ends closed on its first corner.
constexpr size_t maxPadCorners = 2 * (ovalSteps + 1) + 1;

// What the pad drawing routine draws: an ellipse, a closed polygon or nothing.
struct PadFigure {
    enum Kind { none, ellipse, polygon };
    Kind kind = none;
    CRect box;
    std::array<CPoint, maxPadCorners> points{};
    size_t pointCount = 0;
};

// A pad figure before it is moved to its place: the same for every pad of a kind at one angle
// and scale, so a board's thousands of pads share a few.
struct PadShapeAtOrigin {
    PadFigure::Kind kind = PadFigure::none;
    // An ellipse: the scaled rectangle and how far its centre turned.
    CRect rect;
    int64_t shiftX = 0;
    int64_t shiftY = 0;
    // A polygon: its turned corners.
    std::array<CPoint, maxPadCorners> corners{};
    size_t cornerCount = 0;
};

// The pad rectangle in device units: divided by the scale, mirrored in x when asked.
CRect ScaledRect(const CPad& pad, int32_t scale, bool mirrored)
{
    const CRect& r = pad.GetRect();
    CRect scaled(r.left / scale, r.top / scale, r.right / scale, r.bottom / scale);
    if (mirrored) {
        const int32_t left = SaturateToInt(-int64_t(scaled.right));
        scaled.right = SaturateToInt(-int64_t(scaled.left));
        scaled.left = left;
    }
    return scaled;
}

PadShapeAtOrigin MakeShape(const CPad& pad, int32_t angle, int32_t scale, bool mirrored)
{
    PadShapeAtOrigin shape;
    const CRect r = ScaledRect(pad, scale, mirrored);
    const int32_t turn =
        static_cast<int32_t>((int64_t(angle) + pad.GetRotation()) % int64_t(FULL_TURN));
    switch (pad.GetShape()) {
    case PAD_ROUND: {
        // The size stays; the centre turns with the item, so an offset pad stays in place
        // relative to its pin.
        const int64_t twiceX = int64_t(r.left) + r.right;
        const int64_t twiceY = int64_t(r.top) + r.bottom;
        const CPoint turned = RotatePoint(SaturateToInt(twiceX), SaturateToInt(twiceY), turn);
        shape.kind = PadFigure::ellipse;
        shape.rect = r;
        shape.shiftX = (turned.x - twiceX) / 2;
        shape.shiftY = (turned.y - twiceY) / 2;
        return shape;
    }
    case PAD_OVAL: {
        // The stadium the photoplot flashes: round ends of half the short side's width, their
        // centres that far in from the ends of the long side.
        const int64_t w = r.Width(), h = r.Height();
        const int64_t half = std::min(w, h) / 2;
        const bool across = w >= h;
        const double mx = (double(r.left) + r.right) / 2, my = (double(r.top) + r.bottom) / 2;
        const double ends[2][2] = {
            {across ? double(r.right - half) : mx, across ? my : double(r.bottom - half)},
            {across ? double(r.left + half) : mx, across ? my : double(r.top + half)}};
        const double pi = std::acos(-1.0);
        const double start = across ? -pi / 2 : 0.0;
        shape.kind = PadFigure::polygon;
        for (size_t end = 0; end < 2; ++end) {
            for (size_t k = 0; k <= ovalSteps; ++k) {
                const double phi = start + pi * double(end) + pi * double(k) / ovalSteps;
                // Toward the end's centre, so that no corner lies outside the copper.
                const CPoint corner(
                    SaturateToInt(std::llround(ends[end][0] + std::trunc(half * std::cos(phi)))),
                    SaturateToInt(std::llround(ends[end][1] + std::trunc(half * std::sin(phi)))));
                shape.corners[shape.cornerCount++] = RotatePoint(corner.x, corner.y, turn);
            }
        }
        shape.corners[shape.cornerCount++] = shape.corners[0];
        return shape;
    }
    case PAD_SQUARE:
    case PAD_RECTANGLE:
    // Connector, device and line pads are photoplotted as their rectangle.
    case PAD_CONNECTOR:
    case PAD_DEVICE:
    case PAD_LINE: {
        const std::array<CPoint, 5> corners = {CPoint(r.left, r.top), CPoint(r.right, r.top),
                                               CPoint(r.right, r.bottom), CPoint(r.left, r.bottom),
                                               CPoint(r.left, r.top)};
        shape.kind = PadFigure::polygon;
        for (CPoint corner : corners)
            shape.corners[shape.cornerCount++] = RotatePoint(corner.x, corner.y, turn);
        return shape;
    }
    case PAD_OCTAGON:
    case PAD_OCTAGON_W: {
        const int64_t c = std::min(r.Width(), r.Height()) / 4;
        const int32_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
        const std::array<CPoint, 9> corners = {
            CPoint(SaturateToInt(l + c), t),  CPoint(SaturateToInt(rt - c), t),
            CPoint(rt, SaturateToInt(t + c)), CPoint(rt, SaturateToInt(b - c)),
            CPoint(SaturateToInt(rt - c), b), CPoint(SaturateToInt(l + c), b),
            CPoint(l, SaturateToInt(b - c)),  CPoint(l, SaturateToInt(t + c)),
            CPoint(SaturateToInt(l + c), t)};
        shape.kind = PadFigure::polygon;
        for (CPoint corner : corners)
            shape.corners[shape.cornerCount++] = RotatePoint(corner.x, corner.y, turn);
        return shape;
    }
    default:
        return shape;
    }
}

// The last shapes made, by everything a shape depends on: boards repeat a few pads at a few
// angles, and making a shape takes divisions and a turn.
const PadShapeAtOrigin& ShapeOf(const CPad& pad, int32_t angle, int32_t scale, bool mirrored)
{
    struct Kept {
        bool used = false;
        int32_t shape = 0;
        int32_t rotation = 0;
        CRect rect;
        int32_t angle = 0;
        int32_t scale = 0;
        bool mirrored = false;
        PadShapeAtOrigin value;
    };
    static constexpr size_t keptCount = 64;
    thread_local std::array<Kept, keptCount> kept;
    const CRect& rect = pad.GetRect();
    const uint64_t hash = (uint64_t(uint32_t(rect.left)) * 0x9E3779B1u) ^
                          (uint64_t(uint32_t(rect.bottom)) * 0x85EBCA77u) ^
                          (uint64_t(uint32_t(angle)) * 0xC2B2AE3Du) ^ uint64_t(uint32_t(scale)) ^
                          (uint64_t(pad.GetShape()) << 7) ^ (mirrored ? 0x5555u : 0u);
    Kept& entry = kept[(hash ^ (hash >> 17)) % keptCount];
    if (!entry.used || entry.shape != pad.GetShape() || entry.rotation != pad.GetRotation() ||
        entry.rect != rect || entry.angle != angle || entry.scale != scale ||
        entry.mirrored != mirrored) {
        entry.used = true;
        entry.shape = pad.GetShape();
        entry.rotation = pad.GetRotation();
        entry.rect = rect;
        entry.angle = angle;
        entry.scale = scale;
        entry.mirrored = mirrored;
        entry.value = MakeShape(pad, angle, scale, mirrored);
    }
    return entry.value;
}

CRect PlacedBox(const PadShapeAtOrigin& shape, int32_t x, int32_t y)
{
    const CRect& r = shape.rect;
    const int64_t dx = shape.shiftX + x;
    const int64_t dy = shape.shiftY + y;
    return CRect(SaturateToInt(r.left + dx), SaturateToInt(r.top + dy), SaturateToInt(r.right + dx),
                 SaturateToInt(r.bottom + dy));
}

void PlaceCorners(const PadShapeAtOrigin& shape, int32_t x, int32_t y, CPoint* points)
{
    for (size_t k = 0; k < shape.cornerCount; ++k) {
        const CPoint turned = shape.corners[k];
        points[k] =
            CPoint(SaturateToInt(int64_t(turned.x) + x), SaturateToInt(int64_t(turned.y) + y));
    }
}

PadFigure PlaceShape(const PadShapeAtOrigin& shape, int32_t x, int32_t y)
{
    PadFigure figure;
    figure.kind = shape.kind;
    if (shape.kind == PadFigure::ellipse) {
        figure.box = PlacedBox(shape, x, y);
    } else if (shape.kind == PadFigure::polygon) {
        PlaceCorners(shape, x, y, figure.points.data());
        figure.pointCount = shape.cornerCount;
    }
    return figure;
}

PadFigure MakeFigure(const CPad& pad, int32_t x, int32_t y, int32_t angle, int32_t scale,
                     bool mirrored)
{
    return PlaceShape(ShapeOf(pad, angle, scale, mirrored), x, y);
}

CRect GrownBy2(const CRect& r)
{
    return CRect(SaturateToInt(int64_t(r.left) - 2), SaturateToInt(int64_t(r.top) - 2),
                 SaturateToInt(int64_t(r.right) + 2), SaturateToInt(int64_t(r.bottom) + 2));
}

} // namespace

CPadStackArray::CPadStackArray()
{
    Fill(true, PADSTACK_KIND_PAD);
}

CPadStackArray::CPadStackArray(const CPadStackArray& other)
    : CObject(other), m_defaults(other.m_defaults)
{
    m_stacks.reserve(other.m_stacks.size());
    for (const auto& stack : other.m_stacks)
        m_stacks.push_back(std::make_unique<CPadStack>(*stack));
}

CPadStackArray& CPadStackArray::operator=(const CPadStackArray& other)
{
    if (this != &other) {
        CPadStackArray copy(other);
        m_stacks = std::move(copy.m_stacks);
        m_defaults = copy.m_defaults;
    }
    return *this;
}

CPadStackArray::~CPadStackArray() = default;

void CPadStackArray::RemoveAll()
{
    m_stacks.clear();
    m_defaults = 0;
}

// ---- Lookups -------------------------------------------------------------------------------

const CPadStack* CPadStackArray::Find(int32_t stack) const
{
    if (stack < 0 || stack >= GetCount()) {
        m_pendingError = true;
        return nullptr;
    }
    return m_stacks[size_t(stack)].get();
}

CPadStack* CPadStackArray::Find(int32_t stack)
{
    return const_cast<CPadStack*>(std::as_const(*this).Find(stack));
}

const CPad* CPadStackArray::FindPad(int32_t stack, int32_t layer) const
{
    const CPadStack* found = Find(stack);
    return found ? found->GetPad(layer) : nullptr;
}

const CPadStack* CPadStackArray::GetPadStack(int32_t stack) const
{
    return Find(stack);
}

CPadStack* CPadStackArray::GetPadStack(int32_t stack)
{
    return Find(stack);
}

const CPad* CPadStackArray::GetPad(int32_t stack, int32_t layer) const
{
    const CPad* pad = FindPad(stack, layer);
    return pad && pad->HasShape() ? pad : nullptr;
}

int32_t CPadStackArray::GetPadShape(int32_t stack, int32_t layer) const
{
    const CPad* pad = FindPad(stack, layer);
    return pad ? pad->GetShape() : PAD_UNDEFINED;
}

std::string CPadStackArray::GetPadShapeName(int32_t stack, int32_t layer) const
{
    return ShapeName(GetPadShape(stack, layer));
}

int32_t CPadStackArray::GetPadWidth(int32_t stack, int32_t layer) const
{
    const CPad* pad = FindPad(stack, layer);
    return pad ? pad->GetWidth() : 0;
}

int32_t CPadStackArray::GetPadHeight(int32_t stack, int32_t layer) const
{
    const CPad* pad = FindPad(stack, layer);
    return pad ? pad->GetHeight() : 0;
}

int32_t CPadStackArray::GetPadOffsetX(int32_t stack, int32_t layer) const
{
    const CPad* pad = FindPad(stack, layer);
    return pad ? pad->GetOffsetX() : 0;
}

int32_t CPadStackArray::GetPadOffsetY(int32_t stack, int32_t layer) const
{
    const CPad* pad = FindPad(stack, layer);
    return pad ? pad->GetOffsetY() : 0;
}

CRect CPadStackArray::GetPadRect(int32_t stack, int32_t layer) const
{
    const CPad* pad = FindPad(stack, layer);
    return pad ? pad->GetRect() : CRect();
}

std::string CPadStackArray::GetName(int32_t stack) const
{
    const CPadStack* found = Find(stack);
    return found ? found->GetName() : std::string();
}

uint32_t CPadStackArray::GetLayerMask(int32_t stack, bool mirrored) const
{
    const CPadStack* found = Find(stack);
    if (!found)
        return 0;
    return mirrored ? found->GetMirroredLayerMask() : found->GetLayerMask();
}

bool CPadStackArray::IsPadKind(int32_t stack) const
{
    const CPadStack* found = Find(stack);
    return found && found->IsPadKind();
}

bool CPadStackArray::IsShapePadKind(int32_t stack) const
{
    const CPadStack* found = Find(stack);
    return found && found->IsShapePadKind();
}

bool CPadStackArray::IsVia(int32_t stack) const
{
    const CPadStack* found = Find(stack);
    return found && found->IsVia();
}

void CPadStackArray::SetPadKind(int32_t stack, bool on)
{
    if (CPadStack* found = Find(stack))
        found->SetPadKind(on);
}

void CPadStackArray::SetShapePadKind(int32_t stack, bool on)
{
    if (CPadStack* found = Find(stack))
        found->SetShapePadKind(on);
}

void CPadStackArray::SetVia(int32_t stack, bool on)
{
    if (CPadStack* found = Find(stack))
        found->SetVia(on);
}

void CPadStackArray::ClearKinds(int32_t stack)
{
    if (CPadStack* found = Find(stack))
        found->ClearKinds();
}

void CPadStackArray::ClearAllKinds()
{
    for (auto& stack : m_stacks)
        stack->ClearKinds();
}

int32_t CPadStackArray::FindByName(const std::string& name) const
{
    for (size_t i = 0; i < m_stacks.size(); ++i) {
        if (m_stacks[i]->GetName() == name)
            return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t CPadStackArray::FindIdentical(const CPadStack& stack) const
{
    for (size_t i = 0; i < m_stacks.size(); ++i) {
        if (m_stacks[i]->HasSameShapes(stack))
            return static_cast<int32_t>(i);
    }
    return -1;
}

std::string CPadStackArray::ShapeName(int32_t code)
{
    return code >= 0 && code < PAD_SHAPE_COUNT ? s_shapeNames[size_t(code)] : "";
}

int32_t CPadStackArray::ShapeCodeFromName(const std::string& name)
{
    for (size_t i = 0; i < s_shapeNames.size(); ++i) {
        if (name == s_shapeNames[i])
            return static_cast<int32_t>(i);
    }
    return -1;
}

bool CPadStackArray::ReportPendingError()
{
    if (!m_pendingError)
        return false;
    m_pendingError = false;
    CServices::Messages().MessageBox(padErrorText, "", MB_OK);
    return true;
}

// ---- Defaults ------------------------------------------------------------------------------

int32_t CPadStackArray::GetDefault(int32_t kind) const
{
    const int shift = FieldShift(kind);
    int32_t index = shift < 0 ? kind : int32_t((m_defaults >> shift) & DEFAULT_FIELD_MASK);
    if (index > GetCount() - 1)
        index = std::clamp(GetCount() - 1, 0, MAX_DEFAULT);
    return std::max(index, 0);
}

int32_t CPadStackArray::SetDefault(int32_t kind, int32_t index)
{
    index = std::clamp(std::min(index, GetCount() - 1), 0, MAX_DEFAULT);
    const int shift = FieldShift(kind);
    if (shift >= 0) {
        m_defaults &= ~(DEFAULT_FIELD_MASK << shift);
        m_defaults |= uint32_t(index) << shift;
    }
    return index;
}

int32_t CPadStackArray::SelectDefaultByName(const std::string& name)
{
    const int32_t index = FindByName(name);
    if (index < 0)
        return -1;
    const int32_t kind =
        m_stacks[size_t(index)]->IsShapePadKind() ? PADSTACK_KIND_SHAPE_PAD : PADSTACK_KIND_PAD;
    SetDefault(kind, index);
    return index;
}

void CPadStackArray::ReclampDefaults()
{
    for (int32_t kind : s_defaultKinds)
        SetDefault(kind, GetDefault(kind));
}

// ---- Changing the table --------------------------------------------------------------------

bool CPadStackArray::HasRoomFor(size_t added) const
{
    if (m_stacks.size() + added <= size_t(maxCount))
        return true;
    CServices::Messages().MessageBox(CResString::Load(IDS_TOO_MANY_PADSTACKS), "", MB_OK,
                                     MB_ICONEXCLAMATION);
    return false;
}

int32_t CPadStackArray::Add(const CPadStack& stack)
{
    const int32_t identical = FindIdentical(stack);
    if (identical >= 0) {
        const std::string wanted = UpperCase(stack.GetName());
        for (const auto& existing : m_stacks) {
            if (UpperCase(existing->GetName()) == wanted)
                return identical;
        }
    }
    if (!HasRoomFor(1))
        return -1;
    m_stacks.push_back(std::make_unique<CPadStack>(stack));
    m_stacks.back()->RecalcMasks();
    return GetCount() - 1;
}

int32_t CPadStackArray::AddCopy(const CPadStack& stack)
{
    if (!HasRoomFor(1))
        return -1;
    m_stacks.push_back(std::make_unique<CPadStack>(stack));
    const int32_t index = GetCount() - 1;
    MakeUniqueName(index, stack.GetName());
    return index;
}

bool CPadStackArray::SetAt(int32_t index, const CPadStack& stack)
{
    if (index < 0 || index > GetCount())
        return false;
    if (index == GetCount()) {
        if (!HasRoomFor(1))
            return false;
        m_stacks.push_back(std::make_unique<CPadStack>(stack));
    } else {
        m_stacks[size_t(index)] = std::make_unique<CPadStack>(stack);
    }
    return true;
}

bool CPadStackArray::RemoveAt(int32_t index)
{
    if (index < 0 || index >= GetCount())
        return false;
    // The defaults are read before the removal: read after it, a default on the last padstack
    // would be clamped to the shorter table first and then moved once more.
    std::array<int32_t, s_defaultKinds.size()> defaults{};
    for (size_t k = 0; k < s_defaultKinds.size(); ++k)
        defaults[k] = GetDefault(s_defaultKinds[k]);
    m_stacks.erase(m_stacks.begin() + index);
    for (size_t k = 0; k < s_defaultKinds.size(); ++k) {
        const int32_t moved = IndexAfterRemoval(defaults[k], index);
        SetDefault(s_defaultKinds[k], moved < 0 ? defaults[k] - 1 : moved);
    }
    return true;
}

int32_t CPadStackArray::IndexAfterRemoval(int32_t index, int32_t removed)
{
    if (index == removed)
        return -1;
    return index > removed ? index - 1 : index;
}

void CPadStackArray::SetDrill(int32_t stack, int32_t drill, int32_t ring)
{
    if (CPadStack* found = Find(stack))
        found->SetDrill(drill, ring);
}

void CPadStackArray::SetPadShape(int32_t stack, int32_t layer, uint32_t shapeWord)
{
    if (CPadStack* found = Find(stack)) {
        if (CPad* pad = found->GetPad(layer))
            pad->SetShape(shapeWord);
    }
}

void CPadStackArray::RecalcMasks(int32_t stack)
{
    if (CPadStack* found = Find(stack))
        found->RecalcMasks();
}

void CPadStackArray::RecalcAllMasks()
{
    for (auto& stack : m_stacks)
        stack->RecalcMasks();
}

std::string CPadStackArray::MakeUniqueName(int32_t index, const std::string& name)
{
    std::string unique = name;
    int32_t letter = 0;
    bool clash = true;
    while (clash) {
        clash = false;
        for (size_t i = 0; i < m_stacks.size(); ++i) {
            if (int32_t(i) == index || m_stacks[i]->GetName() != unique)
                continue;
            const size_t cut = unique.find("__");
            if (cut != std::string::npos) {
                unique.erase(cut);
                ++letter;
            }
            unique += "__" + UniqueSuffix(letter);
            clash = true;
            break;
        }
    }
    if (index >= 0 && index < GetCount())
        m_stacks[size_t(index)]->SetName(unique);
    return unique;
}

bool CPadStackArray::Fill(bool clear, int32_t mode)
{
    if (clear)
        RemoveAll();
    std::vector<CPadStack> added;
    if (mode == PADSTACK_KIND_PAD || mode == PADSTACK_KIND_SHAPE_PAD)
        added = StandardPads(uint32_t(mode));
    else if (mode == PADSTACK_KIND_VIA)
        added = StandardVias();
    if (!HasRoomFor(added.size()))
        return false;

    const size_t first = m_stacks.size();
    for (CPadStack& stack : added)
        m_stacks.push_back(std::make_unique<CPadStack>(std::move(stack)));
    for (size_t i = first; i < m_stacks.size(); ++i) {
        if (m_stacks[i]->GetDrill() > 0)
            MakeUniqueName(int32_t(i), SizeName(*m_stacks[i]));
    }
    RecalcAllMasks();
    return true;
}

void CPadStackArray::Normalise()
{
    for (auto& stack : m_stacks) {
        for (int32_t layer = 0; layer < PADSTACK_LAYER_COUNT; ++layer) {
            CPad& pad = *stack->GetPad(layer);
            const CRect& r = pad.GetRect();
            if (pad.HasShape() && (r.left == r.right || r.top == r.bottom))
                pad.Clear();
        }
    }
    for (auto& stack : m_stacks) {
        const std::string upper = UpperCase(stack->GetName());
        const bool pasteless = upper.starts_with("FIDUCIAL") || upper.starts_with("CONN");
        const CPad& top = *stack->GetPad(LAYER_TOP);
        CPad& paste = *stack->GetPad(LAYER_PASTE_TOP);
        if (stack->GetPad(LAYER_DRILL)->HasShape() || !top.HasShape())
            continue;
        if (!pasteless && !paste.HasShape()) {
            if (AskYes(stack->GetName(), IDS_ADD_SPT_PAD)) {
                paste.Set(top.GetShape(), top.GetRect());
                paste.SetRotation(top.GetRotation());
            }
        } else if (pasteless && paste.HasShape()) {
            if (AskYes(stack->GetName(), IDS_REMOVE_SPT_PAD))
                paste.Clear();
        }
    }
    RecalcAllMasks();
}

// ---- Drawing -------------------------------------------------------------------------------

void CPadStackArray::Draw(CDeviceContext& dc, int32_t stack, int32_t layer, int32_t x, int32_t y,
                          int32_t angle, int32_t scale, bool mirrored) const
{
    const CPad* pad = GetPad(stack, layer);
    if (!pad || scale <= 0)
        return;
    // Boards draw pads by the hundred thousand: the figure goes to the device as it is placed.
    const PadShapeAtOrigin& shape = ShapeOf(*pad, angle, scale, mirrored);
    if (shape.kind == PadFigure::ellipse) {
        dc.Ellipse(PlacedBox(shape, x, y));
    } else if (shape.kind == PadFigure::polygon) {
        CPoint points[maxPadCorners];
        PlaceCorners(shape, x, y, points);
        dc.Polygon(std::span<const CPoint>(points, shape.cornerCount));
    }
}

void CPadStackArray::DrawPad(CDeviceContext& dc, int32_t stack, int32_t layer, int32_t x, int32_t y,
                             int32_t angle, int32_t scale) const
{
    Draw(dc, stack, layer, x, y, angle, scale, false);
}

void CPadStackArray::DrawPadMirrored(CDeviceContext& dc, int32_t stack, int32_t layer, int32_t x,
                                     int32_t y, int32_t angle, int32_t scale) const
{
    Draw(dc, stack, layer, x, y, angle, scale, true);
}

CRect CPadStackArray::GetPadBounds(int32_t kind, int32_t layer, int32_t x, int32_t y, int32_t angle,
                                   int32_t scale) const
{
    // The default of an empty table names no padstack; that is no fault of the caller's.
    if (m_stacks.empty() || scale <= 0)
        return CRect(0, 0, 1, 1);
    const CPadStack& stack = *m_stacks[size_t(GetDefault(kind))];
    const CPad* pad = stack.GetPad(layer);
    if (!pad || !pad->HasShape())
        pad = stack.GetPad(LAYER_DRILL);
    if (!pad->HasShape())
        return CRect(0, 0, 1, 1);

    const PadFigure figure = MakeFigure(*pad, x, y, angle, scale, false);
    if (figure.kind == PadFigure::ellipse)
        return GrownBy2(figure.box);
    if (figure.kind == PadFigure::polygon) {
        CRect box(figure.points[0].x, figure.points[0].y, figure.points[0].x, figure.points[0].y);
        for (size_t i = 1; i < figure.pointCount; ++i) {
            box.left = std::min(box.left, figure.points[i].x);
            box.top = std::min(box.top, figure.points[i].y);
            box.right = std::max(box.right, figure.points[i].x);
            box.bottom = std::max(box.bottom, figure.points[i].y);
        }
        return GrownBy2(box);
    }
    // A pad of no shape the drawing knows: its rectangle where the pad would be.
    const CRect r = ScaledRect(*pad, scale, false);
    return GrownBy2(CRect(SaturateToInt(int64_t(r.left) + x), SaturateToInt(int64_t(r.top) + y),
                          SaturateToInt(int64_t(r.right) + x),
                          SaturateToInt(int64_t(r.bottom) + y)));
}

// ---- Storage -------------------------------------------------------------------------------

void CPadStackArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << fileVersion << m_defaults;
        ar.SerializeObjectArray(m_stacks);
        ReclampDefaults();
        return;
    }
    ar.ReadDWord(); // the version has never changed the record
    const uint32_t defaults = ar.ReadDWord();
    const uint32_t count = ar.ReadCount(2);
    if (count > uint32_t(maxCount))
        CArchive::Fail(CArchiveException::badCount,
                       "Padstack table of " + std::to_string(count) + " padstacks.");
    std::vector<std::unique_ptr<CPadStack>> loaded;
    loaded.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        loaded.push_back(ar.ReadObjectOf<CPadStack>());
        if (!loaded.back())
            CArchive::Fail(CArchiveException::badClass, "Empty padstack record.");
    }
    m_stacks = std::move(loaded);
    m_defaults = defaults;
    ReclampDefaults();
    RecalcAllMasks();
}
