#include "dialogs/CDisplayCompTextDlg.h"

#include "document/CHelpTopics.h"
#include "resources/CommandIds.h"

CDisplayCompTextDlg::CDisplayCompTextDlg(bool reference, bool shape, bool type, QWidget* parent)
    : CSwitchesDlg("Display componentstext",
                   CHelpTopics::dialogContextBase + ID_VIEW_COMPONENTS_TEXT,
                   {{"Referencenames", idReference, reference},
                    {"Shapenames", idShape, shape},
                    {"Typenames", idType, type}},
                   parent)
{
}
