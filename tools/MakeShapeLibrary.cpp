// Writes the shape library that ships beside the program: the footprints most netlists name,
// under the names netlists give them ("0805", "DIP8", "SOIC14", "TO-220", "HDR2X5", ...).
//
// Dimensions:
// - surface-mount land patterns: IPC-7351B nominal (density level B) figures, rounded to
//   0.05 mm: chip resistors and capacitors RESC/CAPC 1005, 1608, 2012, 3216; SOIC127P600X175
//   and SOIC127P1030X265; SOT95P240X110-3 (SOT-23); SOT230P700X180-4 (SOT-223);
// - through-hole parts: JEDEC outlines (MS-001 and MS-011 dual in-line, TO-220AB, TO-226AA)
//   on their 2.54 mm (0.1 inch) grid, holes sized by IPC-2222 (largest lead plus about
//   0.25 mm) and pads with a ring of at least 0.3 mm.
// Every footprint has a silkscreen frame round its pads and body and a small arrow on the
// silkscreen pointing at pin 1; through-hole pin 1 also has a square pad. Pins run
// anticlockwise seen from the top, pin 1 lowest on the left.
//
// Usage: MakeShapeLibrary <output.SHP>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CPoint.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

constexpr int32_t mil = 256;
constexpr int32_t pitch = 100 * mil; // 2.54 mm
constexpr int32_t silkPen = 2015;    // 0.2 mm
constexpr int32_t silkMargin = 2519; // 0.25 mm between copper and the frame

int32_t Mm(double mm)
{
    return int32_t(mm * 10078.740157480315);
}

std::string MmText(double mm)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", mm);
    return text;
}

struct Pin {
    CPoint at;
    int32_t stack;
};

class CFootprints {
public:
    CFootprints(CShapeLibArray& set) : m_set(set) {}

    // The libraries are filled in this order; each footprint goes into the one opened last.
    void Open(const std::string& name)
    {
        m_library = m_set.GetLib(m_set.AddLib(std::make_unique<CShapeLib>(name)));
        m_halfSizes.clear();
    }

    // A plated through hole: pin 1's square pad or the round pad of the other pins.
    int32_t Hole(double pad, double hole, bool square)
    {
        const std::string name =
            std::string(square ? "SQR " : "CIR ") + MmText(pad) + " H" + MmText(hole);
        const int32_t h = Mm(pad) / 2;
        return Stack(CPadStack(name, square ? PAD_SQUARE : PAD_ROUND, -h, -h, h, h, Mm(hole),
                               LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD),
                     CPoint(h, h));
    }

    // A surface pad on the top side, `width` across x and `height` across y.
    int32_t Land(double width, double height)
    {
        const std::string name = "TOP RCT W" + MmText(width) + "_H" + MmText(height);
        const int32_t w = Mm(width) / 2;
        const int32_t h = Mm(height) / 2;
        return Stack(
            CPadStack(name, PAD_RECTANGLE, -w, -h, w, h, 0, LAYER_TOP, PADSTACK_KIND_SHAPE_PAD),
            CPoint(w, h));
    }

    // One footprint under each of the names; the frame takes in the pads and a body of the
    // given size centred on them.
    void Add(const std::vector<std::string>& names, const std::vector<Pin>& pins,
             CPoint body = CPoint())
    {
        for (const std::string& name : names) {
            const int32_t shape = m_library->AddShape(name);
            for (const Pin& pin : pins)
                m_library->AddPadToShape(shape, pin.at.x, pin.at.y, uint16_t(pin.stack), 0);
            AddFrame(shape, pins, body);
            m_library->RecalcShapeExtent(shape);
        }
    }

    bool failed = false;

private:
    int32_t Stack(const CPadStack& stack, CPoint halfSize)
    {
        const int32_t index = m_library->GetPadStacks().Add(stack);
        if (index >= int32_t(m_halfSizes.size()))
            m_halfSizes.resize(size_t(index) + 1);
        m_halfSizes[size_t(index)] = halfSize;
        return index;
    }

