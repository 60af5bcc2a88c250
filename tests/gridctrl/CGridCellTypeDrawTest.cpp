#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "gridctrl/CGridArrowType.h"
#include "gridctrl/CGridCell.h"
#include "gridctrl/CGridCheckBoxType.h"
#include "gridctrl/CGridDropListType.h"
#include "gridctrl/CGridSheetInfo.h"
#include "gridctrl/CGridTriangleType.h"
#include "gridctrl/GridPaint.h"
#include "tests/gridctrl/GridTestSupport.h"

namespace {

constexpr QRgb kGridLine = 0xFFDCDCDC;

// Each cell type drawn into an image of one 100 x 24 cell, probed pixel by pixel.
class CGridCellTypeDrawTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        m_grid = MakeGrid(2, 2);
        m_image = QImage(kWidth, kHeight, QImage::Format_RGB32);
        m_image.fill(Qt::magenta);
    }

    void Draw(CGridCellType& type, CGridCell& cell, bool selected = false)
    {
        QPainter painter(&m_image);
        type.OnDraw(painter, CRect(0, 0, kWidth, kHeight), 0, 0, cell, selected, false);
    }

    QRgb Pixel(int x, int y) const { return m_image.pixel(x, y); }
    static QRgb Rgb(COLORREF color) { return ToQColor(color).rgb(); }

    // Pixels of `color` in [left, right) x [top, bottom).
    int Count(QRgb color, int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x)
                count += Pixel(x, y) == color ? 1 : 0;
        }
        return count;
    }
    int CountNot(QRgb color, int left, int top, int right, int bottom) const
    {
        return (right - left) * (bottom - top) - Count(color, left, top, right, bottom);
    }

    static constexpr int kWidth = 100;
    static constexpr int kHeight = 24;
    std::unique_ptr<CGridCtrl> m_grid;
    QImage m_image;
};

TEST_F(CGridCellTypeDrawTest, NormalCellFillsItsBackgroundInsideTheGridLines)
{
    CGridCell cell;
    Draw(*m_grid->GetCellType(0), cell);
    EXPECT_EQ(Pixel(kWidth - 1, 5), kGridLine);
    EXPECT_EQ(Pixel(5, kHeight - 1), kGridLine);
    EXPECT_EQ(Pixel(50, 12), Rgb(GetSysColor(COLOR_WINDOW)));

    cell.SetBackColor(RGB(10, 200, 30));
    cell.SetText("WWW");
    cell.SetAlignment(GA_RIGHT);
    Draw(*m_grid->GetCellType(0), cell);
    EXPECT_EQ(Pixel(2, 2), Rgb(RGB(10, 200, 30)));
    EXPECT_EQ(CountNot(Rgb(RGB(10, 200, 30)), 0, 0, 50, kHeight - 1), 0) << "left half is empty";
    EXPECT_GT(CountNot(Rgb(RGB(10, 200, 30)), 50, 0, kWidth - 1, kHeight - 1), 0);

    Draw(*m_grid->GetCellType(0), cell, true);
    EXPECT_EQ(Pixel(2, 2), Rgb(GetSysColor(COLOR_HIGHLIGHT)));
}

