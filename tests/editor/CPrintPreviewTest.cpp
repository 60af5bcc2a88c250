#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QAction>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>

#include "document/CDocumentPaint.h"
#include "document/CJobPrintout.h"
#include "document/CPlacingInfo.h"
#include "editor/CLeftPane.h"
#include "framework/CServices.h"
#include "framework/qt/CQtCommandBinder.h"
#include "framework/qt/CQtPrintDialogService.h"
#include "framework/qt/CQtPrinterService.h"
#include "model/CComponentArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/CPour.h"
#include "resources/CommandIds.h"
#include "tests/editor/DemoWindowTest.h"
#include "tests/support/PdfPages.h"

namespace fs = std::filesystem;

namespace {

constexpr int pdfDpi = 300;

// The menu item of a command, searched through every menu of the bar.
QAction* FindCommand(const QList<QAction*>& actions, uint32_t id)
{
    for (QAction* action : actions) {
        if (CQtCommandBinder::CommandOf(*action) == id)
            return action;
        if (action->menu() != nullptr)
            if (QAction* found = FindCommand(action->menu()->actions(), id))
                return found;
    }
    return nullptr;
}

// Page `page` of the PDF file as poppler rasterises it, without antialiasing (nor does the
// board painting antialias).
QImage RasterisePdf(const fs::path& pdf, int page, const fs::path& prefix, int dpi = pdfDpi)
{
    const std::string command = "pdftoppm -r " + std::to_string(dpi) +
                                " -aa no -aaVector no -png -singlefile -f " + std::to_string(page) +
                                " -l " + std::to_string(page) + " '" + pdf.string() + "' '" +
                                prefix.string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return QImage(QString::fromStdString(prefix.string() + ".png"))
        .convertToFormat(QImage::Format_RGB32);
}

// The pages the preview window shows, each drawn from its scene at the printer's own pixels
// times `zoom`, as the window shows them at that zoom.
std::vector<QImage> PreviewPages(QPrintPreviewDialog& dialog, double zoom = 1.0)
{
    auto* view = dialog.findChild<QGraphicsView*>();
    if (view == nullptr || view->scene() == nullptr)
        return {};
    std::vector<QGraphicsItem*> pages;
    for (QGraphicsItem* item : view->scene()->items())
        if (item->parentItem() == nullptr)
            pages.push_back(item);
    std::sort(pages.begin(), pages.end(), [](const QGraphicsItem* a, const QGraphicsItem* b) {
        return a->scenePos().y() != b->scenePos().y() ? a->scenePos().y() < b->scenePos().y()
                                                      : a->scenePos().x() < b->scenePos().x();
    });
    std::vector<QImage> images;
    for (QGraphicsItem* page : pages) {
        // A page item reaches past its paper by the same border on every side, for its shadow.
        const QRectF bounds = page->boundingRect();
        const QRectF paper(0.0, 0.0, bounds.width() + 2.0 * bounds.left(),
                           bounds.height() + 2.0 * bounds.top());
        QImage image((paper.size() * zoom).toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        view->scene()->render(&painter, QRectF(image.rect()), page->mapRectToScene(paper));
        images.push_back(image);
    }
    return images;
}

bool Near(QRgb a, QRgb b)
{
    constexpr int tolerance = 8;
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Pixels of `a` that no pixel of `b` within one pixel matches. The two may differ by a pixel in
// size, as each rounds the paper to whole pixels its own way; the outermost pixels, where the
// preview frames its paper, are left out.
int64_t Unmatched(const QImage& a, const QImage& b)
{
    const int width = std::min(a.width(), b.width());
    const int height = std::min(a.height(), b.height());
    int64_t unmatched = 0;
    for (int y = 2; y < height - 2; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* near[3];
        for (int dy = -1; dy <= 1; ++dy)
            near[dy + 1] = reinterpret_cast<const QRgb*>(b.constScanLine(y + dy));
        for (int x = 2; x < width - 2; ++x) {
            bool found = Near(row[x], near[1][x]);
            for (int dy = 0; dy < 3 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = Near(row[x], near[dy][x + dx]);
            unmatched += found ? 0 : 1;
        }
    }
    return unmatched;
}

int64_t Inked(const QImage& image)
{
    int64_t inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        inked += std::count_if(row, row + image.width(),
                               [](QRgb pixel) { return (pixel & 0xFFFFFFu) != 0xFFFFFFu; });
    }
    return inked;
}

// The share of each side of the inked pixels' bounding box that is inked: top, right, bottom,
// left. The outermost pixels, where the preview frames its paper, are left out.
std::array<double, 4> SidesInked(const QImage& image)
{
    constexpr int frame = 3;
    const auto inked = [&image](int x, int y) {
        return (image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
    };
    QRect box;
    for (int y = frame; y < image.height() - frame; ++y)
        for (int x = frame; x < image.width() - frame; ++x)
            if (inked(x, y))
                box |= QRect(x, y, 1, 1);
    if (box.isEmpty())
        return {};
    const auto share = [&](int x0, int y0, int dx, int dy, int count) {
        int hits = 0;
        for (int i = 0; i < count; ++i)
            hits += inked(x0 + i * dx, y0 + i * dy) ? 1 : 0;
        return double(hits) / count;
    };
    return {share(box.left(), box.top(), 1, 0, box.width()),
            share(box.right(), box.top(), 0, 1, box.height()),
            share(box.left(), box.bottom(), 1, 0, box.width()),
            share(box.left(), box.top(), 0, 1, box.height())};
}

class CPrintPreviewTest : public CDemoWindowTest {
protected:
    CPrintPreviewTest() : CDemoWindowTest("wevra_print_preview_test") {}

    void TearDown() override
    {
        CServices::SetPrinters(&services.printers);
        CServices::SetPrintDialogs(&services.printDialogs);
    }

    void UseQtPrinters() { CServices::SetPrinters(&qtPrinters); }
    void UseQtDialogs() { CServices::SetPrintDialogs(&qtDialogs); }

    QAction* Item(uint32_t id)
    {
        frame->UpdateCommandUI();
        return FindCommand(frame->menuBar()->actions(), id);
    }

    // Runs the command from its menu item; the preview window it opens is looked at and closed
    // with Escape. Returns the number of pages it showed, -1 when none opened.
    int PreviewFromMenu(std::vector<QImage>* pages = nullptr, double zoom = 1.0)
    {
        int shown = -1;
        WhenModal([&shown, pages, zoom](QWidget* modal) {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(modal);
            if (dialog != nullptr) {
                shown = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
                if (pages != nullptr)
                    *pages = PreviewPages(*dialog, zoom);
            }
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QAction* preview = Item(ID_FILE_PRINT_PREVIEW);
        EXPECT_NE(preview, nullptr);
        if (preview == nullptr || !preview->isEnabled())
            return -1;
        preview->trigger();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        return shown;
    }

    CQtPrinterService qtPrinters;
    CQtPrintDialogService qtDialogs;
};

// The preview of an output job shows what the PDF printout holds: each page of the preview's
// window, drawn at the PDF's resolution, against the PDF's page as poppler rasterises it.
// Neither antialiases, but the two rasterisers round edges their own ways (about a fifth of
// the inked pixels sit one pixel apart), so a pixel counts as shown when a pixel within one
// of it matches; a wrong scale, offset, layer or colour still leaves whole runs unmatched.
TEST_F(CPrintPreviewTest, APreviewPageIsThePdfPage)
{
    UseQtPrinters();
    const fs::path pdf = sandbox.root / "job.pdf";
    ASSERT_TRUE(document->Paint().PrintOutputJob(pdf.string()));
    const QImage printedTop = RasterisePdf(pdf, 1, sandbox.root / "top");
    const QImage printedBottom = RasterisePdf(pdf, 2, sandbox.root / "bottom");
    ASSERT_FALSE(printedTop.isNull()) << "pdftoppm (poppler-utils) is needed";

    // The preview lays its pages out on a printer set up as the PDF's.
    CJobPrintout printout(document->Design(), document->Paint(), document->Planes(),
                          document->Windows(), document->GetDesignName());
    CPrintSetup setup;
    ASSERT_TRUE(printout.Prepare(setup));
    setup.pdfPath = (sandbox.root / "preview.pdf").string();
    std::vector<QImage> previewed;
    WhenModal([&previewed](QWidget* modal) {
        if (auto* dialog = qobject_cast<QPrintPreviewDialog*>(modal))
            previewed = PreviewPages(*dialog);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    qtDialogs.Preview(setup, printout);
    EXPECT_FALSE(fs::exists(setup.pdfPath)) << "a preview writes no file";

    ASSERT_EQ(int(previewed.size()), CountPdfPages(pdf));
    ASSERT_LE(std::abs(previewed[0].width() - printedTop.width()), 1);
    ASSERT_LE(std::abs(previewed[0].height() - printedTop.height()), 1);
    const int64_t inked = Inked(printedTop);
    ASSERT_GT(inked, 10000) << "the page shows the board";
    EXPECT_LT(Unmatched(previewed[0], printedTop), inked / 1000);
    EXPECT_LT(Unmatched(printedTop, previewed[0]), inked / 1000);
    EXPECT_LT(Unmatched(previewed[1], printedBottom), Inked(printedBottom) / 1000);
    // The comparison tells the pages apart.
    EXPECT_GT(Unmatched(previewed[0], printedBottom), inked / 10);
}

// Print Preview of the active view from the File menu: the board view previews its printing
// job, one page per item; the side pane its component list. Nothing changes.
TEST_F(CPrintPreviewTest, PreviewFromTheMenuShowsTheActiveViewsPages)
{
    UseQtDialogs();
    COutputArray& jobs = document->Design().GetOutputJobs();
    jobs.SetCurrent(1);
    const int32_t items = jobs.GetJob(0)->GetItemCount();
    ASSERT_GT(items, 1);
    EXPECT_EQ(PreviewFromMenu(), items);
    EXPECT_EQ(jobs.GetCurrent(), 1);
    EXPECT_FALSE(document->IsModified());

    auto* child = dynamic_cast<CChildFrame*>(frame->GetDocTemplate().GetActiveFrame());
    ASSERT_NE(child, nullptr);
    child->ShowLeftPane(true);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    child->GetLeftPane()->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(child->GetActiveView(), child->GetLeftPane());
    EXPECT_EQ(PreviewFromMenu(),
              CPlacingInfo::PageCount(document->Design().GetComponents().GetCount()));
    EXPECT_TRUE(services.messages.Shown().empty());
}

// A design just opened holds no plane fill: the preview and the printout fill the planes
// first, so that the pages show the copper the board will have.
TEST_F(CPrintPreviewTest, PreviewAndPrintFillThePlanesOfADesignJustOpened)
{
    UseQtDialogs();
    ASSERT_EQ(document->Design().GetPlaneCount(), 1);
    CPour& plane = *document->Design().GetPlanes()[0];
    ASSERT_EQ(plane.GetFillStrokes().GetSize(), 0);
    EXPECT_GT(PreviewFromMenu(), 0);
    EXPECT_GT(plane.GetFillStrokes().GetSize(), 0);

    CServices::SetPrintDialogs(&services.printDialogs);
    services.printers.printers = {"Office"};
    services.printers.defaultPrinter = "Office";
    plane.DeleteFill();
    services.printDialogs.QueuePrint([](CPrintSetup&, CPrintRange&) { return true; });
    QAction* print = Item(ID_FILE_PRINT);
    ASSERT_NE(print, nullptr);
    print->trigger();
    ASSERT_EQ(services.printers.printed.size(), 1u);
    EXPECT_GT(plane.GetFillStrokes().GetSize(), 0);
    EXPECT_TRUE(services.messages.Shown().empty());
}

// Print Setup's choice is where File > Print (Ctrl+P) starts; Cancel prints nothing, OK prints
// the pages chosen into the PDF file the dialog named, and a file that cannot be written is
// reported.
TEST_F(CPrintPreviewTest, PrintGoesThroughTheDialogs)
{
    UseQtPrinters();
    services.printDialogs.QueuePageSetup([](CPrintSetup& setup) {
        setup.paperWidthMm = 148.0;
        setup.paperHeightMm = 210.0;
        return true;
    });
    QAction* setupItem = Item(ID_FILE_PRINT_SETUP);
    ASSERT_NE(setupItem, nullptr);
    ASSERT_TRUE(setupItem->isEnabled());
    setupItem->trigger();
    ASSERT_EQ(services.printDialogs.pageSetupsShown.size(), 1u);

    COutputArray& jobs = document->Design().GetOutputJobs();
    jobs.SetCurrent(1);
    const fs::path pdf = sandbox.root / "printed.pdf";
    services.printDialogs.QueuePrint([](CPrintSetup&, CPrintRange&) { return false; });
    QTest::keyClick(&frame->GetMdiArea(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(services.printDialogs.printsShown.size(), 1u);
    EXPECT_EQ(services.printDialogs.printsShown[0].setup.paperWidthMm, 148.0);
    EXPECT_EQ(services.printDialogs.printsShown[0].range.last, jobs.GetJob(0)->GetItemCount());
    EXPECT_FALSE(fs::exists(pdf));
    EXPECT_EQ(jobs.GetCurrent(), 1);

    services.printDialogs.QueuePrint([&pdf](CPrintSetup& setup, CPrintRange& range) {
        setup.pdfPath = pdf.string();
        range.from = 2;
        range.to = 3;
        return true;
    });
    QTest::keyClick(&frame->GetMdiArea(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(CountPdfPages(pdf), 2);
    EXPECT_EQ(jobs.GetCurrent(), 0);
    EXPECT_TRUE(services.messages.Shown().empty());

    services.printDialogs.QueuePrint([this](CPrintSetup& setup, CPrintRange&) {
        setup.pdfPath = (sandbox.root / "no such folder" / "printed.pdf").string();
        return true;
    });
    QTest::keyClick(&frame->GetMdiArea(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(services.messages.ShownTexts(),
              std::vector<std::string>{"The output job could not be printed."});
}

// The preview shows its pages with fewer pixels than the printer has dots, and a viewer of the
// PDF likewise: a line one dot wide, as the board's edge is, still shows as a line, whatever
// the zoom and wherever it falls, in the preview and in the printed file alike.
TEST_F(CPrintPreviewTest, TheBoardsEdgesShowAtEveryZoom)
{
    UseQtDialogs();
    for (const double zoom : {1.0, 0.5, 0.37, 0.3, 0.25, 0.2}) {
        std::vector<QImage> pages;
        ASSERT_GT(PreviewFromMenu(&pages, zoom), 0);
        const std::array<double, 4> sides = SidesInked(pages[0]);
        const char* names[] = {"top", "right", "bottom", "left"};
        for (size_t side = 0; side < sides.size(); ++side)
            EXPECT_GT(sides[side], 0.95) << names[side] << " edge at zoom " << zoom;
    }

    UseQtPrinters();
    const fs::path pdf = sandbox.root / "job.pdf";
    ASSERT_TRUE(document->Paint().PrintOutputJob(pdf.string()));
    for (const int dpi : {300, 50}) {
        const QImage page = RasterisePdf(pdf, 1, sandbox.root / "page", dpi);
        ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) is needed";
        const std::array<double, 4> sides = SidesInked(page);
        const char* names[] = {"top", "right", "bottom", "left"};
        for (size_t side = 0; side < sides.size(); ++side)
            EXPECT_GT(sides[side], 0.95) << names[side] << " edge on paper at " << dpi << " dpi";
    }
}

} // namespace
