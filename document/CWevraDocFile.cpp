#include "document/CWevraDoc.h"
#include "document/CWevraDocParts.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "document/CUndoSnapshot.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CBackgroundRelease.h"
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

// ---- Reading into a fresh design ----------------------------------------------------------------

CWevraDoc::CWevraDoc(LoadTarget, const CWevraDoc& current) : CWevraDoc(&current.m_design)
{
    m_design.GetTexts().SetDocument(&m_session);
    m_templateLoad = current.m_templateLoad;
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
    // A shape document's cache holds the shape as its board shows it now.
    if (m_shapeDocument)
        RebuildShapeCache();
    m_design.Store(ar);
}

void CWevraDoc::RebuildShapeCache()
{
    if (!m_shapeSource.library)
        return;
    CShapeLib rebuilt(*m_shapeSource.library);
    if (RebuildShapeInto(rebuilt))
        m_design.GetEditableShapeCache() = rebuilt;
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
    m_history.Stack().Clear();
}

std::unique_ptr<CWevraDoc> CWevraDoc::ReadDesign(CArchive& ar)
{
    if (ar.GetRemaining() > CDesignSettings::maxFileSize)
        throw CArchiveException(
            CArchiveException::fileError,
            CInputFile::TooLargeText(ar.GetFilePath().empty() ? "the design"
                                                              : ar.GetFilePath().string(),
                                     ar.GetRemaining(), CDesignSettings::maxFileSize));
    // The open design stays as it is until the whole stream was read.
    const std::string title = CPathHelper::GetFileTitle(ar.GetFilePath().string());
    const std::string refusal =
        CResString::LoadWith(IDS_UNEXPECTED_FILE_CONTENTS, title.empty() ? "the design" : title);
    uint32_t version = 0;
    try {
        version = ar.ReadDWord();
    } catch (const CArchiveException& error) {
        throw CArchiveException(error.GetCause(), refusal);
    }
    if (version < CDesignSettings::oldestDesignFileVersion ||
        version > CDesignSettings::designFileVersion) {
        const std::string text = CResString::Load(IDS_NOT_SUPPORTED_FILEFORMAT);
        if (ar.GetFilePath().empty())
            CServices::Messages().MessageBox(text, CResString::Load(IDS_APP_TITLE), MB_OK,
                                             MB_ICONEXCLAMATION);
        else
            CServices::Messages().FileMessageBox(
                CWindows1252::ToUtf8(text) + ":\n" + ar.GetFilePath().string(),
                CWindows1252::ToUtf8(CResString::Load(IDS_APP_TITLE)), MB_OK, MB_ICONEXCLAMATION);
        return nullptr;
    }
    std::unique_ptr<CWevraDoc> loaded;
    // A design still being freed on the release thread would have both threads wait on the
    // allocator all through the reading.
    CBackgroundRelease::Shared().Wait();
    try {
        loaded.reset(new CWevraDoc(LoadTarget{}, *this));
        loaded->m_design.ReadHeader(ar, version);
        loaded->m_design.ReadCollections(ar, version);
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
    // The replaced design is freed while this one is fixed up; the callers drop `loaded` next.
    loaded.m_design.ReleaseInBackground();
    m_design.RepairLoadedIndexes(ar);
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
    m_history.Stack().SetSnapshotNeeded(true);
    m_history.Stack().Push(CUndoSnapshot::maskWholeDesign | CUndoSnapshot::maskDesignReplaced,
                           *this);
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

void CWevraDoc::TakeOverDesign(CWevraDoc& loaded)
{
    m_design.TakeOver(loaded.m_design);
    for (CWevraDoc* owner : {this, &loaded}) {
        owner->m_design.GetNets().SetDocument(&owner->m_link);
        owner->m_design.GetComponents().SetDocument(&owner->m_link);
        owner->m_design.GetTexts().SetDocument(&owner->m_session);
    }

    // Editing state that named objects of the design before.
    m_edit.planeIndex = CEditState::noPlane;
    m_edit.currentComponentIndex = -1;
    m_session.ResetCurrentComponent();
    for (auto& table : m_design.LayerCounts().tables)
        table.fill(0);
    m_painting.State().drawColors[CComponentDocument::normalSet] =
        m_settings.colors[CDesignSettings::screenColors];
    m_painting.State().drawColors[CComponentDocument::highlightSet] =
        m_settings.colors[CDesignSettings::highlightColors];
}

void CWevraDoc::FixUpAfterLoad(const std::string& netlistPath, int64_t netlistTime,
                               const std::string& sourcePath)
{
    m_design.GetComponents().RecalcAllRects();
    m_session.SelectAll(false);
    if (!m_templateLoad) {
        m_design.RebuildNetPins();
        m_design.GetNets().CalcBoundingBoxesWithoutPins();
        // The clusters and the ratsnest are not stored: without them every net would count
        // ToDo -1 and a design saved with its ratsnest on would show none.
        m_design.GetNets().RecalcAll(false);
        m_design.GetNets().BuildToDoList();
        m_session.SetSelectionFilter(CDesignSettings::filterElectrical, true);
    }

    m_loadResult = 1;
    m_componentOutsideBoard = false;
    const CRect board(0, 0, m_settings.boardWidth, m_settings.boardHeight);
    for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i) {
        if (!m_design.GetComponents().IntersectsRect(i, board)) {
            m_componentOutsideBoard = true;
            m_windows.ShowLeftPane(true);
            break;
        }
    }

    if (int32_t(m_settings.viewFlags) < 0)
        m_settings.viewFlags = 0;
    if (m_settings.drawingMode != CDesignSettings::drawOpaque)
        m_settings.drawingMode = CDesignSettings::drawTransparent;

    m_padStackUse.NormalizePadStackKinds(m_design.GetEditableShapeCache());

    if (m_templateLoad) {
        m_settings.designTime = 0;
        m_design.GetNets().Reset();
        m_settings.netlistPath = netlistPath;
        m_settings.netlistTime = netlistTime;
        m_settings.templatePath = sourcePath;
        for (int32_t i = 0; i < m_design.GetComponents().GetCount(); ++i)
            m_design.GetComponents().SetFlag(i, ComponentFlags::fromTemplate, true);
    }

    // Everything was deselected above and nothing since selects.
    m_session.StartModeWithNothingSelected(ID_VIEW);
    m_design.CleanUpPlaneList();
    if (m_design.GetViewFlag(CDesignSettings::viewHolesAlwaysVisible))
        m_session.SetWorkLayer(LAYER_DRILL);
    m_design.ResetNetGroups(m_settings.templatePath);
}
