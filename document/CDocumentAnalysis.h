#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/CAutoRouterDocument.h"
#include "analysis/CDrcDocument.h"
#include "analysis/CTracerDocument.h"

class CCheckPadTable;
class CClusterHints;
class CDesign;
class CDocumentLink;
class CDocumentWindows;
class CEditSession;
class CNet;

// The connectivity tracer, the design-rule check and the autorouter on the design, and the design
// as they see it. The three ask partly the same questions (the nets, the padstacks, the layers in
// use); one answer here serves all of them. The nets reach the checks through the document, which
// hands their requests on to this part.
class CDocumentAnalysis : public CTracerDocument, public CDrcDocument, public CAutoRouterDocument {
public:
    CDocumentAnalysis(CDesign& design, CDocumentLink& link, CEditSession& session,
                      CDocumentWindows& windows);
    ~CDocumentAnalysis() override;
    CDocumentAnalysis(const CDocumentAnalysis&) = delete;
    CDocumentAnalysis& operator=(const CDocumentAnalysis&) = delete;

    // The pin clusters of one net that its copper does not join.
    int32_t CheckNetClusters(CNet& net);
    // The checks of many nets between the two share one table of the padstacks' pads.
    void BeginClusterChecks();
    void EndClusterChecks();
    // The connectivity tracer on this design (Netlist menu; the net list's reset uses the
    // first). When the board's pen table cannot take the track widths of the nets the user is
    // told and nothing changes; the last two then return false.
    bool AllNetsToNet0();
    bool RebuildFromTracks();
    bool UpdateFromNetPins();
    // The design-rule check of all nets, which ends with a line in the report lines.
    void TestAllNets();
    // The pattern autorouter on this design; the net list forwards its routing commands here.
    bool RouteConnection(CNet& net, int32_t layer, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    bool RouteAllDefaultLayer();
    bool RouteAllTopBottom();

    CNetArray& GetNets() override;
    const CPadStackArray& GetPadStacks() const override;
    bool IsLayerEnabled(int32_t layer) const override;
    int32_t GetBoardWidth() const override;
    int32_t GetBoardHeight() const override;
    std::string GetComponentReference(int32_t component) const override;
    void DeselectAll() override;
    void ResetPadNets() override;
    void SetPadNet(int32_t component, int32_t pad, int32_t net) override;
    void RebuildNetPins() override;
    void SetClusterHints(const CClusterHints* hints) override { m_clusterHints = hints; }
    std::vector<std::string>& GetReportLines() override { return m_reportLines; }
    void ShowErrorPane() override;
    const CNetDocument& GetNetDocument() const override;
    int32_t GetTextCount() const override;
    const CWevraText& GetText(int32_t i) const override;
    const CWevraFont& GetFont() const override;
    int32_t GetWorkLayer() const override;
    void ApplyWorkLayerToTool(int32_t layer) override;
    void RedrawBoard() override;

private:
    CDesign& m_design;
    CDocumentLink& m_link;
    CEditSession& m_session;
    CDocumentWindows& m_windows;
    // The lines that sum up the last design-rule check.
    std::vector<std::string> m_reportLines;
    // Set while the tracer has the nets worked out afresh.
    const CClusterHints* m_clusterHints = nullptr;
    // Set between BeginClusterChecks and EndClusterChecks (the outermost pair, when nested).
    std::unique_ptr<CCheckPadTable> m_padTable;
    int32_t m_clusterBatches = 0;
};
