#include "framework/qt/CQtFont.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/qt/CQtText.h"

namespace {

constexpr int maxPixelSize = 0xFFFF;
constexpr double pixelsPerPoint = 96.0 / 72.0;

} // namespace

QFont CQtFont::ToQFont(const CFontDesc& desc)
{
    QFont font;
    if (!desc.face.empty())
        font.setFamily(CQtText::FromDesignText(desc.face));
    const int weight = desc.weight == 0 ? CFontDesc::normalWeight : desc.weight;
    font.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
    font.setItalic(desc.italic);
    if (desc.height != 0)
        font.setPixelSize(int(std::min(std::abs(int64_t(desc.height)), int64_t(maxPixelSize))));
    return font;
}

CFontDesc CQtFont::FromQFont(const QFont& font)
{
    CFontDesc desc;
    desc.face = CQtText::ToDesignText(font.family());
    int pixels = font.pixelSize();
    if (pixels <= 0 && font.pointSizeF() > 0)
        pixels = int(std::lround(font.pointSizeF() * pixelsPerPoint));
    desc.height = -std::clamp(pixels, 0, maxPixelSize);
    desc.weight = font.weight();
    desc.italic = font.italic();
    return desc;
}
