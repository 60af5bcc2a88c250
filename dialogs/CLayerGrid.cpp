#include "dialogs/CLayerGrid.h"

#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CLayerTable.h"
#include "document/CWevraDoc.h"
#include "model/CLayerArray.h"
#include "resources/StringIds.h"

CLayerGrid::CLayerGrid(CWevraDoc& document, CViewCommandHost& view, QWidget* parent)
    : CTableGrid(view, parent), m_document(document)
{
}

void CLayerGrid::OnGridSetup()
{
    SetupColumns(IDS_LAYER_TABLE_HEADINGS, 0, true, false);
    const std::vector<CLayerTable::Row> rows = CLayerTable::Rows(m_document.Design());
    SetRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const CLayerTable::Row& layer = rows[size_t(row)];
        SetRowTexts(row, layer.row.cells);
        for (int set = 0; set < CLayerTable::colorSetCount; ++set)
            SetCellBackColor(CLayerTable::firstColorColumn + set, row, layer.colors[size_t(set)]);
    }
    FitColumns();
    SetSheetMode(1);
    SetSideHeadingWidth(0);
    MoveToText(CLayerTable::nameColumn,
               m_document.Design().GetLayers().GetLayerName(m_document.Session().GetWorkLayer()));
}

void CLayerGrid::OnCellDoubleClick(int col, int row, const CRect& /*rect*/, CPoint /*point*/,
                                   int /*processed*/)
{
    EditColor(col, row);
}

void CLayerGrid::OnCharTyped(uint32_t& ch, int /*processed*/)
{
    // Control characters (Esc, Enter, Tab) belong to the window and the cursor.
    if (ch >= 0x20)
        EditColor(GetCurrentCol(), GetCurrentRow());
}

void CLayerGrid::EditColor(int col, int row)
{
    if (row < 0 || row >= GetNumberRows())
        return;
    const std::optional<COLORREF> chosen =
        CLayerTable::EditColor(m_document.Design(), col, GetText(CLayerTable::nameColumn, row),
                               [this](int32_t set, int32_t layer, COLORREF color) {
                                   m_document.SetStoredColor(set, layer, color);
                               });
    if (!chosen)
        return;
    SetCellBackColor(col, row, *chosen);
    RedrawAll();
    ReportChanged();
}
