#include "document/CDocumentWindows.h"

#include <algorithm>

#include "document/CDesign.h"
#include "document/CDocumentFrame.h"
#include "document/CDocumentViews.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "model/CDrawRecArray.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CNetArray.h"
#include "model/COutputRec.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/LayerMaps.h"

CDocumentWindows::CDocumentWindows(CWevraDoc& document, CDesign& design, CEditSession& session,
                                   CViewState& view)
    : m_document(document), m_design(design), m_session(session), m_view(view),
      m_edit(session.State())
{
}

// ---- Toolbar combos -----------------------------------------------------------------------------

void CDocumentWindows::FillLayerCombo()
{
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        m_design.GetLayers().SetVisible(layer, false);
    if (const COutputRec* set = m_design.GetCurrentLayerSet()) {
        for (int32_t i = 0; i < set->GetLayerCount(); ++i)
            m_design.GetLayers().SetVisible(set->GetLayer(i), true);
    }
    std::vector<std::string> items;
    int32_t selected = -1;
    const int32_t workLayer = m_session.GetWorkLayer();
    for (int32_t layer = 1; layer < LAYER_COUNT; ++layer) {
        if (!m_design.GetLayers().IsEnabled(layer))
            continue;
        if (layer == workLayer)
            selected = int32_t(items.size());
        items.push_back(m_design.GetLayers().GetLayerName(layer) +
                        (m_design.GetLayers().IsVisible(layer) ? "*" : ""));
    }
    CDocumentFrame::Get().FillCombo(CDocumentFrame::layerCombo, items, selected);
    m_session.UpdateLayerMask();
}

void CDocumentWindows::FillNetCombo()
{
    if (!CDocumentFrame::Get().HasCombo(CDocumentFrame::netCombo))
        return;
    std::vector<std::string> items;
    items.reserve(size_t(m_design.GetNets().GetCount()));
    for (int32_t i = 0; i < m_design.GetNets().GetCount(); ++i)
        items.push_back(m_design.GetNets().GetNetName(i));
    CDocumentFrame::Get().FillCombo(CDocumentFrame::netCombo, items,
                                    m_design.GetNets().GetCurrentIndex());
}

void CDocumentWindows::SelectNetInCombo(int32_t net)
{
    CDocumentFrame::Get().SelectInCombo(CDocumentFrame::netCombo, net);
}

void CDocumentWindows::FillPenCombo()
{
    std::vector<std::string> items;
    int32_t selected = -1;
    if (!IsCopperLayer(m_session.GetWorkLayer())) {
        for (int32_t pen = 1; pen < m_design.GetLines().GetPenCount(); ++pen)
            items.push_back(CLengthText::FormatLength(m_session.GetUnit(),
                                                      m_design.GetLines().GetPenWidth(pen)));
        selected = m_design.GetLines().GetCurrentPen() - 1;
    } else {
        const CNet& board = *m_design.GetNets().GetNet(0);
        const CNet& current = *m_design.GetNets().GetCurrentNet();
        int32_t minWidth = current.GetMinWidth();
        int32_t maxWidth = current.GetMaxWidth();
        // Net 0 stands for no net: every width of the board's table is open to it.
        if (&current == &board) {
            for (int32_t pen = 1; pen < board.GetPenCount(); ++pen) {
                minWidth = std::min(minWidth, board.GetPenWidth(pen));
                maxWidth = std::max(maxWidth, board.GetPenWidth(pen));
            }
        }
        const int32_t currentWidth = current.GetCurrentPenWidth();
        for (int32_t pen = 1; pen < board.GetPenCount(); ++pen) {
            const int32_t width = board.GetPenWidth(pen);
            if (width < minWidth || width > maxWidth)
                continue;
            if (width == currentWidth && selected < 0)
                selected = int32_t(items.size());
            items.push_back(CLengthText::FormatLength(m_session.GetUnit(), width));
        }
    }
    CDocumentFrame::Get().FillCombo(CDocumentFrame::penCombo, items, selected);
}

void CDocumentWindows::RefreshPlaneList()
{
    std::vector<std::string> items;
    items.reserve(m_design.GetPlanes().size());
    for (const auto& plane : m_design.GetPlanes())
        items.push_back(plane->GetName());
    const bool current =
        m_edit.planeIndex >= 0 && size_t(m_edit.planeIndex) < m_design.GetPlanes().size();
    CDocumentFrame::Get().FillCombo(CDocumentFrame::planeCombo, items,
                                    current ? m_edit.planeIndex : -1);
}

void CDocumentWindows::RefreshToolbar()
{
    CDocumentFrame& frame = CDocumentFrame::Get();
    frame.UpdateContextToolbar(&m_document);
    FillLayerCombo();
    FillPenCombo();
    FillNetCombo();
    RefreshPlaneList();

    const CPadStackArray& stacks = m_design.GetEditableShapeCache().GetPadStacks();
    const auto hasKind = [&stacks, this](int32_t k) {
        switch (m_edit.defaultPadStackKind) {
        case CEditState::kindShapePad:
            return stacks.IsShapePadKind(k);
        case CEditState::kindVia:
            return stacks.IsVia(k);
        default:
            return stacks.IsPadKind(k);
        }
    };
    std::vector<std::string> items;
    int32_t selected = -1;
    const int32_t defaultStack = stacks.GetDefault(m_edit.defaultPadStackKind);
    for (int32_t k = 0; k < stacks.GetCount(); ++k) {
        if (!hasKind(k))
            continue;
        if (k == defaultStack)
            selected = int32_t(items.size());
        items.push_back(stacks.GetName(k));
    }
    frame.FillCombo(CDocumentFrame::padStackCombo, items, selected);
    frame.ApplyToolbarVisibility();
}

// ---- Windows and panes --------------------------------------------------------------------------

void CDocumentWindows::UpdateAllViews()
{
    m_view.Windows().UpdateAllViews();
}

void CDocumentWindows::RedrawBoardViews()
{
    m_view.Windows().RedrawBoardView();
}

void CDocumentWindows::RepaintBoardViews()
{
    m_view.Windows().RepaintBoardView();
}

void CDocumentWindows::SendViewCommand(uint32_t id)
{
    m_view.Windows().SendViewCommand(id);
}

void CDocumentWindows::RedrawLeftPane(int32_t row)
{
    m_view.Windows().RedrawLeftPanes(row);
}

void CDocumentWindows::ShowLeftPane(bool shown)
{
    m_view.SetLeftPaneShown(shown);
    CDocumentFrame::Get().ShowLeftPane(shown);
}

void CDocumentWindows::ShowBottomPane(bool shown)
{
    m_view.SetBottomPaneShown(shown);
    CDocumentFrame::Get().ShowBottomPane(shown);
}

void CDocumentWindows::SetStatusText(const std::string& text)
{
    CDocumentFrame::Get().SetStatusText(text);
}
