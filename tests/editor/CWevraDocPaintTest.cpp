#include "document/CDesign.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "bench/BoardGenerator.h"
#include "framework/CDrawList.h"
#include "framework/CServices.h"
#include "framework/CWorkPool.h"
#include "framework/qt/CQtDeviceContext.h"
#include "framework/qt/CQtPrinterService.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CPour.h"
#include "model/CShapeLib.h"
#include "model/CTextArray.h"
#include "model/CTrackTool.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"
#include "tests/framework/qt/QtApplicationTest.h"
#include "tests/support/CTempFolder.h"
#include "tests/support/PdfPages.h"

namespace {

constexpr int32_t width = 200;
constexpr int32_t height = 150;
// One pixel is a thousand board units; the view starts at the board's origin.
constexpr int32_t scale = 1000;
constexpr QRgb background = 0xFF606060;

// The design's default colours, as the pixels show them.
constexpr QRgb outlineColor = 0xFF003700;
constexpr QRgb topColor = 0xFF00C400;
constexpr QRgb bottomColor = 0xFFC40000;
constexpr QRgb silkscreenColor = 0xFFA5A500;
constexpr QRgb drawingColor = 0xFFA5A5A5;

// Every drawing made afresh, as the board was painted before filled planes kept their picture.
class CUncachedContext : public CQtDeviceContext {
public:
    using CQtDeviceContext::CQtDeviceContext;
    void DrawCached(std::unique_ptr<CCachedPicture>& /*cache*/, uint64_t /*key*/,
                    const CRect& /*bounds*/,
                    const std::function<void(CDeviceContext&)>& draw) override
    {
        draw(*this);
    }
};

// A board of 180 x 130 pixels with a track on the top layer at y = 50, a pad on the bottom
// layer at (100, 100), a text on the top silkscreen at (30, 70)..(60, 90) and a line on the
// first drawing layer, which the default layer set does not show, at y = 120.
class CDocPaintTest : public QtApplicationFixture<CDocumentTest> {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        views.client = CSize(width, height);
        doc->View().SetScale(scale);
        doc->Design().SetPadInfoMode(0);
        doc->Design().GetGridSettings().SetMode(doc->Design().GetGridSettings().GetCurrentIndex(),
                                                CGridArr::modeInvisible);
        doc->Design().SetBoardOutlineRect(10000, 10000, 190000, 140000);

        CNet& board = *doc->Design().GetNets().GetNet(0);
        board.AppendSegment(30000, 50000, 170000, 50000, LAYER_TOP, board.AddPen(5000), false);
        CPadStackArray& stacks = doc->Design().GetEditableShapeCache().GetPadStacks();
        const int32_t pad = stacks.Add(CPadStack("SMD", PAD_SQUARE, -5000, -5000, 5000, 5000, 0,
                                                 LAYER_BOTTOM, PADSTACK_KIND_PAD));
        stacks.RecalcAllMasks();
        board.AppendPadVertex(100000, 100000, pad, 0, false);

        CWevraText text;
        text.SetText("HI");
        text.SetPosition(CPoint(30000, 70000));
        text.SetHeight(20000);
        text.SetLineWidth(2000);
        text.SetLayer(LAYER_SILK_TOP);
        doc->Design().GetTexts().AddText(&text);
        doc->Design().GetTexts().SelectAll(false);

        CDrawRecArray& lines = doc->Design().GetLines();
        lines.AddSegment(30000, 120000, 170000, 120000, LAYER_DRAWING_1, lines.FindOrAddPen(3000),
                         0);
    }

    template <class Context = CQtDeviceContext> QImage Render()
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(background);
        QPainter painter(&image);
        Context dc(painter);
        EXPECT_TRUE(doc->Paint().DrawBoard(dc));
        return image;
    }

    static int32_t Count(const QImage& image, const QRect& area, QRgb color)
    {
        int32_t count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixel(x, y) == color ? 1 : 0;
        }
        return count;
    }
};

TEST_F(CDocPaintTest, EachLayerPaintsInItsColourAndHiddenLayersNot)
{
    const QImage image = Render();
    EXPECT_EQ(image.pixel(15, 15), outlineColor);
    EXPECT_EQ(image.pixel(100, 50), topColor);
    EXPECT_EQ(image.pixel(100, 100), bottomColor);
    EXPECT_GT(Count(image, QRect(30, 70, 31, 21), silkscreenColor), 20);
    EXPECT_EQ(Count(image, QRect(20, 110, 160, 20), drawingColor), 0);
    EXPECT_EQ(image.pixel(5, 5), background);

    // The same line shows once its layer is in the set.
    ASSERT_TRUE(doc->Session().SetWorkLayer(LAYER_DRAWING_1));
    EXPECT_GT(Count(Render(), QRect(20, 110, 160, 20), drawingColor), 100);
}

