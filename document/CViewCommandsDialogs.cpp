#include "document/CViewCommands.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentCleanup.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CViewCommandHost.h"
#include "document/CWevraDoc.h"
#include "framework/CArchive.h"
#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/Numeric.h"
#include "model/CComponentArray.h"
#include "model/CComponentTool.h"
#include "model/CDialogService.h"
#include "model/CFieldRange.h"
#include "model/CGridArr.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "resources/CommandIds.h"

namespace {

void EnableWithDialog(CCmdUI& ui, CDialogService::Dialog dialog)
{
    ui.Enable(CDialogService::Get().Offers(dialog));
}

} // namespace

void CViewCommands::RegisterDialogs()
{
    CWevraDoc& doc = m_document;
    for (const uint32_t id : {ID_BOARD_BOARD_SIZE_AND_OFFSET, ID_WORKSPACE_WORKSPACE_SIZE}) {
        OnCommand(id, [this] { EditBoardSize(); });
        OnUpdate(id, [](CCmdUI& ui) { EnableWithDialog(ui, CDialogService::Dialog::boardSize); });
    }

    OnCommand(ID_SETTINGS_SET_GRID, [this, &doc] {
        CGridArr& grids = doc.Design().GetGridSettings();
        const int32_t current = grids.GetCurrentIndex();
        const CSize snap = grids.GetSnap(current);
        int32_t x = snap.cx;
        int32_t y = snap.cy;
        bool snapOn = grids.IsSnapOn(current);
        const int32_t unit = doc.Session().GetUnit();
        if (CDialogService::Get().SetGrid(unit, x, y, snapOn) != CDialogService::resultOk)
            return;
        // A step left as the dialog showed it, rounded to the unit, is kept as the grid has it.
        // A step of nothing or below is no grid, and one beyond a board's extent opens as
        // damaged: either leaves the grid as it was.
        const std::string field = "Grid " + std::to_string(current + 1) + " snap ";
        const std::optional<int32_t> takenX =
            FieldRanges::extent.TakeLength(unit, CLengthText::Kept(unit, x, snap.cx), field + "x");
        const std::optional<int32_t> takenY =
            takenX ? FieldRanges::extent.TakeLength(unit, CLengthText::Kept(unit, y, snap.cy),
                                                    field + "y")
                   : std::nullopt;
        if (!takenY)
            return;
        grids.SetSnap(current, *takenX, *takenY);
        grids.SetSnapOn(current, snapOn);
        doc.SetModified();
        RedrawFull();
    });
    OnUpdate(ID_SETTINGS_SET_GRID,
             [](CCmdUI& ui) { EnableWithDialog(ui, CDialogService::Dialog::setGrid); });

    OnCommand(ID_NETLIST_ADD_NET, [this, &doc] {
        CNetArray& nets = doc.Design().GetNets();
        std::string name;
        if (!nets.AskNewNetName(name))
            return;
        nets.SetCurrentNet(nets.AddNet(name));
        doc.Windows().FillNetCombo();
        doc.SetModified();
        RedrawFull();
    });
    OnUpdate(ID_NETLIST_ADD_NET, [&doc](CCmdUI& ui) {
        ui.Enable(!doc.IsShapeDocument() &&
                  CDialogService::Get().Offers(CDialogService::Dialog::netAdd));
    });

    // The design keeps no net groups yet: what the dialog gives back is not used.
    OnCommand(ID_NETLIST_DEFINE_NET_GROUPS, [] {
        std::string groupA;
        std::string groupB;
        std::string spacing;
        CDialogService::Get().NetGroups(groupA, groupB, spacing);
    });
    OnUpdate(ID_NETLIST_DEFINE_NET_GROUPS, [&doc](CCmdUI& ui) {
        ui.Enable(doc.Design().GetNets().GetCount() > 1 &&
                  CDialogService::Get().Offers(CDialogService::Dialog::netGroups));
    });

    OnCommand(ID_BOARD_CLEAN, [&doc] {
        CDialogService::CleanChoices choices;
        if (CDialogService::Get().Clean(doc.Session().GetUnit(), choices) ==
            CDialogService::resultOk)
            doc.Cleanup().Clean(choices);
    });
    OnUpdate(ID_BOARD_CLEAN, [&doc](CCmdUI& ui) {
        ui.Enable(!doc.IsShapeDocument() &&
                  CDialogService::Get().Offers(CDialogService::Dialog::clean));
    });

    OnCommand(ID_OTHER_INPUT_POSITION, [this] { InputPosition(); });
    OnUpdate(ID_OTHER_INPUT_POSITION,
             [](CCmdUI& ui) { EnableWithDialog(ui, CDialogService::Dialog::position); });

    OnCommand(ID_SETTINGS_SET_GRID_OFFSET, [this] { SetGridOffset(); });

    // Both choose a shape first: there must be one to choose.
    auto shapeToChoose = [&doc](CCmdUI& ui) {
        const CShapeLibArray* libraries = CDocumentFrame::Get().GetLibrarySet();
        ui.Enable(!doc.IsShapeDocument() &&
                  CDialogService::Get().Offers(CDialogService::Dialog::getShape) &&
                  (doc.Design().GetShapeCache().GetCount() > 0 ||
                   (libraries != nullptr && libraries->GetCount() > 0)));
    };
    OnCommand(ID_COMPONENTS_ADD, [this, &doc] {
        SetMode(ID_COMPONENTS_ADD);
        doc.Design().GetComponents().GetComponentTool().OnComponentClick(doc.Session());
    });
    OnUpdate(ID_COMPONENTS_ADD, shapeToChoose);
    OnCommand(ID_COMPONENTS_REPLACE_SHAPE, [this, &doc] {
        int32_t shape = -1;
        std::string prefix;
        std::string type;
        CShapeLib& cache = doc.Design().GetEditableShapeCache();
        const std::vector<uint8_t> cached = cache.StoredBytes();
        if (CDialogService::Get().GetShape(cache,
                                           doc.Design().GetComponents().MakeShapeRequest(true),
                                           shape, prefix, type) != CDialogService::resultOk)
            return;
        // Only a shape the dialog brought into the design changes it before a part is clicked.
        if (cache.StoredBytes() != cached)
            doc.SetModified();
        doc.Design().GetComponents().GetComponentTool().SetReplacementShape(shape);
        SetMode(ID_COMPONENTS_REPLACE_SHAPE);
    });
    OnUpdate(ID_COMPONENTS_REPLACE_SHAPE, shapeToChoose);

    OnCommand(ID_COMPONENTS_EDIT_SHAPE_LIBRARY, [this] { EditShapeLibrary(); });
    OnUpdate(ID_COMPONENTS_EDIT_SHAPE_LIBRARY, [](CCmdUI& ui) {
        ui.Enable(CDocumentFrame::Get().GetEditableLibrarySet() != nullptr &&
                  CDialogService::Get().Offers(CDialogService::Dialog::shapeLibrary));
    });
}