    void AddRun(int32_t shape, const std::vector<CPoint>& points)
    {
        const int32_t pen = m_library->FindOrAddPen(silkPen);
        for (size_t k = 0; k < points.size(); ++k)
            m_library->AddOutlineToShape(shape, points[k].x, points[k].y,
                                         uint16_t(LAYER_SILK_TOP * 16 + (k == 0 ? 0 : pen)));
    }

    void AddFrame(int32_t shape, const std::vector<Pin>& pins, CPoint body)
    {
        int32_t left = std::numeric_limits<int32_t>::max();
        int32_t top = left;
        int32_t right = std::numeric_limits<int32_t>::min();
        int32_t bottom = right;
        int64_t sumX = 0;
        int64_t sumY = 0;
        for (const Pin& pin : pins) {
            const CPoint half = m_halfSizes[size_t(pin.stack)];
            left = std::min(left, pin.at.x - half.x);
            right = std::max(right, pin.at.x + half.x);
            top = std::min(top, pin.at.y - half.y);
            bottom = std::max(bottom, pin.at.y + half.y);
            sumX += pin.at.x;
            sumY += pin.at.y;
        }
        const int32_t count = int32_t(pins.size());
        const CPoint centre(int32_t(sumX / count), int32_t(sumY / count));
        left = std::min(left - silkMargin, centre.x - body.x / 2);
        right = std::max(right + silkMargin, centre.x + body.x / 2);
        top = std::min(top - silkMargin, centre.y - body.y / 2);
        bottom = std::max(bottom + silkMargin, centre.y + body.y / 2);
        AddRun(shape, {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}});
        AddPinOneMark(shape, pins, left, bottom, top);
    }

    // An arrow just outside the frame pointing at pin 1: beside it on the left, or failing
    // that below or above it, wherever pin 1 is the pad nearest to the whole arrow.
    void AddPinOneMark(int32_t shape, const std::vector<Pin>& pins, int32_t left, int32_t bottom,
                       int32_t top)
    {
        const int32_t gap = Mm(0.2);
        const int32_t length = Mm(0.6);
        const int32_t wing = Mm(0.3);
        const CPoint one = pins.front().at;
        const std::array<std::vector<CPoint>, 3> arrows = {{
            {{left - gap, one.y},
             {left - gap - length, one.y - wing},
             {left - gap - length, one.y + wing},
             {left - gap, one.y}},
            {{one.x, bottom + gap},
             {one.x - wing, bottom + gap + length},
             {one.x + wing, bottom + gap + length},
             {one.x, bottom + gap}},
            {{one.x, top - gap},
             {one.x - wing, top - gap - length},
             {one.x + wing, top - gap - length},
             {one.x, top - gap}},
        }};
        for (const std::vector<CPoint>& arrow : arrows) {
            if (NearestIsPinOne(arrow, pins)) {
                AddRun(shape, arrow);
                return;
            }
        }
        std::cerr << "MakeShapeLibrary: no place for the pin 1 mark of "
                  << m_library->GetShapeName(shape) << '\n';
        failed = true;
    }

    static bool NearestIsPinOne(const std::vector<CPoint>& points, const std::vector<Pin>& pins)
    {
        const auto distance = [](CPoint a, CPoint b) {
            return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
        };
        for (const CPoint& point : points)
            for (size_t k = 1; k < pins.size(); ++k)
                if (distance(point, pins[k].at) <= distance(point, pins[0].at))
                    return false;
        return true;
    }

    CShapeLibArray& m_set;
    CShapeLib* m_library = nullptr;
    std::vector<CPoint> m_halfSizes;
};

// n pins in a row along x, centred, pin 1 on the left.
std::vector<CPoint> Row(int32_t n, int32_t step, int32_t y = 0)
{
    std::vector<CPoint> points;
    for (int32_t k = 0; k < n; ++k)
        points.emplace_back(k * step - (n - 1) * step / 2, y);
    return points;
}

