#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/CDocumentFrame.h"
#include "document/CDocumentViews.h"
#include "document/CWevraDoc.h"
#include "framework/CSize.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CProgramStrings.h"

// The main window of the document tests: the stroke font from the build's program folder, and
// the combo boxes it is asked to fill.
class CFontFrame : public CDocumentFrame {
public:
    std::filesystem::path GetProgramFolder() const override
    {
        return std::filesystem::path(WEVRA_BUILD_DIR) / "bin";
    }
    bool HasCombo(int32_t) const override { return true; }
    void FillCombo(int32_t id, const std::vector<std::string>& items, int32_t) override
    {
        if (id == netCombo)
            netItems = items;
    }

    std::vector<std::string> netItems;
};

// The document's windows: a client area of a given size, and what they were asked to do.
class CRecordingViews : public CDocumentViews {
public:
    void EndMode() override
    {
        ++endModes;
        if (onEndMode)
            onEndMode();
    }
    void SendViewCommand(uint32_t id) override { viewCommands.push_back(id); }
    void UpdateAllViews() override { ++updates; }
    CSize GetClientSize() const override { return client; }

    CSize client;
    std::vector<uint32_t> viewCommands;
    std::function<void()> onEndMode;
    int32_t endModes = 0;
    int32_t updates = 0;
};

// A fresh document seeing the recording views and the font frame, with fake services.
class CDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousFrame = CDocumentFrame::Set(&frame);
        doc = std::make_unique<CWevraDoc>();
        doc->SetViews(&views);
    }
    void TearDown() override
    {
        doc.reset();
        CDocumentFrame::Set(m_previousFrame);
    }

    CFakeServices services;
    CFontFrame frame;
    CRecordingViews views;
    std::unique_ptr<CWevraDoc> doc;

private:
    CDocumentFrame* m_previousFrame = nullptr;
};
