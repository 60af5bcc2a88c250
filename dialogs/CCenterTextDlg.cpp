#include "dialogs/CCenterTextDlg.h"

#include "document/CHelpTopics.h"
#include "resources/CommandIds.h"

CCenterTextDlg::CCenterTextDlg(bool reference, bool type, bool shape, QWidget* parent)
    : CSwitchesDlg("Center All Text",
                   CHelpTopics::dialogContextBase + ID_COMPONENTS_MOVE_ALL_TEXT_TO_CENTER,
                   {{"Reference", idReference, reference},
                    {"Type", idType, type},
                    {"Shape", idShape, shape}},
                   parent)
{
}
