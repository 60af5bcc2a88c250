#include "interchange/CDosExport.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "framework/CFileSet.h"
#include "framework/CNumberText.h"
#include "interchange/CDosConfig.h"
#include "interchange/COutputDocument.h"
#include "interchange/CStrokeCollector.h"
#include "interchange/OutputText.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

constexpr int32_t dosUnit = PlyRecord::dosUnit;
// The corner marks lie this far outside the board, with legs this long (DOS units).
constexpr int32_t markGap = 8;
constexpr int32_t markLeg = 246;
constexpr int32_t markLayer = 15;
constexpr int32_t componentLayer = 8;
constexpr int32_t mirroredComponentLayer = 10;
constexpr int32_t textLayer = 9;
constexpr int32_t mirroredTextLayer = 11;
constexpr int32_t lastTextLayer = 15;
constexpr int32_t lastPlaneLayer = 7;
// A value written "%8d" must leave the column before it blank.
constexpr int32_t maxCnfValue = 9999999;
constexpr int32_t maxNumber = 0x0FFF;
constexpr int32_t minFontHeight = 10;
// What the DOS program reads of a component list line.
constexpr size_t cmpTypeWidth = 12;
constexpr size_t cmpReferenceWidth = 12;
constexpr size_t cmpShapeWidth = 8;

// Board units to DOS units, truncated toward zero.
int32_t ToDos(int32_t board)
{
    return board / dosUnit;
}

// The DOS layer a free text goes to: the one the import's default layer map brings back to the
// text's layer (of the two a silkscreen has, the text layer); -1 when the DOS format has none.
int32_t DosTextLayer(int32_t layer)
{
    static const CDosConfig defaults = [] {
        CDosConfig config;
        config.SetDefaultLayerMap();
        return config;
    }();
    for (int32_t dos = lastTextLayer; dos >= 1; --dos) {
        if (defaults.layerMap[size_t(dos)] == layer)
            return dos;
    }
    return -1;
}

bool FitsWord(int32_t dos)
{
    return dos >= std::numeric_limits<int16_t>::min() && dos <= std::numeric_limits<int16_t>::max();
}

std::string Point(CPoint board)
{
    return "(" + std::to_string(board.x) + ", " + std::to_string(board.y) + ")";
}

std::string Column8(int32_t value)
{
    return PadLeft(std::to_string(value), 8);
}

// The fixed lines after the pen table the DOS program expects.
constexpr const char* trailerLines[] = {"1",
                                        "1",
                                        "1",
                                        "16",
                                        "0",
                                        "0",
                                        "0",
                                        "128",
                                        "1.3080000000E+01",
                                        "3.5400000000E+00",
                                        "3.0000000000E+00",
                                        "0",
                                        "6",
                                        "5",
                                        "I",
                                        "1",
                                        "0"};

} // namespace

CDosExport::CDosExport(COutputDocument& document, int32_t componentTextMode)
    : m_document(document), m_componentTextMode(componentTextMode)
{
}

void CDosExport::BuildPlyRecords()
{
    m_drills.fill(0);
    m_padRows.fill(PadRow{});
    m_pens.fill(0);
    m_records.clear();
    m_problems.clear();
    m_maxObject = 0;
    m_textsAsStrokes = 0;
    m_roundedSizes.clear();
    for (const uint16_t width : m_document.GetShapeCache().GetPens())
        FindOrAddPen(DosSize(width));
    AddCornerMarks();
    AddComponents();
    AddNets();
    AddTexts();
    AddPlanes();
}

// ---- Tables ------------------------------------------------------------------------------------

int32_t CDosExport::FindOrAddPen(int32_t width)
{
    for (int32_t slot = 1; slot < PlyRecord::penCount; ++slot) {
        if (m_pens[size_t(slot)] == 0) {
            m_pens[size_t(slot)] = width;
            return slot;
        }
        if (m_pens[size_t(slot)] == width)
            return slot;
    }
    return -1;
}

