#include <gtest/gtest.h>

#include "framework/CServices.h"
#include "framework/CSettingsStore.h"

TEST(CSettingsStore, MissingKeysGiveTheFallbackAndNumbersAreText)
{
    CSettingsStore store;
    EXPECT_EQ(store.GetString("Files", "Library", "none"), "none");
    EXPECT_EQ(store.GetInt("Files", "Backup Max. Files", 10), 10);

    store.WriteInt("Files", "Backup Max. Files", -7);
    EXPECT_EQ(store.GetString("Files", "Backup Max. Files", ""), "-7");
    EXPECT_EQ(store.GetInt("Files", "Backup Max. Files", 10), -7);
    // Sections keep their keys apart.
    EXPECT_EQ(store.GetInt("Grid", "Backup Max. Files", 3), 3);

    // A stored text reads as its leading number, 0 when it has none.
    store.WriteString("Grid", "Grid_0_0_X", "  25600 units");
    store.WriteString("Grid", "Grid_0_0_Y", "");
    store.WriteString("Grid", "Grid_1_0_X", "lots");
    EXPECT_EQ(store.GetInt("Grid", "Grid_0_0_X", 1), 25600);
    EXPECT_EQ(store.GetInt("Grid", "Grid_0_0_Y", 1), 0);
    EXPECT_EQ(store.GetInt("Grid", "Grid_1_0_X", 1), 0);
}

TEST(CSettingsStore, ServicesHandTheInstalledStoreOut)
{
    CSettingsStore store;
    CSettingsStore* previous = CServices::SetSettings(&store);
    CServices::Settings().WriteString("Start-up", "Toolbar", "FALSE");
    EXPECT_EQ(store.GetString("Start-up", "Toolbar", ""), "FALSE");
    EXPECT_EQ(CServices::SetSettings(previous), &store);
}
