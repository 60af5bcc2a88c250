// Writes the template design that ships beside the program, the one File > New starts a board
// from: a fresh design's layers, colours and display layer sets, a board outline of the
// new-design size (160 x 100 mm), the standard vias, 1.0 mm with a 0.8 mm hole chosen, the
// ratsnest and the clearance check while drawing on, and output jobs a board house takes
// (tools/FabOutputJobs.h). Like the sample design it is written as a design that went through one
// save and load.
//
// Usage: MakeTemplateDesign <output.PCB>

#include <cstdint>
#include <iostream>

#include "document/CDesign.h"
#include "document/CDocumentFrame.h"
#include "document/CWevraDoc.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "tools/DesignFileTool.h"
#include "tools/FabOutputJobs.h"

namespace {

constexpr int32_t boardWidth = 1612598;  // 160 mm
constexpr int32_t boardHeight = 1007874; // 100 mm

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Usage: MakeTemplateDesign <output.PCB>\n";
        return 2;
    }
    CFailingMessages messages("MakeTemplateDesign");
    CServices::SetMessages(&messages);
    CResourcePack::LoadFirstFound(CDocumentFrame::Get().GetProgramFolder());

    CWevraDoc built;
    built.Design().SetBoardSize(boardWidth, boardHeight);
    built.Design().SetBoardOutlineRect(0, 0, boardWidth, boardHeight);
    // A board from a netlist shows the connections still to make and the clearance errors of
    // the tracks as they are drawn.
    built.Design().SetAutoRatsnest(true);
    built.Design().SetDrcActive(1);
    CPadStackArray& stacks = built.Design().GetEditableShapeCache().GetPadStacks();
    stacks.Fill(false, PADSTACK_KIND_VIA);
    stacks.SetDefault(PADSTACK_KIND_VIA, stacks.FindByName("VIA 1.00 H0.80"));
    ShapeOutputJobs(built.Design().GetOutputJobs());
    if (!WriteAsReopened(built, argv[1], "MakeTemplateDesign"))
        return 1;
    CServices::SetMessages(nullptr);
    return messages.shown ? 1 : 0;
}