int32_t CDosExport::FindOrAddDrill(int32_t diameter)
{
    const int32_t hundredths = int32_t(std::lround(diameter * MM_PER_UNIT * 100.0));
    for (int32_t slot = 1; slot < PlyRecord::drillCount; ++slot) {
        if (m_drills[size_t(slot)] == 0) {
            m_drills[size_t(slot)] = hundredths;
            return slot;
        }
        if (m_drills[size_t(slot)] == hundredths)
            return slot;
    }
    return -1;
}

int32_t CDosExport::FindOrAddPadRow(const CPadStack& stack)
{
    const CPad* drill = stack.GetPad(LAYER_DRILL);
    const bool throughHole = drill != nullptr && drill->HasShape();
    const CPad* pad = stack.GetPad(throughHole ? LAYER_BOTTOM : LAYER_TOP);
    if (pad == nullptr || !pad->HasShape())
        return -1;
    const CRect& rect = pad->GetRect();
    const int32_t left = std::abs(DosSize(rect.left));
    const int32_t top = std::abs(DosSize(rect.top));
    const int32_t right = std::abs(DosSize(rect.right));
    const int32_t bottom = std::abs(DosSize(rect.bottom));
    if (left > maxCnfValue || top > maxCnfValue || right > maxCnfValue || bottom > maxCnfValue)
        return -1;
    int32_t kind = 1;
    int32_t corner = 0;
    switch (pad->GetShape()) {
    case PAD_ROUND:
        kind = 2;
        break;
    case PAD_OVAL:
    case PAD_OCTAGON:
    case PAD_OCTAGON_W:
    case PAD_CONNECTOR:
    case PAD_DEVICE:
    case PAD_LINE:
        corner = right - left > bottom - top ? (right + left) / 4 : (top + bottom) / 4;
        break;
    default:
        break;
    }
    const PadRow row = {kind, left, top, right, bottom, corner, 0, 0};
    const int32_t first = throughHole ? 0 : PlyRecord::firstSmdRow;
    const int32_t end = throughHole ? PlyRecord::firstSmdRow : PlyRecord::padRowCount;
    for (int32_t r = first; r < end; ++r) {
        PadRow& slot = m_padRows[size_t(r)];
        // A row is free while its left extent is 0; a pad without a left extent can only be
        // told apart from a free row by its other values.
        if (slot[1] == 0 && slot == PadRow{}) {
            slot = row;
            return r;
        }
        if (slot == row)
            return r;
    }
    return -1;
}

int32_t CDosExport::NextObjectNumber() const
{
    return m_maxObject + 1;
}

// ---- Records -----------------------------------------------------------------------------------

void CDosExport::Problem(const std::string& what, const std::string& reason)
{
    m_problems.push_back(what + ": " + reason);
}

int32_t CDosExport::DosSize(int32_t board)
{
    if (board % dosUnit != 0)
        m_roundedSizes.insert(std::abs(board));
    return ToDos(board);
}

