#include "interchange/CDosImport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "framework/CArchiveException.h"
#include "framework/CInputFile.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "interchange/CDosDocument.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/LayerMaps.h"
#include "model/PadShapes.h"
#include "model/PenTable.h"
#include "resources/CommandIds.h"

namespace {

constexpr int32_t dosUnit = PlyRecord::dosUnit;
constexpr int32_t markCount = 12;
constexpr int32_t markLayer = 15;
constexpr int32_t markGap = 8;
constexpr int32_t mirroredOutlineLayer = 10;
// Pads whose records lie this close to the shape's pads (board units) fit a rotation.
constexpr int32_t padMatchReach = 2015;
constexpr int32_t planeSeedInset = 12800;
constexpr int32_t planeMinPen = 1007;
constexpr int32_t planeMaxPen = 10078;
constexpr int32_t planeFallbackPen = 3023;
constexpr int32_t planeHatchAngle = 45000;
constexpr int32_t planeStyleSolid = 1;
constexpr uint16_t padWordBit = 0x200;

// The columns the DOS program reads of a component list line.
constexpr size_t cmpTypeColumn = 0;
constexpr size_t cmpTypeWidth = 12;
constexpr size_t cmpReferenceColumn = 20;
constexpr size_t cmpReferenceWidth = 12;
constexpr size_t cmpShapeColumn = 40;
constexpr size_t cmpShapeWidth = 8;

std::string Column(const std::string& line, size_t start, size_t width)
{
    return start < line.size() ? TrimRight(std::string_view(line).substr(start, width))
                               : std::string();
}

} // namespace

CDosImport::CDosImport(CDosDocument& document) : m_document(document)
{
    m_config.SetDefaultLayerMap();
}

void CDosImport::Tell(const std::string& text, const std::string& caption)
{
    CServices::Messages().FileMessageBox(text, caption, MB_OK, MB_ICONEXCLAMATION);
}

CDosImport::CmpEntry CDosImport::ParseCmpLine(const std::string& line)
{
    CmpEntry entry;
    entry.type = Column(line, cmpTypeColumn, cmpTypeWidth);
    entry.reference = Column(line, cmpReferenceColumn, cmpReferenceWidth);
    entry.shape = Column(line, cmpShapeColumn, cmpShapeWidth);
    entry.blank = Trim(line).empty();
    return entry;
}

CPoint CDosImport::BendPoint45(CPoint from, CPoint to)
{
    const int32_t dx = to.x - from.x;
    const int32_t dy = to.y - from.y;
    if (dx == 0 || dy == 0 || std::abs(dx) == std::abs(dy))
        return to;
    const int32_t d = std::min(std::abs(dx), std::abs(dy));
    return CPoint(from.x + (dx > 0 ? d : -d), from.y + (dy > 0 ? d : -d));
}

// ---- Reading -----------------------------------------------------------------------------------

bool CDosImport::ReadCnf(const std::string& path)
{
    return m_config.ReadWithLayermap(path, false, ID_FILE_OPEN, m_document.GetLayers());
}

bool CDosImport::ReadCmp(const std::string& path)
{
    const std::filesystem::path file(path);
    const std::filesystem::path cmp =
        CPathHelper::FindIgnoringCase(file.parent_path(), CPathHelper::GetFileTitle(path) + ".CMP");
    CNetlistLines lines;
    if (!lines.Open(cmp)) {
        Tell("'CMP' File not found", "Load CMP File");
        return false;
    }
    m_cmp.clear();
    std::string line;
    while (lines.Next(line)) {
        // The list is text; control bytes mean another kind of file or a damaged one, whose
        // columns would name components wrongly.
        if (HasControlBytes(line)) {
            Tell("Unexpected file contents in " + cmp.string() + " (line " +
                 std::to_string(lines.GetLineNumber()) + "); the design has not been opened.");
            m_cmp.clear();
            return false;
        }
        m_cmp.push_back(ParseCmpLine(line));
    }
    // The DOS program ends every line: a last line without its end lost its columns, and the
    // component it names would be placed with a wrong shape or none.
    if (lines.EndsInsideALine()) {
        Tell("Unexpected file contents in " + cmp.string() + " (line " +
             std::to_string(lines.GetLineNumber()) +
             " cut short); the design has not been opened.");
        m_cmp.clear();
        return false;
    }
    m_cmpTime = LastWriteSeconds(cmp);
    return true;
}