TEST_F(CGridCellTypeDrawTest, RaisedBorderUsesTheButtonPens)
{
    CGridCell cell;
    cell.SetBorder(0x2000);
    Draw(*m_grid->GetCellType(0), cell);
    EXPECT_EQ(Pixel(0, 10), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(Pixel(kWidth - 1, 10), Rgb(GetSysColor(COLOR_BTNSHADOW)));
}

TEST_F(CGridCellTypeDrawTest, CheckBoxShowsItsMarkOnlyWhenChecked)
{
    auto& type = *m_grid->GetCellType(2);
    CGridCell cell;
    cell.SetText("0");
    Draw(type, cell);
    // Box: size min(23 - 6, 12) = 12 at (3, 5); its inside is the window colour.
    EXPECT_EQ(Pixel(3, 8), qRgb(0, 0, 0)) << "frame";
    EXPECT_EQ(Count(qRgb(0, 0, 0), 5, 7, 13, 15), 0);
    cell.SetText("1");
    Draw(type, cell);
    EXPECT_GT(Count(qRgb(0, 0, 0), 5, 7, 13, 15), 10);
}

TEST_F(CGridCellTypeDrawTest, CheckBoxStateReadsTheSameByMouseAndByKey)
{
    auto& type = *m_grid->GetCellType(2);
    const CRect rect(0, 0, kWidth, kHeight);
    m_grid->SetCellTypeIndex(0, 0, 2);
    m_grid->SetCellText(0, 0, "T");
    EXPECT_EQ(type.OnLClick(0, 0, 0, rect, CPoint(8, 10)), 1);
    EXPECT_EQ(m_grid->GetCellText(0, 0).toDouble(), 1.0);

    m_grid->SetCellText(0, 0, "T");
    uint32_t space = ' ';
    EXPECT_EQ(type.OnCharDown(0, 0, &space), 1);
    EXPECT_EQ(m_grid->GetCellText(0, 0).toDouble(), 1.0) << "\"T\" is unchecked either way";

    EXPECT_EQ(type.OnLClick(0, 0, 0, rect, CPoint(40, 10)), 0) << "beside the box";
    EXPECT_EQ(type.OnLClick(0, 0, 1, rect, CPoint(8, 10)), 0) << "presses do nothing";
    CGridCell readOnly;
    readOnly.SetReadOnly(1);
    m_grid->SetCell(0, 0, readOnly);
    EXPECT_EQ(type.OnLClick(0, 0, 0, rect, CPoint(8, 10)), 0);
    EXPECT_EQ(m_grid->GetCellText(0, 0).toDouble(), 1.0);
}

TEST_F(CGridCellTypeDrawTest, DropListDrawsItsButtonWithTheGlyph)
{
    auto& type = *m_grid->GetCellType(1);
    CGridCell cell;
    cell.SetText("text");
    Draw(type, cell);
    CRect button(0, 0, kWidth - 1, kHeight - 1);
    type.GetEditRect(button);
    const int buttonWidth = kWidth - 1 - button.right - 1;
    const int buttonLeft = kWidth - 1 - buttonWidth;
    const int glyphLeft = buttonLeft + (buttonWidth - 5) / 2;
    const int glyphTop = (kHeight - 3) / 2;
    EXPECT_EQ(Pixel(glyphLeft + 2, glyphTop + 2), qRgb(0, 0, 0));
    EXPECT_EQ(Pixel(glyphLeft, glyphTop), qRgb(0, 0, 0));
    EXPECT_NE(Pixel(glyphLeft, glyphTop + 2), qRgb(0, 0, 0));
    EXPECT_EQ(Pixel(glyphLeft - 2, glyphTop + 8), Rgb(GetSysColor(COLOR_BTNFACE)));
}

TEST(CGridDropListTest, ChoicesAndListPlace)
{
    EXPECT_EQ(CGridDropListType::SplitItems("one\ntwo"), QStringList{"one"});
    EXPECT_EQ(CGridDropListType::SplitItems("one\ntwo\n"), (QStringList{"one", "two"}));
    const CRect list = CGridDropListType::ListRect(CRect(0, 0, 80, 20), 40, 3, 10, 500, 500);
    EXPECT_EQ(list.Height(), 16 * 10 + 2);
    EXPECT_EQ(list.left, 10);
    EXPECT_EQ(list.Width(), 27) << "at least 5 characters of 0.55 font heights";
    const CRect moved = CGridDropListType::ListRect(CRect(0, 180, 80, 200), 2, 5, 10, 30, 210);
    EXPECT_EQ(moved.bottom, 210);
    EXPECT_EQ(moved.right, 30);
}

TEST_F(CGridCellTypeDrawTest, ArrowPointsWhereItsParameterSays)
{
    auto& type = *m_grid->GetCellType(3);
    CGridCell cell;
    cell.SetTextColor(RGB(255, 0, 0));
    const int cx = kWidth / 2;
    const int cy = kHeight / 2;
    Draw(type, cell);
    EXPECT_EQ(Pixel(cx - 1, cy - 3), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(cx + 2, cy), qRgb(255, 0, 0)) << "tip right";
    cell.SetCellTypeParam(32);
    Draw(type, cell);
    EXPECT_EQ(Pixel(cx + 1, cy - 3), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(cx - 2, cy), qRgb(255, 0, 0)) << "tip left";
    EXPECT_NE(Pixel(cx + 2, cy), qRgb(255, 0, 0));
    cell.SetCellTypeParam(8);
    Draw(type, cell);
    EXPECT_EQ(Count(qRgb(255, 0, 0), 0, 0, kWidth, kHeight), 0) << "no glyph";
}

TEST_F(CGridCellTypeDrawTest, TriangleTipFollowsTheSortDirection)
{
    CGridTriangleType type;
    m_grid->AddCellType(&type);
    CGridCell cell;
    cell.SetBackColor(RGB(255, 255, 255));
    cell.SetCellTypeParam(CGridTriangleType::kPointUp);
    Draw(type, cell);
    const int right = kWidth - 1;
    // The right quarter of the cell holds the triangle; its black side runs from bottom left
    // to the tip at the top when pointing up.
    const int blackTop = Count(qRgb(0, 0, 0), right - 20, 0, right, kHeight / 2);
    const int blackBottom = Count(qRgb(0, 0, 0), right - 20, kHeight / 2, right, kHeight);
    EXPECT_GT(blackTop, 0);
    EXPECT_GT(blackBottom, 0);
    cell.SetCellTypeParam(0);
    Draw(type, cell);
    EXPECT_GE(Count(qRgb(0, 0, 0), right - 20, 0, right, kHeight / 2), 5) << "black top edge";
}

} // namespace
