#include "dialogs/CShapeTableDlg.h"

#include "dialogs/CShapeGrid.h"
#include "document/CShapeTable.h"
#include "framework/CResString.h"
#include "framework/qt/CQtText.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

CShapeTableDlg::CShapeTableDlg(const CDesign& design, CViewCommandHost& view,
                               const CShapeLib& library, QWidget* parent)
    : CTableDlg(dialogId, ID_COMPONENTS_SHAPE_TABLE,
                CQtText::FromDesignText(CResString::Load(IDS_SHAPE_TABLE_TITLE) + " " +
                                        library.GetName()),
                view, parent)
{
    HostGrid(new CShapeGrid(design, view, library, this), idPlaceholder);
    GetGrid()->MoveToText(CShapeTable::nameColumn, library.GetShapeName(library.GetCurShape()));
}

CShapeGrid* CShapeTableDlg::GetShapeGrid() const
{
    return static_cast<CShapeGrid*>(GetGrid());
}
