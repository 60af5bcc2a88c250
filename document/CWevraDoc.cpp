#include "document/CWevraDoc.h"
#include "document/CWevraDocParts.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "document/CDocumentFrame.h"
#include "document/CDocumentViews.h"
#include "document/CUndoSnapshot.h"
#include "document/CUnusableValues.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/CWindows1252.h"
#include "framework/Numeric.h"
#include "framework/TextCase.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CWevraFont.h"
#include "model/FontWarning.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

WEVRA_IMPLEMENT_SERIAL(CWevraDoc, "CWevraDoc", 0)

namespace {

// Net group i keeps i tenths of a millimetre.

constexpr COLORREF defaultScreenColor = RGB(165, 165, 165);
constexpr COLORREF defaultHighlightColor = RGB(192, 192, 192);

// The pin-information font of a new design.
constexpr char pinInfoFace[] = "Arial";
constexpr int32_t pinInfoHeight = 15;

std::string ReplaceExtension(const std::string& path, const std::string& extension)
{
    return path.substr(0, path.size() - CPathHelper::GetExtension(path).size()) + extension;
}

// The font file beside the program; one that is missing or damaged gives way to the font
// linked into the program, so that no board text vanishes or turns into wild strokes on the
// screen or in the manufacturing files.
void LoadStrokeFont(CWevraFont& font, const CDocumentFrame& frame)
{
    const std::filesystem::path file = frame.GetProgramFolder() / CWevraFont::fileName;
    std::string problem;
    if (font.Load(file, &problem))
        return;
    const std::span<const uint8_t> builtIn = frame.GetBuiltInFont();
    const bool fallback = !builtIn.empty() && font.LoadBytes(builtIn, nullptr);
    if (!frame.FirstReportOf(file.string() + '\n' + problem))
        return;
    if (!fallback) {
        CServices::Messages().MessageBox(problem, "", MB_OK);
        return;
    }
    CServices::Messages().FileMessageBox(
        (problem == CWevraFont::fontNotFoundText ? problem + ": " + file.string() : problem) +
            "\n\nThe program's own stroke font is used.",
        "Wevra PCB", MB_OK, MB_ICONEXCLAMATION);
}

} // namespace

CWevraDoc::CWevraDoc(const CDesign* current)
    : m_parts(std::make_unique<Parts>(*this, current)), m_link(m_parts->link),
      m_design(m_parts->design), m_settings(m_design.Settings()), m_session(m_parts->session),
      m_edit(m_session.State()), m_painting(m_parts->painting), m_view(m_parts->view),
      m_windows(m_parts->windows), m_history(m_parts->history), m_shapeSource(m_parts->shapeSource),
      m_planeSet(m_parts->planeSet), m_dosImport(m_parts->dosImport),
      m_padStackUse(m_parts->padStackUse), m_analysis(m_parts->analysis),
      m_editing(m_parts->editing), m_cleanup(m_parts->cleanup)
{
}

CWevraDoc::CWevraDoc() : CWevraDoc(nullptr)
{
    m_settings.pinInfoFont.face = pinInfoFace;
    m_settings.pinInfoFont.height = pinInfoHeight;
    m_settings.pinInfoFont.weight = CFontDesc::normalWeight;
    m_design.SetPinInfoFontRecordFromFont();
    ResetToDefaults();
}

CWevraDoc::~CWevraDoc() = default;

void CWevraDoc::SetViews(CDocumentViews* views)
{
    m_view.SetWindows(views);
}

const CShapeLib* CWevraDoc::GetShapeLibrary() const
{
    return m_shapeSource.library.get();
}

// ---- Life cycle ---------------------------------------------------------------------------------