bool CDosImport::ReadPly(const std::string& path)
{
    std::string bytes;
    try {
        bytes = CInputFile::ReadText(path, maxPlySize);
    } catch (const CArchiveException& refused) {
        Tell("The file could not be opened:\n" + path + "\n" + refused.what());
        return false;
    }
    // A file cut inside a record has lost data: the part left would read as something else.
    if (bytes.size() % PlyRecord::recordSize != 0) {
        Tell("Unexpected file contents in " + path +
             " (a record cut short); the design has not been opened.");
        return false;
    }
    m_records = PlyRecord::ReadAll(bytes);
    m_plyPath = path;
    std::string error;
    if (!CheckRecords(error)) {
        Tell("Unexpected file contents in " + path + " (" + error +
             "); the design has not been opened.");
        return false;
    }
    return true;
}

bool CDosImport::CheckRecords(std::string& error)
{
    return SetBoardFromMarks(error) && FindComponentRanges(error);
}

bool CDosImport::SetBoardFromMarks(std::string& error)
{
    if (int32_t(m_records.size()) < markCount) {
        error = "no corner marks";
        return false;
    }
    const PlyRecord& first = m_records[1];
    const int32_t w = m_records[7].x - first.x - 2 * markGap;
    const int32_t h = m_records[4].y - first.y - 2 * markGap;
    // The marks as the DOS program draws them: L-shapes 8 DOS units outside the corners.
    const int32_t leg = 254;
    const int32_t x0 = first.x;
    const int32_t y0 = first.y;
    const int32_t x1 = x0 + w + 2 * markGap;
    const int32_t y1 = y0 + h + 2 * markGap;
    const int32_t expected[markCount][3] = {{x0 + leg, y0, 0}, {x0, y0, 1}, {x0, y0 + leg, 1},
                                            {x0, y1 - leg, 0}, {x0, y1, 1}, {x0 + leg, y1, 1},
                                            {x1 - leg, y1, 0}, {x1, y1, 1}, {x1, y1 - leg, 1},
                                            {x1, y0 + leg, 0}, {x1, y0, 1}, {x1 - leg, y0, 1}};
    for (int32_t r = 0; r < markCount; ++r) {
        const PlyRecord& mark = m_records[size_t(r)];
        if (w <= 0 || h <= 0 || mark.IsPad() || mark.GetLineLayer() != markLayer ||
            mark.GetObjectNumber() != 0 || mark.x != expected[r][0] || mark.y != expected[r][1] ||
            mark.GetLinePen() != expected[r][2]) {
            error = "corner mark " + std::to_string(r + 1) + " out of place";
            return false;
        }
    }
    m_origin = CPoint(x0 + markGap, y0 + markGap);
    m_boardWidth = w * dosUnit;
    m_boardHeight = h * dosUnit;
    return true;
}

bool CDosImport::FindComponentRanges(std::string& error)
{
    m_ranges.assign(m_cmp.size(), Range());
    int32_t r = markCount;
    int32_t previous = 0;
    for (; r < int32_t(m_records.size()); ++r) {
        const int32_t object = m_records[size_t(r)].GetObjectNumber();
        if (object < 1 || object > int32_t(m_cmp.size()))
            break;
        Range& range = m_ranges[size_t(object - 1)];
        if (object != previous && range.first >= 0) {
            error = "the records of component " + std::to_string(object) + " are not together";
            return false;
        }
        if (range.first < 0)
            range.first = r;
        range.last = r;
        previous = object;
    }
    m_afterComponents = r;
    return true;
}

// ---- Import ------------------------------------------------------------------------------------

bool CDosImport::Import(const std::string& path)
{
    m_document.ShowLeftPane(false);
    m_document.ShowBottomPane(false);
    if (!ReadCnf(path) || !ReadCmp(path) || !ReadPly(path))
        return false;

    m_document.SetDosBoard(m_boardWidth, m_boardHeight);
    m_document.SetNetlistTime(m_cmpTime);
    CComponentArray& components = m_document.GetComponents();
    m_componentOf.assign(m_cmp.size(), -1);
    for (size_t line = 0; line < m_cmp.size(); ++line) {
        // A blank line or one without records holds no component; the lines keep their
        // numbers, which the records' object numbers name.
        if (m_cmp[line].blank || m_ranges[line].first < 0)
            continue;
        const int32_t i = components.AddEmpty(-1);
        components.SetFlag(i, ComponentFlags::fromNetlist, true);
        components.SetName(i, CComponent::textReference, m_cmp[line].reference);
        components.SetName(i, CComponent::textType, m_cmp[line].type);
        m_componentOf[line] = i;
    }
    SetPens();
    ImportShapes();
    PlaceComponents();
    FixRotations();
    ImportTracks();
    AssignPadNets();
    m_document.FinishDosImport();
    return true;
}

