#include "document/CWevraDoc.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "document/CUndoSnapshot.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CInputFile.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/COutputArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/Geometry.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

// What each design file version added: the view block of the header, the shape cache at its
// own place (with the current component and text records), and the planes.
constexpr uint32_t viewBlockVersion = 8033;
constexpr uint32_t ownShapeCacheVersion = CComponentArray::ownShapeCacheVersion;
constexpr uint32_t planesVersion = 8035;

constexpr uint32_t maxPinInfoMode = 6;

// The LOGFONT record: five 32-bit fields (height, width, escapement, orientation, weight),
// eight bytes (italic first), then the face name of 32 bytes ending in a zero byte.
constexpr size_t fontHeightAt = 0;
constexpr size_t fontWeightAt = 16;
constexpr size_t fontItalicAt = 20;
constexpr size_t fontFaceAt = 28;
constexpr size_t fontFaceSize = 32;

int32_t GetLe32(const uint8_t* p)
{
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                   uint32_t(p[3]) << 24);
}

void PutLe32(uint8_t* p, int32_t value)
{
    const uint32_t v = uint32_t(value);
    for (int32_t i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

} // namespace

// ---- Reading into a fresh design ----------------------------------------------------------------

CWevraDoc::CWevraDoc(LoadTarget, const CWevraDoc& current)
    : m_layers(std::make_unique<CLayerArray>()), m_outputJobs(std::make_unique<COutputArray>()),
      m_displaySets(std::make_unique<COutputArray>()), m_lines(std::make_unique<CDrawRecArray>()),
      m_nets(std::make_unique<CNetArray>(*this)),
      m_components(std::make_unique<CComponentArray>(*this)),
      m_shapeCache(std::make_unique<CShapeLib>(CShapeLib::cacheName)),
      // The grids' last modes are not stored: they stay the open design's.
      m_grids(std::make_unique<CGridArr>(*current.m_grids)),
      m_font(std::make_unique<CWevraFont>(*current.m_font)),
      m_texts(std::make_unique<CTextArray>(m_session))
{
    CopyHeaderFrom(current);
    m_templateLoad = current.m_templateLoad;
}

void CWevraDoc::CopyHeaderFrom(const CWevraDoc& other)
{
    m_settings = other.m_settings;
}

void CWevraDoc::SetPinInfoFontFromRecord()
{
    const uint8_t* record = m_settings.pinInfoFontRecord.data();
    CFontDesc font;
    font.height = GetLe32(record + fontHeightAt);
    font.weight = GetLe32(record + fontWeightAt);
    font.italic = record[fontItalicAt] != 0;
    const uint8_t* face = record + fontFaceAt;
    font.face.assign(face, std::find(face, face + fontFaceSize, uint8_t(0)));
    m_settings.pinInfoFont = font;
}

void CWevraDoc::SetPinInfoFont(const CFontDesc& font)
{
    m_settings.pinInfoFont = font;
    SetPinInfoFontRecordFromFont();
}

void CWevraDoc::SetPinInfoFontRecordFromFont()
{
    uint8_t* record = m_settings.pinInfoFontRecord.data();
    std::fill_n(record + fontFaceAt, fontFaceSize, uint8_t(0));
    PutLe32(record + fontHeightAt, m_settings.pinInfoFont.height);
    PutLe32(record + fontWeightAt, m_settings.pinInfoFont.weight);
    record[fontItalicAt] = m_settings.pinInfoFont.italic ? 1 : 0;
    // The last byte of the face stays zero, as the record's readers expect.
    std::memcpy(record + fontFaceAt, m_settings.pinInfoFont.face.data(),
                std::min(m_settings.pinInfoFont.face.size(), fontFaceSize - 1));
}

// ---- Serialize ----------------------------------------------------------------------------------

void CWevraDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        StoreDesign(ar);
    else
        LoadDesign(ar);
}

bool CWevraDoc::LoadFromArchive(CArchive& ar, const std::string& caption)
{
    m_loadResult = 0;
    try {
        Serialize(ar);
    } catch (const CArchiveException& error) {
        CServices::Messages().FileMessageBox(error.what(), caption, MB_OK, MB_ICONEXCLAMATION);
        return false;
    }
    return m_loadResult == 1;
}

