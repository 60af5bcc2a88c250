#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "framework/qt/CQtLabelPicture.h"

namespace {

// Laid over an image, a picture gives what Qt's own source-over drawing of the picture's image
// gives there, inside the clip and at the image's edges: smoothed shapes in one ink, and pixels
// of many colours and alphas. Rows start and end with uncovered, partly and fully covered
// pixels, and many are longer than a few pixels.
TEST(CQtLabelPicture, LaysOverAnImageAsQtsSourceOverDrawingOfIt)
{
    const QRgb ink = qRgb(200, 120, 40);
    QImage under(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < under.height(); ++y) {
        for (int x = 0; x < under.width(); ++x)
            under.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) & 255));
    }
    for (const bool inked : {true, false}) {
        SCOPED_TRACE(inked);
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
        const CQtLabelPicture picture(drawn, QPoint(4, 3));
        for (const QRect clip : {QRect(0, 0, 60, 40), QRect(13, 9, 30, 14)}) {
            SCOPED_TRACE(clip.x());
            QImage laid = under.copy();
            QImage plain = under.copy();
            const CQtLabelPicture::Target target = CQtLabelPicture::TargetOf(laid);
            QPainter painter(&plain);
            painter.setClipRect(clip);
            for (const QPoint at :
                 {QPoint(10, 10), QPoint(40, 5), QPoint(-5, 30), QPoint(30, 20)}) {
                picture.LayOver(target, at, clip);
                painter.drawImage(at - QPoint(4, 3), drawn);
            }
            painter.end();
            EXPECT_EQ(laid, plain);
            EXPECT_NE(laid, under);
        }
    }
}

} // namespace