void CViewCommands::EditShapeLibrary()
{
    CWevraDoc& doc = m_document;
    CDocumentFrame& frame = CDocumentFrame::Get();
    CShapeLibArray* libraries = frame.GetEditableLibrarySet();
    if (libraries == nullptr)
        return;
    m_host.SaveCursor();
    SetMode(ID_EDIT_SELECT_MODE);
    // The set as it is now: Cancel goes back to it, and only a change is written.
    CArchive before;
    libraries->Serialize(before);
    const std::vector<uint8_t> snapshot = before.TakeBuffer();
    bool cacheChanged = false;
    const int32_t result = CDialogService::Get().ShapeLibrary(
        doc.Design().GetEditableShapeCache(), *libraries,
        doc.Design().GetComponents().MakeShapeRequest(false), doc.GetDesignName(), cacheChanged);
    if (cacheChanged) {
        doc.SetCopperModified();
        RedrawFull();
    }
    CArchive after;
    libraries->Serialize(after);
    const bool changed = after.GetBuffer() != snapshot;
    if (result == CDialogService::resultOk) {
        // The library installed with the program serves every user: a change goes into a
        // library of the user's own.
        if (changed &&
            (libraries->GetPath().empty() || CPathHelper::IsInstalledFile(libraries->GetPath()) ||
             !SaveLibrary(*libraries)))
            SaveLibraryAs(*libraries);
    } else if (result == CDialogService::resultEditShape) {
        frame.PostCommand(ID_FILE_NEW);
    } else if (changed) {
        CArchive restore(snapshot);
        libraries->Serialize(restore);
    }
    m_host.RestoreCursor();
}

bool CViewCommands::SaveLibrary(CShapeLibArray& libraries)
{
    if (libraries.Save())
        return true;
    CServices::Messages().FileMessageBox("The file could not be written:\n" +
                                             libraries.GetPath().string(),
                                         "", MB_OK, MB_ICONEXCLAMATION);
    return false;
}

void CViewCommands::SaveLibraryAs(CShapeLibArray& libraries)
{
    // A set never written, or one whose file cannot be written (an installed library): the user
    // names a file of their own, which becomes their library.
    const std::optional<std::string> chosen =
        CServices::FileDialogs().ChooseSaveFile("", "", "Wevra PCB Library (*.SHP *.shp)", ".SHP");
    if (!chosen)
        return;
    const std::filesystem::path previous = libraries.GetPath();
    libraries.SetPath(*chosen);
    if (SaveLibrary(libraries))
        CDocumentFrame::Get().AdoptLibraryFile(*chosen);
    else
        libraries.SetPath(previous);
}

