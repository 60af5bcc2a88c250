#include "framework/qt/CQtLabelBatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include <QImage>
#include <QPainter>

#include "framework/CWorkPool.h"

namespace {

class CQtLabelBatchTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = CWorkPool::ThreadCount(); }
    void TearDown() override { CWorkPool::SetThreadCount(m_saved); }

    // Smoothed shapes in one of a few inks, a picture of several colours among them.
    static std::vector<std::unique_ptr<CQtLabelPicture>> Pictures()
    {
        std::vector<std::unique_ptr<CQtLabelPicture>> pictures;
        const QRgb inks[] = {qRgb(255, 255, 255), qRgb(200, 30, 40), qRgb(20, 220, 90)};
        for (int k = 0; k < 6; ++k) {
            QImage drawn(30, 24, QImage::Format_ARGB32_Premultiplied);
            drawn.fill(Qt::transparent);
            QPainter shapes(&drawn);
            shapes.setRenderHint(QPainter::Antialiasing);
            if (k < 3) {
                shapes.setPen(QPen(QColor(inks[k]), 1.7));
                shapes.drawEllipse(QRectF(2.3 + k, 1.6, 20.1, 19.2 - k));
                shapes.drawLine(QPointF(1.2, 22.7), QPointF(27.6, 3.1 + k));
            } else {
                shapes.setPen(Qt::NoPen);
                shapes.setBrush(QColor(30 * k, 250 - 40 * k, 90, 160));
                shapes.drawEllipse(QRectF(1.5, 2.5, 25.0 - k, 18.0));
            }
            shapes.end();
            pictures.push_back(std::make_unique<CQtLabelPicture>(
                drawn, QPoint(5, 4), k < 3 ? std::optional<QRgb>(inks[k]) : std::nullopt));
        }
        return pictures;
    }

private:
    int m_saved = 1;
};

// Many labels, crowded so that most overlap others and run into several bands, some over the
// image's edges, sorted into the bands in runs: laid together on any number of threads, the
// image is the one laying them one by one in their order gives.
TEST_F(CQtLabelBatchTest, LaysAsLayingEachInTurnWhateverTheThreads)
{
    const auto pictures = Pictures();
    QImage under(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < under.height(); ++y) {
        for (int x = 0; x < under.width(); ++x)
            under.setPixel(x, y, qRgb(x & 255, (y * 3) & 255, (x ^ y) & 255));
    }
    struct Placed {
        const CQtLabelPicture* picture;
        QPoint at;
    };
    std::vector<Placed> placed;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(-30, 320), y(-25, 215), which(0, 5);
    // Enough for them to be sorted into bands in runs side by side.
    for (size_t k = 0; k < CQtLabelBatch::minRunLabels + 2 * CQtLabelBatch::minSpread; ++k)
        placed.push_back(
            Placed{pictures[size_t(which(random))].get(), QPoint(x(random), y(random))});

    for (const QRect clip : {QRect(0, 0, 300, 200), QRect(17, 33, 251, 140)}) {
        QImage inTurn = under.copy();
        const CQtLabelPicture::Target turnTarget = CQtLabelPicture::TargetOf(inTurn);
        for (const Placed& label : placed)
            label.picture->LayOver(turnTarget, label.at, clip);
        ASSERT_NE(inTurn, under);
        for (const int threads : {1, 3, 8}) {
            SCOPED_TRACE(testing::Message() << "threads " << threads << " clip " << clip.x());
            CWorkPool::SetThreadCount(threads);
            QImage batched = under.copy();
            CQtLabelBatch batch;
            for (const Placed& label : placed) {
                const QRect box = label.picture->Box();
                batch.Add(label.picture, label.at, box.top(), box.bottom());
            }
            batch.LayOver(CQtLabelPicture::TargetOf(batched), clip);
            EXPECT_TRUE(batch.IsEmpty());
            EXPECT_EQ(batched, inTurn);
        }
    }
}

} // namespace
