#include "dialogs/CNetlistGrid.h"

#include <optional>

#include "dialogs/CNetFindReplaceDlg.h"
#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CHelpTopics.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "framework/TextCase.h"
#include "framework/qt/CQtText.h"
#include "gridctrl/CGridSheetInfo.h"
#include "model/CFieldRange.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CNetArrayDocument.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

// The grid's built-in drop-list cell type.
constexpr int dropListType = 1;

// What Find and Replace puts into a net: a track width is drawn with a pen of the net's table.
CFieldRange ReplacementRange(int col)
{
    return col == CNetlistGrid::colCurrentWidth ? FieldRanges::netPen : FieldRanges::length;
}

std::string ReplacementField(int col)
{
    switch (col) {
    case CNetlistGrid::colCurrentWidth:
        return "pen width";
    case CNetlistGrid::colMinWidth:
        return "minimal width";
    case CNetlistGrid::colMaxWidth:
        return "maximal width";
    default:
        return "clearance";
    }
}

// What a width or spacing typed into a cell may be.
constexpr CFieldRange typedLengths{CNetlistGrid::minTypedLength + 1,
                                   CNetlistGrid::maxTypedLength - 1};

// The length typed over a cell that showed `current`, or nothing: when it reads as what the
// cell showed (a value the cell rounds is kept, neither refused nor marked changed), or, after
// telling the user, when a cell does not take it.
std::optional<int32_t> TypedLength(int32_t unit, int col, const std::string& text, int32_t current)
{
    if (CLengthText::ReadsAs(unit, text, current))
        return std::nullopt;
    return typedLengths.TakeLength(unit, text, "Net " + ReplacementField(col));
}

// Net 0 holds what is on no net: it has no connections to show.
bool ShowsRatsnest(int32_t index, const CNet& net)
{
    return index != 0 && !net.TestFlags(CNet::flagNoRatsnest);
}

} // namespace

CNetlistGrid::CNetlistGrid(CDesign& design, CEditSession& session, CNetArrayDocument& nets,
                           CViewCommandHost& view, QWidget* parent)
    : CTableGrid(view, parent), m_design(design), m_session(session), m_nets(nets)
{
}

std::vector<std::string> CNetlistGrid::RowTexts(const CDesign& design, const CEditSession& session,
                                                int32_t index)
{
    const CNet* net = design.GetNets().GetNet(index);
    if (net == nullptr)
        return {};
    const int32_t unit = session.GetUnit();
    return {CNumberText::FormatInt(index, 4),
            net->GetName(),
            CNumberText::FormatInt(net->GetPinCount()),
            CNumberText::FormatInt(index == 0 ? 0 : net->GetToDo()),
            CNumberText::FormatInt(net->CountPadVertices()),
            CNumberText::FormatInt(net->CountTrackVertices()),
            CLengthText::FormatLength(unit, net->GetCurrentPenWidth()),
            CLengthText::FormatLength(unit, net->GetMinWidth()),
            CLengthText::FormatLength(unit, net->GetMaxWidth()),
            CLengthText::FormatLength(unit, net->GetClearance()),
            CResString::Load(ShowsRatsnest(index, *net) ? IDS_YES : IDS_NO)};
}

std::string CNetlistGrid::WidthChoices(const CDesign& design, const CEditSession& session,
                                       const CNet& net)
{
    std::string choices;
    const CNet* zero = design.GetNets().GetNet(0);
    if (zero == nullptr)
        return choices;
    const std::vector<uint16_t>& widths = zero->GetPenTable();
    for (size_t i = 1; i < widths.size(); ++i) {
        if (widths[i] >= net.GetMinWidth() && widths[i] <= net.GetMaxWidth())
            choices += CLengthText::FormatLength(session.GetUnit(), widths[i]) + '\n';
    }
    return choices;
}

void CNetlistGrid::OnGridSetup()
{
    SetupColumns(IDS_NETLIST_TABLE_HEADINGS, colToDo, false, true);
    const CNetArray& nets = m_design.GetNets();
    SetRowCount(nets.GetCount());
    for (int32_t i = 0; i < nets.GetCount(); ++i) {
        SetRowTexts(i, RowTexts(m_design, m_session, i));
        SetCellTypeIndex(colCurrentWidth, i, dropListType);
        SetCellTypeParam(colCurrentWidth, i, dropListParam);
        SetCellLabel(colCurrentWidth, i,
                     CQtText::FromDesignText(WidthChoices(m_design, m_session, *nets.GetNet(i))));
    }
    FitColumns();
    FinishSetup(2);
    AddMenuItem(findDialogItem, QStringLiteral("Find Dialog - Current Column"));
    EnablePopupMenu(1);
    // An edit is stored however it ends, the focus going elsewhere included.
    GetSheet()->m_endEditOnFocusLoss = 0;
}

