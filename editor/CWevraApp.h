#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/CResString.h"
#include "model/CLengthText.h"
#include "model/COutputDevice.h"

// The application's services as the editor's windows call them: lengths as text in the user's
// display unit and back, string-table texts of the current language pack, and the names of the
// output devices. The services live with their users below the editor; this front only keeps
// the windows' calls short.
class CWevraApp {
public:
    static constexpr int32_t unitInch = CLengthText::unitInch;
    static constexpr int32_t unitMillimetre = CLengthText::unitMillimetre;
    static constexpr int32_t unitMil = CLengthText::unitMil;
    static constexpr int32_t outputFormatCount = COutputDevice::count;

    static std::string FormatLength(int32_t unit, int32_t length)
    {
        return CLengthText::FormatLength(unit, length);
    }
    static std::string FormatLengthFine(int32_t unit, int32_t length)
    {
        return CLengthText::FormatLengthFine(unit, length);
    }
    static int32_t ParseLength(int32_t unit, std::string_view text)
    {
        return CLengthText::ParseLength(unit, text);
    }

    static std::string LoadResString(uint32_t id) { return CResString::Load(id); }
    static std::string LoadResStringPart(uint32_t id) { return CResString::LoadPart(id); }
    // The pack's "YES" or "NO".
    static std::string LoadResStringBool(bool flag);

    static std::string OutputFormatName(int32_t index) { return COutputDevice::Name(index); }
};