// Two rows of n/2 pins, pin 1 at the lower left, numbered anticlockwise seen from the top.
std::vector<CPoint> DualRow(int32_t n, int32_t step, int32_t rows)
{
    std::vector<CPoint> points = Row(n / 2, step, rows / 2);
    const std::vector<CPoint> upper = Row(n / 2, step, -rows / 2);
    points.insert(points.end(), upper.rbegin(), upper.rend());
    return points;
}

// Two rows numbered across: pin 1 lower left, pin 2 above it, pin 3 right of pin 1, ...
std::vector<CPoint> Header(int32_t columns, int32_t step)
{
    std::vector<CPoint> points;
    for (const CPoint& lower : Row(columns, step, step / 2)) {
        points.push_back(lower);
        points.emplace_back(lower.x, -step / 2);
    }
    return points;
}

std::vector<Pin> Through(CFootprints& maker, const std::vector<CPoint>& points, double pad,
                         double hole)
{
    const int32_t first = maker.Hole(pad, hole, true);
    const int32_t other = maker.Hole(pad, hole, false);
    std::vector<Pin> pins;
    for (size_t k = 0; k < points.size(); ++k)
        pins.push_back({points[k], k == 0 ? first : other});
    return pins;
}

std::vector<Pin> Surface(int32_t stack, const std::vector<CPoint>& points)
{
    std::vector<Pin> pins;
    for (const CPoint& point : points)
        pins.push_back({point, stack});
    return pins;
}

std::string Numbered(const char* prefix, int32_t n, const char* suffix = "")
{
    return prefix + std::to_string(n) + suffix;
}

void AddChips(CFootprints& maker)
{
    maker.Open("CHIP");
    struct Chip {
        const char* size;
        double centres, length, width; // mm: pad centre distance, pad along and across
    };
    static constexpr Chip chips[] = {{"0402", 0.95, 0.60, 0.60},
                                     {"0603", 1.60, 0.90, 0.95},
                                     {"0805", 1.90, 1.00, 1.45},
                                     {"1206", 3.00, 1.15, 1.80}};
    for (const Chip& chip : chips) {
        const int32_t land = maker.Land(chip.length, chip.width);
        const std::string size = chip.size;
        maker.Add({size, "R" + size, "C" + size}, Surface(land, Row(2, Mm(chip.centres))));
    }
}

void AddLeaded(CFootprints& maker)
{
    maker.Open("AXIAL RADIAL");
    // Resistor and diode leads up to 0.8 mm; the body 2.5 mm across.
    for (int32_t tenths = 3; tenths <= 10; ++tenths) {
        const std::string name = tenths < 10 ? "AXIAL0." + std::to_string(tenths) : "AXIAL1.0";
        maker.Add({name}, Through(maker, Row(2, tenths * pitch), 1.8, 1.0),
                  CPoint(tenths * pitch - Mm(2.5), Mm(2.5)));
    }
    // Disc and box capacitors, 0.5 mm leads.
    for (int32_t tenths = 1; tenths <= 4; ++tenths)
        maker.Add({"RAD0." + std::to_string(tenths)},
                  Through(maker, Row(2, tenths * pitch), 1.6, 0.8),
                  CPoint(tenths * pitch + Mm(2.5), Mm(2.5)));
}

void AddDualInLine(CFootprints& maker)
{
    maker.Open("DIP");
    // MS-001 (0.3 inch rows) and MS-011 (0.6 inch rows); leads up to 0.56 mm.
    for (const int32_t n : {4, 6, 8, 14, 16, 18, 20})
        maker.Add({Numbered("DIP", n)}, Through(maker, DualRow(n, pitch, 300 * mil), 1.6, 0.8));
    for (const int32_t n : {24, 28})
        maker.Add({Numbered("DIP", n, "-300")},
                  Through(maker, DualRow(n, pitch, 300 * mil), 1.6, 0.8));
    for (const int32_t n : {24, 28, 32, 40})
        maker.Add({Numbered("DIP", n)}, Through(maker, DualRow(n, pitch, 600 * mil), 1.6, 0.8));
}