TEST_F(CDocPaintTest, SelectedCopperIsLeftToTheOverlay)
{
    doc->Design().GetNets().SelectAll(true);
    QImage image = Render();
    EXPECT_EQ(image.pixel(100, 50), outlineColor);
    EXPECT_EQ(image.pixel(100, 100), outlineColor);
    {
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        doc->Paint().DrawSelection(dc);
    }
    EXPECT_EQ(image.pixel(100, 50), 0xFF00FF00);
    EXPECT_EQ(image.pixel(100, 100), 0xFFFF0000);
}

TEST_F(CDocPaintTest, PrintColoursNeverStayOnTheScreen)
{
    Render();
    // A preview in black and white, then a printed page at the screen's own scale.
    doc->Paint().CreatePens(CPaintState::penKindPrintBlackWhite, scale);
    EXPECT_EQ(Render().pixel(100, 50), topColor);

    QImage page(width, height, QImage::Format_RGB32);
    page.fill(0xFFFFFFFF);
    {
        QPainter painter(&page);
        CQtDeviceContext dc(painter);
        // Job scale 1 at 256 pixels per inch gives 1000 board units per pixel.
        ASSERT_TRUE(doc->Paint().PrintJobPage(dc, 0, 256));
    }
    EXPECT_EQ(page.pixel(100, 50), 0xFF000000);
    EXPECT_EQ(page.pixel(15, 15), 0xFFFFFFFF);
    EXPECT_EQ(Render().pixel(100, 50), topColor);
}

TEST(CDocPreviewScaleTest, SmallestWholeZoomThatFits)
{
    const struct {
        int32_t boardWidth, boardHeight, width, height, scale;
    } cases[] = {
        {1000, 1000, 400, 400, 3}, // 2.5 times the box
        {1000, 400, 500, 400, 2},  // the width decides
        {400, 1000, 400, 500, 2},  // the height decides
        {400, 400, 400, 400, 1},   // the box holds it at 1
        {0, -5, 10, 10, 1},        // a board without area
        {1000, 1000, 0, 400, 0},   // a box without area: nothing to draw, no division by it
        {1000, 1000, 400, -1, 0},  {2147483647, 2147483647, 1, 1, 1073741824},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CDocumentPaint::PreviewScale(c.boardWidth, c.boardHeight, c.width, c.height),
                  c.scale)
            << c.boardWidth << " x " << c.boardHeight << " in " << c.width << " x " << c.height;
    }
}

TEST_F(CDocPaintTest, PreviewsShowTheWholeBoardAndLeaveTheViewAsItWas)
{
    Render();
    const CPoint offset(-3000, 2000);
    doc->View().SetOffset(offset.x, offset.y);
    doc->SetModifiedFlag(false);
    // The 190000-unit board in 100 x 75 pixels: 1882 units per pixel.
    const auto preview = [this](bool output, int w, int h) {
        QImage image(100, 75, QImage::Format_RGB32);
        image.fill(background);
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        const bool drawn = output ? doc->Paint().DrawOutputPreview(dc, w, h)
                                  : doc->Paint().DrawLayerSetPreview(dc, w, h);
        return drawn ? image : QImage();
    };
    const QImage display = preview(false, 100, 75);
    ASSERT_FALSE(display.isNull());
    EXPECT_EQ(display.pixel(100000 / 1882, 50000 / 1882), topColor);
    EXPECT_EQ(display.pixel(100000 / 1882, 100000 / 1882), bottomColor);
    // The first printing job's first item: the top copper, in black and white, on paper that
    // shows only the board's edge.
    const QImage output = preview(true, 100, 75);
    ASSERT_FALSE(output.isNull());
    EXPECT_EQ(output.pixel(100000 / 1882, 50000 / 1882), 0xFF000000);
    EXPECT_EQ(output.pixel(100000 / 1882, 100000 / 1882), background);
    EXPECT_TRUE(preview(true, 0, 75).isNull());
    EXPECT_TRUE(preview(false, 100, 0).isNull());

    EXPECT_EQ(doc->View().GetScale(), scale);
    EXPECT_EQ(doc->View().GetViewOffset(), offset);
    EXPECT_FALSE(doc->IsModified());
    doc->View().SetOffset(0, 0);
    EXPECT_EQ(Render().pixel(100, 50), topColor);
}