bool CWevraDoc::OnSaveDocument(const std::string& path)
{
    if (CPathHelper::IsReadOnlyFile(path)) {
        CServices::Messages().MessageBox(CResString::LoadWith(IDS_FILE_READ_ONLY, path),
                                         CPathHelper::GetFileTitle(path), MB_OK,
                                         MB_ICONEXCLAMATION);
        return false;
    }
    try {
        CArchive ar;
        Serialize(ar);
        ar.SaveToFile(path);
    } catch (const CArchiveException& error) {
        CServices::Messages().FileMessageBox(error.what(), CPathHelper::GetFileTitle(path), MB_OK,
                                             MB_ICONEXCLAMATION);
        return false;
    }
    m_modified = false;
    return true;
}

// ---- Writing ------------------------------------------------------------------------------------

void CWevraDoc::StoreDesign(CArchive& ar)
{
    CleanUpPlaneList();
    m_fileVersion = CDesignSettings::designFileVersion;
    ar << m_fileVersion;
    WriteHeader(ar);
    ar.SerializeObjectArray(m_planes);
    m_layers->Serialize(ar);
    m_boardOutline.Serialize(ar);
    m_lines->Serialize(ar);
    if (m_shapeDocument)
        RebuildShapeCache();
    m_shapeCache->SetName(CShapeLib::cacheName);
    m_shapeCache->GetPadStacks().RecalcAllMasks();
    m_shapeCache->Serialize(ar);
    m_components->Serialize(ar);
    m_nets->Serialize(ar);
    m_grids->Serialize(ar);
    m_outputJobs->Serialize(ar);
    m_displaySets->Serialize(ar);
    m_texts->Serialize(ar);
}

void CWevraDoc::WriteHeader(CArchive& ar) const
{
    for (const auto& table : m_settings.colors) {
        for (const COLORREF color : table)
            ar << color;
    }
    ar << m_settings.boardWidth << m_settings.boardHeight << m_settings.offset.x
       << m_settings.offset.y << m_settings.scale;
    ar.WriteString(m_settings.netlistPath);
    ar.WriteString(m_settings.templatePath);
    ar << m_settings.selectionFilter << m_settings.drcActive << m_settings.mode45
       << m_settings.tracksOfComponents << m_settings.ratsnestActive;
    ar << m_settings.viewFlags << m_settings.drawingMode << m_settings.subnetMark
       << m_settings.userOffset.x << m_settings.userOffset.y;
    ar.WriteTime(m_settings.netlistTime);
    ar << m_settings.reserved << m_settings.unit << m_settings.designTime;
    ar.Write(m_settings.pinInfoFontRecord.data(), m_settings.pinInfoFontRecord.size());
    ar << m_settings.pinInfoMode;
}

void CWevraDoc::RebuildShapeCache()
{
    if (!m_shapeSource.library)
        return;
    CShapeLib rebuilt(*m_shapeSource.library);
    if (RebuildShapeInto(rebuilt))
        *m_shapeCache = rebuilt;
}

void CWevraDoc::CleanUpPlaneList()
{
    // Each plane is owned by one entry, so the list cannot name a plane twice; only the names
    // need care.
    for (size_t i = m_planes.size(); i-- > 0;) {
        if (m_planes[i]->GetName().size() < 2)
            m_planes[i]->SetName("Plane Nr " + CNumberText::FormatInt(int32_t(i + 1)));
    }
}

// ---- Reading ------------------------------------------------------------------------------------

void CWevraDoc::LoadDesign(CArchive& ar)
{
    const std::unique_ptr<CWevraDoc> loaded = ReadDesign(ar);
    if (!loaded) {
        m_loadResult = 0;
        return;
    }
    AdoptDesign(*loaded, ar);
    // Snapshots of another design would bring back components naming shapes of its cache.
    m_undo.Clear();
}