void AddInLine(CFootprints& maker)
{
    maker.Open("SIP HEADER");
    for (int32_t n = 2; n <= 12; ++n)
        maker.Add({Numbered("SIP", n)}, Through(maker, Row(n, pitch), 1.6, 0.8));
    // Square posts of 0.64 mm: 0.9 mm across the corners.
    for (int32_t n = 2; n <= 20; ++n)
        maker.Add({Numbered("HDR1X", n)}, Through(maker, Row(n, pitch), 1.7, 1.0));
    for (int32_t n = 2; n <= 20; ++n)
        maker.Add({Numbered("HDR2X", n)}, Through(maker, Header(n, pitch), 1.7, 1.0));
}

void AddSmallOutline(CFootprints& maker)
{
    maker.Open("SOIC");
    const int32_t narrow = maker.Land(0.60, 1.55);
    for (const int32_t n : {8, 14, 16})
        maker.Add({Numbered("SOIC", n), Numbered("SO", n), Numbered("SO-", n)},
                  Surface(narrow, DualRow(n, 50 * mil, Mm(5.40))));
    const int32_t wide = maker.Land(0.60, 2.00);
    maker.Add({"SOIC16W", "SO16W"}, Surface(wide, DualRow(16, 50 * mil, Mm(9.40))));
}

void AddTransistors(CFootprints& maker)
{
    maker.Open("TRANSISTOR");
    const int32_t sot23 = maker.Land(0.60, 1.20);
    maker.Add({"SOT-23", "SOT23"},
              Surface(sot23, {{-Mm(0.95), Mm(1.10)}, {Mm(0.95), Mm(1.10)}, {0, -Mm(1.10)}}));

    const int32_t lead = maker.Land(1.00, 2.15);
    const int32_t tab = maker.Land(3.25, 2.15);
    std::vector<Pin> sot223 = Surface(lead, Row(3, Mm(2.30), Mm(3.15)));
    sot223.push_back({{0, -Mm(3.15)}, tab});
    maker.Add({"SOT-223", "SOT223"}, sot223);

    // Leads formed to the 2.54 mm grid, as most boards mount them; the body 4.8 x 3.8 mm.
    maker.Add({"TO-92", "TO92"}, Through(maker, Row(3, pitch), 1.4, 0.8), CPoint(Mm(5.0), Mm(4.0)));
    // Upright, the tab at the back; leads 0.9 x 0.5 mm, the body 10.2 x 4.6 mm.
    maker.Add({"TO-220", "TO220"}, Through(maker, Row(3, pitch), 1.8, 1.1),
              CPoint(Mm(10.4), Mm(4.8)));
}

void AddConnectors(CFootprints& maker)
{
    maker.Open("CONNECTOR");
    // Screw terminals on a 5.08 mm grid, 1.0 mm pins; the body 7.6 mm deep.
    for (const int32_t n : {2, 3, 4})
        maker.Add({Numbered("TB", n)}, Through(maker, Row(n, 2 * pitch), 2.4, 1.3),
                  CPoint(n * 2 * pitch, Mm(7.6)));
    // Shrouded box headers: a 2xN header inside a body 8.9 mm wide and 7.6 mm longer.
    for (const int32_t n : {10, 14, 16, 20, 26, 34, 40})
        maker.Add({Numbered("IDC", n)}, Through(maker, Header(n / 2, pitch), 1.7, 1.0),
                  CPoint(n / 2 * pitch + Mm(7.6), Mm(8.9)));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Usage: MakeShapeLibrary <output.SHP>\n";
        return 2;
    }
    CShapeLibArray set;
    CFootprints maker(set);
    AddChips(maker);
    AddLeaded(maker);
    AddDualInLine(maker);
    AddInLine(maker);
    AddSmallOutline(maker);
    AddTransistors(maker);
    AddConnectors(maker);
    set.SetCurLib(0);
    if (maker.failed)
        return 1;
    try {
        CArchive ar;
        set.Serialize(ar);
        ar.SaveToFile(argv[1]);
    } catch (const CArchiveException& error) {
        std::cerr << "MakeShapeLibrary: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
