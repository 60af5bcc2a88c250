#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDesign;
class CEditSession;
class CViewState;
class CWevraDoc;
struct CEditState;

// What the document shows outside its board picture: the main window's toolbar combo boxes (the
// layers, nets, pens, planes and padstacks), the side and bottom panes, the status line, the
// redraws of its own windows and the message lines the netlist import leaves for the bottom pane.
// The main window is reached through CDocumentFrame, the document's own windows through the view
// state's CDocumentViews, so this part too runs without a window system.
class CDocumentWindows {
public:
    CDocumentWindows(CWevraDoc& document, CDesign& design, CEditSession& session, CViewState& view);
    CDocumentWindows(const CDocumentWindows&) = delete;
    CDocumentWindows& operator=(const CDocumentWindows&) = delete;

    // ---- Toolbar combos -------------------------------------------------------------------------

    // The enabled layers 1..30 by name, "*" after the visible ones, the work layer chosen;
    // then the selectable-layer mask.
    void FillLayerCombo();
    void FillNetCombo();
    void SelectNetInCombo(int32_t net);
    // On a copper work layer the board pen widths within the current net's limits, else the
    // drawn lines' pen widths, as length texts; the current pen chosen.
    void FillPenCombo();
    // Every plane's name, the current plane chosen.
    void RefreshPlaneList();
    // The context toolbar for the mode, then every combo box refilled.
    void RefreshToolbar();

    // ---- Windows and panes ----------------------------------------------------------------------

    void RedrawBoardViews();
    void RepaintBoardViews();
    void SendViewCommand(uint32_t id);
    void RedrawLeftPane(int32_t row);
    // Every window of the design shows it afresh (the panes their lists too).
    void UpdateAllViews();
    void ShowLeftPane(bool shown);
    void ShowBottomPane(bool shown);
    void SetStatusText(const std::string& text);

    // ---- Messages -------------------------------------------------------------------------------

    // The lines the netlist import left for the bottom pane, oldest first.
    const std::vector<std::string>& GetMessages() const { return m_messages; }
    void AddMessage(const std::string& text) { m_messages.push_back(text); }
    // What the bottom pane says while the error list is empty: the words of the last check
    // that found nothing, else empty (no check ran, or it found errors).
    const std::string& GetCheckVerdict() const { return m_checkVerdict; }
    void SetCheckVerdict(const std::string& text) { m_checkVerdict = text; }

private:
    CWevraDoc& m_document;
    CDesign& m_design;
    CEditSession& m_session;
    CViewState& m_view;
    // The session's state: the current plane and the kind of the default padstack.
    const CEditState& m_edit;
    std::vector<std::string> m_messages;
    std::string m_checkVerdict;
};
