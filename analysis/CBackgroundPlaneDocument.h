#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/CPlaneBuildDocument.h"

// The design as a plane fill away from the user-interface thread sees it: the copper is read
// from the design itself, while every editor service and message the build asks for is kept
// and handed to the design later, on that thread, in the order it was asked for. Such a build
// shows no progress and cannot be cancelled.
class CBackgroundPlaneDocument : public CPlaneBuildDocument {
public:
    explicit CBackgroundPlaneDocument(CPlaneBuildDocument& document) : m_document(document) {}

    const CPadStackArray& GetPadStacks() const override { return m_document.GetPadStacks(); }
    int32_t GetNetCount() const override { return m_document.GetNetCount(); }
    const CNet& GetNet(int32_t i) const override { return m_document.GetNet(i); }
    int32_t GetPlaneCount() const override { return m_document.GetPlaneCount(); }
    const CPour& GetPlane(int32_t i) const override { return m_document.GetPlane(i); }
    int32_t GetTextCount() const override { return m_document.GetTextCount(); }
    const CWevraText& GetText(int32_t i) const override { return m_document.GetText(i); }
    const CWevraFont& GetFont() const override { return m_document.GetFont(); }

    void ClearReportLines() override;
    void SetStatusBarText(const std::string& text) override;
    void SetMode(uint32_t mode) override;
    void RedrawBoard() override;
    void ShowMessage(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
    bool IsInteractive() const override { return false; }

    // Hands what was kept to the design, in order, and forgets it. Only on the user-interface
    // thread.
    void Replay();

private:
    CPlaneBuildDocument& m_document;
    std::vector<std::function<void(CPlaneBuildDocument&)>> m_kept;
};