TEST_F(CDocPaintTest, AJobScaleWithoutPositivePrintScaleIsRefused)
{
    COutput& job =
        *doc->Design().GetOutputJobs().GetJob(doc->Design().GetOutputJobs().GetCurrent());
    QImage page(width, height, QImage::Format_RGB32);
    QPainter painter(&page);
    CQtDeviceContext dc(painter);
    for (const double jobScale : {0.0, -1.0, 1e9}) {
        job.SetScale(jobScale);
        EXPECT_FALSE(doc->Paint().PrintJobPage(dc, 0, 300)) << jobScale;
    }
    job.SetScale(1.0);
    EXPECT_FALSE(doc->Paint().PrintJobPage(dc, 0, 0));
    EXPECT_FALSE(doc->Paint().PrintJobPage(dc, job.GetItemCount(), 300));
    EXPECT_EQ(doc->View().GetScale(), scale);
}

TEST_F(CDocPaintTest, AnOutputJobOfOneItemPrintsOnePdfPage)
{
    auto job = std::make_unique<COutput>();
    job->AddItem(std::make_unique<COutputRec>());
    job->GetItem(0)->SetLayers({LAYER_TOP, LAYER_DRILL});
    job->GetItem(0)->SetColor(true);
    COutputArray& jobs = doc->Design().GetOutputJobs();
    jobs.SetCurrent(jobs.AddJob(std::move(job)));

    CQtPrinterService printers;
    CPrinterService* previous = CServices::SetPrinters(&printers);
    const CTempFolder folder("wevra-paint");
    const std::filesystem::path pdf = folder / "page.pdf";
    EXPECT_TRUE(doc->Paint().PrintOutputJob(pdf.string()));
    CServices::SetPrinters(previous);

    EXPECT_EQ(CountPdfPages(pdf), 1);
}

TEST_F(CDocPaintTest, TheDemoDesignShowsItsCopperAndSilkscreen)
{
    ASSERT_TRUE(doc->OnOpenDocument(WEVRA_DEMO_DESIGN));
    doc->View().ZoomAll();
    const QImage image = Render();
    for (const QRgb color : {outlineColor, topColor, bottomColor, silkscreenColor})
        EXPECT_GT(Count(image, image.rect(), color), 10) << std::hex << color;
}

// A plane the board must not pass off as filled (the sample's, whose file keeps no fill) shows
// its outline as white dashes one pixel wide with the board between them, at every zoom.
TEST_F(CDocPaintTest, APlaneToRefillShowsADashedOutline)
{
    ASSERT_TRUE(doc->OnOpenDocument(WEVRA_DEMO_DESIGN));
    ASSERT_GT(doc->Design().GetPlaneCount(), 0);
    const CPointArray& outline = doc->Design().GetPlane(0).GetOutline();
    for (const CSize client : {CSize(400, 300), CSize(1600, 1200)}) {
        SCOPED_TRACE(client.cx);
        views.client = client;
        doc->View().ZoomAll();
        QImage image(client.cx, client.cy, QImage::Format_RGB32);
        image.fill(background);
        {
            QPainter painter(&image);
            CQtDeviceContext dc(painter);
            ASSERT_TRUE(doc->Paint().DrawBoard(dc));
        }
        const CPoint offset = doc->View().GetViewOffset();
        const int64_t zoom = doc->View().GetScale();
        const auto pixel = [&](CPoint p) {
            return QPoint(int((p.x + offset.x) / zoom), int((p.y + offset.y) / zoom));
        };
        // Along the longest upright edge, its corners left out: white pixels in runs, each
        // run ended by a gap.
        int32_t longest = -1;
        for (int32_t k = 0; k + 1 < outline.GetSize(); ++k) {
            const QPoint a = pixel(outline[k]);
            const QPoint b = pixel(outline[k + 1]);
            const bool upright = a.x() == b.x() || a.y() == b.y();
            if (upright &&
                (longest < 0 ||
                 (a - b).manhattanLength() >
                     (pixel(outline[longest]) - pixel(outline[longest + 1])).manhattanLength()))
                longest = k;
        }
        ASSERT_GE(longest, 0);
        const QPoint a = pixel(outline[longest]);
        const QPoint b = pixel(outline[longest + 1]);
        const int32_t length = (a - b).manhattanLength();
        ASSERT_GT(length, 100);
        int32_t white = 0;
        int32_t runs = 0;
        bool inRun = false;
        for (int32_t t = 4; t < length - 4; ++t) {
            const QPoint at = a + (b - a) * t / length;
            const bool isWhite = image.rect().contains(at) && image.pixel(at) == 0xFFFFFFFF;
            white += isWhite ? 1 : 0;
            runs += isWhite && !inRun ? 1 : 0;
            inRun = isWhite;
        }
        EXPECT_GT(white, length / 3);
        EXPECT_GT(runs, length / 48);
    }
}

