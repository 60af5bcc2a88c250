#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CWevraDoc.h"
#include "framework/CResourcePack.h"
#include "interchange/CNetlistImport.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CTempFolder.h"

// A design whose shape cache holds 0805 (two pads), DIP4 (four pads in a square) and SOT3
// (three pads), and a folder of its own for the netlist files.
class CNetlistTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        // The import's messages come from the string table.
        CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
        folder = m_temp.Path();
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        m_stack = cache.GetPadStacks().Add(CPadStack("TH", PAD_ROUND, -600, -600, 600, 600, 3023,
                                                     LAYER_COMMON, PADSTACK_KIND_SHAPE_PAD));
        AddShape("0805", {{-1000, 0}, {1000, 0}});
        AddShape("DIP4", {{0, 0}, {10000, 0}, {10000, 10000}, {0, 10000}});
        AddShape("SOT3", {{0, 0}, {5000, 0}, {2500, 5000}});
    }
    void TearDown() override
    {
        CResourcePack::SetCurrent(CResourcePack());
        CDocumentTest::TearDown();
    }
    void AddShape(const std::string& name, const std::vector<CPoint>& pads)
    {
        CShapeLib& cache = doc->Design().GetEditableShapeCache();
        const int32_t i = cache.AddShape(name);
        for (CPoint p : pads)
            cache.GetShape(i)->AddPad(p.x, p.y, m_stack, 0);
        cache.RecalcShapeExtent(i);
    }

    std::filesystem::path Write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string ReadFile(const std::filesystem::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // References in board order.
    std::vector<std::string> References() const
    {
        std::vector<std::string> result;
        const CComponentArray& components = doc->Design().GetComponents();
        for (int32_t i = 0; i < components.GetCount(); ++i)
            result.push_back(components.GetReference(i));
        return result;
    }

    // The net names of a component's pads ("" for no net).
    std::vector<std::string> PadNets(const std::string& reference) const
    {
        std::vector<std::string> result;
        const CComponentArray& components = doc->Design().GetComponents();
        const int32_t i = components.FindByReference(reference);
        if (i < 0)
            return {"<missing>"};
        for (uint16_t net : components.GetComponent(i)->GetPadNets())
            result.push_back(net == 0 ? std::string() : doc->Design().GetNets().GetNetName(net));
        return result;
    }

    // The report's lines, CR LF removed; fails the test on a bare LF.
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        size_t end;
        while ((end = text.find("\r\n", start)) != std::string::npos) {
            lines.push_back(text.substr(start, end - start));
            EXPECT_EQ(lines.back().find('\n'), std::string::npos) << lines.back();
            start = end + 2;
        }
        EXPECT_EQ(start, text.size()) << "text after the last CR LF";
        return lines;
    }

    static bool Contains(const std::vector<std::string>& lines, const std::string& line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // A run of a new board that stopped at its one question before any change: no part placed,
    // no undo step, not modified, and Enter answered No. The question's text.
    std::string ExpectStoppedAtTheQuestion(const CNetlistImport& run) const
    {
        EXPECT_FALSE(run.ChangedDesign());
        EXPECT_TRUE(References().empty());
        EXPECT_EQ(doc->History().GetUndoCount(), 0);
        EXPECT_FALSE(doc->IsModified());
        const auto& shown = services.messages.Shown();
        EXPECT_EQ(shown.size(), 1u);
        if (shown.empty())
            return {};
        EXPECT_EQ(shown[0].buttons, MB_YESNO_DEFAULTNO);
        return shown[0].text;
    }

    std::filesystem::path folder;

private:
    CTempFolder m_temp{"wevra-netlist"};
    int32_t m_stack = 0;
};
