#include "editor/CWevraApp.h"

#include "resources/StringIds.h"

std::string CWevraApp::LoadResStringBool(bool flag)
{
    return CResString::Load(flag ? IDS_YES : IDS_NO);
}
