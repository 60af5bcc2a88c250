#pragma once

#include <filesystem>

#include "framework/CResourcePack.h"

// The program's language pack while it lives, for tests that read the messages a user is shown.
class CProgramStrings {
public:
    CProgramStrings()
    {
        CResourcePack::LoadFirstFound(std::filesystem::path(WEVRA_BUILD_DIR) / "bin");
    }
    ~CProgramStrings() { CResourcePack::SetCurrent(CResourcePack()); }
    CProgramStrings(const CProgramStrings&) = delete;
    CProgramStrings& operator=(const CProgramStrings&) = delete;
};