// Runs are written straight into an unclipped image; through a clip, Qt fills them itself. The
// demo design, its planes filled, and zoomed in so far that pens get wide, looks the same both
// ways.
TEST_F(CDocPaintTest, DirectRunsLookAsQtsOwnFills)
{
    ASSERT_TRUE(doc->OnOpenDocument(WEVRA_DEMO_DESIGN));
    doc->Design().SetPadInfoMode(1);
    doc->Planes().RefillAll();
    doc->View().ZoomAll();
    for (int zoomIn = 0; zoomIn < 2; ++zoomIn) {
        QImage viaQt(width, height, QImage::Format_RGB32);
        viaQt.fill(background);
        {
            QPainter painter(&viaQt);
            painter.setClipRect(viaQt.rect());
            CQtDeviceContext dc(painter);
            EXPECT_TRUE(doc->Paint().DrawBoard(dc));
        }
        EXPECT_EQ(Render(), viaQt) << zoomIn;
        doc->View().SetScale(std::max(1, doc->View().GetScale() / 8));
    }
}

// Labels as Qt draws a text afresh each time, shaping it again: the picture the board showed
// before labels were laid out once and reused.
class CPlainLabelContext : public CQtDeviceContext {
public:
    explicit CPlainLabelContext(QPainter& painter) : CQtDeviceContext(painter), m_painter(painter)
    {
    }
    COLORREF SetTextColor(COLORREF color) override
    {
        m_text = color;
        return CQtDeviceContext::SetTextColor(color);
    }
    COLORREF SetBkColor(COLORREF color) override
    {
        m_back = color;
        return CQtDeviceContext::SetBkColor(color);
    }
    BkMode SetBkMode(BkMode mode) override
    {
        m_mode = mode;
        return CQtDeviceContext::SetBkMode(mode);
    }
    void TextOut(CPoint point, std::string_view text) override
    {
        QFont font;
        font.setWeight(QFont::Weight(CFontDesc::normalWeight));
        const QFontMetrics metrics(font, m_painter.device());
        const QString string = QString::fromLatin1(text.data(), qsizetype(text.size()));
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (m_mode == BkMode::Opaque)
            m_painter.fillRect(
                QRect(point.x, point.y, metrics.horizontalAdvance(string), metrics.height()),
                ToQColor(m_back));
        m_painter.setFont(font);
        m_painter.setPen(ToQColor(m_text));
        m_painter.drawText(QPoint(point.x, point.y + metrics.ascent()), string);
        CQtDeviceContext::SetROP2(GetROP2());
    }

private:
    QPainter& m_painter;
    COLORREF m_text = 0;
    COLORREF m_back = 0x00FFFFFF;
    BkMode m_mode = BkMode::Opaque;
};

TEST_F(CDocPaintTest, ViaLabelsLookAsQtsOwnTextDrawingOfThem)
{
    CNet& board = *doc->Design().GetNets().GetNet(0);
    CPadStackArray& stacks = doc->Design().GetEditableShapeCache().GetPadStacks();
    const int32_t via = stacks.Add(
        CPadStack("VIA", PAD_ROUND, -3000, -3000, 3000, 3000, 1500, 0, PADSTACK_KIND_VIA));
    stacks.RecalcAllMasks();
    // Some labels repeat, some run over the picture's edges; enough crowd together to be laid
    // side by side on several threads.
    for (int32_t k = 0; k < 14; ++k)
        board.AppendPadVertex(-4000 + k * 15000, 20000 + (k % 5) * 30000, via, 0, false);
    board.AppendPadVertex(190000, 147000, via, 0, false);
    for (int32_t k = 0; k < 400; ++k)
        board.AppendPadVertex(5000 + (k * 37) % 190000, (k * 53) % 150000, via, 0, false);
    const int threadsWere = CWorkPool::ThreadCount();
    for (const auto& [mode, threads] : {std::pair(1, 1), std::pair(1, 4), std::pair(6, 3)}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << " threads " << threads);
        CWorkPool::SetThreadCount(threads);
        doc->Design().SetPadInfoMode(mode);
        QImage plain(width, height, QImage::Format_RGB32);
        plain.fill(background);
        {
            QPainter painter(&plain);
            CPlainLabelContext dc(painter);
            EXPECT_TRUE(doc->Paint().DrawBoard(dc));
        }
        const QImage cached = Render();
        EXPECT_EQ(cached, plain);
        EXPECT_NE(cached, [] {
            QImage empty(width, height, QImage::Format_RGB32);
            empty.fill(background);
            return empty;
        }());
    }
    CWorkPool::SetThreadCount(threadsWere);
}

