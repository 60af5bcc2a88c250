#include "framework/ShownLines.h"

#include <cstdint>

#include "framework/CNumberText.h"

std::string ShownLines(std::string heading, const std::vector<std::string>& lines, size_t shown,
                       std::string_view what)
{
    for (size_t i = 0; i < lines.size() && i < shown; ++i)
        heading += "\n" + lines[i];
    if (lines.size() > shown)
        heading += "\n... and " + CNumberText::FormatInt(int64_t(lines.size() - shown)) + " more" +
                   std::string(what);
    return heading;
}