std::vector<std::string> CDosExport::GetChanges() const
{
    std::vector<std::string> changes;
    if (m_textsAsStrokes > 0)
        changes.push_back(std::to_string(m_textsAsStrokes) +
                          (m_textsAsStrokes == 1 ? " text is" : " texts are") +
                          " kept as strokes only: the DOS set holds their lines, not their "
                          "letters.");
    if (!m_roundedSizes.empty()) {
        const int32_t example = *m_roundedSizes.rbegin();
        const auto mm = [](int32_t board) {
            return CNumberText::FormatFixed(board * MM_PER_UNIT, 3, 1) + " mm";
        };
        changes.push_back(std::to_string(m_roundedSizes.size()) +
                          (m_roundedSizes.size() == 1 ? " size is" : " sizes are") +
                          " rounded down to the DOS unit of " + mm(dosUnit) + " (e.g. " +
                          mm(example) + " became " + mm(ToDos(example) * dosUnit) + ").");
    }
    // The set holds numbers where the design holds names: what an import of it names instead.
    const CNetArray& nets = m_document.GetNets();
    int32_t renamedNets = 0;
    std::string netExample;
    for (int32_t n = 1; n < nets.GetCount(); ++n) {
        const std::string digits = "00000" + std::to_string(n);
        const std::string numbered = "N" + digits.substr(digits.size() - 6);
        if (nets.GetNetName(n) == numbered)
            continue;
        if (renamedNets++ == 0)
            netExample = nets.GetNetName(n) + " comes back as " + numbered;
    }
    if (renamedNets > 0)
        changes.push_back(std::to_string(renamedNets) +
                          (renamedNets == 1 ? " net name is" : " net names are") +
                          " not held: the DOS set numbers its nets (e.g. " + netExample + ").");
    int32_t namedPlanes = 0;
    std::string planeExample;
    for (int32_t i = 0; i < m_document.GetPlaneCount(); ++i) {
        const std::string& name = m_document.GetPlane(i).GetName();
        if (name == CPour::defaultName)
            continue;
        if (namedPlanes++ == 0)
            planeExample = name + " comes back as " + CPour::defaultName;
    }
    if (namedPlanes > 0)
        changes.push_back(std::to_string(namedPlanes) +
                          (namedPlanes == 1 ? " plane name is" : " plane names are") +
                          " not held (e.g. " + planeExample + ").");
    const CComponentArray& components = m_document.GetComponents();
    int32_t shaped = 0;
    std::string shapeExample;
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        if (m_document.GetShapeCache().GetShape(components.GetShapeIndex(i)) == nullptr)
            continue;
        if (shaped++ == 0)
            shapeExample = components.GetShapeName(i) + " of " + components.GetReference(i) +
                           " comes back as " + components.GetShapeName(i) + "_" +
                           components.GetReference(i);
    }
    if (shaped > 0)
        changes.push_back(std::to_string(shaped) +
                          (shaped == 1 ? " component's shape is" : " components' shapes are") +
                          " held as pads only: a shape that no library holds as it is comes "
                          "back as one per component (e.g. " +
                          shapeExample + ").");
    return changes;
}

bool CDosExport::Fits(int32_t net, CPoint board, int32_t object, const std::string& what)
{
    if (!FitsWord(ToDos(board.x)) || !FitsWord(ToDos(board.y))) {
        Problem(what, "position " + Point(board) + " beyond the DOS coordinate range");
        return false;
    }
    if (net < 0 || net > maxNumber) {
        Problem(what, "net number " + std::to_string(net) + " above 4095");
        return false;
    }
    if (object > maxNumber) {
        Problem(what, "object number " + std::to_string(object) + " above 4095");
        return false;
    }
    return true;
}

void CDosExport::AddPlyRecord(int32_t net, CPoint board, int32_t pen, int32_t layer, int32_t object,
                              bool planeOutline, const std::string& what)
{
    bool fits = Fits(net, board, object, what);
    if (fits && (layer < 0 || layer >= PlyRecord::dosLayerCount)) {
        Problem(what, "layer " + std::to_string(layer) + " above DOS layer 15");
        fits = false;
    }
    if (fits && pen < 0) {
        Problem(what, "more than 7 line widths");
        fits = false;
    }
    if (!fits) {
        m_runBroken = true;
        return;
    }
    if (m_runBroken && pen > 0)
        pen = 0;
    m_runBroken = false;
    m_records.push_back(
        PlyRecord::Line(net, ToDos(board.x), ToDos(board.y), pen, layer, object, planeOutline));
    m_maxObject = std::max(m_maxObject, object);
}

void CDosExport::AddPadRecord(int32_t net, CPoint board, int32_t row, int32_t drill, int32_t angle,
                              bool mirrored, int32_t object, const std::string& what)
{
    if (!Fits(net, board, object, what))
        return;
    if (row < 0) {
        Problem(what, "pad size without a row of the pad-size table");
        return;
    }
    if (drill < 0) {
        Problem(what, "more than 15 drill sizes");
        return;
    }
    const int32_t code = PlyRecord::RotationCode(angle);
    if (code < 0) {
        Problem(what, "angle " + CNumberText::FormatFixed(angle / 1000.0, 3, 1) +
                          " is no multiple of 90 degrees");
        return;
    }
    m_records.push_back(
        PlyRecord::Pad(net, ToDos(board.x), ToDos(board.y), row, drill, code, mirrored, object));
    m_maxObject = std::max(m_maxObject, object);
}

