#include "framework/qt/CQtImageCopy.h"

#include <cstddef>
#include <cstring>

#include <QPainter>

#include "framework/CWorkPool.h"

void CQtImageCopy::Copy(const QImage& from, const QRect& area, QImage& to, QPoint at)
{
    // Where the area lands, clipped to the target, and where that comes from.
    const QRect target = area.translated(at - area.topLeft()) & to.rect();
    const QRect source = target.translated(area.topLeft() - at) & from.rect();
    if (source.isEmpty())
        return;
    const QPoint into = source.topLeft() + (at - area.topLeft());
    if (from.format() != to.format() || from.depth() != 32) {
        QPainter painter(&to);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(into, from, source);
        return;
    }
    // Fewer rows are not worth waking the pool for.
    constexpr std::size_t rowsAlone = 64;
    const std::size_t bytes = std::size_t(source.width()) * 4;
    const uchar* const sourceBits = from.constBits();
    uchar* const targetBits = to.bits();
    const auto sourceStride = std::size_t(from.bytesPerLine());
    const auto targetStride = std::size_t(to.bytesPerLine());
    CWorkPool::Shared().ForEachRun(
        std::size_t(source.height()), rowsAlone,
        [&](std::size_t, std::size_t first, std::size_t last) {
            for (std::size_t row = first; row < last; ++row) {
                std::memcpy(targetBits + (std::size_t(into.y()) + row) * targetStride +
                                std::size_t(into.x()) * 4,
                            sourceBits + (std::size_t(source.y()) + row) * sourceStride +
                                std::size_t(source.x()) * 4,
                            bytes);
            }
        });
}