bool CWevraDoc::ResetToDefaults()
{
    CDocumentFrame& frame = CDocumentFrame::Get();

    m_edit.planeIndex = CEditState::noPlane;
    m_history.Stack().SetSnapshotNeeded(false);
    m_settings.viewFlags = 0;
    m_settings.drawingMode = CDesignSettings::drawOpaque;
    m_settings.subnetMark = 1;
    m_settings.userOffset = CPoint();
    m_settings.unit = CLengthText::unitMillimetre;
    m_settings.pinInfoMode = 1;
    m_settings.designTime = 0;
    m_settings.reserved = 0;
    m_settings.drcActive = 0;
    m_settings.mode45 = 0;
    m_settings.ratsnestActive = 0;
    m_settings.tracksOfComponents = 1;
    m_settings.selectionFilter = CDesignSettings::defaultSelectionFilter;
    m_edit.currentComponentIndex = -1;
    m_session.Reset();
    m_history.GetBackup().Reset();

    m_design.GetDisplaySets().FillDisplaySets();
    m_design.GetOutputJobs().FillDefaultJobs();

    LoadStrokeFont(m_design.GetFont(), frame);

    for (auto& table : m_design.LayerCounts().tables)
        table.fill(0);
    m_design.GetNets().SetDocument(&m_link);
    m_design.GetComponents().SetDocument(&m_link);
    m_design.GetTexts().SetDocument(&m_session);

    m_view.SetLeftPaneShown(frame.IsLeftPaneSetting());
    m_view.SetBottomPaneShown(frame.IsBottomPaneSetting());
    frame.SetLeftPaneFlag(m_view.IsLeftPaneShown());

    m_session.ResetCurrentComponent();
    m_design.GetLayers().CreateDefault();

    m_session.SetMode(ID_VIEW);
    m_edit.action = CEditState::actionWaiting;
    m_edit.rotateAngle = 0;
    m_settings.scale = CDesignSettings::defaultScale;
    m_settings.offset = CPoint();
    m_settings.boardWidth = CDesignSettings::defaultBoardWidth;
    m_settings.boardHeight = CDesignSettings::defaultBoardHeight;
    m_design.GetBoardOutline().RemoveAll();

    m_design.ResetNetGroups(std::string());
    ResetColors();
    m_settings.netlistPath.clear();
    return true;
}

void CWevraDoc::ResetColors()
{
    auto& screen = m_settings.colors[CDesignSettings::screenColors];
    auto& highlight = m_settings.colors[CDesignSettings::highlightColors];
    screen.fill(defaultScreenColor);
    screen[LAYER_COMMON] = RGB(0, 55, 0);
    screen[LAYER_TOP] = RGB(0, 196, 0);
    screen[LAYER_BOTTOM] = RGB(196, 0, 0);
    screen[LAYER_SILK_TOP] = RGB(165, 165, 0);
    screen[LAYER_SILK_BOTTOM] = RGB(0, 165, 165);
    screen[LAYER_DRILL] = RGB(128, 128, 128);
    highlight.fill(defaultHighlightColor);
    highlight[LAYER_COMMON] = RGB(0, 55, 0);
    highlight[LAYER_TOP] = RGB(0, 255, 0);
    highlight[LAYER_BOTTOM] = RGB(255, 0, 0);
    highlight[LAYER_SILK_TOP] = RGB(255, 255, 0);
    highlight[LAYER_SILK_BOTTOM] = RGB(0, 255, 255);
    m_settings.colors[CDesignSettings::printColors] = screen;
    // Drawing uses the screen sets until the painting builds its pens for another target.
    m_painting.State().drawColors[CComponentDocument::normalSet] = screen;
    m_painting.State().drawColors[CComponentDocument::highlightSet] = highlight;
}

bool CWevraDoc::OnNewDocument()
{
    m_pathName.clear();
    m_modified = false;
    ResetToDefaults();
    CDocumentFrame& frame = CDocumentFrame::Get();
    frame.HidePanes();
    if (frame.IsShapeEditRequested()) {
        frame.ClearShapeEditRequest();
        return MakeShapeDocument();
    }
    return CDialogService::Get().NewPcb(*this) == CDialogService::resultOk;
}

bool CWevraDoc::OnOpenDocument(const std::string& path)
{
    ResetToDefaults();
    const std::string extension = UpperAscii(CPathHelper::GetExtension(path));
    m_settings.netlistPath = ReplaceExtension(path, ".NET");

    bool read = false;
    if (extension == ".PLY")
        read = m_dosImport.Open(path);
    else if (extension == ".PCB")
        read = OpenDesignFile(path);
    if (!read)
        return false;
    // Once when the design is opened: the characters its texts show other than as typed.
    const std::string missing = MissingCharactersMessage(
        MissingCharactersLines(m_design.GetFont(), m_design.GetTexts(), m_design.GetComponents(),
                               m_design.GetShapeCache()));
    if (!missing.empty())
        CServices::Messages().FileMessageBox(
            CWindows1252::ToUtf8(missing), CPathHelper::GetFileTitle(path), MB_OK, MB_ICONWARNING);
    // So are the values it holds that the program cannot work with.
    NameUnusableValues(path);

    m_pathName = path;
    m_modified = false;
    m_dirty = false;
    m_history.GetBackup().Reset();
    CDocumentFrame::Get().AddToRecentFiles(path);
    SetTitle();
    return true;
}

