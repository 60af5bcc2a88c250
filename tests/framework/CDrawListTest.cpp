#include "framework/CDrawList.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/CWorkPool.h"
#include "tests/support/CRecordingDC.h"

namespace {

// The drawing calls among the recorded lines: what a stand-in's own selections add is left out.
std::vector<std::string> Drawn(const std::vector<std::string>& lines)
{
    std::vector<std::string> drawn;
    for (const std::string& line : lines) {
        if (line.rfind("Select", 0) != 0 && line.rfind("Set", 0) != 0 &&
            line.rfind("MoveTo", 0) != 0)
            drawn.push_back(line);
    }
    return drawn;
}

// Every kind of call, with values that tell the fields apart.
void DrawEverything(CDeviceContext& dc)
{
    const CPoint corners[] = {CPoint(1, 2), CPoint(30, 4), CPoint(5, 60)};
    dc.SelectPen(CPen(CPen::Style::Dash, 1, 0x00112233));
    dc.SelectBrush(CBrush(CBrush::Hatch::DiagonalCross, 0x00445566));
    dc.SelectFont(CFontDesc{"Mono", -12, CFontDesc::boldWeight, true});
    dc.SetROP2(R2_NOTXORPEN);
    dc.SetROP2(99);
    dc.MoveTo(CPoint(-3, 7));
    dc.LineTo(CPoint(9, -11));
    dc.Polyline(corners);
    dc.Polygon(std::span<const CPoint>(corners, 2));
    dc.Rectangle(CRect(1, 2, 3, 4));
    dc.Ellipse(CRect(-5, -6, 7, 8));
    dc.SetPixel(CPoint(12, 13), 0x00778899);
    dc.FillSolidRect(CRect(20, 21, 22, 23), 0x00AABBCC);
    dc.SetTextColor(0x00010203);
    dc.SetBkColor(0x00040506);
    dc.SetBkMode(CDeviceContext::BkMode::Transparent);
    dc.TextOut(CPoint(40, 41), "R12");
    dc.TextOut(CPoint(42, 43), "");
    dc.IntersectClipRect(CRect(10, 10, 90, 80));
    dc.TextOut(CPoint(44, 45), "U7");
    dc.ResetClip();
    dc.SelectPen(CPen::Null());
    dc.LineTo(CPoint(0, 0));
}

void SetUpState(CDeviceContext& dc)
{
    dc.SelectPen(CPen(CPen::Style::Solid, 3, 0x000000FF));
    dc.SelectBrush(CBrush(0x0000FF00));
    dc.SelectFont(CFontDesc{"Sans", 10, 0, false});
    dc.SetROP2(R2_XORPEN);
    dc.MoveTo(CPoint(5, 6));
    dc.SetTextColor(0x00FF0000);
    dc.SetBkColor(0x00123456);
    dc.SetBkMode(CDeviceContext::BkMode::Transparent);
    dc.IntersectClipRect(CRect(10, 20, 300, 200));
}

TEST(CDrawListTest, PlaysBackEveryCallAsItWasMadeFromTheStateOfItsTarget)
{
    CRecordingDC direct(400, 300);
    CRecordingDC target(400, 300);
    SetUpState(direct);
    SetUpState(target);
    direct.Clear();
    CDrawList list(target);

    // The list answers as its target would have.
    EXPECT_EQ(list.GetROP2(), R2_XORPEN);
    EXPECT_EQ(list.GetClipBox(), CRect(10, 20, 300, 200));
    EXPECT_EQ(list.SelectPen(CPen()), CPen(CPen::Style::Solid, 3, 0x000000FF));
    EXPECT_EQ(list.SelectBrush(CBrush()), CBrush(0x0000FF00));
    EXPECT_EQ(list.SelectFont(CFontDesc()), (CFontDesc{"Sans", 10, 0, false}));
    EXPECT_EQ(list.MoveTo(CPoint()), CPoint(5, 6));
    EXPECT_EQ(list.SetTextColor(0), 0x00FF0000u);
    EXPECT_EQ(list.SetBkColor(0), 0x00123456u);
    EXPECT_EQ(list.SetBkMode(CDeviceContext::BkMode::Opaque), CDeviceContext::BkMode::Transparent);
    EXPECT_EQ(list.SetROP2(99), 0);
    EXPECT_EQ(list.SetROP2(R2_NOT), R2_XORPEN);
    list.IntersectClipRect(CRect(100, 0, 500, 50));
    EXPECT_EQ(list.GetClipBox(), CRect(100, 20, 300, 50));
    list.IntersectClipRect(CRect(0, 100, 50, 150));
    EXPECT_TRUE(list.GetClipBox().IsRectEmpty());
    list.ResetClip();
    EXPECT_EQ(list.GetClipBox(), CRect(10, 20, 300, 200));
    EXPECT_EQ(list.SelectPen(CPen::Null()), CPen());

    // Played onto its target, the calls come out unchanged and in their order.
    CDeviceContext* const both[] = {&direct, &target};
    for (CDeviceContext* dc : both) {
        dc->SelectPen(CPen());
        dc->SelectBrush(CBrush());
        dc->SelectFont(CFontDesc());
        dc->MoveTo(CPoint());
        dc->SetTextColor(0);
        dc->SetBkColor(0);
        dc->SetBkMode(CDeviceContext::BkMode::Opaque);
        dc->SetROP2(99);
        dc->SetROP2(R2_NOT);
        dc->IntersectClipRect(CRect(100, 0, 500, 50));
        dc->IntersectClipRect(CRect(0, 100, 50, 150));
        dc->ResetClip();
        dc->SelectPen(CPen::Null());
    }
    DrawEverything(direct);
    DrawEverything(list);
    target.Clear();
    list.PlayOnto(target);
    EXPECT_EQ(target.Lines(), direct.Lines());
}

// Each item draws a line, a pad and its number, and selects a pen by its kind as the board's
// loops do.
void DrawItems(CDeviceContext& dc, std::size_t first, std::size_t last)
{
    for (std::size_t i = first; i < last; ++i) {
        const int32_t n = int32_t(i);
        const CPen previous = dc.SelectPen(CPen(CPen::Style::Solid, n % 3, 0x00000010));
        dc.MoveTo(CPoint(n, 0));
        dc.LineTo(CPoint(n, n % 7));
        dc.Ellipse(CRect(n, n, n + 4, n + 4));
        dc.TextOut(CPoint(n, 2 * n), std::to_string(i));
        dc.SelectPen(previous);
    }
}

// Refuses drawing from any thread but the one that made it.
class COneThreadDC : public CRecordingDC {
public:
    void LineTo(CPoint point) override
    {
        if (std::this_thread::get_id() != m_owner)
            ++strayCalls;
        CRecordingDC::LineTo(point);
    }
    int strayCalls = 0;

private:
    std::thread::id m_owner = std::this_thread::get_id();
};

class CDrawInRangesTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = CWorkPool::ThreadCount(); }
    void TearDown() override { CWorkPool::SetThreadCount(m_saved); }