void CDosExport::AddCornerMarks()
{
    const int32_t w = DosSize(m_document.GetBoardWidth());
    const int32_t h = DosSize(m_document.GetBoardHeight());
    const int32_t marks[12][3] = {
        {markLeg, -markGap, 0},        {-markGap, -markGap, 1},       {-markGap, markLeg, 1},
        {-markGap, h - markLeg, 0},    {-markGap, h + markGap, 1},    {markLeg, h + markGap, 1},
        {w - markLeg, h + markGap, 0}, {w + markGap, h + markGap, 1}, {w + markGap, h - markLeg, 1},
        {w + markGap, markLeg, 0},     {w + markGap, -markGap, 1},    {w - markLeg, -markGap, 1}};
    for (const auto& mark : marks)
        AddPlyRecord(0, CPoint(mark[0] * dosUnit, mark[1] * dosUnit), mark[2], markLayer, 0, false,
                     "Board corner mark");
}

void CDosExport::AddComponents()
{
    const CComponentArray& components = m_document.GetComponents();
    for (int32_t i = 0; i < components.GetCount(); ++i)
        AddComponent(i);
}

void CDosExport::AddComponent(int32_t i)
{
    const CComponentArray& components = m_document.GetComponents();
    const CShapeLib& cache = m_document.GetShapeCache();
    const CComponent& component = *components.GetComponent(i);
    const CShape* shape = cache.GetShape(component.GetShapeIndex());
    if (shape == nullptr)
        return;
    const std::string what = "Component " + component.GetReference();
    const int32_t object = i + 1;
    const std::string names[] = {component.GetType(), component.GetReference(),
                                 components.GetShapeName(i)};
    const size_t widths[] = {cmpTypeWidth, cmpReferenceWidth, cmpShapeWidth};
    const char* labels[] = {"type", "reference", "shape name"};
    for (size_t k = 0; k < 3; ++k) {
        if (names[k].size() > widths[k])
            Problem(what, labels[k] + std::string(" longer than ") + std::to_string(widths[k]) +
                              " characters");
    }
    const bool mirrored = component.IsMirrored();
    for (int32_t k = 0; k < shape->GetPadCount(); ++k) {
        const CPadStack* stack = cache.GetPadStacks().GetPadStack(shape->GetPadStackIndex(k));
        const int32_t row = stack ? FindOrAddPadRow(*stack) : -1;
        const int32_t drill =
            stack && stack->GetDrill() > 0 ? FindOrAddDrill(stack->GetDrill()) : 0;
        AddPadRecord(component.GetPadNet(k), component.GetPadPosition(k, cache), row, drill,
                     component.GetPadAngle(k, cache), mirrored, object,
                     what + " pad " + std::to_string(k + 1));
    }
    m_runBroken = false;
    for (int32_t v = 0; v < shape->GetOutlineCount(); ++v) {
        const int32_t pen = shape->GetOutlinePen(v);
        const int32_t dosPen = pen >= 1 ? FindOrAddPen(DosSize(cache.GetPenWidth(pen))) : 0;
        AddPlyRecord(0, component.ToBoard(shape->GetOutlinePoint(v)), dosPen,
                     mirrored ? mirroredComponentLayer : componentLayer, object, false,
                     what + " outline");
    }
}

void CDosExport::AddNets()
{
    const CNetArray& nets = m_document.GetNets();
    for (int32_t n = 1; n < nets.GetCount(); ++n)
        AddNet(n);
    if (nets.GetCount() > 0)
        AddNet(0);
}

void CDosExport::AddNet(int32_t n)
{
    const CNet& net = *m_document.GetNets().GetNet(n);
    const CPadStackArray& stacks = m_document.GetShapeCache().GetPadStacks();
    const std::string what = "Net " + net.GetName();
    m_runBroken = false;
    for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
        const TrackRec& vertex = net.GetVertex(v);
        const CPoint point(vertex.x, vertex.y);
        if (vertex.IsPad()) {
            const CPadStack* stack = stacks.GetPadStack(vertex.GetPadStack());
            const int32_t row = stack ? FindOrAddPadRow(*stack) : -1;
            const int32_t drill =
                stack && stack->GetDrill() > 0 ? FindOrAddDrill(stack->GetDrill()) : 0;
            AddPadRecord(n, point, row, drill, vertex.GetRotation(), false, 0, what + " via");
            m_runBroken = true;
            continue;
        }
        const int32_t pen = vertex.GetPen();
        const int32_t dosPen = pen >= 1 ? FindOrAddPen(DosSize(net.GetPenWidth(pen))) : 0;
        // Inner layers past the seventh would come back as silkscreen and drawing layers.
        if (vertex.GetLayer() > lastPlaneLayer && vertex.GetLayer() <= lastTextLayer) {
            Problem(what + " track",
                    "layer " + std::to_string(vertex.GetLayer()) + " has no DOS layer");
            m_runBroken = true;
            continue;
        }
        AddPlyRecord(n, point, dosPen, vertex.GetLayer(), 0, false, what + " track");
    }
}

