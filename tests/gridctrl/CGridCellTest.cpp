#include <gtest/gtest.h>

#include <QFont>

#include "gridctrl/CGridCell.h"
#include "tests/support/CScopedLocale.h"

namespace {

TEST(CGridCellTest, AbsentPropertiesReadAsTheirDefaults)
{
    CGridCell cell;
    EXPECT_EQ(cell.GetPropertyMask(), 0u);
    EXPECT_TRUE(cell.GetText().isNull());
    EXPECT_EQ(cell.GetCellTypeIndex(), 0);
    EXPECT_EQ(cell.GetCellTypeParam(), 0);
    EXPECT_EQ(cell.GetDataType(), GCD_TEXT);
    int32_t anchor = 7;
    int32_t col = 7;
    int32_t row = 7;
    EXPECT_EQ(cell.GetSpan(anchor, col, row), 1);
    EXPECT_EQ(anchor, 7);
    QString label = "kept";
    EXPECT_EQ(cell.GetLabel(label), 1);
    EXPECT_EQ(label, "kept");
}

TEST(CGridCellTest, NumbersAndTruthOfTexts)
{
    CGridCell cell;
    cell.SetText("T");
    EXPECT_TRUE(cell.GetBool());
    EXPECT_EQ(cell.GetNumber(), 0.0);
    cell.SetText("  12.5abc");
    EXPECT_EQ(cell.GetNumber(), 12.5);
    EXPECT_TRUE(cell.GetBool());
    cell.SetText("0");
    EXPECT_FALSE(cell.GetBool());
    cell.SetText("");
    EXPECT_FALSE(cell.GetBool());

    cell.SetNumber(1.5);
    EXPECT_EQ(cell.GetText(), "1.500000");
    EXPECT_EQ(cell.GetDataType(), GCD_NUMBER);
    cell.SetDecimals(2);
    cell.SetNumber(-3.14159);
    EXPECT_EQ(cell.GetText(), "-3.14");
}

TEST(CGridCellTest, NumbersUseADecimalPointUnderAnyLocale)
{
    CScopedLocale german("de_DE.UTF-8");
    CGridCell cell;
    cell.SetNumber(2.25);
    EXPECT_EQ(cell.GetText(), "2.250000");
    EXPECT_EQ(cell.GetNumber(), 2.25);
}

TEST(CGridCellTest, MergeAddsPropertiesAndCopyTakesExactlyTheSources)
{
    QFont font;
    CGridCell source;
    source.SetText("abc");
    source.SetFont(&font);
    source.SetDataBlock({1, 2, 3});

    CGridCell target;
    target.SetLabel("label");
    target.SetBackColor(RGB(1, 2, 3));
    target.MergeFrom(source);
    EXPECT_EQ(target.GetText(), "abc");
    EXPECT_EQ(target.GetLabelText(), "label");
    EXPECT_EQ(target.GetBackColor(), RGB(1, 2, 3));
    EXPECT_EQ(target.GetFont(), &font);
    EXPECT_EQ(target.GetDataBlock(), (std::vector<uint8_t>{1, 2, 3}));

    target.CopyFrom(source);
    EXPECT_EQ(target.GetPropertyMask(), source.GetPropertyMask());
    EXPECT_FALSE(target.IsPropertySet(GCP_LABEL | GCP_BACKCOLOR));
    EXPECT_EQ(target.GetText(), "abc");
}

} // namespace