// A filled plane looks the same whether its picture is made, reused or made again after the
// fill or the view changed: opaque and transparent colours, wide and one-pixel pens, running
// over the picture's edge.
TEST_F(CDocPaintTest, FilledPlanesLookAsDrawnStrokeByStroke)
{
    CPour& plane = doc->Planes().AddRectanglePlane(CRect(20000, 20000, 180000, 130000));
    plane.SetLayer(LAYER_TOP);
    doc->Planes().RebuildPlane(0);
    doc->Session().SetPlaneIndex(-1);
    ASSERT_EQ(plane.GetFillErrorCount(), 0);
    ASSERT_GT(plane.GetFillStrokes().GetSize(), 0);
    const auto plain = [&] { return Render<CUncachedContext>(); };
    for (const uint32_t mode : {CDesignSettings::drawOpaque, CDesignSettings::drawTransparent}) {
        doc->Design().SetDrawingMode(mode);
        for (const int32_t zoom : {scale, 700, 1900}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " scale " << zoom);
            doc->View().SetScale(zoom);
            const QImage first = Render();
            EXPECT_EQ(first, plain());
            EXPECT_EQ(Render(), first);
            doc->View().ScrollBy(-37000, 23000);
            EXPECT_EQ(Render(), plain());
            doc->Planes().MoveAllPlanes(3000, -2000);
            EXPECT_EQ(Render(), plain());
            doc->View().ScrollBy(37000, -23000);
        }
    }
}

TEST_F(CDocPaintTest, AKeptPlanePictureFollowsEveryMovedPoint)
{
    CPour& plane = doc->Planes().AddRectanglePlane(CRect(20000, 20000, 180000, 130000));
    plane.SetLayer(LAYER_TOP);
    doc->Planes().RebuildPlane(0);
    doc->Session().SetPlaneIndex(-1);
    const auto plain = [&] { return Render<CUncachedContext>(); };
    CRectArray& strokes = plane.GetFillStrokes();
    ASSERT_GT(strokes.GetSize(), 5);
    // Inner points, away from the box of the fill, and the last ones of each list.
    for (const int32_t i : {int32_t(strokes.GetSize()) / 2, int32_t(strokes.GetSize()) - 1}) {
        Render();
        strokes[i].x2 -= 9000;
        strokes[i].y1 += 4000;
        EXPECT_EQ(Render(), plain()) << "stroke " << i;
    }
    for (const auto& polyline : plane.GetFillPolylines()) {
        if (polyline->GetSize() < 3)
            continue;
        for (const int32_t i : {1, int32_t(polyline->GetSize()) - 2}) {
            Render();
            (*polyline)[i].x += 7000;
            EXPECT_EQ(Render(), plain()) << "polyline point " << i;
        }
    }
}

// A fill no one holds is kept by its change count: every change of its own must show, and so
// must what was changed through a reference before it was given back.
TEST_F(CDocPaintTest, AReturnedFillsPictureFollowsEveryChange)
{
    CPour& plane = doc->Planes().AddRectanglePlane(CRect(20000, 20000, 180000, 130000));
    plane.SetLayer(LAYER_TOP);
    doc->Planes().RebuildPlane(0);
    doc->Session().SetPlaneIndex(-1);
    const CPour& kept = plane;
    ASSERT_GT(kept.GetFillStrokes().GetSize(), 5);
    const auto plain = [&] { return Render<CUncachedContext>(); };
    const QImage filled = Render();
    EXPECT_EQ(filled, plain());
    plane.Move(4000, -3000);
    EXPECT_EQ(Render(), plain());
    plane.Rotate(100000, 75000, 90000);
    EXPECT_EQ(Render(), plain());
    doc->Planes().RebuildPlane(0);
    EXPECT_EQ(Render(), plain());
    plane.GetFillStrokes()[1].x2 -= 9000;
    plane.ReturnFill();
    EXPECT_EQ(Render(), plain());
    plane.DeleteFill();
    EXPECT_EQ(Render(), plain());
    EXPECT_NE(Render(), filled);
}

// A crowded board looks the same drawn on one thread and on several: whole and zoomed in, with
// a current net, a selected component and labels at every pad and via; and with everything
// selected, drawn over it in the highlight colours.
class CCrowdedPaintTest : public QtApplicationFixture<CDocumentTest> {
protected:
    // The view's kept board picture drawn again, in part where only a few places changed; true
    // when it was drawn whole.
    bool RedrawKept()
    {
        const QSize size(views.client.cx, views.client.cy);
        if (kept.size() != size)
            kept = QImage(size, QImage::Format_RGB32);
        QPainter painter(&kept);
        CQtDeviceContext dc(painter);
        return doc->Paint().RedrawBoard(dc, &kept, CRect(0, 0, size.width(), size.height()),
                                        RGB(0x60, 0x60, 0x60), [](CDeviceContext&) {});
    }
    // The whole picture of the board as it now is.
    QImage Whole()
    {
        QImage image(views.client.cx, views.client.cy, QImage::Format_RGB32);
        image.fill(background);
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        doc->Paint().DrawBoard(dc);
        return image;
    }

