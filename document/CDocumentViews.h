#pragma once

#include <cstdint>
#include <string>

#include "framework/CSize.h"

// What a design document asks of its own windows: the board view, the side panes and the
// framework layer that shows its title. The editor implements it on its Qt windows and hands
// it to the document; without one (tests, headless use) every call does nothing, the client
// area is empty and nothing is asked.
class CDocumentViews {
public:
    virtual ~CDocumentViews() = default;

    // Sends End Mode to the board view, which ends the running tool step.
    virtual void EndMode() {}
    // Runs a command of the board view as its menu item would.
    virtual void SendViewCommand(uint32_t /*id*/) {}
    // Sends Redraw to the board view; false when the document has none.
    virtual bool RedrawBoardView() { return false; }
    // Repaints the board view over its picture of the board, which stays as it is.
    virtual void RepaintBoardView() {}
    // Sends Redraw to every side pane, with the ToDo row to show as chosen (-1 for none).
    virtual void RedrawLeftPanes(int32_t /*row*/) {}
    virtual void UpdateAllViews() {}
    // The board view's client area in pixels.
    virtual CSize GetClientSize() const { return {}; }
    // The document's title changed; the frames show it inside their own brackets.
    virtual void OnTitleChanged(const std::string& /*title*/) {}
    // The framework's question whether to save a modified design (Yes saves, No discards,
    // Cancel keeps it open). False when the document must stay open.
    virtual bool SaveModifiedDesign() { return true; }
};