std::unique_ptr<CWevraDoc> CWevraDoc::ReadDesign(CArchive& ar)
{
    if (ar.GetRemaining() > CDesignSettings::maxFileSize)
        throw CArchiveException(
            CArchiveException::fileError,
            CInputFile::TooLargeText(ar.GetFilePath().empty() ? "the design"
                                                              : ar.GetFilePath().string(),
                                     ar.GetRemaining(), CDesignSettings::maxFileSize));
    const uint32_t version = ar.ReadDWord();
    if (version < CDesignSettings::oldestDesignFileVersion ||
        version > CDesignSettings::designFileVersion) {
        CServices::Messages().MessageBox(CResString::Load(IDS_NOT_SUPPORTED_FILEFORMAT),
                                         CResString::Load(IDS_APP_TITLE), MB_OK,
                                         MB_ICONEXCLAMATION);
        return nullptr;
    }

    // The open design stays as it is until the whole stream was read.
    const std::string title = CPathHelper::GetFileTitle(ar.GetFilePath().string());
    const std::string refusal =
        CResString::LoadWith(IDS_UNEXPECTED_FILE_CONTENTS, title.empty() ? "the design" : title);
    std::unique_ptr<CWevraDoc> loaded;
    try {
        loaded.reset(new CWevraDoc(LoadTarget{}, *this));
        loaded->ReadHeader(ar, version);
        loaded->ReadCollections(ar, version);
        // Bytes after the last record mean a count or length read earlier was wrong.
        if (!ar.IsAtEnd())
            throw CArchiveException(CArchiveException::badCount, "Bytes after the last record.");
    } catch (const CArchiveException& error) {
        // Whatever the damage, the user learns which file it is and that it stayed closed.
        if (error.GetCause() == CArchiveException::fileError ||
            error.GetCause() == CArchiveException::generic)
            throw;
        throw CArchiveException(error.GetCause(), refusal);
    } catch (const std::bad_alloc&) {
        // A design too large for the memory left is refused like a damaged one; the designs
        // already open stay as they are.
        throw CArchiveException(CArchiveException::fileError, refusal);
    }
    return loaded;
}

void CWevraDoc::AdoptDesign(CWevraDoc& loaded, CArchive& ar)
{
    const std::string netlistPath = m_settings.netlistPath;
    const int64_t netlistTime = m_settings.netlistTime;
    TakeOverDesign(loaded);
    RepairLoadedIndexes(ar);
    FixUpAfterLoad(netlistPath, netlistTime, ar.GetFilePath().string());
    m_modified = false;

    const std::string title = CPathHelper::GetFileTitle(ar.GetFilePath().string());
    CServices::ReportLoadWarnings(
        ar, title.empty() ? CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)) : title);
}

bool CWevraDoc::PasteDesign(CArchive& ar, const std::string& caption)
{
    m_loadResult = 0;
    std::unique_ptr<CWevraDoc> loaded;
    try {
        loaded = ReadDesign(ar);
    } catch (const CArchiveException& error) {
        CServices::Messages().FileMessageBox(error.what(), caption, MB_OK, MB_ICONEXCLAMATION);
        return false;
    }
    if (!loaded)
        return false;
    // One Undo brings back the whole design as it was before the paste.
    m_undo.SetSnapshotNeeded(true);
    m_undo.Push(CUndoSnapshot::maskWholeDesign | CUndoSnapshot::maskDesignReplaced, *this);
    AdoptDesign(*loaded, ar);
    SetModified();
    return m_loadResult == 1;
}

std::vector<uint8_t> CWevraDoc::SaveDesignBytes()
{
    CArchive ar;
    StoreDesign(ar);
    return ar.TakeBuffer();
}

void CWevraDoc::RestoreDesign(const std::vector<uint8_t>& design)
{
    // The stream was written by this program a moment ago; should it still fail to read, the
    // design stays as it is.
    try {
        CArchive ar(design);
        if (const std::unique_ptr<CWevraDoc> loaded = ReadDesign(ar))
            AdoptDesign(*loaded, ar);
    } catch (const CArchiveException&) {
    }
    SetModified();
}