void CDosExport::AddTexts()
{
    const CTextArray& texts = m_document.GetTexts();
    for (int32_t i = 0; i < texts.GetCount(); ++i) {
        const CWevraText& text = *texts.GetText(i);
        const int32_t layer = DosTextLayer(text.GetLayer());
        if (layer < 0) {
            Problem("Text \"" + text.GetText() + "\"",
                    "layer " + std::to_string(text.GetLayer()) + " has no DOS layer");
            continue;
        }
        AddText(text.GetText(), text.GetPosition(), text.GetHeight(), text.GetAngle(),
                text.IsMirrored(), text.GetLineWidth(), layer);
    }
    const int32_t kind = m_componentTextMode - 1;
    if (kind < 0 || kind >= CComponent::textKindCount)
        return;
    const CComponentArray& components = m_document.GetComponents();
    const CShapeLib& cache = m_document.GetShapeCache();
    for (int32_t c = 0; c < components.GetCount(); ++c) {
        const CComponent& component = *components.GetComponent(c);
        AddText(component.GetKindText(kind, cache), component.GetTextPoint(kind),
                components.GetTextHeight(kind), component.GetTextAngle(kind),
                component.IsMirrored(), components.GetTextLineWidth(kind),
                component.IsMirrored() ? mirroredTextLayer : textLayer);
    }
}

void CDosExport::AddText(const std::string& text, CPoint position, int32_t height, int32_t angle,
                         bool mirrored, int32_t lineWidth, int32_t layer)
{
    const CWevraFont& font = m_document.GetFont();
    if (font.GetCellHeight() < minFontHeight || text.empty())
        return;
    const std::string what = "Text \"" + text + "\"";
    const int32_t pen = FindOrAddPen(DosSize(lineWidth));
    if (pen < 0) {
        Problem(what, "more than 7 line widths");
        return;
    }
    // The strokes as the screen draws them, so that mirrored and turned texts keep their shape.
    CStrokeCollector strokes;
    font.DrawText(strokes, text, position, height, angle, mirrored, CPoint(), 1);
    ++m_textsAsStrokes;
    const int32_t object = NextObjectNumber();
    for (const std::vector<CPoint>& stroke : strokes.GetPolylines()) {
        m_runBroken = false;
        for (size_t p = 0; p < stroke.size(); ++p)
            AddPlyRecord(0, stroke[p], p == 0 ? 0 : pen, layer, object, false, what);
    }
}

void CDosExport::AddPlanes()
{
    for (int32_t i = 0; i < m_document.GetPlaneCount(); ++i) {
        if (!AddPlane(i))
            return;
    }
}

bool CDosExport::AddPlane(int32_t i)
{
    if (m_document.GetPlane(i).GetFillStrokes().GetSize() < 2)
        m_document.RefillPlane(i);
    const CPour& plane = m_document.GetPlane(i);
    const std::string what = "Plane " + plane.GetName();
    const int32_t pen = FindOrAddPen(DosSize(plane.GetPenWidth()));
    if (pen < 0) {
        Problem(what, "more than 7 line widths");
        return false;
    }
    const int32_t layer = std::min(plane.GetLayer(), lastPlaneLayer);
    const int32_t net = plane.GetNet();
    const int32_t object = NextObjectNumber();
    for (const auto& polyline : plane.GetFillPolylines()) {
        m_runBroken = false;
        for (int32_t p = 0; p < polyline->GetSize(); ++p)
            AddPlyRecord(net, polyline->GetAt(p), p == 0 ? 0 : pen, layer, object, true, what);
    }
    for (const FillStroke& stroke : plane.GetFillStrokes()) {
        m_runBroken = false;
        AddPlyRecord(net, CPoint(stroke.x1, stroke.y1), 0, layer, object, false, what);
        AddPlyRecord(net, CPoint(stroke.x2, stroke.y2), pen, layer, object, false, what);
    }
    return true;
}