bool CWevraDoc::ReadTemplate(const std::string& path)
{
    m_templateLoad = true;
    const bool read = OpenDesignFile(path);
    m_templateLoad = false;
    m_fromFile = false;
    m_settings.templatePath = path;
    // A new design takes them over from its template.
    if (read)
        NameUnusableValues(path);
    return read;
}

void CWevraDoc::NameUnusableValues(const std::string& path) const
{
    const std::string unusable = CUnusableValues::Message(CUnusableValues::Lines(m_design));
    if (!unusable.empty())
        CServices::Messages().FileMessageBox(
            CWindows1252::ToUtf8(unusable), CPathHelper::GetFileTitle(path), MB_OK, MB_ICONWARNING);
}

bool CWevraDoc::OpenDesignFile(const std::string& path)
{
    const std::string caption = CPathHelper::GetFileTitle(path);
    std::unique_ptr<CArchive> ar;
    try {
        ar = CArchive::OpenForLoading(path, CDesignSettings::maxFileSize);
    } catch (const CArchiveException& error) {
        CServices::Messages().FileMessageBox(error.what(), caption, MB_OK, MB_ICONEXCLAMATION);
        return false;
    }
    if (!LoadFromArchive(*ar, caption))
        return false;
    m_fromFile = true;
    return true;
}

bool CWevraDoc::SaveModified()
{
    if (m_shapeDocument) {
        m_modified = false;
        return true;
    }
    // A run still being drawn counts as a change.
    m_history.KeepTentativeEdit();
    return !m_modified || m_view.Windows().SaveModifiedDesign();
}

void CWevraDoc::OnCloseDocument()
{
    CDocumentFrame& frame = CDocumentFrame::Get();
    if (m_shapeDocument && m_shapeSource.library) {
        RebuildShapeInto(*m_shapeSource.library);
        frame.EndShapeEdit(*m_shapeSource.library);
    }
    frame.UpdateContextToolbar(nullptr);
}

// ---- Path and title -----------------------------------------------------------------------------

void CWevraDoc::SetDesignPath(const std::string& name)
{
    if (m_shapeDocument)
        return;
    const std::string path = name.empty() ? m_pathName : name;
    // An untitled design keeps no path: it is named when it is first saved.
    if (CPathHelper::GetFileTitle(path).empty())
        return;
    m_pathName = ReplaceExtension(path, ".PCB");
    CDocumentFrame::Get().AddToRecentFiles(m_pathName);
    SetTitle();
}

std::string CWevraDoc::GetDesignName() const
{
    return CPathHelper::GetFileTitle(m_pathName);
}

std::string CWevraDoc::GetDesignFolder() const
{
    return CPathHelper::GetDirectory(m_pathName);
}

void CWevraDoc::SetTitle()
{
    // The title holds the file name, so it is in the file system's encoding, not Windows-1252.
    std::string mode = CResString::LoadPart(m_edit.mode);
    if (m_edit.mode == ID_SETTINGS_SET_GRID_OFFSET) {
        mode += "(" + CLengthText::FormatLength(m_session.GetUnit(), m_settings.userOffset.x) +
                "," + CLengthText::FormatLength(m_session.GetUnit(), m_settings.userOffset.y) + ")";
    }
    m_title = "Design] - [" + GetDesignName() + " ->" + CWindows1252::ToUtf8(mode);
    m_view.Windows().OnTitleChanged(m_title);
}

void CWevraDoc::SetModified()
{
    m_modified = true;
    m_dirty = true;
    // A clean check speaks of the design as it was then.
    Windows().SetCheckVerdict("");
}

void CWevraDoc::SetCopperModified()
{
    m_design.AdvanceCopperRevision();
    SetModified();
}

// ---- Board --------------------------------------------------------------------------------------

bool CWevraDoc::SetStoredColor(int32_t table, int32_t layer, COLORREF color)
{
    if (!m_design.SetStoredColor(table, layer, color))
        return false;
    m_painting.State().pensBuilt = false;
    m_painting.State().boardDirty = true;
    SetModified();
    return true;
}

// ---- Loading ------------------------------------------------------------------------------------