void CWevraDoc::ReadHeader(CArchive& ar, uint32_t version)
{
    for (auto& table : m_settings.colors) {
        for (COLORREF& color : table)
            ar >> color;
    }
    ar >> m_settings.boardWidth >> m_settings.boardHeight >> m_settings.offset.x >>
        m_settings.offset.y >> m_settings.scale;
    m_settings.netlistPath = ar.ReadString();
    m_settings.templatePath = ar.ReadString();
    ar >> m_settings.selectionFilter >> m_settings.drcActive >> m_settings.mode45 >>
        m_settings.tracksOfComponents >> m_settings.ratsnestActive;
    if (version >= viewBlockVersion)
        ar >> m_settings.viewFlags >> m_settings.drawingMode >> m_settings.subnetMark >>
            m_settings.userOffset.x >> m_settings.userOffset.y;
    m_settings.netlistTime = ar.ReadTime();
    ar >> m_settings.reserved >> m_settings.unit >> m_settings.designTime;
    ar.Read(m_settings.pinInfoFontRecord.data(), m_settings.pinInfoFontRecord.size());
    SetPinInfoFontFromRecord();
    ar >> m_settings.pinInfoMode;
    if (version >= planesVersion)
        ar.SerializeObjectArray(m_planes);
}

void CWevraDoc::ReadCollections(CArchive& ar, uint32_t version)
{
    m_layers->Serialize(ar);
    m_boardOutline.Serialize(ar);
    m_lines->Serialize(ar);
    if (version >= ownShapeCacheVersion)
        m_shapeCache->Serialize(ar);
    // Older files carry the shape cache behind the components, which read it into this design.
    m_components->Serialize(ar, version);
    m_shapeCache->SetName(CShapeLib::cacheName);
    m_shapeCache->GetPadStacks().RecalcAllMasks();
    m_nets->Serialize(ar);
    m_grids->Serialize(ar);
    m_outputJobs->Serialize(ar);
    m_displaySets->Serialize(ar);
    m_texts->Serialize(ar, version);
}

void CWevraDoc::TakeOverDesign(CWevraDoc& loaded)
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
    CopyHeaderFrom(loaded);
    for (CWevraDoc* owner : {this, &loaded}) {
        owner->m_nets->SetDocument(owner);
        owner->m_components->SetDocument(owner);
        owner->m_texts->SetDocument(&owner->m_session);
    }

    // Editing state that named objects of the design before.
    m_edit.planeIndex = CEditState::noPlane;
    m_edit.currentComponentIndex = -1;
    m_session.ResetCurrentComponent();
    m_pinsRebuilt = false;
    for (auto& table : m_layerCounts.tables)
        table.fill(0);
    m_paint.drawColors[CComponentDocument::normalSet] =
        m_settings.colors[CDesignSettings::screenColors];
    m_paint.drawColors[CComponentDocument::highlightSet] =
        m_settings.colors[CDesignSettings::highlightColors];
}

void CWevraDoc::RepairLoadedIndexes(CArchive& ar)
{
    bool settingsRepaired = false;
    if (m_settings.scale < CDesignSettings::minScale ||
        m_settings.scale > CDesignSettings::maxScale) {
        m_settings.scale = CDesignSettings::defaultScale;
        settingsRepaired = true;
    }
    if (m_settings.unit > uint32_t(CLengthText::unitMil)) {
        m_settings.unit = uint32_t(CLengthText::unitMillimetre);
        settingsRepaired = true;
    }
    if (m_settings.pinInfoMode > maxPinInfoMode) {
        m_settings.pinInfoMode = 1;
        settingsRepaired = true;
    }
    if (m_layers->GetRefLayer() < 0 || m_layers->GetRefLayer() >= LAYER_COUNT) {
        m_layers->SetRefLayer(LAYER_TOP);
        settingsRepaired = true;
    }
    if (settingsRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_DESIGN_SETTINGS_REPAIRED));

    RepairPadStackIndexes(ar);
    RepairComponentsAfterLoad(ar);

    bool planesRepaired = false;
    const auto missing = std::remove(m_planes.begin(), m_planes.end(), nullptr);
    if (missing != m_planes.end()) {
        m_planes.erase(missing, m_planes.end());
        planesRepaired = true;
    }
    for (const auto& plane : m_planes) {
        if (plane->GetNet() < -1 || plane->GetNet() >= m_nets->GetCount()) {
            plane->SetNet(-1);
            planesRepaired = true;
        }
    }
    if (planesRepaired)
        ar.AddLoadWarning(CResString::Load(IDS_PLANE_RECORDS_REPAIRED));
}

