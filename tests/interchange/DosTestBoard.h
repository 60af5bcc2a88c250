#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "document/CDocumentOutput.h"
#include "interchange/CDosExport.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CNetArray.h"
#include "tests/interchange/NetlistTestBoard.h"
#include "tests/support/CScriptedLayermap.h"

// The netlist test board on a board of 1000 x 500 DOS units, with components placed by hand.
class CDosTest : public CNetlistTest {
protected:
    void SetUp() override
    {
        CNetlistTest::SetUp();
        doc->Design().SetBoardOutlineRect(0, 0, 1000 * 200, 500 * 200);
        doc->SetDesignPath((folder / "demo.PCB").string());
    }

    // Adds a component of the cache shape at the position; its index.
    int32_t Place(const std::string& reference, const std::string& type, const std::string& shape,
                  int32_t x, int32_t y, int32_t rotation, bool mirrored)
    {
        CComponentArray& components = doc->Design().GetComponents();
        const int32_t i =
            components.AddEmpty(doc->Design().GetEditableShapeCache().FindShape(shape));
        components.SetName(i, CComponent::textReference, reference);
        components.SetName(i, CComponent::textType, type);
        components.SetMirrored(i, mirrored);
        components.SetRotation(i, rotation);
        components.SetPosition(i, x, y);
        components.GetComponent(i)->ResizePadNets(components.GetShapePadCount(i));
        return i;
    }

    void SetPadNet(int32_t component, int32_t pad, int32_t net)
    {
        ASSERT_TRUE(doc->Design().GetComponents().GetComponent(component)->SetPadNet(
            pad, net, doc->Design().GetNets().GetCount()));
    }

    // Writes the set of the design into the temporary folder; the ".PLY" path.
    std::string ExportSet(std::vector<std::string>* problems = nullptr)
    {
        CDocumentOutput output(doc->Design(), doc->Planes(), doc->GetDesignFolder(),
                               doc->GetDesignName());
        CDosExport exporter(output, 0);
        std::string failed;
        EXPECT_TRUE(exporter.Export(folder, failed)) << failed;
        if (problems != nullptr)
            *problems = exporter.GetProblems();
        return (folder / "demo" / "PCB" / "DEMO.PLY").string();
    }

    CScriptedLayermap layermap;
};