void CDosImport::SetPens()
{
    const std::vector<uint16_t> pens = m_config.PenTable();
    m_document.GetEditableShapeCache().SetPens(pens);
    m_document.GetEditableLines().SetPenTable(pens);
    CNetArray& nets = m_document.GetNets();
    int32_t maxNet = 0;
    for (const PlyRecord& record : m_records)
        maxNet = std::max(maxNet, record.GetNetNumber());
    nets.CreateNumberedNets(maxNet);
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        CNet& net = *nets.GetNet(n);
        net.SetPenTable(pens);
        net.SetWidths(net.GetMinWidth(), net.GetMaxWidth(), m_config.clearance);
    }
}

CPoint CDosImport::BoardPoint(const PlyRecord& record) const
{
    return CPoint((record.x - m_origin.x) * dosUnit, (record.y - m_origin.y) * dosUnit);
}

bool CDosImport::IsComponentMirrored(int32_t line) const
{
    const Range& range = m_ranges[size_t(line)];
    for (int32_t r = range.first; r <= range.last; ++r) {
        if (m_records[size_t(r)].GetLineLayer() == mirroredOutlineLayer)
            return true;
    }
    for (int32_t r = range.first; r <= range.last; ++r) {
        if (m_records[size_t(r)].IsPad())
            return m_records[size_t(r)].IsRecordMirrored();
    }
    return false;
}

int32_t CDosImport::PadstackForRecord(const PlyRecord& record, bool mirroredSmd)
{
    const CDosConfig::PadRow& row = m_config.padRows[size_t(record.GetPadRow())];
    const int32_t kind = row[0];
    const int32_t left = std::abs(row[1]);
    int32_t top = std::abs(row[2]);
    const int32_t right = std::abs(row[3]);
    int32_t bottom = std::abs(row[4]);
    const int32_t corner = row[5];
    const bool square = left == top && top == right && right == bottom;
    int32_t shape = PAD_ROUND;
    if (kind < 2)
        shape = corner < 1 ? (square ? PAD_SQUARE : PAD_RECTANGLE)
                           : (square ? PAD_OCTAGON : PAD_OCTAGON_W);
    if (record.IsSmd() && mirroredSmd)
        std::swap(top, bottom);
    const int32_t drill =
        record.IsThroughHole() ? m_config.drills[size_t(record.GetDrillIndex())] : 0;
    const CPadStack stack("", shape, -left, -top, right, bottom, drill,
                          record.IsThroughHole() ? LAYER_COMMON : LAYER_TOP,
                          PADSTACK_KIND_SHAPE_PAD);
    CPadStackArray& stacks = m_document.GetEditableShapeCache().GetPadStacks();
    int32_t index = stacks.FindIdentical(stack);
    if (index < 0) {
        CPadStack named = stack;
        named.SetName((mirroredSmd && record.IsSmd() ? "Pad" : "pad") +
                      std::to_string(stacks.GetCount()));
        index = stacks.Add(named);
    }
    return padWordBit + std::max(index, 0);
}

void CDosImport::ImportShapes()
{
    CComponentArray& components = m_document.GetComponents();
    CShapeLib& cache = m_document.GetEditableShapeCache();
    for (size_t line = 0; line < m_cmp.size(); ++line) {
        const int32_t i = m_componentOf[line];
        if (i < 0)
            continue;
        components.SetMirrored(i, IsComponentMirrored(int32_t(line)));
        const std::string& name = m_cmp[line].shape;
        int32_t found = cache.FindShape(name);
        if (found < 0 && m_document.GetShapeLibraries() != nullptr && !name.empty())
            found = cache.ImportShapeByName(*m_document.GetShapeLibraries(), name);
        const int32_t shape =
            found >= 0
                ? MatchLibraryShape(int32_t(line), i, found)
                : BuildShapeFromRecords(int32_t(line), i, name + "_" + m_cmp[line].reference);
        components.SetShapeIndex(i, shape);
        components.SetRotation(i, 0);
    }
    cache.NormalizeAll();
}

int32_t CDosImport::MatchLibraryShape(int32_t line, int32_t component, int32_t found)
{
    CShapeLib& cache = m_document.GetEditableShapeCache();
    const int32_t built = BuildShapeFromRecords(
        line, component, m_cmp[size_t(line)].shape + "_" + m_cmp[size_t(line)].reference);
    if (cache.CompareShapes(built, found) != 0)
        return built;
    cache.DeleteShape(built);
    return found;
}

