#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "framework/qt/CQtDeviceContext.h"
#include "model/CNet.h"
#include "model/LayerIds.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/model/NetTestSupport.h"

namespace {

constexpr COLORREF black = 0x00000000;
constexpr COLORREF white = 0x00FFFFFF;
constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF blue = RGB(0, 0, 255);
constexpr COLORREF pink = RGB(255, 128, 128);

// The top layer red (pink highlighted), the bottom layer blue.
class CPaintDocument : public CNetTestDocument {
public:
    COLORREF GetLayerColor(int32_t set, int32_t layer) const override
    {
        if (layer == LAYER_TOP)
            return set == 1 ? pink : red;
        return layer == LAYER_BOTTOM ? blue : black;
    }
};

class CNetPaintTest : public QtApplicationTest {
protected:
    CNetPaintTest()
    {
        image.fill(Qt::black);
        document.scale = 100;
        // At scale 100: a top track from (100, 50) to (300, 50), 20 pixels wide; a bottom
        // track 100 pixels below it; a via at (350, 100), 40 pixels across; two pins of
        // different clusters at (50, 250) and (350, 250).
        net.AppendVertex(10000, 5000, LAYER_TOP, 0);
        net.AppendVertex(30000, 5000, LAYER_TOP, 1);
        net.AppendVertex(10000, 15000, LAYER_BOTTOM, 0);
        net.AppendVertex(30000, 15000, LAYER_BOTTOM, 1);
        net.AppendPadVertex(35000, 10000, CNetTestDocument::via, 0, false);
        net.AddPin(5000, 25000, 0, 0, CNetTestDocument::via, 0, false, 3);
        net.AddPin(35000, 25000, 1, 0, CNetTestDocument::via, 0, false, 3);
        net.CalcRatsnest(document);
    }

    // The top layer alone, as the board painting draws a layer set holding only it.
    void PaintTopLayer()
    {
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        const CRect clip(0, 0, 40000, 30000);
        net.DrawLayer(dc, document, LAYER_TOP, clip, 0);
        net.DrawSelected(dc, document, clip);
        dc.SelectPen(CPen(CPen::Style::Solid, 1, red));
        dc.SelectBrush(CBrush(red));
        net.DrawPads(dc, document, LAYER_TOP, clip);
        dc.SelectPen(CPen(CPen::Style::Solid, 1, white));
        net.DrawRatsnest(dc, document);
    }

    COLORREF At(int x, int y) const
    {
        const QRgb pixel = image.pixel(x, y);
        return RGB(uint8_t(qRed(pixel)), uint8_t(qGreen(pixel)), uint8_t(qBlue(pixel)));
    }

    QImage image{400, 300, QImage::Format_RGB32};
    CPaintDocument document;
    CNet net;
};

TEST_F(CNetPaintTest, PutsEachItemInItsLayersColour)
{
    PaintTopLayer();
    struct Probe {
        const char* what;
        int x;
        int y;
        COLORREF color;
    };
    const Probe probes[] = {
        {"top track", 200, 50, red},
        {"edge of the top track", 200, 58, red},
        {"beside the top track", 200, 75, black},
        {"bottom track, layer hidden", 200, 150, black},
        {"via pad", 350, 100, red},
        {"via pad rim", 368, 100, red},
        {"ratsnest line", 200, 250, white},
        {"empty board", 200, 200, black},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(At(p.x, p.y), p.color) << p.what;
}

TEST_F(CNetPaintTest, SelectedTrackIsHighlightedWithItsHalo)
{
    net.SelectVertex(1, true);
    PaintTopLayer();
    // The halo reaches the clearance (2015) beyond the track's half width on either side.
    EXPECT_EQ(At(200, 50), pink);
    EXPECT_EQ(At(200, 75), RGB(0x7F, 0x7F, 0x7F));
    EXPECT_EQ(At(200, 90), black);
}

} // namespace
