#include "model/CAngleText.h"

#include "framework/CNumberText.h"
#include "framework/Numeric.h"

std::string CAngleText::Format(int32_t angle)
{
    return CNumberText::FormatFixed(angle * 0.001, 3, 6);
}

int32_t CAngleText::Parse(std::string_view text)
{
    return RoundToInt(CNumberText::ParseDouble(text) * 1000.0);
}
