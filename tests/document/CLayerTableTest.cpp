#include "document/CLayerTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDesignSettings.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "tests/document/DocTestViews.h"
#include "tests/support/CScriptedColorChooser.h"

namespace {

using Cells = std::vector<std::string>;

class CLayerTableTest : public CDocumentTest {
protected:
    std::string Name(int32_t layer) const { return doc->Design().GetLayers().GetLayerName(layer); }
    // The colour goes into the design as the layer table stores it.
    CLayerTable::StoreColor Store()
    {
        return [this](int32_t set, int32_t layer, COLORREF color) {
            doc->SetStoredColor(set, layer, color);
        };
    }

    CScriptedColorChooser colors;
};

} // namespace

TEST_F(CLayerTableTest, OneRowPerEnabledLayer)
{
    doc->Design().GetLayers().GetLayer(LAYER_GROUND)->SetEnabled(false);
    const std::vector<CLayerTable::Row> rows = CLayerTable::Rows(doc->Design());
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_EQ(rows[3].layer, LAYER_POWER);
    EXPECT_EQ(rows[3].row.cells[0], Name(LAYER_POWER));
    EXPECT_EQ(rows[3].row.cells[6], rows[3].row.cells[7]);

    const CLayerTable::Row& mask = rows[size_t(LAYER_MASK_TOP) - 1];
    EXPECT_EQ(mask.layer, LAYER_MASK_TOP);
    EXPECT_EQ(mask.row.cells[7], doc->Design().GetLayers().GetLayer(LAYER_MASK_BOTTOM)->GetCode());
    EXPECT_EQ(mask.row.cells[1], "");
    EXPECT_EQ(mask.colors[1],
              doc->Design().GetStoredColor(CDesignSettings::highlightColors, LAYER_MASK_TOP));
    EXPECT_EQ(rows[1].row.cells[4],
              std::to_string(doc->Design().GetLayerCount(CLayerCounts::lineTable, LAYER_TOP)));
}

TEST_F(CLayerTableTest, ColourEditRecoloursTheLayer)
{
    const COLORREF before =
        doc->Design().GetStoredColor(CDesignSettings::highlightColors, LAYER_BOTTOM);
    colors.QueueAnswer(RGB(1, 2, 3));
    EXPECT_EQ(CLayerTable::EditColor(doc->Design(), 2, Name(LAYER_BOTTOM), Store()), RGB(1, 2, 3));
    ASSERT_EQ(colors.GetShown().size(), 1u);
    EXPECT_EQ(colors.GetShown()[0].initial, before);
    EXPECT_EQ(colors.GetShown()[0].customColors,
              (std::vector<COLORREF>{
                  doc->Design().GetStoredColor(CDesignSettings::screenColors, LAYER_BOTTOM), before,
                  doc->Design().GetStoredColor(CDesignSettings::printColors, LAYER_BOTTOM)}));
    EXPECT_EQ(doc->Design().GetStoredColor(CDesignSettings::highlightColors, LAYER_BOTTOM),
              RGB(1, 2, 3));
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(CLayerTableTest, NothingChangesWithoutAColourChosen)
{
    // Cancel; then columns without a colour, an unknown name and a disabled layer open no
    // chooser: the name lookup would otherwise fall back to the common layer.
    EXPECT_EQ(CLayerTable::EditColor(doc->Design(), 1, Name(LAYER_TOP), Store()), std::nullopt);
    doc->Design().GetLayers().GetLayer(LAYER_GROUND)->SetEnabled(false);
    colors.QueueAnswer(RGB(9, 9, 9));
    for (const int32_t column : {0, 4, 7})
        EXPECT_EQ(CLayerTable::EditColor(doc->Design(), column, Name(LAYER_TOP), Store()),
                  std::nullopt);
    EXPECT_EQ(CLayerTable::EditColor(doc->Design(), 1, "99 Nowhere", Store()), std::nullopt);
    EXPECT_EQ(CLayerTable::EditColor(doc->Design(), 1, Name(LAYER_GROUND), Store()), std::nullopt);
    EXPECT_EQ(colors.GetShown().size(), 1u);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_NE(doc->Design().GetStoredColor(CDesignSettings::screenColors, LAYER_COMMON),
              RGB(9, 9, 9));
}