int32_t CDosImport::BuildShapeFromRecords(int32_t line, int32_t component, const std::string& name)
{
    CShapeLib& cache = m_document.GetEditableShapeCache();
    const bool mirrored = m_document.GetComponents().IsMirrored(component);
    const Range& range = m_ranges[size_t(line)];
    const int32_t shape = cache.AddShape(name);
    const int32_t xSign = mirrored ? -1 : 1;
    bool mirroredSmd = false;
    for (int32_t r = range.first; r <= range.last; ++r) {
        if (m_records[size_t(r)].IsPad()) {
            mirroredSmd = mirrored && m_records[size_t(r)].IsSmd();
            break;
        }
    }
    for (int32_t r = range.first; r <= range.last; ++r) {
        const PlyRecord& record = m_records[size_t(r)];
        const CPoint point = BoardPoint(record);
        if (record.IsPad()) {
            const int32_t word = PadstackForRecord(record, mirroredSmd);
            cache.AddPadToShape(shape, xSign * point.x, point.y, uint16_t(word),
                                record.GetPadAngle());
            continue;
        }
        int32_t pen = record.GetLinePen();
        const int32_t dosLayer = record.GetLineLayer();
        if (pen >= 1 && dosLayer >= PlyRecord::firstWidthLayer)
            pen = dosLayer;
        int32_t layer = m_config.layerMap[size_t(dosLayer)];
        if (mirrored)
            layer = OppositeLayer(layer);
        cache.AddOutlineToShape(shape, xSign * point.x, point.y, uint16_t(layer * 16 + pen));
    }
    cache.RecalcShapeExtent(shape);
    return shape;
}

CPoint CDosImport::GetComponentPosition(int32_t line) const
{
    const Range& range = m_ranges[size_t(line)];
    bool smd = false;
    int32_t firstThroughHole = -1;
    CPoint low = BoardPoint(m_records[size_t(range.first)]);
    CPoint high = low;
    for (int32_t r = range.first; r <= range.last; ++r) {
        const PlyRecord& record = m_records[size_t(r)];
        const CPoint p = BoardPoint(record);
        low = CPoint(std::min(low.x, p.x), std::min(low.y, p.y));
        high = CPoint(std::max(high.x, p.x), std::max(high.y, p.y));
        if (record.IsPad() && record.GetPadRow() >= PlyRecord::firstSmdRow)
            smd = true;
        if (record.IsThroughHole() && firstThroughHole < 0)
            firstThroughHole = r;
    }
    if (!smd && firstThroughHole >= 0)
        return BoardPoint(m_records[size_t(firstThroughHole)]);
    return CPoint(low.x + (high.x - low.x) / 2, low.y + (high.y - low.y) / 2);
}

void CDosImport::PlaceComponents()
{
    CComponentArray& components = m_document.GetComponents();
    for (size_t line = 0; line < m_cmp.size(); ++line) {
        if (m_componentOf[line] < 0)
            continue;
        const CPoint position = GetComponentPosition(int32_t(line));
        components.SetPosition(m_componentOf[line], position.x, position.y);
    }
}

void CDosImport::FixRotations()
{
    for (size_t line = 0; line < m_cmp.size(); ++line) {
        if (m_componentOf[line] >= 0)
            FixRotation(int32_t(line), m_componentOf[line]);
    }
}

void CDosImport::FixRotation(int32_t line, int32_t component)
{
    CComponentArray& components = m_document.GetComponents();
    const CShapeLib& cache = m_document.GetEditableShapeCache();
    const Range& range = m_ranges[size_t(line)];
    std::vector<CPoint> pads;
    for (int32_t r = range.first; r <= range.last; ++r) {
        if (m_records[size_t(r)].IsPad())
            pads.push_back(BoardPoint(m_records[size_t(r)]));
    }
    const CComponent& placed = *components.GetComponent(component);
    const CShape* shape = cache.GetShape(placed.GetShapeIndex());
    int32_t best = 0;
    if (shape != nullptr && shape->GetPadCount() == int32_t(pads.size())) {
        // Pads closer together than the reach fit more than one turn: the closest fit wins.
        int64_t bestDeviation = padMatchReach;
        for (int32_t q = 0; q < 4; ++q) {
            components.SetRotation(component, q * PlyRecord::quarterTurn);
            int64_t deviation = 0;
            for (size_t k = 0; k < pads.size(); ++k) {
                const CPoint at = placed.GetPadPosition(int32_t(k), cache);
                deviation = std::max({deviation, std::abs(int64_t(at.x) - pads[k].x),
                                      std::abs(int64_t(at.y) - pads[k].y)});
            }
            if (deviation < bestDeviation) {
                bestDeviation = deviation;
                best = q;
            }
        }
    }
    components.SetRotation(component, best * PlyRecord::quarterTurn);
}

