#pragma once

#include <cstdint>
#include <string>

class CDesign;
class CDocumentWindows;
class CEditSession;
class CViewState;

// What the side pane lists and what choosing a row does to the design. While a track tool
// runs the pane lists the nets that still have connections to make (the nets' ToDo list),
// otherwise the components. Rows name their component or net by index: the text shown is
// never read back. Row indexes outside the list act on nothing.
class CLeftPaneList {
public:
    static constexpr int32_t modeComponents = 1;
    static constexpr int32_t modeNets = 2;

    struct ComponentRow {
        std::string reference;
        std::string type;
        std::string shape;
        // The component's box does not meet the board rectangle.
        bool outsideBoard = false;
        bool ratsnestShown = false;
    };

    // The columns of a ToDo line.
    struct NetRow {
        std::string toDo;
        std::string name;
        std::string pins;
    };

    CLeftPaneList(CDesign& design, CEditSession& session, CViewState& view,
                  CDocumentWindows& windows)
        : m_design(design), m_session(session), m_view(view), m_windows(windows)
    {
    }

    // Nets while a track tool is the tool mode, components otherwise; returns the mode.
    int32_t ChooseMode();
    int32_t GetMode() const { return m_mode; }
    // The components, or the ToDo lines.
    int32_t GetRowCount() const;
    // The rows the pane scrolls over: the header and the rows, and in nets mode the total.
    int32_t GetScrollRows() const;
    // Whether the mode's list has anything to draw.
    bool HasRows() const;

    ComponentRow GetComponentRow(int32_t row) const;
    NetRow GetNetRow(int32_t row) const;
    // "Total: " and the ToDo count of all nets.
    std::string GetTotalText() const;

    // A click or a key on the row: nets mode makes its net current and shows it; components
    // mode, in the Move/Rotate tool with the pane shown, selects the component alone and makes
    // it current, ready to be placed by the next click when it lies off the board.
    void PickRow(int32_t row);
    // A double click in the Move/Rotate tool: the cursor goes to the component, zoomed in to
    // at most scale 400, and the board is centred there.
    void CentreOnComponent(int32_t row);
    // Enter: the Move/Rotate tool with the row's component alone selected and current, moved
    // to the cursor by the board view's next move.
    void StartMoveFromPane(int32_t row);

    bool IsRatsnestShown(int32_t row) const;
    // Switches the component's own ratsnest; false when there is no such component.
    bool ToggleRatsnest(int32_t row);

    bool IsComponentRow(int32_t row) const;

private:
    bool MeetsBoard(int32_t component) const;
    void SelectAlone(int32_t component);

    CDesign& m_design;
    CEditSession& m_session;
    CViewState& m_view;
    CDocumentWindows& m_windows;
    int32_t m_mode = modeComponents;
};
