#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/CDocumentComponentLink.h"
#include "document/CDocumentNetLink.h"
#include "interchange/CNetlistDocument.h"

class CDesign;
class CDocumentAnalysis;
class CDocumentHistory;
class CDocumentPaint;
class CDocumentWindows;
class CEditSession;
class CViewState;

// The document as its nets and components and the netlist import see it: the design's own data,
// the editing session, the painting, the checks and the windows they keep informed, each question
// handed on to the part of the document that answers it. The design's collections are made with
// this part as their document and keep it across loads.
class CDocumentLink : public CDocumentNetLink,
                      public CDocumentComponentLink,
                      public CNetlistDocument {
public:
    // What the link asks of the document it belongs to.
    struct DocumentHooks {
        // The folder of the design file.
        std::function<std::string()> designFolder;
        // The document's modified flag, read and set as it is.
        std::function<bool()> isModified;
        std::function<void(bool)> setModifiedFlag;
        // Marks a change of the copper: the planes' fills become stale, the document modified.
        std::function<void()> copperModified;
    };

    // The link is made first: the other parts are used only once they are there.
    CDocumentLink(CDesign& design, CEditSession& session, CDocumentPaint& paint, CViewState& view,
                  CDocumentWindows& windows, CDocumentHistory& history, CDocumentAnalysis& analysis,
                  DocumentHooks hooks)
        : m_design(design), m_session(session), m_paint(paint), m_view(view), m_windows(windows),
          m_history(history), m_analysis(analysis), m_hooks(std::move(hooks))
    {
    }
    CDocumentLink(const CDocumentLink&) = delete;
    CDocumentLink& operator=(const CDocumentLink&) = delete;

    // ---- The design's own data ------------------------------------------------------------------

    CNetArray& GetNets() override;
    const CNetArray& GetNets() const override;
    CComponentArray& GetComponents() override;
    const std::vector<std::unique_ptr<CPour>>& GetPlanes() const override;
    const CShapeLib& GetShapeCache() const override;
    CShapeLib& GetEditableShapeCache() override;
    CGridArr& GetGridSettings() override;
    const CWevraFont& GetFont() const override;
    const CPadStackArray& GetPadStacks() const override;
    int32_t GetBoardWidth() const override;
    int32_t GetBoardHeight() const override;
    bool IsLayerEnabled(int32_t layer) const override;
    int32_t GetNetCount() const override;
    std::string GetComponentReference(int32_t component) const override;
    int32_t GetComponentCount() const override;
    std::vector<int32_t> GetComponentPadNets(int32_t component) const override;
    void SetPadNet(int32_t component, int32_t pad, int32_t net) override;
    void ResetPadNets() override;
    void RenumberNets(const std::vector<int32_t>& newIndex) override;
    void RecalcComponentBoxes() override;
    void RebuildNetPins() override;
    void SetNetlistPath(const std::string& path) override;
    void SetNetlistTime(int64_t seconds) override;
    bool IsMode45() const override;
    bool IsAutoRatsnest() const override;
    int32_t GetUnit() const override;
    CPoint GetOrigin() const override;
    int32_t GetPadInfoMode() const override;
    void SetModified() override;

    // ---- The editing session --------------------------------------------------------------------

    uint32_t GetMode() const override;
    void SetMode(uint32_t mode) override;
    uint32_t GetAction() const override;
    void SetAction(uint32_t action) override;
    int32_t GetWorkLayer() const override;
    CPoint GetCursor() const override;
    void SetCursor(CPoint point) override;
    int32_t GetComponentTextMode() const override;
    int32_t GetCurrentNet() const override;
    void SetCurrentComponent(int32_t component) override;
    int32_t SelectAll(bool select) override;
    void DeselectAll() override;
    // The imports' snapshot before they change the design.
    void SaveUndoState() override;
    void TakeBackUndoState() override;

    // ---- The painting ---------------------------------------------------------------------------

    int32_t GetScale() const override;
    CPoint GetViewOffset() const override;
    COLORREF LayerColor(int32_t layer, int32_t colorSet) const override;
    CPen GetLayerPen(int32_t layer, int32_t colorSet) const override;
    CBrush GetLayerBrush(int32_t layer, int32_t colorSet) const override;
    CPen GetComponentTextPen(bool bottomSide, bool highlight) const override;
    CPen GetUnconnectedPadPen() const override;
    CBrush GetUnconnectedPadBrush() const override;
    CPen GetHolePen() const override;
    CBrush GetHoleBrush() const override;
    bool ShowsClearanceHalo() const override;

    // ---- The checks and the autorouter ----------------------------------------------------------

    int32_t CheckNetClusters(CNet& net) override;
    void BeginClusterChecks() override;
    void EndClusterChecks() override;
    bool AllNetsToNet0() override;
    void TestAllNets() override;
    bool RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                         int32_t y2) override;
    bool RouteAllDefaultLayer() override;
    bool RouteAllTopBottom() override;

    // ---- The windows ----------------------------------------------------------------------------

    void FillNetCombo() override;
    void SelectNetInCombo(int32_t net) override;
    void RedrawBoardViews() override;
    void RedrawLeftPane(int32_t row) override;
    void ShowLeftPane(bool shown) override;
    void ShowBottomPane(bool shown) override;
    std::string GetDesignFolder() const override;
    void SetStatusText(const std::string& text) override;
    void AddMessage(const std::string& text) override;
    const CShapeLibArray* GetShapeLibraries() const override;

private:
    CDesign& m_design;
    CEditSession& m_session;
    CDocumentPaint& m_paint;
    CViewState& m_view;
    CDocumentWindows& m_windows;
    CDocumentHistory& m_history;
    CDocumentAnalysis& m_analysis;
    DocumentHooks m_hooks;
    // Where the history stood and whether the design was modified when an import took its
    // snapshot.
    uint64_t m_importMark = 0;
    bool m_modifiedBeforeImport = false;
};
