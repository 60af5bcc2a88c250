#include "document/CPrintoutCommands.h"

#include <cstdint>

#include "framework/CCommandTarget.h"
#include "framework/CPrintCommands.h"
#include "framework/CPrintout.h"
#include "resources/CommandIds.h"

void CPrintoutCommands::Register(CCommandTarget& target, Factory make,
                                 std::function<bool()> enabled)
{
    target.OnCommand(ID_FILE_PRINT, [make] {
        if (std::unique_ptr<CPrintout> printout = make())
            CPrintCommands::Print(*printout, true);
    });
    target.OnCommand(ID_FILE_PRINT_DIRECT, [make] {
        if (std::unique_ptr<CPrintout> printout = make())
            CPrintCommands::Print(*printout, false);
    });
    target.OnCommand(ID_FILE_PRINT_PREVIEW, [make] {
        if (std::unique_ptr<CPrintout> printout = make())
            CPrintCommands::Preview(*printout);
    });
    for (const uint32_t id : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        target.OnUpdate(id, [enabled](CCmdUI& ui) { ui.Enable(enabled()); });
}
