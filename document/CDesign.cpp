#include "document/CDesign.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <utility>

#include "framework/CBackgroundRelease.h"
#include "framework/LittleEndian.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"

namespace {

// The LOGFONT record: five 32-bit fields (height, width, escapement, orientation, weight),
// eight bytes (italic first), then the face name of 32 bytes ending in a zero byte.
constexpr size_t fontHeightAt = 0;
constexpr size_t fontWeightAt = 16;
constexpr size_t fontItalicAt = 20;
constexpr size_t fontFaceAt = 28;
constexpr size_t fontFaceSize = 32;

} // namespace

CDesign::CDesign(CNetArrayDocument& netDocument, CComponentArrayDocument& componentDocument)
    : m_layers(std::make_unique<CLayerArray>()), m_outputJobs(std::make_unique<COutputArray>()),
      m_displaySets(std::make_unique<COutputArray>()), m_lines(std::make_unique<CDrawRecArray>()),
      m_nets(std::make_unique<CNetArray>(netDocument)),
      m_components(std::make_unique<CComponentArray>(componentDocument)),
      m_shapeCache(std::make_unique<CShapeLib>(CShapeLib::cacheName)),
      m_grids(std::make_unique<CGridArr>()), m_font(std::make_unique<CWevraFont>()),
      m_texts(std::make_unique<CTextArray>())
{
    AdvanceCopperRevision();
}

CDesign::CDesign(LoadTarget, const CDesign& current, CNetArrayDocument& netDocument,
                 CComponentArrayDocument& componentDocument)
    : m_layers(std::make_unique<CLayerArray>()), m_outputJobs(std::make_unique<COutputArray>()),
      m_displaySets(std::make_unique<COutputArray>()), m_lines(std::make_unique<CDrawRecArray>()),
      m_nets(std::make_unique<CNetArray>(netDocument)),
      m_components(std::make_unique<CComponentArray>(componentDocument)),
      // Every file version brings its own cache, which replaces this one whole.
      m_shapeCache(std::make_unique<CShapeLib>(CShapeLib::cacheName, CPadStackArray::Blank{})),
      // The grids' last modes are not stored: they stay the open design's.
      m_grids(std::make_unique<CGridArr>(*current.m_grids)),
      m_font(std::make_unique<CWevraFont>(*current.m_font)),
      m_texts(std::make_unique<CTextArray>()), m_settings(current.m_settings)
{
    AdvanceCopperRevision();
}

CDesign::~CDesign() = default;

COutputRec* CDesign::GetCurrentLayerSet()
{
    COutput* job = m_displaySets->GetJob(m_displaySets->GetCurrent());
    return job ? job->GetCurrentRec() : nullptr;
}

const COutputRec* CDesign::GetCurrentLayerSet() const
{
    const COutput* job = m_displaySets->GetJob(m_displaySets->GetCurrent());
    return job ? job->GetCurrentRec() : nullptr;
}

// ---- Header settings ----------------------------------------------------------------------------

void CDesign::SetPinInfoFontFromRecord()
{
    const uint8_t* record = m_settings.pinInfoFontRecord.data();
    CFontDesc font;
    font.height = LoadLittleEndian<int32_t>(record + fontHeightAt);
    font.weight = LoadLittleEndian<int32_t>(record + fontWeightAt);
    font.italic = record[fontItalicAt] != 0;
    const uint8_t* face = record + fontFaceAt;
    font.face.assign(face, std::find(face, face + fontFaceSize, uint8_t(0)));
    m_settings.pinInfoFont = font;
}

void CDesign::SetPinInfoFont(const CFontDesc& font)
{
    m_settings.pinInfoFont = font;
    SetPinInfoFontRecordFromFont();
}

void CDesign::SetPinInfoFontRecordFromFont()
{
    uint8_t* record = m_settings.pinInfoFontRecord.data();
    std::fill_n(record + fontFaceAt, fontFaceSize, uint8_t(0));
    StoreLittleEndian<int32_t>(record + fontHeightAt, m_settings.pinInfoFont.height);
    StoreLittleEndian<int32_t>(record + fontWeightAt, m_settings.pinInfoFont.weight);
    record[fontItalicAt] = m_settings.pinInfoFont.italic ? 1 : 0;
    // The last byte of the face stays zero, as the record's readers expect.
    std::memcpy(record + fontFaceAt, m_settings.pinInfoFont.face.data(),
                std::min(m_settings.pinInfoFont.face.size(), fontFaceSize - 1));
}