    QImage kept;
};

TEST_F(CCrowdedPaintTest, SeveralThreadsPaintWhatOneThreadPaints)
{
    constexpr int32_t crowdedWidth = 480;
    constexpr int32_t crowdedHeight = 320;
    views.client = CSize(crowdedWidth, crowdedHeight);
    // Enough nets and components for ranges on eight threads, and for their drawing to be cut
    // into bands of rows played side by side.
    const BoardCounts counts = GenerateBoard(*doc, PlanOf(17000));
    ASSERT_GE(size_t(std::min(counts.nets, counts.components)), CDrawList::minBandedItems);
    doc->Design().GetNets().SetCurrentNet(counts.nets / 2);
    doc->Design().GetComponents().Select(17, true);
    doc->View().ZoomAll();
    doc->View().ScrollBy(0, doc->Design().GetBoardHeight());

    const auto render = [&](int threads) {
        CWorkPool::SetThreadCount(threads);
        QImage image(crowdedWidth, crowdedHeight, QImage::Format_RGB32);
        image.fill(background);
        QPainter painter(&image);
        CQtDeviceContext dc(painter);
        EXPECT_TRUE(doc->Paint().DrawBoard(dc));
        doc->Paint().DrawSelection(dc);
        return image;
    };
    const int threadsWere = CWorkPool::ThreadCount();
    for (const int32_t zoom : {1, 3}) {
        if (zoom > 1) {
            doc->View().SetScale(doc->View().GetScale() / zoom);
            doc->View().ScrollBy(doc->Design().GetBoardWidth() / 3,
                                 -doc->Design().GetBoardHeight() / 3);
        }
        // Pin and running via numbers, and net numbers.
        for (const int32_t labels : {1, 6}) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << " labels " << labels);
            doc->Design().SetPadInfoMode(labels);
            const QImage one = render(1);
            EXPECT_EQ(render(3), one);
            EXPECT_EQ(render(8), one);
        }
    }
    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    doc->Session().SelectAll(true);
    ASSERT_GT(doc->Design().GetComponents().GetSelectedCount(), 8 * 512);
    const QImage one = render(1);
    EXPECT_EQ(render(3), one);
    EXPECT_EQ(render(8), one);
    CWorkPool::SetThreadCount(threadsWere);
}

