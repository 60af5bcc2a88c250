#include "document/CViewState.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "document/CDesignSettings.h"
#include "document/CDocumentViews.h"
#include "document/CEditState.h"

namespace {

class CClientViews : public CDocumentViews {
public:
    CSize GetClientSize() const override { return client; }
    CSize client;
};

// The view on its own, without a document: only its settings, the cursor and a counter of the
// design changes it reports.
class CViewStateTest : public ::testing::Test {
protected:
    CDesignSettings settings;
    CEditState edit;
    int32_t changes = 0;
    CViewState view{settings, edit, [this] { ++changes; }};
};

TEST_F(CViewStateTest, ReportsAChangeOnlyWhenTheStoredScaleOrOffsetChange)
{
    view.SetScale(settings.scale);
    EXPECT_FALSE(view.ScrollBy(0, 0));
    EXPECT_FALSE(view.ScrollToOrigin());
    view.ScrollTo(0, 0);
    EXPECT_EQ(changes, 0);

    view.SetScale(CDesignSettings::maxScale + 1);
    EXPECT_EQ(view.GetScale(), CDesignSettings::maxScale);
    view.SetScale(CDesignSettings::maxScale);
    EXPECT_EQ(changes, 1);

    EXPECT_TRUE(view.ScrollBy(5, -7));
    EXPECT_EQ(settings.offset, CPoint(5, -7));
    EXPECT_TRUE(view.ScrollToOrigin());
    EXPECT_EQ(changes, 3);

    // Offsets beyond the board unit's range stop at its ends.
    view.ScrollTo(int64_t(std::numeric_limits<int32_t>::max()) + 10,
                  int64_t(std::numeric_limits<int32_t>::min()) - 10);
    EXPECT_EQ(view.GetViewOffset(),
              CPoint(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()));
}

TEST_F(CViewStateTest, WithoutWindowsTheClientAreaIsEmptyAndZoomStillStaysInRange)
{
    EXPECT_EQ(view.GetClientPixels(), CSize());
    view.ZoomAll();
    EXPECT_GE(view.GetScale(), CDesignSettings::minScale);
    EXPECT_LE(view.GetScale(), CDesignSettings::maxScale);

    CClientViews windows;
    windows.client = CSize(-5, 300);
    view.SetWindows(&windows);
    EXPECT_EQ(view.GetClientPixels(), CSize(0, 300));
    view.SetWindows(nullptr);
    EXPECT_EQ(view.GetClientPixels(), CSize());
}

TEST_F(CViewStateTest, ZoomWindowMovesTheCursorItCentresOn)
{
    CClientViews windows;
    windows.client = CSize(800, 600);
    view.SetWindows(&windows);
    settings.scale = 100;
    edit.cursor = CPoint(40000, 30000);
    view.SetZoomRect(CRect(40000, 30000, 20000, 10000));

    ASSERT_TRUE(view.ZoomWindow());
    EXPECT_EQ(view.GetZoomRect(), CRect(20000, 10000, 40000, 30000));
    // The 200 x 200 pixel window fills the smaller side of the view: three times closer.
    EXPECT_EQ(view.GetScale(), 33);
    EXPECT_EQ(edit.cursor, CPoint(30000, 20000));
    EXPECT_EQ(view.GetViewOffset(), CPoint(800 * 33 / 2 - 30000, 600 * 33 / 2 - 20000));

    view.SetZoomRect(CRect(0, 0, 10, 10));
    EXPECT_FALSE(view.ZoomWindow());
    EXPECT_EQ(view.GetScale(), 33);
}

} // namespace