private:
    int m_saved = 1;
};

TEST_F(CDrawInRangesTest, ItemsArriveInTheirOrderOnTheCallingThreadWhateverTheThreads)
{
    for (const int threads : {1, 3, 8}) {
        for (const std::size_t count : {0u, 1u, 14u, 15u, 39u, 1001u}) {
            SCOPED_TRACE(testing::Message() << threads << " threads, " << count << " items");
            CWorkPool::SetThreadCount(threads);
            CRecordingDC direct;
            DrawItems(direct, 0, count);
            COneThreadDC dc;
            std::mutex mutex;
            std::size_t calls = 0;
            CDrawList::DrawInRanges(
                dc, count, 5, [&](CDeviceContext& target, std::size_t first, std::size_t last) {
                    {
                        std::lock_guard lock(mutex);
                        ++calls;
                    }
                    DrawItems(target, first, last);
                });
            EXPECT_EQ(Drawn(dc.Lines()), Drawn(direct.Lines()));
            EXPECT_EQ(dc.strayCalls, 0);
            EXPECT_EQ(calls, CDrawList::RangeCount(count, 5));
            // Fewer than a range a thread, or one thread, are drawn straight in one call.
            if (threads == 1 || count < std::size_t(5 * threads)) {
                EXPECT_EQ(calls, 1u);
            } else if (count == 1001) {
                EXPECT_EQ(calls, std::size_t(4 * threads));
            }
        }
    }
}

TEST_F(CDrawInRangesTest, AFailingRangeReachesTheCallerAndNobodyWaitsForIt)
{
    CWorkPool::SetThreadCount(4);
    for (const std::size_t failing : {0u, 7u, 15u}) {
        CRecordingDC dc;
        std::size_t range = 0;
        std::mutex mutex;
        EXPECT_THROW(CDrawList::DrawInRanges(
                         dc, 1600, 100,
                         [&](CDeviceContext& target, std::size_t first, std::size_t last) {
                             DrawItems(target, first, last);
                             if (first == failing * 100)
                                 throw std::runtime_error("no memory");
                             std::lock_guard lock(mutex);
                             ++range;
                         }),
                     std::runtime_error)
            << "range " << failing;
    }
}

} // namespace