// A board big enough for its picture's ranges to be drawn on the pool and its dropped copies to
// be freed on the release thread: after a delete, Undo and Redo, the picture drawn again in part
// is the whole picture of the board as it now is.
TEST_F(CCrowdedPaintTest, APictureDrawnAgainInPartShowsTheWholeBigBoard)
{
    constexpr int32_t crowdedWidth = 640;
    constexpr int32_t crowdedHeight = 400;
    views.client = CSize(crowdedWidth, crowdedHeight);
    const BoardCounts counts = GenerateBoard(*doc, PlanOf(6000));
    ASSERT_GT(counts.nets + counts.components, 10000);
    doc->View().ZoomAll();
    doc->View().ScrollBy(0, doc->Design().GetBoardHeight());
    doc->Session().SetMode(ID_EDIT_SELECT_MODE);
    // The labels' texts are laid out first on this thread: the fonts Qt keeps for the pool's
    // threads would outlive the application object the suite deletes.
    const int threadsWere = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(1);
    ASSERT_TRUE(RedrawKept());
    CWorkPool::SetThreadCount(threadsWere);
    CComponentArray& components = doc->Design().GetComponents();
    for (int32_t i = components.GetCount() / 2; i < components.GetCount() / 2 + 100; ++i)
        components.Select(i, true);
    for (const char* step : {"select", "delete", "Undo", "Redo"}) {
        SCOPED_TRACE(step);
        if (std::string_view(step) == "delete")
            doc->Editing().DeleteSelection();
        else if (std::string_view(step) == "Undo")
            doc->History().Undo();
        else if (std::string_view(step) == "Redo")
            doc->History().Redo();
        const QImage before = kept;
        EXPECT_FALSE(RedrawKept());
        EXPECT_NE(kept, before);
        EXPECT_EQ(kept, Whole());
    }

    // Vias are numbered on from net to net: taking a selected via out of a net in the middle
    // numbers every via after it anew.
    CNetArray& nets = doc->Design().GetNets();
    ASSERT_EQ(doc->Design().GetPadInfoMode(), 1);
    const CNet* middle = nullptr;
    for (int32_t i = nets.GetCount() / 2; i < nets.GetCount() && !middle; ++i) {
        if (nets.GetNet(i)->CountPadVertices() > 0)
            middle = std::as_const(nets).GetNet(i);
    }
    ASSERT_NE(middle, nullptr);
    int32_t via = 0;
    while (!middle->IsPadVertex(via))
        ++via;
    const CPoint at = middle->GetVertexPoint(via);
    ASSERT_TRUE(
        nets.SelectViasInRect(CRect(at.x - 10, at.y - 10, at.x + 10, at.y + 10), CNet::hitSelect));
    RedrawKept();
    doc->Editing().DeleteSelection();
    RedrawKept();
    EXPECT_EQ(kept, Whole());

    // A click of a track tool makes another net current: its copper and its pins, and those of
    // the net current before, change colour, and only there.
    std::vector<int32_t> routed;
    for (int32_t i = nets.GetCount() / 3; i < nets.GetCount() && routed.size() < 2; ++i) {
        if (nets.GetNet(i)->CountTrackVertices() > 0 && nets.GetNet(i)->GetPinCount() > 0)
            routed.push_back(i);
    }
    ASSERT_EQ(routed.size(), 2u);
    // Seen whole, the pin numbers would cover most of the copper.
    doc->Design().SetPadInfoMode(0);
    RedrawKept();
    for (const int32_t current : {routed[0], routed[1], 0}) {
        SCOPED_TRACE(testing::Message() << "current net " << current);
        nets.SetCurrentNet(current);
        const QImage before = kept;
        EXPECT_FALSE(RedrawKept());
        EXPECT_NE(kept, before);
        EXPECT_EQ(kept, Whole());
    }
}

