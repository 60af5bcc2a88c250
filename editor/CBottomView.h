#pragma once

#include <cstdint>

#include "editor/CListPane.h"
#include "resources/CommandIds.h"

// The bottom pane below the board view: the error records of the design-rule check and the
// online clearance check, one row each. Choosing a row puts the board view on that error.
class CBottomView : public CListPane {
    Q_OBJECT

public:
    static constexpr int32_t modeNoErrors = 1;
    static constexpr int32_t modeErrors = 2;
    static constexpr int32_t listWidth = 1000;
    static constexpr uint32_t helpContext = 0x10000 + ID_VIEW_BOTTOM_PANE;
    // The menu resource whose first popup is the pane's context menu.
    static constexpr uint32_t contextMenu = 200;

    explicit CBottomView(CWevraDoc& document, QWidget* parent = nullptr);

    int32_t GetMode() const { return m_mode; }
    uint32_t GetHelpContext() const override { return helpContext; }
    void OnUpdate() override;

protected:
    void PaintList(QPainter& painter) override;
    void OnRowClicked(int32_t row) override;
    // As a click: the view and the pointer go to the error.
    void OnRowDoubleClicked(int32_t row) override;
    void OnKeyUp(uint32_t key) override;
    void OnVisibilityChanged(bool visible) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The board view on the error, when the pane is shown and lists errors.
    bool GoToError(int32_t row);

    int32_t m_mode = modeErrors;
};