// ---- Board --------------------------------------------------------------------------------------

void CDesign::SetBoardSize(int32_t width, int32_t height)
{
    m_settings.boardWidth = width;
    m_settings.boardHeight = height;
}

void CDesign::SetBoardOutlineRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const Rec12 corners[] = {{x1, y1, 0}, {x2, y1, 1}, {x2, y2, 1}, {x1, y2, 1}, {x1, y1, 1}};
    constexpr int32_t cornerCount = int32_t(std::size(corners));
    if (m_boardOutline.GetSize() < cornerCount)
        m_boardOutline.SetSize(cornerCount);
    for (int32_t i = 0; i < cornerCount; ++i)
        m_boardOutline[i] = corners[i];
    SetBoardSize(x2, y2);
}

void CDesign::CopyBoardOutlineFrom(const CDesign& other)
{
    m_boardOutline.SetSize(other.m_boardOutline.GetSize());
    for (int32_t i = 0; i < other.m_boardOutline.GetSize(); ++i)
        m_boardOutline[i] = other.m_boardOutline[i];
    m_settings.offset = CPoint(0, 0);
    SetBoardSize(other.GetBoardWidth(), other.GetBoardHeight());
}

COLORREF CDesign::GetStoredColor(int32_t table, int32_t layer) const
{
    if (table < CDesignSettings::screenColors || table > CDesignSettings::printColors ||
        layer < 0 || layer >= LAYER_COUNT)
        return 0;
    return m_settings.colors[size_t(table)][size_t(layer)];
}

bool CDesign::SetStoredColor(int32_t table, int32_t layer, COLORREF color)
{
    if (table < CDesignSettings::screenColors || table > CDesignSettings::printColors ||
        layer < 0 || layer >= LAYER_COUNT)
        return false;
    m_settings.colors[size_t(table)][size_t(layer)] = color;
    return true;
}

// ---- Reading ------------------------------------------------------------------------------------

void CDesign::TakeOver(CDesign& loaded)
{
    std::swap(m_layers, loaded.m_layers);
    std::swap(m_outputJobs, loaded.m_outputJobs);
    std::swap(m_displaySets, loaded.m_displaySets);
    std::swap(m_lines, loaded.m_lines);
    std::swap(m_nets, loaded.m_nets);
    std::swap(m_components, loaded.m_components);
    std::swap(m_grids, loaded.m_grids);
    std::swap(m_texts, loaded.m_texts);
    std::swap(m_planes, loaded.m_planes);
    std::swap(m_boardOutline, loaded.m_boardOutline);
    std::swap(m_shapeCache, loaded.m_shapeCache);
    m_settings = loaded.m_settings;
    m_storeSizeHint = loaded.m_storeSizeHint;
    AdvanceCopperRevision();
}

void CDesign::ReleaseInBackground()
{
    ReleaseCollections(std::move(m_nets), std::move(m_components));
}

void CDesign::ReleaseCollections(std::unique_ptr<CNetArray> nets,
                                 std::unique_ptr<CComponentArray> components)
{
    struct Collections {
        std::unique_ptr<CNetArray> nets;
        std::unique_ptr<CComponentArray> components;
    };
    const size_t items =
        (nets ? size_t(nets->GetCount()) : 0) + (components ? size_t(components->GetCount()) : 0);
    CBackgroundRelease::Shared().HandIfBig(Collections{std::move(nets), std::move(components)},
                                           items);
}

// ---- Copper revision ----------------------------------------------------------------------------

void CDesign::AdvanceCopperRevision()
{
    static std::atomic<uint64_t> lastRevision{0};
    m_copperRevision = ++lastRevision;
}

bool CDesign::IsPlaneFillStale(const CPour& plane) const
{
    return !plane.HasFill() || plane.GetFillRevision() != m_copperRevision;
}

const CPour* CDesign::FindStalePlane() const
{
    for (const auto& plane : m_planes) {
        if (IsPlaneFillStale(*plane))
            return plane.get();
    }
    return nullptr;
}

