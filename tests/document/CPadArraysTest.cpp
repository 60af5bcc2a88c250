#include "document/CPadArrays.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "tests/document/DocTestViews.h"

namespace {

// The pad array dialogs, OK'd with the values given.
class CScriptedArrays : public CDialogService {
public:
    CScriptedArrays(const RectPadArray& rect, const CircPadArray& circle)
        : m_rect(rect), m_circle(circle), m_previous(CDialogService::Set(this))
    {
    }
    ~CScriptedArrays() override { CDialogService::Set(m_previous); }
    int32_t PadArrayRect(RectPadArray& values) override
    {
        values = m_rect;
        return resultOk;
    }
    int32_t PadArrayCirc(CircPadArray& values) override
    {
        values = m_circle;
        return resultOk;
    }

private:
    RectPadArray m_rect;
    CircPadArray m_circle;
    CDialogService* m_previous;
};

class CPadArraysTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        doc->Design().SetUnit(CLengthText::unitInch);
        doc->Session().SetCursor(CPoint(0, 0));
        m_before = PadPoints().size();
    }

    // The pad vertices of the current net, in order.
    std::vector<CPoint> PadPoints() const
    {
        const CNet& net = *doc->Design().GetNets().GetCurrentNet();
        std::vector<CPoint> points;
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v))
                points.push_back(net.GetVertexPoint(v));
        }
        return points;
    }
    std::vector<CPoint> NewPads() const
    {
        const std::vector<CPoint> all = PadPoints();
        return std::vector<CPoint>(all.begin() + ptrdiff_t(m_before), all.end());
    }
    std::vector<int32_t> NewPadRotations() const
    {
        const CNet& net = *doc->Design().GetNets().GetCurrentNet();
        std::vector<int32_t> rotations;
        size_t seen = 0;
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            if (net.IsPadVertex(v) && seen++ >= m_before)
                rotations.push_back(net.GetVertexRotation(v));
        }
        return rotations;
    }

    CProgramStrings strings;

private:
    size_t m_before = 0;
};

CDialogService::CircPadArray Circle(const char* first, const char* last, const char* count)
{
    CDialogService::CircPadArray values;
    values.xCenter = "0";
    values.yCenter = "0";
    values.radius = "0.5";
    values.firstAngle = first;
    values.lastAngle = last;
    values.firstRotation = "0";
    values.count = count;
    return values;
}

} // namespace

TEST_F(CPadArraysTest, AnArcKeepsBothEndsAndAFullCirclePutsNoPadTwice)
{
    EXPECT_EQ(CPadArrays::PlaceCircular(doc->Design(), doc->Session(), Circle("0", "180", "4")), 5);
    const std::vector<CPoint> half = {
        {0, 128000}, {90509, 90509}, {128000, 0}, {90509, -90509}, {0, -128000}};
    EXPECT_EQ(NewPads(), half);

    // The pad at the last angle of a whole turn would lie on the first.
    for (const auto& [first, last] : {std::pair{"0", "360"}, {"-90", "270"}, {"10", "370.000"}}) {
        SCOPED_TRACE(std::string(first) + ".." + last);
        const std::vector<CPoint> before = PadPoints();
        EXPECT_EQ(
            CPadArrays::PlaceCircular(doc->Design(), doc->Session(), Circle(first, last, "12")),
            12);
        const std::vector<CPoint> all = PadPoints();
        const std::vector<CPoint> circle(all.begin() + ptrdiff_t(before.size()), all.end());
        ASSERT_EQ(circle.size(), 12u);
        EXPECT_NE(circle.back(), circle.front());
    }
    const std::vector<CPoint> full = NewPads();
    EXPECT_EQ(full[half.size()], CPoint(0, 128000));
    EXPECT_EQ(full[half.size() + 3], CPoint(128000, 0));
    EXPECT_EQ(full[half.size() + 6], CPoint(0, -128000));
}

TEST_F(CPadArraysTest, CircularAnglesComeFromTheirIndexNotFromSums)
{
    // Summing 0.1 three times passes 0.3 and would lose the last pad.
    CDialogService::CircPadArray values = Circle("0", "0.3", "3");
    values.incrementRotation = true;
    values.firstRotation = "10";
    EXPECT_EQ(CPadArrays::PlaceCircular(doc->Design(), doc->Session(), values), 4);
    EXPECT_EQ(NewPadRotations(), (std::vector<int32_t>{10000, 10100, 10200, 10300}));
}