void CDosImport::ImportTracks()
{
    CNetArray& nets = m_document.GetNets();
    CDrawRecArray& lines = m_document.GetEditableLines();
    CPoint previous;
    int32_t groupStart = -1;
    const auto closeGroup = [&](int32_t end) {
        if (groupStart >= 0)
            AddPlane(groupStart, end);
        groupStart = -1;
    };
    for (int32_t r = m_afterComponents; r < int32_t(m_records.size()); ++r) {
        const PlyRecord& record = m_records[size_t(r)];
        const CPoint point = BoardPoint(record);
        if (record.IsPlaneOutline()) {
            if (groupStart >= 0 &&
                m_records[size_t(groupStart)].GetObjectNumber() != record.GetObjectNumber())
                closeGroup(r - 1);
            if (groupStart < 0)
                groupStart = r;
            previous = point;
            continue;
        }
        closeGroup(r - 1);
        nets.SetCurrentNet(record.GetNetNumber());
        if (record.IsPad()) {
            nets.AddPadToCurrent(point.x, point.y, PadstackForRecord(record, false) & 0x1FF,
                                 record.GetPadAngle(), record.IsRecordMirrored());
            previous = point;
            continue;
        }
        const int32_t dosLayer = record.GetLineLayer();
        const int32_t layer = m_config.layerMap[size_t(dosLayer)];
        int32_t pen = record.GetLinePen();
        if (layer == 0) {
            previous = point;
            continue;
        }
        std::vector<CPoint> points{point};
        if (pen >= 1 && dosLayer < PlyRecord::firstWidthLayer) {
            const CPoint bend = BendPoint45(previous, point);
            if (bend != point)
                points.insert(points.begin(), bend);
        } else if (pen >= 1) {
            pen = dosLayer;
        }
        for (const CPoint p : points) {
            if (IsCopperLayer(layer))
                nets.AddVertexToCurrent(p.x, p.y, layer, pen);
            else
                lines.AddVertex(p.x, p.y, layer, pen, uint16_t(record.GetObjectNumber()));
        }
        previous = point;
    }
    closeGroup(int32_t(m_records.size()) - 1);
    nets.SetCurrentNet(0);
}

void CDosImport::AddPlane(int32_t first, int32_t last)
{
    const PlyRecord& head = m_records[size_t(first)];
    const int32_t layer = m_config.layerMap[size_t(head.GetLineLayer())];
    if (layer < 1)
        return;
    CPoint low = BoardPoint(head);
    CPoint high = low;
    int32_t pen = 0;
    for (int32_t r = first; r <= last; ++r) {
        const CPoint p = BoardPoint(m_records[size_t(r)]);
        low = CPoint(std::min(low.x, p.x), std::min(low.y, p.y));
        high = CPoint(std::max(high.x, p.x), std::max(high.y, p.y));
        if (m_records[size_t(r)].GetLinePen() >= 1)
            pen = m_records[size_t(r)].GetLinePen();
    }
    int32_t width = m_config.pens[size_t(pen)];
    if (width < planeMinPen || width > planeMaxPen)
        width = planeFallbackPen;
    auto plane = std::make_unique<CPour>(head.GetNetNumber(), layer, low.x + planeSeedInset,
                                         low.y + planeSeedInset, planeStyleSolid, width, 2 * width,
                                         planeHatchAngle);
    CPointArray& outline = plane->GetOutline();
    const CPoint corners[] = {low, {high.x, low.y}, high, {low.x, high.y}, low};
    for (int32_t k = 0; k < 5; ++k)
        outline.SetAtGrow(k, corners[k].x, corners[k].y);
    m_document.AddDosPlane(std::move(plane));
}

void CDosImport::AssignPadNets()
{
    CComponentArray& components = m_document.GetComponents();
    const int32_t netCount = m_document.GetNets().GetCount();
    for (size_t line = 0; line < m_cmp.size(); ++line) {
        const int32_t i = m_componentOf[line];
        if (i < 0)
            continue;
        CComponent& component = *components.GetComponent(i);
        const CShape* shape =
            m_document.GetEditableShapeCache().GetShape(component.GetShapeIndex());
        component.ResizePadNets(shape ? shape->GetPadCount() : 0);
        int32_t pad = 0;
        for (int32_t r = m_ranges[line].first; r <= m_ranges[line].last; ++r) {
            if (m_records[size_t(r)].IsPad())
                component.SetPadNet(pad++, m_records[size_t(r)].GetNetNumber(), netCount);
        }
    }
}
