#include "document/CDialogCommands.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "document/CPenTables.h"
#include "model/CComponentArray.h"
#include "model/CDialogService.h"
#include "model/CDrawRecArray.h"
#include "model/CLengthText.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/document/DocTestViews.h"

namespace {

// Answers with the scripted result after letting `edit` change the values.
class CScriptedDialogs : public CDialogService {
public:
    bool Offers(Dialog) const override { return true; }
    int32_t Rotation(std::string& angle, bool&) override
    {
        shownAngle = angle;
        angle = typedAngle;
        return result;
    }
    int32_t PadInfo(int32_t& display, bool& markers) override
    {
        display = 5;
        markers = true;
        return result;
    }
    int32_t DisplayCompText(bool& reference, bool& shape, bool& type) override
    {
        reference = false;
        shape = true;
        type = true;
        return result;
    }
    int32_t Pens(CPenTables& pens) override
    {
        pens.Add(4000);
        return result;
    }
    int32_t CompText(std::array<std::string, 3>& sizes, std::array<std::string, 3>& pens) override
    {
        shownSizes = sizes;
        sizes[1] = "0.05";
        pens[2] = "0.01";
        return result;
    }
    int32_t CenterText(bool& reference, bool& type, bool& shape) override
    {
        centerShown = reference && type && shape;
        type = false;
        shape = false;
        return result;
    }

    int32_t result = resultOk;
    std::string shownAngle;
    std::string typedAngle;
    std::array<std::string, 3> shownSizes;
    bool centerShown = false;
};

class CDialogCommandsTest : public CDocumentTest {
protected:
    void SetUp() override
    {
        CDocumentTest::SetUp();
        m_previous = CDialogService::Set(&dialogs);
    }
    void TearDown() override
    {
        CDialogService::Set(m_previous);
        CDocumentTest::TearDown();
    }

    CScriptedDialogs dialogs;

private:
    CDialogService* m_previous = nullptr;
};

} // namespace

TEST_F(CDialogCommandsTest, RotateTurnsTheSelectionByTheTypedAngleAndRemembersIt)
{
    CDrawRecArray& lines = doc->Design().GetLines();
    lines.AddSegment(1000, 0, 2000, 0, LAYER_DRAWING_1, lines.FindOrAddPen(2000), 0);
    doc->Session().SelectAll(true);
    doc->Session().SetCursor(CPoint(0, 0));
    doc->Session().SetRotateAngle(12345);
    dialogs.typedAngle = "90";
    CDialogCommands::RotateSelection(*doc);
    EXPECT_EQ(dialogs.shownAngle, "12.345");
    EXPECT_EQ(doc->Session().GetRotateAngle(), 90000);
    EXPECT_EQ(lines.GetPoint(1), CPoint(0, -2000));

    dialogs.result = CDialogService::resultCancel;
    dialogs.typedAngle = "45";
    CDialogCommands::RotateSelection(*doc);
    EXPECT_EQ(doc->Session().GetRotateAngle(), 90000);
}

TEST_F(CDialogCommandsTest, PadInfoAndComponentTextsAreStoredOnlyOnOk)
{
    COutputArray& sets = doc->Design().GetDisplaySets();
    COutputRec& set = *sets.GetJob(sets.GetCurrent())->GetCurrentRec();
    set.SetTextReference(true);
    dialogs.result = CDialogService::resultCancel;
    CDialogCommands::PadInfo(*doc);
    CDialogCommands::DisplayCompText(*doc);
    EXPECT_NE(doc->Design().GetPadInfoMode(), 5);
    EXPECT_TRUE(set.IsTextReference());
    EXPECT_FALSE(doc->IsModified());

    dialogs.result = CDialogService::resultOk;
    CDialogCommands::PadInfo(*doc);
    CDialogCommands::DisplayCompText(*doc);
    EXPECT_EQ(doc->Design().GetPadInfoMode(), 5);
    EXPECT_TRUE(doc->Paint().IsUnconnectedPinMarks());
    EXPECT_FALSE(set.IsTextReference());
    EXPECT_TRUE(set.IsTextShape() && set.IsTextType());
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(CDialogCommandsTest, CancelledPensDialogTakesItsChangesBack)
{
    doc->Session().SetWorkLayer(LAYER_DRAWING_1);
    const std::vector<uint16_t> before = doc->Design().GetLines().GetPenTable();
    dialogs.result = CDialogService::resultCancel;
    CDialogCommands::Pens(*doc, false);
    EXPECT_EQ(doc->Design().GetLines().GetPenTable(), before);

    dialogs.result = CDialogService::resultOk;
    CDialogCommands::Pens(*doc, false);
    EXPECT_GE(doc->Design().GetLines().FindPen(4000), 1);
}

TEST_F(CDialogCommandsTest, ComponentTextSizesAndCentringFollowTheirDialogs)
{
    doc->Design().SetUnit(CLengthText::unitInch);
    CComponentArray& components = doc->Design().GetComponents();
    const int32_t height = components.GetTextHeight(1);
    dialogs.result = CDialogService::resultCancel;
    CDialogCommands::TextOptions(*doc);
    EXPECT_EQ(dialogs.shownSizes[0], CLengthText::FormatLength(0, components.GetTextHeight(0)));
    EXPECT_EQ(components.GetTextHeight(1), height);
    EXPECT_FALSE(doc->IsModified());

    dialogs.result = CDialogService::resultOk;
    CDialogCommands::TextOptions(*doc);
    EXPECT_EQ(components.GetTextHeight(1), 12800);
    EXPECT_EQ(components.GetTextLineWidth(2), 2560);
    EXPECT_TRUE(doc->IsModified());

    // Every text offered; the tool to move them starts whatever the answer.
    dialogs.result = CDialogService::resultCancel;
    CDialogCommands::CenterTexts(*doc);
    EXPECT_TRUE(dialogs.centerShown);
    EXPECT_TRUE(doc->Session().IsMode(ID_COMPONENTS_MOVE_ROTATE));
}