// Edits of every kind the kept picture must follow, in an order drawn by a seeded generator:
// each picture drawn again in part is the whole picture of the board as it now is.
TEST_F(CCrowdedPaintTest, EditsInAnyOrderRepaintInPartWhatAWholePictureShows)
{
    constexpr int32_t crowdedWidth = 640;
    constexpr int32_t crowdedHeight = 400;
    views.client = CSize(crowdedWidth, crowdedHeight);
    GenerateBoard(*doc, PlanOf(1500));
    CComponentArray& components = doc->Design().GetComponents();
    CNetArray& nets = doc->Design().GetNets();
    CEditSession& session = doc->Session();
    const CShapeLib& shapes = doc->Design().GetShapeCache();
    // A segment of a net between two track vertices, and its layer; none for a net without one.
    const auto segmentOf = [&](const CNet& net) -> std::optional<std::pair<CPoint, int32_t>> {
        for (int32_t i = 1; i < net.GetVertexCount(); ++i) {
            const TrackRec& rec = net.GetVertex(i);
            const TrackRec& previous = net.GetVertex(i - 1);
            if (!rec.IsPad() && !previous.IsPad() && rec.IsDrawn())
                return std::pair(CPoint((rec.x + previous.x) / 2, (rec.y + previous.y) / 2),
                                 int32_t(rec.GetLayer()));
        }
        return std::nullopt;
    };
    const auto clickAt = [&](uint32_t mode, CPoint at) {
        session.SetMode(mode);
        session.State().rawCursor = at;
        session.MoveCursorTo(at);
        nets.GetTrackTool().OnTrackToolClick(session);
    };

    // Every kind of label is laid out on this thread (see above): the pool's threads are
    // tried by the tests before.
    const int threadsWere = CWorkPool::ThreadCount();
    CWorkPool::SetThreadCount(1);
    doc->View().ZoomAll();
    doc->View().ScrollBy(0, doc->Design().GetBoardHeight());
    ASSERT_TRUE(RedrawKept());
    // The edits move items off the board: each seed's view starts from the board seen whole.
    const int32_t wholeScale = doc->View().GetScale();
    const CPoint wholeOffset = doc->View().GetViewOffset();
    for (const uint32_t seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        const auto below = [&](int32_t count) {
            return count > 0 ? int32_t(random() % uint32_t(count)) : 0;
        };
        const auto anyNet = [&]() -> const CNet& {
            return *std::as_const(nets).GetNet(1 + below(nets.GetCount() - 1));
        };
        // Seen whole, then at twice and three times the size about a point of the board's
        // middle half.
        doc->View().SetScale(wholeScale / int32_t(seed));
        const CPoint middle(
            doc->Design().GetBoardWidth() / 4 + below(doc->Design().GetBoardWidth() / 2),
            -doc->Design().GetBoardHeight() / 4 - below(doc->Design().GetBoardHeight() / 2));
        if (seed == 1)
            doc->View().SetOffset(wholeOffset.x, wholeOffset.y);
        else
            doc->View().SetOffset(crowdedWidth / 2 * doc->View().GetScale() - middle.x,
                                  crowdedHeight / 2 * doc->View().GetScale() - middle.y);
        const QImage start = Whole();
        int32_t drawn = 0;
        for (int y = 0; y < crowdedHeight; ++y) {
            for (int x = 0; x < crowdedWidth; ++x)
                drawn += start.pixel(x, y) != background ? 1 : 0;
        }
        ASSERT_GT(drawn, crowdedWidth * crowdedHeight / 4) << "seed " << seed;
        int32_t partial = 0;
        std::string steps;
        for (int32_t step = 0; step < 120; ++step) {
            session.SetMode(ID_EDIT_SELECT_MODE);
            switch (below(16)) {
            case 0:
                steps += "select components, ";
                for (int32_t k = below(4); k >= 0; --k)
                    components.Select(below(components.GetCount()), true);
                break;
            case 1: {
                steps += "select in a band, ";
                const CPoint corner(below(doc->Design().GetBoardWidth()),
                                    below(doc->Design().GetBoardHeight()));
                session.State().rubberBand =
                    CRect(corner.x, corner.y, corner.x + below(doc->Design().GetBoardWidth() / 10),
                          corner.y + below(doc->Design().GetBoardHeight() / 10));
                session.SelectInRect(true);
                break;
            }
            case 2: {
                steps += "select a via, ";
                const CNet& net = anyNet();
                for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
                    if (net.IsPadVertex(v)) {
                        const CPoint at = net.GetVertexPoint(v);
                        nets.SelectViasInRect(CRect(at.x - 10, at.y - 10, at.x + 10, at.y + 10),
                                              CNet::hitSelect);
                        break;
                    }
                }
                break;
            }
            case 3:
                steps += "move, ";
                session.SetAction(CEditState::actionDragging);
                doc->Editing().MoveSelection(below(200000) - 100000, below(200000) - 100000);
                session.SetAction(CEditState::actionWaiting);
                break;
            case 4:
                steps += "rotate, ";
                doc->Editing().RotateSelection90();
                break;
            case 5:
                steps += "copy, ";
                doc->Editing().CopySelection();
                break;
            case 6:
                steps += "delete, ";
                doc->Editing().DeleteSelection();
                break;
            case 7:
            case 8:
                steps += "Undo, ";
                doc->History().Undo();
                break;
            case 9:
                steps += "Redo, ";
                doc->History().Redo();
                break;
            case 10:
                steps += "deselect, ";
                session.SelectAll(false);
                break;
            case 11:
                steps += "current net, ";
                nets.SetCurrentNet(below(nets.GetCount()));
                break;
            case 12:
                steps += "pin info, ";
                doc->Design().SetPadInfoMode(below(7));
                break;
            case 13: {
                steps += "component ratsnest, ";
                CComponent& component = *components.GetComponent(below(components.GetCount()));
                component.SetRatsnestShown(!component.IsRatsnestShown());
                break;
            }
            case 14: {
                steps += "add a track, ";
                const CComponent& component =
                    *components.GetComponent(below(components.GetCount()));
                if (component.GetPadCount(shapes) == 0)
                    break;
                const CPoint pin = component.GetPadPosition(0, shapes);
                clickAt(ID_TRACKS_ADD, pin);
                session.MoveCursorTo(CPoint(pin.x + 50000, pin.y + 20000 * (below(3) - 1)));
                nets.GetTrackTool().OnTrackToolMouseMove(session);
                nets.GetTrackTool().OnTrackToolClick(session);
                nets.GetTrackTool().EndTrackTool(session);
                break;
            }
            default: {
                steps += "delete a segment, ";
                const auto segment = segmentOf(anyNet());
                if (!segment)
                    break;
                session.SetWorkLayer(segment->second);
                clickAt(ID_TRACKS_DELETE_SEGMENTS, segment->first);
                break;
            }
            }
            partial += RedrawKept() ? 0 : 1;
            ASSERT_EQ(kept, Whole()) << "seed " << seed << ": " << steps;
        }
        // Most steps change a few places; the test is about those.
        EXPECT_GT(partial, 60) << "seed " << seed;
        session.SelectAll(false);
    }
    CWorkPool::SetThreadCount(threadsWere);
}

} // namespace
