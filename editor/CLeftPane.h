#pragma once

#include <cstdint>

#include <QPoint>

#include "document/CLeftPaneList.h"
#include "editor/CListPane.h"
#include "resources/CommandIds.h"

// The side pane below the overview: the design's components (reference, type, shape), or while
// a track tool runs the nets with connections still to make. Choosing a component in the
// Move/Rotate tool picks it up for placing; choosing a net makes it current. Its commands write
// the placing information report, print the component list and switch a component's own
// ratsnest.
class CCommandTarget;
class CWevraView;

class CLeftPane : public CListPane {
    Q_OBJECT

public:
    static constexpr int32_t listWidth = 330;
    // Below this client height the component list is not drawn.
    static constexpr int32_t minListHeight = 20;
    static constexpr uint32_t helpContext = 0x10000 + ID_VIEW_LEFT_PANE;

    explicit CLeftPane(CWevraDoc& document, QWidget* parent = nullptr);

    const CLeftPaneList& GetList() const { return m_list; }
    uint32_t GetHelpContext() const override { return helpContext; }
    void OnUpdate() override;

    // The pane's own commands: Placing Info and the component's ratsnest. False for any other
    // command, which goes on to the document (Save saves the design).
    bool OnCommand(uint32_t id);
    // Of those and of printing the component list.
    bool IsCommandEnabled(uint32_t id) const;
    bool IsCommandChecked(uint32_t id) const;
    // Hands those commands, the printing of the component list and their states to the
    // frame's router.
    void RegisterCommands(CCommandTarget& target);

protected:
    void PaintList(QPainter& painter) override;
    void OnRowClicked(int32_t row) override;
    void OnRowDoubleClicked(int32_t row) override;
    void OnKeyDown(uint32_t key) override;
    void OnKeyUp(uint32_t key) override;
    void OnVisibilityChanged(bool visible) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // A component row pressed and dragged out of the pane onto the board is placed there.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintComponents(QPainter& painter);
    void PaintNets(QPainter& painter);
    bool HasComponentList() const;
    // The board view under the global point; nullptr when the pointer is elsewhere.
    CWevraView* BoardViewAt(QPoint global, QPoint& pixel) const;

    CLeftPaneList m_list;
    // The component row the left button went down on (-1 for none), where, and whether the
    // row is being dragged.
    int32_t m_pressedRow = -1;
    QPoint m_pressedAt;
    bool m_draggingRow = false;
};
