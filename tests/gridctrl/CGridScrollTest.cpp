#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridHintWnd.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/CGridSheetTabs.h"
#include "gridctrl/CGridVScroll.h"
#include "tests/gridctrl/GridMouse.h"
#include "tests/gridctrl/GridTestSupport.h"

namespace {

// Remembers the rows the thumb stood for while it was dragged.
class CTrackingGrid : public CGridCtrl {
public:
    int OnVScrolled(int row, QString& text) override
    {
        tracked.push_back(row);
        text = QStringLiteral("Row %1").arg(row);
        return 1;
    }
    std::vector<int> tracked;
};

class CGridScrollTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        m_owner = MakeGrid(3, 5000, m_grid = new CTrackingGrid());
        m_grid->GetSheet()->m_vScrollHint = 1;
        QApplication::processEvents();
    }

    // Drags the thumb by the mouse from its middle to `y` of the bar.
    void DragThumb(int y)
    {
        CGridVScroll* bar = m_grid->GetVScroll();
        const QPoint grip = ThumbRect(*bar).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        DragTo(bar, QPoint(grip.x(), (grip.y() + y) / 2));
        DragTo(bar, QPoint(grip.x(), y));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(grip.x(), y));
    }

    CTrackingGrid* m_grid = nullptr;
    std::unique_ptr<CGridCtrl> m_owner;
};

TEST_F(CGridScrollTest, TheThumbOf5000RowsReachesTheLastRowAndNoFurther)
{
    CGridVScroll* bar = m_grid->GetVScroll();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->RowOfPosition(500), 2500);
    EXPECT_EQ(bar->RowOfPosition(1000), 4999);

    DragThumb(bar->height() + 50);
    ASSERT_FALSE(m_grid->tracked.empty());
    EXPECT_EQ(m_grid->tracked.back(), 4999);
    for (const int row : m_grid->tracked)
        EXPECT_LT(row, 5000);
    EXPECT_EQ(m_grid->GetTopRow(), m_grid->GetSheet()->m_maxTopRow);
    CRect last;
    EXPECT_TRUE(m_grid->GetCellRect(0, 4999, last)) << "the last row is in view";
    EXPECT_LE(last.bottom, m_grid->GetSheet()->m_gridHeight);
    EXPECT_FALSE(m_grid->GetHintWnd()->isVisible()) << "the hint goes with the release";

    DragThumb(bar->height() / 2);
    EXPECT_EQ(m_grid->GetTopRow(), bar->RowOfPosition(bar->value()));
    EXPECT_GT(m_grid->GetTopRow(), 1500);
    EXPECT_LT(m_grid->GetTopRow(), 3500);
    DragThumb(-50);
    EXPECT_EQ(m_grid->GetTopRow(), 0);
}

TEST_F(CGridScrollTest, FewRowsScrollOneRowPerStep)
{
    m_grid->SetNumberRows(100);
    CGridVScroll* bar = m_grid->GetVScroll();
    EXPECT_EQ(bar->maximum(), m_grid->GetSheet()->m_maxTopRow);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_grid->GetTopRow(), 1);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(m_grid->GetTopRow(), m_grid->GetSheet()->m_maxTopRow);
    EXPECT_EQ(bar->value(), m_grid->GetTopRow());
}

TEST_F(CGridScrollTest, TheWheelMovesThreeRowsPerNotch)
{
    auto wheel = [this](int delta) {
        QWidget* area = m_grid->GetCellArea();
        QWheelEvent event(QPointF(10, 10), area->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area, &event);
    };
    wheel(-240);
    EXPECT_EQ(m_grid->GetTopRow(), 6);
    wheel(120);
    EXPECT_EQ(m_grid->GetTopRow(), 3);
    wheel(60);
    wheel(60);
    EXPECT_EQ(m_grid->GetTopRow(), 0) << "half notches add up";
}

TEST_F(CGridScrollTest, TheHintStaysInsideTheGrid)
{
    CGridHintWnd* hint = m_grid->GetHintWnd();
    hint->SetText(QString(200, QLatin1Char('W')));
    hint->SetPlacement(CGridHintWnd::kRightAtX | CGridHintWnd::kCenterY);
    hint->ShowAt(100, 100, 40);
    EXPECT_EQ(hint->geometry().right(), m_grid->mapToGlobal(QPoint(m_grid->width() - 1, 0)).x())
        << "a hint wider than the grid ends at its right edge";
    hint->SetText("12");
    hint->ShowAt(5, 295, 40);
    EXPECT_EQ(hint->width(), 40);
    EXPECT_EQ(hint->geometry().left(), m_grid->mapToGlobal(QPoint(0, 0)).x());
    EXPECT_LE(hint->geometry().bottom(), m_grid->mapToGlobal(QPoint(0, m_grid->height() - 1)).y());
    hint->hide();
}

TEST_F(CGridScrollTest, AnEmptyTabStripDoesNotScroll)
{
    m_grid->GetSheet()->m_tabWidth = 120;
    m_grid->Layout();
    CGridSheetTabs* tabs = m_grid->GetSheetTabs();
    EXPECT_EQ(tabs->width(), 120);
    EXPECT_EQ(tabs->GetScrollRange(), 0);
    tabs->ScrollArrow(1);
    EXPECT_EQ(tabs->GetScrollOffset(), 0);
    EXPECT_EQ(tabs->TabAt(60), -1);
    EXPECT_EQ(m_grid->GetSheet()->m_hScrollRect.left, 120) << "the bar takes the rest";
}

} // namespace
