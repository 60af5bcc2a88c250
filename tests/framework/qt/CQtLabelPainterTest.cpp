#include <gtest/gtest.h>

#include <vector>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "framework/qt/CQtLabelPainter.h"
#include "tests/support/CQtTestApplication.h"

namespace {

class CQtLabelPainterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CQtTestApplication::Begin(); }
    static void TearDownTestSuite() { CQtTestApplication::End(); }
};

// Numbers are put together from their glyphs, each drawn once alone: laid over an image, every
// label must still give the pixels and the advance of Qt's own drawing of the whole text. The
// faces run from tiny to large, bold and italic (whose glyphs reach into the next one's cell),
// the texts mix digits, points and dashes with letters and spaces, and labels overlap on the
// image so that a fault under one is not hidden by the next.
TEST_F(CQtLabelPainterTest, NumbersPutTogetherFromGlyphsDrawAsQtsOwnTextDoes)
{
    std::vector<QString> texts = {"0",    "7",     "10",         "-",    ".",
                                  "0.80", "-12.5", "1234567890", "--..", "99999999999",
                                  "A1",   "1A",    "12 34",      "4-4",  "-0.25-0.25-0.25"};
    for (int k = 0; k < 40; ++k)
        texts.push_back(QString::number((k * 7919 + 13) % 1000003));
    const auto at = [](size_t k) { return QPoint(int(k * 41 % 230) - 12, int(k * 13 % 90) - 6); };
    for (const int pixels : {6, 9, 13, 17, 26}) {
        for (const int style : {0, 1, 2}) {
            QFont font;
            font.setPixelSize(pixels);
            font.setBold(style == 1);
            font.setItalic(style == 2);
            for (const QRgb ink : {qRgb(255, 255, 255), qRgb(200, 120, 40)}) {
                SCOPED_TRACE(testing::Message() << "pixels " << pixels << " style " << style
                                                << " ink " << std::hex << ink);
                QImage laid(240, 100, QImage::Format_RGB32);
                laid.fill(Qt::black);
                QImage plain = laid.copy();
                CQtLabelPainter painter(font, laid);
                const CQtLabelPicture::Target target = CQtLabelPicture::TargetOf(laid);
                QPainter qt(&plain);
                qt.setFont(font);
                qt.setPen(QColor::fromRgb(ink));
                const QFontMetrics metrics(font, &plain);
                for (size_t k = 0; k < texts.size(); ++k) {
                    EXPECT_EQ(painter.LayOut(texts[k]), metrics.horizontalAdvance(texts[k]))
                        << texts[k].toStdString();
                    painter.Picture(ink).LayOver(target, at(k), laid.rect());
                    qt.drawText(at(k) + QPoint(0, metrics.ascent()), texts[k]);
                }
                qt.end();
                EXPECT_EQ(laid, plain);
            }
        }
    }
}

} // namespace