TEST_F(CPadArraysTest, CircularArraysOutsideTheLimitsPlaceNothing)
{
    const std::pair<CDialogService::CircPadArray, const char*> cases[] = {
        {Circle("90", "90", "4"),
         "Pad array last angle 90.000 degrees, not above the first angle 90.000 degrees"},
        {Circle("180", "0", "4"), "last angle 0.000 degrees, not above the first angle 180.000"},
        {Circle("0", "360", "0"), "Pad array count 0, outside 1 to 1000"},
        {Circle("0", "360", "-5"), "count -5, outside 1 to 1000"},
        {Circle("0", "360", "1001"), "count 1001, outside 1 to 1000"},
        {Circle("0", "360", "abc"), "count abc, outside 1 to 1000"}};
    for (const auto& [values, named] : cases) {
        SCOPED_TRACE(values.count + " " + values.firstAngle + ".." + values.lastAngle);
        services.messages.ClearShown();
        EXPECT_EQ(CPadArrays::PlaceCircular(doc->Design(), doc->Session(), values), 0);
        const std::vector<std::string> shown = services.messages.ShownTexts();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(named), std::string::npos) << shown[0];
    }
    EXPECT_TRUE(NewPads().empty());
}

TEST_F(CPadArraysTest, RectangularArrayTurnsItsRowsAboutTheStart)
{
    CDialogService::RectPadArray values = CPadArrays::RectangularPresets(doc->Session());
    values.xStart = "1";
    values.yStart = "0";
    values.xCount = "3";
    values.yCount = "2";
    values.arrayRotation = " 90.000";
    values.padRotation = " 45.000";
    EXPECT_EQ(CPadArrays::PlaceRectangular(doc->Design(), doc->Session(), values), 6);
    // A quarter turn takes (x, y) to (y, -x); rows first.
    const std::vector<CPoint> expected = {{256000, 0}, {256000, -25600}, {256000, -51200},
                                          {281600, 0}, {281600, -25600}, {281600, -51200}};
    EXPECT_EQ(NewPads(), expected);
    EXPECT_EQ(NewPadRotations(), std::vector<int32_t>(6, 45000));
}

TEST_F(CPadArraysTest, CountsAreBoundedAndFarArraysPlaceNothing)
{
    CDialogService::RectPadArray values = CPadArrays::RectangularPresets(doc->Session());
    const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
        {{"0", "2"}, "Pad array X count 0, outside 1 to 1000"},
        {{"-1", "2"}, "X count -1, outside"},
        {{"1001", "1"}, "X count 1001, outside"},
        {{"2", "2147483647"}, "Pad array Y count 2147483647, outside 1 to 1000"}};
    for (const auto& [counts, named] : cases) {
        values.xCount = counts.first;
        values.yCount = counts.second;
        services.messages.ClearShown();
        EXPECT_EQ(CPadArrays::PlaceRectangular(doc->Design(), doc->Session(), values), 0)
            << counts.first << " x " << counts.second;
        const std::vector<std::string> shown = services.messages.ShownTexts();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(named), std::string::npos) << shown[0];
    }
    // An array any of whose pads would lie beyond the coordinates a board uses places none and
    // says so: 1000 pads a thousand inches apart, or a circle of 5000 inches, through the menu
    // commands, leave no undo step and the design unmodified.
    values.xCount = "1000";
    values.yCount = "1";
    values.xDistance = "1000";
    CDialogService::CircPadArray circle = CPadArrays::CircularPresets(doc->Session());
    circle.radius = "5000";
    CScriptedArrays dialogs(values, circle);
    const std::function<bool()> commands[] = {
        [&] {
            return CPadArrays::OnRectangular(doc->Design(), doc->Session(), doc->History(),
                                             doc->Windows(), [&] { doc->SetModified(); });
        },
        [&] {
            return CPadArrays::OnCircular(doc->Design(), doc->Session(), doc->History(),
                                          doc->Windows(), [&] { doc->SetModified(); });
        }};
    doc->SetModifiedFlag(false);
    for (const auto& command : commands) {
        services.messages.ClearShown();
        EXPECT_FALSE(command());
        const std::vector<std::string> shown = services.messages.ShownTexts();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].find("Pad array "), 75u) << shown[0];
        EXPECT_NE(shown[0].find(", outside "), std::string::npos) << shown[0];
        EXPECT_TRUE(NewPads().empty());
        EXPECT_EQ(doc->History().GetUndoCount(), 0);
        EXPECT_FALSE(doc->IsModified());
    }
}

TEST_F(CPadArraysTest, PresetsStartAtTheCursorRelativeToTheUserOffset)
{
    doc->Session().SetCursor(CPoint(51200, 25600));
    doc->Design().SetUserOffset(CPoint(25600, 0));
    const CDialogService::RectPadArray rect = CPadArrays::RectangularPresets(doc->Session());
    EXPECT_EQ(rect.xStart, "0.1000 inch");
    EXPECT_EQ(rect.yStart, "0.1000 inch");
    EXPECT_EQ(rect.xCount, "8");
    const CDialogService::CircPadArray circle = CPadArrays::CircularPresets(doc->Session());
    EXPECT_EQ(circle.radius, "0.5000 inch");
    EXPECT_EQ(circle.lastAngle, "360.000");
    EXPECT_EQ(circle.count, "12");
}