// ---- Layer tables and net groups ----------------------------------------------------------------

void CDesign::ResetLayerTables()
{
    for (auto& table : m_layerCounts.tables)
        table.fill(0);
    GetLines().CountPerLayer();
    GetNets().CountLayerUse();
    GetComponents().CountLayerUse();
    auto& lines = m_layerCounts.tables[CLayerCounts::lineTable];
    auto& pads = m_layerCounts.tables[CLayerCounts::padTable];
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        const int32_t lineCount = GetLines().GetLayerCount(layer) +
                                  GetNets().GetTrackLayerUse(layer) +
                                  GetComponents().GetOutlineLayerUse(layer);
        const int32_t padCount =
            GetNets().GetPadLayerUse(layer) + GetComponents().GetPadLayerUse(layer);
        if (layer > 0) {
            lines[size_t(layer)] = lineCount;
            pads[size_t(layer)] = padCount;
        }
        lines[0] += lineCount;
        pads[0] += padCount;
    }
}

int32_t CDesign::GetLayerCount(int32_t table, int32_t layer) const
{
    if (table < CLayerCounts::lineTable || table > CLayerCounts::padTable || layer < 0 ||
        layer >= LAYER_COUNT)
        return 0;
    return m_layerCounts.tables[size_t(table)][size_t(layer)];
}

int32_t CDesign::GetLayerObjectCount(int32_t layer) const
{
    return GetLayerCount(CLayerCounts::lineTable, layer) +
           GetLayerCount(CLayerCounts::padTable, layer);
}

void CDesign::ResetNetGroups(const std::string& text)
{
    m_netGroups.Reset(text);
}

const std::string& CDesign::GetNetGroupName(int32_t group) const
{
    return m_netGroups.GetName(group);
}

int32_t CDesign::GetNetGroupSpacing(int32_t group) const
{
    return m_netGroups.GetSpacing(group);
}

// ---- What the collections ask of the design -----------------------------------------------------

const CPadStackArray& CDesign::GetPadStacks() const
{
    return m_shapeCache->GetPadStacks();
}

bool CDesign::IsLayerEnabled(int32_t layer) const
{
    return m_layers->IsEnabled(layer);
}

int32_t CDesign::GetNetCount() const
{
    return m_nets->GetCount();
}

std::string CDesign::GetComponentReference(int32_t component) const
{
    return m_components->GetReference(component);
}

int32_t CDesign::GetComponentCount() const
{
    return m_components->GetCount();
}

std::vector<int32_t> CDesign::GetComponentPadNets(int32_t component) const
{
    const CComponent* target = m_components->GetComponent(component);
    if (!target)
        return {};
    const std::vector<uint16_t>& nets = target->GetPadNets();
    return std::vector<int32_t>(nets.begin(), nets.end());
}

void CDesign::SetPadNet(int32_t component, int32_t pad, int32_t net)
{
    if (CComponent* target = m_components->GetComponent(component))
        target->SetPadNet(pad, net, m_nets->GetCount());
}

void CDesign::ResetPadNets()
{
    m_components->ResetPadArrays();
}

void CDesign::RenumberNets(const std::vector<int32_t>& newIndex)
{
    const auto renumber = [&newIndex](int32_t net) {
        return net >= 0 && size_t(net) < newIndex.size() ? newIndex[size_t(net)] : 0;
    };
    const int32_t netCount = m_nets->GetCount();
    for (int32_t i = 0; i < m_components->GetCount(); ++i) {
        CComponent& component = *m_components->GetComponent(i);
        for (int32_t pad = 0; pad < component.GetPadNetCount(); ++pad)
            component.SetPadNet(pad, renumber(component.GetPadNet(pad)), netCount);
    }
    // A plane without a net (-1) stays without one.
    for (const auto& plane : m_planes) {
        if (plane->GetNet() >= 0)
            plane->SetNet(renumber(plane->GetNet()));
    }
}

void CDesign::RecalcComponentBoxes()
{
    m_components->RecalcAllRects();
}

void CDesign::RebuildNetPins()
{
    m_components->RebuildNetPins();
}

int32_t CDesign::GetTextCount() const
{
    return m_texts->GetCount();
}

const CWevraText& CDesign::GetText(int32_t i) const
{
    return *m_texts->GetText(i);
}
