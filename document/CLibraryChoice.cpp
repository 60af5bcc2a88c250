#include "document/CLibraryChoice.h"

#include "document/CDesign.h"
#include "document/CDocumentFrame.h"
#include "framework/CListPickerService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "resources/StringIds.h"

std::vector<std::string> CLibraryChoice::Entries()
{
    std::vector<std::string> entries = {CShapeLib::cacheName};
    if (const CShapeLibArray* libraries = CDocumentFrame::Get().GetLibrarySet())
        for (int32_t i = 0; i < libraries->GetCount(); ++i)
            entries.push_back(libraries->GetLibName(i));
    return entries;
}

const CShapeLib* CLibraryChoice::Pick(const CDesign& design, uint32_t helpCommandId)
{
    const int32_t picked = CServices::ListPicker().PickFromList(
        CResString::Load(IDS_SELECT_LIBRARY_GROUP), Entries(), 0, int32_t(helpCommandId));
    if (picked == 0)
        return &design.GetShapeCache();
    const CShapeLibArray* libraries = CDocumentFrame::Get().GetLibrarySet();
    // The set is asked again by index: the picker's answer is only trusted within it.
    return picked > 0 && libraries ? libraries->GetLib(picked - 1) : nullptr;
}
