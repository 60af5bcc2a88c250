#include <gtest/gtest.h>

#include <utility>

#include <QImage>
#include <QPainter>

#include "framework/qt/CQtLabelPicture.h"

namespace {

// Laid over an image, a picture gives what Qt's own source-over drawing of the picture's image
// gives there, inside the clip and at the image's edges: smoothed shapes in one ink, kept as
// the ink's coverage or pixel by pixel, and pixels of many colours and alphas, which the same
// ink cannot describe. Rows start and end with uncovered, partly and fully covered pixels, and
// many are longer than a few pixels.
TEST(CQtLabelPicture, LaysOverAnImageAsQtsSourceOverDrawingOfIt)
{
    QImage under(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < under.height(); ++y) {
        for (int x = 0; x < under.width(); ++x)
            under.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) & 255));
    }
    // White, the labels' usual ink, is laid by a way of its own.
    for (const auto& [inked, ink] :
         {std::pair(true, qRgb(200, 120, 40)), std::pair(true, qRgb(255, 255, 255)),
          std::pair(false, qRgb(200, 120, 40))}) {
        SCOPED_TRACE(ink);
        QImage drawn(23, 9, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        if (inked) {
            // Smoothed shapes in the ink, as Qt draws glyphs.
            QPainter shapes(&drawn);
            shapes.setRenderHint(QPainter::Antialiasing);
            shapes.setPen(QPen(QColor(ink), 1.3));
            shapes.drawEllipse(QRectF(1.3, 1.6, 9.1, 6.2));
            shapes.drawLine(QPointF(12.2, 0.7), QPointF(21.6, 8.1));
            shapes.fillRect(QRect(15, 1, 4, 3), QColor(ink));
        } else {
            for (int y = 1; y < drawn.height(); ++y) {
                for (int x = y % 3; x < drawn.width() - y % 4; ++x) {
                    const int alpha = (x * 37 + y * 11) % 7 == 0 ? 0 : (x * 53 + y * 29) % 256;
                    drawn.setPixelColor(x, y, QColor(x * 11, 255 - y * 20, 90, alpha));
                }
            }
        }
        const CQtLabelPicture whole(drawn, QPoint(4, 3));
        const CQtLabelPicture byInk(drawn, QPoint(4, 3), ink);
        // Coverage takes a byte where a pixel takes four.
        if (inked)
            EXPECT_LT(byInk.Bytes() * 2, whole.Bytes());
        else
            EXPECT_EQ(byInk.Bytes(), whole.Bytes());
        for (const CQtLabelPicture* picture : {&whole, &byInk}) {
            for (const QRect clip : {QRect(0, 0, 60, 40), QRect(13, 9, 30, 14)}) {
                SCOPED_TRACE(clip.x());
                QImage laid = under.copy();
                QImage plain = under.copy();
                const CQtLabelPicture::Target target = CQtLabelPicture::TargetOf(laid);
                QPainter painter(&plain);
                painter.setClipRect(clip);
                for (const QPoint at :
                     {QPoint(10, 10), QPoint(40, 5), QPoint(-5, 30), QPoint(30, 20)}) {
                    picture->LayOver(target, at, clip);
                    painter.drawImage(at - QPoint(4, 3), drawn);
                }
                painter.end();
                EXPECT_EQ(laid, plain);
                EXPECT_NE(laid, under);
            }
        }
    }
}

} // namespace