void CViewCommands::EditBoardSize()
{
    CWevraDoc& doc = m_document;
    const int32_t unit = doc.Session().GetUnit();
    std::string width = CLengthText::FormatLength(unit, doc.Design().GetBoardWidth());
    std::string height = CLengthText::FormatLength(unit, doc.Design().GetBoardHeight());
    const int32_t result = CDialogService::Get().BoardSize(width, height, doc.IsShapeDocument());
    if (result == CDialogService::resultBoardWindow) {
        SetMode(doc.IsShapeDocument() ? ID_WORKSPACE_WORKSPACE_SIZE
                                      : ID_BOARD_BOARD_SIZE_AND_OFFSET);
        return;
    }
    if (result != CDialogService::resultOk)
        return;
    // A text that is no length reads as 0: a board without an area is refused, as is one
    // larger than a board can be.
    const std::optional<int32_t> x = FieldRanges::extent.TakeLength(unit, width, "Board width");
    const std::optional<int32_t> y =
        x ? FieldRanges::extent.TakeLength(unit, height, "Board height") : std::nullopt;
    if (!x || !y)
        return;
    doc.History().SaveUndoState();
    doc.Design().SetBoardOutlineRect(0, 0, *x, *y);
    doc.Session().SetMode(ID_VIEW);
    doc.SetModified();
    RedrawFull();
}

void CViewCommands::InputPosition()
{
    CWevraDoc& doc = m_document;
    const CPoint origin = doc.Session().GetOrigin();
    m_host.SaveCursor();
    if (doc.Session().IsMode(ID_SETTINGS_SET_GRID_OFFSET)) {
        int32_t x = origin.x;
        int32_t y = origin.y;
        if (CDialogService::Get().Position(CResString::Load(ID_SETTINGS_SET_GRID_OFFSET),
                                           doc.Session().GetUnit(), x,
                                           y) == CDialogService::resultOk &&
            TakeUserOffset(CPoint(x, y))) {
            doc.Session().SetMode(ID_VIEW);
            doc.SetModified();
            RedrawFull();
        }
        m_host.RestoreCursor();
        return;
    }
    const CPoint cursor = doc.Session().GetCursor();
    int32_t x = SaturateToInt(int64_t(cursor.x) - origin.x);
    int32_t y = SaturateToInt(int64_t(cursor.y) - origin.y);
    if (CDialogService::Get().Position(CResString::LoadPart(ID_OTHER_INPUT_POSITION),
                                       doc.Session().GetUnit(), x, y) != CDialogService::resultOk) {
        m_host.RestoreCursor();
        return;
    }
    // Whatever a tool then puts at the cursor lands on the board's coordinates.
    const int32_t unit = doc.Session().GetUnit();
    const std::optional<int32_t> atX =
        FieldRanges::position.Less(origin.x).TakeLength(unit, x, "Position x");
    const std::optional<int32_t> atY =
        atX ? FieldRanges::position.Less(origin.y).TakeLength(unit, y, "Position y") : std::nullopt;
    if (!atY) {
        m_host.RestoreCursor();
        return;
    }
    doc.Session().SetCursor(CPoint(*atX + origin.x, *atY + origin.y));
    doc.Session().DeselectAll();
    doc.Session().SetRubberBandVisible(false);
    RedrawFull();
    m_host.WarpMouseToCursor();
}

bool CViewCommands::TakeUserOffset(CPoint offset)
{
    CWevraDoc& doc = m_document;
    const int32_t unit = doc.Session().GetUnit();
    const std::optional<int32_t> x =
        FieldRanges::length.TakeLength(unit, offset.x, "User offset x");
    const std::optional<int32_t> y =
        x ? FieldRanges::length.TakeLength(unit, offset.y, "User offset y") : std::nullopt;
    if (!y)
        return false;
    doc.Design().SetUserOffset(CPoint(*x, *y));
    return true;
}

void CViewCommands::SetGridOffset()
{
    CWevraDoc& doc = m_document;
    SetMode(ID_SETTINGS_SET_GRID_OFFSET);
    const CComponentArray& components = doc.Design().GetComponents();
    if (components.GetCount() == 0 ||
        !CDialogService::Get().Offers(CDialogService::Dialog::moveUserOffset))
        return;
    std::vector<CDialogService::PinnedComponent> pinned;
    for (int32_t i = 0; i < components.GetCount(); ++i)
        pinned.push_back(components.MakePinnedComponent(i));
    CPoint offset = doc.Session().GetOrigin();
    // "Use cursor" leaves the tool running: the offset is picked on the board.
    if (CDialogService::Get().MoveUserOffset(
            doc.Session().GetUnit(), pinned,
            CSize(doc.Design().GetBoardWidth(), doc.Design().GetBoardHeight()),
            offset) != CDialogService::resultOk ||
        !TakeUserOffset(offset))
        return;
    doc.Session().SetMode(ID_VIEW);
    doc.SetModified();
    RedrawFull();
}