CNet* CNetlistGrid::NetOfRow(int row)
{
    if (row < 0 || row >= GetNumberRows())
        return nullptr;
    return m_design.GetNets().GetNet(CNumberText::ParseInt(GetText(colNr, row)));
}

std::string CNetlistGrid::Length(int32_t value) const
{
    return CLengthText::FormatLength(m_session.GetUnit(), value);
}

void CNetlistGrid::SetCopperModified()
{
    m_design.AdvanceCopperRevision();
    m_session.SetModified();
}

void CNetlistGrid::OnCellClick(int /*col*/, int row, int /*down*/, const CRect& /*rect*/,
                               CPoint /*point*/, int /*processed*/)
{
    if (!m_session.IsAction(CEditState::actionWaiting) || NetOfRow(row) == nullptr)
        return;
    m_design.GetNets().SetCurrentNet(CNumberText::ParseInt(GetText(colNr, row)));
    ReportChanged();
}

void CNetlistGrid::OnCharTyped(uint32_t& ch, int /*processed*/)
{
    const int col = GetCurrentCol();
    const bool editable = col == colName || (col >= colMinWidth && col <= colRatsLines);
    // Enter, Tab and Esc come here as characters too; they start nothing.
    if (editable && ch >= 0x20 && ch != 0x7F)
        StartEdit(ch);
}

int CNetlistGrid::OnCellTypeEvent(int /*typeIndex*/, int col, int row, int message, int /*value*/,
                                  const QString& text)
{
    if (col != colCurrentWidth)
        return 0;
    if (message != GRID_EVENT_DROPLIST_CHOICE)
        return 1;
    CNet* net = NetOfRow(row);
    const int32_t width =
        CLengthText::ParseLength(m_session.GetUnit(), CQtText::ToDesignText(text));
    // Pen 0 lifts the pen: it is never a track width to draw with.
    if (net == nullptr || width <= 0)
        return 0;
    int32_t pen = net->FindPen(width);
    if (pen < 0) {
        pen = net->AddPen(width);
        if (pen >= 0)
            m_session.SetModified();
    }
    net->SetCurrentPen(pen);
    // The cell shows the width the net draws with now, whether the choice was taken or not.
    SetText(col, row, Length(net->GetCurrentPenWidth()));
    RedrawCell(col, row);
    return 0;
}

int CNetlistGrid::OnEditFinish(int col, int row, QWidget* /*edit*/, const QString& /*text*/,
                               bool cancelled)
{
    if (!cancelled) {
        m_storeCol = col;
        m_storeRow = row;
    }
    return 1;
}

void CNetlistGrid::OnStoreCell(int col, int row, CGridCell& cell)
{
    if (col != m_storeCol || row != m_storeRow)
        return;
    m_storeCol = -1;
    m_storeRow = -1;
    cell.SetText(
        CQtText::FromDesignText(WriteBack(col, row, CQtText::ToDesignText(cell.GetText()))));
}

std::string CNetlistGrid::RenameNet(int row, CNet& net, const std::string& text)
{
    const std::string name = UpperAscii(text);
    const CNetArray& nets = m_design.GetNets();
    for (int32_t i = 0; i < nets.GetCount(); ++i) {
        const CNet* other = nets.GetNet(i);
        if (other != &net && other->GetName() == name) {
            CServices::Messages().MessageBox(CResString::Load(IDS_ERROR), "", MB_OK, MB_ICONERROR);
            return net.GetName();
        }
    }
    net.SetName(name);
    m_nets.FillNetCombo();
    m_session.SetModified();
    RedrawCell(colName, row);
    return name;
}

