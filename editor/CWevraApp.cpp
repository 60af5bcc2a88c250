#include "editor/CWevraApp.h"

#include "framework/CNumberText.h"
#include "framework/CResourcePack.h"
#include "framework/Numeric.h"
#include "resources/StringIds.h"

namespace {

constexpr double inchPerUnit = 3.90625e-06;        // 1 / 256000
constexpr double millimetrePerUnit = 9.921875e-05; // 25.4 / 256000
constexpr double milPerUnit = 0.00390625;          // 1 / 256
constexpr double unitsPerInch = 256000.0;
constexpr double unitsPerMillimetre = 10078.740157480315;
constexpr double unitsPerMil = 256.0;

std::string FormatInUnit(int32_t unit, int32_t length, int extraDecimals)
{
    switch (unit) {
    case CWevraApp::unitInch:
        return CNumberText::FormatFixed(length * inchPerUnit, 4 + extraDecimals, 2) + " inch";
    case CWevraApp::unitMillimetre:
        return CNumberText::FormatFixed(length * millimetrePerUnit, 3 + extraDecimals, 2) + " mm.";
    case CWevraApp::unitMil:
        return CNumberText::FormatInt(TruncToInt(length * milPerUnit)) + " mil";
    default:
        return std::string();
    }
}

} // namespace

std::string CWevraApp::FormatLength(int32_t unit, int32_t length)
{
    return FormatInUnit(unit, length, 0);
}

std::string CWevraApp::FormatLengthFine(int32_t unit, int32_t length)
{
    return FormatInUnit(unit, length, 1);
}

int32_t CWevraApp::ParseLength(int32_t unit, std::string_view text)
{
    switch (unit) {
    case unitInch:
        return TruncToInt(CNumberText::ParseDouble(text) * unitsPerInch);
    case unitMillimetre:
        return TruncToInt(CNumberText::ParseDouble(text) * unitsPerMillimetre);
    case unitMil:
        return TruncToInt(CNumberText::ParseInt(text) * unitsPerMil);
    default:
        return 0;
    }
}

std::string CWevraApp::LoadResString(uint32_t id)
{
    return CResourcePack::GetCurrent().GetString(id);
}

std::string CWevraApp::LoadResStringPart(uint32_t id)
{
    std::string text = LoadResString(id);
    size_t newline = text.find('\n');
    if (newline != std::string::npos)
        text.erase(newline);
    return text;
}

std::string CWevraApp::LoadResStringBool(bool flag)
{
    return LoadResString(flag ? IDS_YES : IDS_NO);
}

std::string CWevraApp::OutputFormatName(int32_t index)
{
    static constexpr const char* names[outputFormatCount] = {
        "DISPLAY",
        "GERBER RS-274X, Inch, 2.3, Single File, Leading Zero",
        "GERBER RS-274X, Inch, 2.4, Single File, Leading Zero",
        "GERBER RS-274X, Inch, 2.3, Leading Zero",
        "GERBER RS-274X, Inch, 2.4, Leading Zero",
        "BARCO DPF Inch, 2.4",
        "EXCELLON, Inch, 2.4, Leading Zero",
        "WINDOWS",
    };
    if (index < 0 || index >= outputFormatCount)
        return std::string();
    return names[index];
}
