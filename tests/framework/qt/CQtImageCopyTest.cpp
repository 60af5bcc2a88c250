#include "framework/qt/CQtImageCopy.h"

#include <QPainter>

#include <gtest/gtest.h>

#include "framework/CWorkPool.h"

namespace {

QImage Numbered(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xff000000u | uint32_t(y * 4099 + x * 7));
    }
    return image;
}

// The view keeps a picture larger than itself when it shrinks and copies part of it under the
// live items: rows copied side by side give what Qt's own copy gives, clipped at every edge.
TEST(CQtImageCopyTest, CopiesWhatQtsSourceDrawingCopies)
{
    const int threadsWere = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(4);
    const QImage from = Numbered(700, 500, QImage::Format_RGB32);
    struct Case {
        QRect area;
        QPoint at;
    };
    for (const Case& c :
         {Case{QRect(0, 0, 700, 500), QPoint(0, 0)}, Case{QRect(13, 7, 400, 300), QPoint(5, 9)},
          Case{QRect(600, 450, 300, 300), QPoint(-20, 0)},
          Case{QRect(-40, -30, 200, 400), QPoint(50, -10)}}) {
        for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
            SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y() << " " << format);
            QImage expected = Numbered(320, 260, format);
            QImage copied = expected;
            copied.detach();
            {
                QPainter painter(&expected);
                painter.setCompositionMode(QPainter::CompositionMode_Source);
                // Qt's copy takes only the part of the area inside the source.
                const QRect source = c.area & from.rect();
                painter.drawImage(source.topLeft() + c.at - c.area.topLeft(), from, source);
            }
            CQtImageCopy::Copy(from, c.area, copied, c.at);
            EXPECT_EQ(copied, expected);
        }
    }
    CWorkPool::SetThreadCount(threadsWere);
}

} // namespace
