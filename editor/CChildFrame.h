#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QPointer>
#include <QWidget>

#include "document/CDocumentViews.h"
#include "framework/CCommandTarget.h"

class CBottomView;
class CLeftPane;
class CMiniView;
class CWevraView;
class CWevraDoc;
class QSplitter;

// The window of one open design inside the main window. It splits into two columns: the
// overview above the side pane on the left, the board view above the bottom pane on the
// right. The side column and the bottom row can be hidden and come back at the size they had
// before (the last size above 50 pixels). It is the document's link to its windows and passes
// each request on to the pane it concerns.
class CChildFrame : public QWidget, public CDocumentViews, public CCommandTarget {
    Q_OBJECT

public:
    static constexpr int32_t initialBottomHeight = 80;
    static constexpr int32_t initialLeftWidth = 100;
    // A pane hidden at this size or less comes back at its last larger size.
    static constexpr int32_t rememberAbove = 50;
    // The initial width of the side column and height of the bottom row.
    static constexpr int32_t initialPaneSize = 100;

    explicit CChildFrame(CWevraDoc& document, QWidget* parent = nullptr);
    ~CChildFrame() override;
    CChildFrame(const CChildFrame&) = delete;
    CChildFrame& operator=(const CChildFrame&) = delete;

    CWevraDoc& GetDocument() const { return m_document; }

    // Hide or show the side column or the bottom row; true when the layout changed. Hiding the
    // bottom row always lays it out again.
    bool ShowLeftPane(bool show);
    bool ShowBottomPane(bool show);
    // The board view becomes the active view and takes the keyboard.
    void ActivateBoardView();
    // Where the view commands go: the active view, or the window with the keyboard focus when
    // the frame has none.
    QWidget* GetActiveView() const;
    // The commands of the active view, asked before the document's: the board view's or the
    // side pane's; nullptr for a pane without commands of its own.
    const CCommandTarget* GetActiveViewCommands() const;

    CMiniView* GetMiniView() const { return m_miniView; }
    CLeftPane* GetLeftPane() const { return m_leftPane; }
    CWevraView* GetBoardView() const { return m_boardView; }
    CBottomView* GetBottomView() const { return m_bottomView; }
    QSplitter* GetOuterSplitter() const { return m_outer; }
    QSplitter* GetLeftSplitter() const { return m_left; }
    QSplitter* GetRightSplitter() const { return m_right; }

    // The overview's row height, so that it keeps the board's proportions.
    void SetOverviewHeight(int32_t height);
    // How a Yes to the question whether to save a modified design saves it; true when saved.
    void SetSaveHandler(std::function<bool()> save) { m_save = std::move(save); }

    // ---- CDocumentViews -------------------------------------------------------------------------
    void EndMode() override;
    void SendViewCommand(uint32_t id) override;
    bool RedrawBoardView() override;
    void RepaintBoardView() override;
    void RedrawLeftPanes(int32_t row) override;
    void UpdateAllViews() override;
    CSize GetClientSize() const override;
    void OnTitleChanged(const std::string& title) override;
    bool SaveModifiedDesign() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The first layout, once the frame has its size: the panes as the settings say.
    void ApplyInitialSizes();
    void OnFocusChanged(QWidget* now);
    // The pane among the four that holds the window; nullptr for none.
    QWidget* PaneOf(QWidget* window) const;

    CWevraDoc& m_document;
    QSplitter* m_outer = nullptr;
    QSplitter* m_left = nullptr;
    QSplitter* m_right = nullptr;
    CMiniView* m_miniView = nullptr;
    CLeftPane* m_leftPane = nullptr;
    CWevraView* m_boardView = nullptr;
    CBottomView* m_bottomView = nullptr;
    QPointer<QWidget> m_activeView;
    CCommandTarget m_leftPaneCommands;
    int32_t m_bottomHeight = initialBottomHeight;
    int32_t m_leftWidth = initialLeftWidth;
    bool m_laidOut = false;
    bool m_shown = false;
    QMetaObject::Connection m_focusWatch;
    std::function<bool()> m_save;
};