std::string CNetlistGrid::WriteBack(int col, int row, const std::string& text)
{
    CNet* net = NetOfRow(row);
    // A row whose net is gone, or a column that is not edited, keeps what it showed.
    if (net == nullptr)
        return GetText(col, row);
    const int32_t unit = m_session.GetUnit();
    std::vector<uint16_t> pens = net->GetPenTable();
    switch (col) {
    case colName:
        return RenameNet(row, *net, text);
    case colMinWidth:
        if (const std::optional<int32_t> value = TypedLength(unit, col, text, net->GetMinWidth())) {
            net->SetWidths(*value, net->GetMaxWidth(), net->GetClearance());
            if (pens.size() > 1 && pens[1] < *value) {
                pens[1] = uint16_t(*value);
                net->SetPenTable(pens);
            }
            m_session.SetModified();
        }
        return Length(net->GetMinWidth());
    case colMaxWidth:
        if (const std::optional<int32_t> value = TypedLength(unit, col, text, net->GetMaxWidth())) {
            net->SetWidths(std::min(net->GetMinWidth(), *value), *value, net->GetClearance());
            if (pens.size() > 1 && pens[1] > *value) {
                pens[1] = uint16_t(*value);
                net->SetPenTable(pens);
            }
            SetText(colMinWidth, row, Length(net->GetMinWidth()));
            m_session.SetModified();
        }
        return Length(net->GetMaxWidth());
    case colMinSpace:
        if (const std::optional<int32_t> value =
                TypedLength(unit, col, text, net->GetClearance())) {
            net->SetWidths(net->GetMinWidth(), net->GetMaxWidth(), *value);
            SetCopperModified();
        }
        return Length(net->GetClearance());
    case colRatsLines: {
        const int32_t index = CNumberText::ParseInt(GetText(colNr, row));
        if (index != 0) {
            net->SetFlags(CNet::flagNoRatsnest, !net->TestFlags(CNet::flagNoRatsnest));
            net->CalcRatsnest(m_nets);
            m_session.SetModified();
            ReportChanged();
        }
        return CResString::Load(ShowsRatsnest(index, *net) ? IDS_YES : IDS_NO);
    }
    default:
        return GetText(col, row);
    }
}

bool CNetlistGrid::ReplaceAll(int col, const std::string& find, const std::string& replacement)
{
    if (col < colCurrentWidth || col > colMinSpace)
        return false;
    const int32_t unit = m_session.GetUnit();
    // A value no cell shows is never found, and one beyond the limit is not looked for.
    const CFieldRange finds{0, col == colMinSpace ? maxFindSpace : maxFindWidth};
    const CFieldRange replacements{minReplacement, ReplacementRange(col).High()};
    const std::optional<int32_t> found =
        finds.TakeLength(unit, find, "Net " + ReplacementField(col) + " looked for");
    const std::optional<int32_t> taken =
        found ? replacements.TakeLength(unit, replacement, "Net " + ReplacementField(col))
              : std::nullopt;
    if (!taken)
        return false;
    const int32_t findValue = *found;
    const int32_t newValue = *taken;
    const std::string findText = Length(findValue);
    bool changed = false;
    for (int row = 0; row < GetNumberRows(); ++row) {
        CNet* net = NetOfRow(row);
        if (net == nullptr || GetText(col, row) != findText)
            continue;
        switch (col) {
        case colCurrentWidth:
            net->SelectPenByWidth(newValue);
            SetText(col, row, Length(net->GetCurrentPenWidth()));
            break;
        case colMinWidth:
            net->SetWidths(newValue, net->GetMaxWidth(), net->GetClearance());
            SetText(col, row, Length(newValue));
            break;
        case colMaxWidth:
            net->SetWidths(net->GetMinWidth(), newValue, net->GetClearance());
            SetText(col, row, Length(newValue));
            break;
        default:
            net->SetWidths(net->GetMinWidth(), net->GetMaxWidth(), newValue);
            SetText(col, row, Length(newValue));
            break;
        }
        changed = true;
    }
    if (changed)
        SetCopperModified();
    RedrawAll();
    return true;
}

void CNetlistGrid::OpenFindReplace(int col)
{
    CNetFindReplaceDlg dialog("", GetText(col, GetCurrentRow()),
                              CHelpTopics::dialogContextBase + ID_NETLIST_NETLIST_TABLE, this);
    if (dialog.Run() == CWevraDialog::idOk)
        ReplaceAll(col, dialog.GetFind(), dialog.GetReplacement());
}

int CNetlistGrid::OnPopupOpen(int col, int row, int section)
{
    ClearMenu();
    if (section == GS_CELLAREA && row >= 0 && col >= colCurrentWidth && col <= colMinSpace)
        AddMenuItem(IDS_FIND_AND_REPLACE,
                    CQtText::FromDesignText(CResString::LoadPart(IDS_FIND_AND_REPLACE)));
    return 1;
}

void CNetlistGrid::OnPopupCommand(int col, int /*row*/, int /*section*/, int id)
{
    if (id == int(IDS_FIND_AND_REPLACE) && col >= colCurrentWidth && col <= colMinSpace)
        OpenFindReplace(col);
}

int CNetlistGrid::OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags)
{
    if (const int missing = CompareMissing(cell1, cell2); missing != 2)
        return missing;
    const int col = GetSortCol();
    if (col == colName || col >= colRatsLines)
        return CompareTexts(*cell1, *cell2, flags);
    return CompareNumbers(*cell1, *cell2, flags);
}