void CWevraDoc::RepairPadStackIndexes(CArchive& ar)
{
    CPadStackArray& stacks = m_shapeCache->GetPadStacks();
    const auto isMissing = [&stacks](int32_t k) { return k < 0 || k >= stacks.GetCount(); };

    bool shapesBroken = false;
    for (int32_t s = 0; s < m_shapeCache->GetCount(); ++s) {
        const CShape& shape = *m_shapeCache->GetShape(s);
        for (int32_t n = 0; n < shape.GetPadCount() && !shapesBroken; ++n)
            shapesBroken = isMissing(shape.GetPadStackIndex(n));
    }
    const std::vector<int32_t> netStacks = m_padStackUse.GetNetPadStackIndexes();
    const bool netsBroken = std::any_of(netStacks.begin(), netStacks.end(), isMissing);
    if (!shapesBroken && !netsBroken)
        return;

    // Pads need a padstack to fall back on; the kinds pass settles what it is for.
    if (stacks.GetCount() == 0) {
        const int32_t half = MmToUnits(0.8);
        stacks.SetAt(0, CPadStack("CIR 1.60 H0.80", PAD_ROUND, -half, -half, half, half,
                                  MmToUnits(0.8), LAYER_COMMON, PADSTACK_KIND_PAD));
        stacks.RecalcMasks(0);
    }
    if (shapesBroken) {
        const int32_t fallback = stacks.GetDefault(PADSTACK_KIND_SHAPE_PAD);
        for (int32_t s = 0; s < m_shapeCache->GetCount(); ++s) {
            CShape& shape = *m_shapeCache->GetShape(s);
            for (int32_t n = 0; n < shape.GetPadCount(); ++n) {
                if (isMissing(shape.GetPadStackIndex(n)))
                    shape.SetPadStackIndex(n, fallback);
            }
        }
        ar.AddLoadWarning(CResString::Load(IDS_SHAPE_PADSTACK_REPAIRED));
    }
    if (netsBroken) {
        const int32_t fallback = stacks.GetDefault(PADSTACK_KIND_PAD);
        for (int32_t n = 0; n < m_nets->GetCount(); ++n) {
            CNet& net = *m_nets->GetNet(n);
            for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                if (net.IsPadVertex(v) && isMissing(net.GetVertexPadStack(v)))
                    net.SetVertexPadType(v, fallback);
            }
        }
        ar.AddLoadWarning(CResString::Load(IDS_NET_PADSTACK_REPAIRED));
    }
}

void CWevraDoc::FixUpAfterLoad(const std::string& netlistPath, int64_t netlistTime,
                               const std::string& sourcePath)
{
    m_components->RecalcAllRects();
    SelectAll(false);
    if (!m_templateLoad) {
        RebuildNetPins();
        m_nets->CalcBoundingBoxesWithoutPins();
        m_nets->BuildToDoList();
        m_session.SetSelectionFilter(CDesignSettings::filterElectrical, true);
    }

    m_loadResult = 1;
    m_componentOutsideBoard = false;
    const CRect board(0, 0, m_settings.boardWidth, m_settings.boardHeight);
    for (int32_t i = 0; i < m_components->GetCount(); ++i) {
        if (!m_components->IntersectsRect(i, board)) {
            m_componentOutsideBoard = true;
            ShowLeftPane(true);
            break;
        }
    }

    if (int32_t(m_settings.viewFlags) < 0)
        m_settings.viewFlags = 0;
    if (m_settings.drawingMode != CDesignSettings::drawOpaque)
        m_settings.drawingMode = CDesignSettings::drawTransparent;
    m_settings.userOffset.x = std::max(m_settings.userOffset.x, 0);
    m_settings.userOffset.y = std::max(m_settings.userOffset.y, 0);

    m_padStackUse.NormalizePadStackKinds(*m_shapeCache);

    if (m_templateLoad) {
        m_settings.designTime = 0;
        m_nets->Reset();
        m_settings.netlistPath = netlistPath;
        m_settings.netlistTime = netlistTime;
        m_settings.templatePath = sourcePath;
        for (int32_t i = 0; i < m_components->GetCount(); ++i)
            m_components->SetFlag(i, ComponentFlags::fromTemplate, true);
    }

    SetMode(ID_VIEW);
    CleanUpPlaneList();
    if (GetViewFlag(CDesignSettings::viewHolesAlwaysVisible))
        m_session.SetWorkLayer(LAYER_DRILL);
    ResetNetGroups(m_settings.templatePath);
}