// ---- Files -------------------------------------------------------------------------------------

std::string CDosExport::PlyBytes() const
{
    std::string bytes;
    bytes.reserve(m_records.size() * PlyRecord::recordSize);
    for (const PlyRecord& record : m_records)
        record.AppendTo(bytes);
    return bytes;
}

std::string CDosExport::CnfText(const std::string& cnfPath) const
{
    const std::string title = m_document.GetDesignTitle();
    std::string text;
    const auto line = [&text](const std::string& s) { text += s + "\r\n"; };
    line("4.85");
    line("Wevra PCB Export");
    line(UpperTrimmed(cnfPath));
    line("00");
    line("Printed Ciruit Board");
    line(std::to_string(ToDos(m_document.GetBoardWidth())));
    line(std::to_string(ToDos(m_document.GetBoardHeight())));
    line("0");
    line("0");
    line("");
    line(title + ".PLY");
    line(title + ".CMP");
    line(title + ".NET");
    for (int32_t k = 0; k < 6; ++k)
        line("*");
    for (const int32_t drill : m_drills)
        line(CNumberText::FormatFixed(drill * 0.01, 2, 3));
    line("");
    for (const PadRow& row : m_padRows) {
        std::string columns;
        for (const int32_t value : row)
            columns += Column8(value);
        line(columns);
    }
    line("");
    for (int32_t slot = 1; slot < PlyRecord::penCount; ++slot)
        line(Column8(m_pens[size_t(slot)]));
    line("PN_DRC");
    for (int32_t k = 0; k < 7; ++k)
        line(Column8(0));
    line("");
    for (const char* fixed : trailerLines)
        line(fixed);
    return text;
}

std::string CDosExport::CmpText()
{
    const CComponentArray& components = m_document.GetComponents();
    std::string text;
    // Longer texts are cut so that the columns stay; the problem list names them.
    const auto field = [](const std::string& value) { return PadRight(value.substr(0, 19), 20); };
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        const CPoint centre = components.GetCenter(i);
        // The DOS program reads a centre as one word, as it reads the layout's coordinates.
        if (!FitsWord(ToDos(centre.x)) || !FitsWord(ToDos(centre.y))) {
            Problem("Component " + components.GetReference(i),
                    "centre " + Point(centre) +
                        " beyond the DOS coordinate range, left out of the component list");
            continue;
        }
        text += field(components.GetType(i)) + field(components.GetReference(i)) +
                field(components.GetShapeName(i)) + PadRight(std::to_string(ToDos(centre.x)), 8) +
                PadRight(std::to_string(ToDos(centre.y)), 8) +
                PadRight(std::to_string(components.GetRotation(i) / PlyRecord::quarterTurn), 8) +
                "\r\n";
    }
    return text;
}

bool CDosExport::Export(const std::filesystem::path& folder, std::string& failed)
{
    const std::string title = m_document.GetDesignTitle();
    const std::filesystem::path target = folder / title / "PCB";
    std::error_code error;
    std::filesystem::create_directories(target, error);
    if (!std::filesystem::is_directory(target)) {
        failed = target.string();
        return false;
    }
    BuildPlyRecords();
    const std::string base = (target / UpperTrimmed(title)).string();
    const std::string cnf = base + ".CNF";
    const std::pair<std::string, std::string> files[] = {
        {cnf, CnfText(cnf)}, {base + ".CMP", CmpText()}, {base + ".PLY", PlyBytes()}};
    // A DOS set of two runs would not be the board: the files are replaced together or not.
    CFileSet set;
    for (const auto& [path, bytes] : files) {
        if (!set.Add(path, bytes))
            break;
    }
    if (set.Commit())
        return true;
    failed = set.GetFailedFile().string() + " (" + set.GetFailure() + ")";
    return false;
}
