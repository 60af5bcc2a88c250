#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/VirtualKeys.h"
#include "model/CDialogService.h"
#include "model/CLengthText.h"
#include "model/CTextArray.h"
#include "model/CTextArrayDocument.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"

namespace {

constexpr uint32_t waiting = CTextArrayDocument::actionWaiting;
constexpr uint32_t dragging = CTextArrayDocument::actionDragging;

// The editing state of a design, with counters of what the tool asked of it.
class CFakeTextDocument : public CTextArrayDocument {
public:
    uint32_t GetMode() const override { return mode; }
    void SetMode(uint32_t m) override
    {
        mode = m;
        action = waiting;
    }
    uint32_t GetAction() const override { return action; }
    void SetAction(uint32_t a) override
    {
        action = a;
        if (a == dragging)
            snapshotDue = true;
    }
    int32_t GetWorkLayer() const override { return workLayer; }
    int32_t GetUnit() const override { return unit; }
    CPoint GetCursor() const override { return cursor; }
    void SetCursor(CPoint point) override { cursor = point; }
    CPoint GetRawCursor() const override { return rawCursor; }
    CPoint GetAnchor() const override { return anchor; }
    void SetAnchor(CPoint point) override { anchor = point; }
    void SaveUndoState() override
    {
        snapshotDue = true;
        PushUndoForSelection();
    }
    void PushUndoForSelection() override
    {
        if (!snapshotDue)
            return;
        ++snapshots;
        snapshotDue = false;
        modified = true;
    }
    void SetModified() override { modified = true; }
    void RedrawBoardViews() override { ++redraws; }
    void RepaintBoardViews() override { ++repaints; }
    std::vector<std::string> GetLayerNames() const override
    {
        return std::vector<std::string>(LAYER_COUNT, "layer");
    }
    const CWevraFont& GetFont() const override { return font; }

    // The view's cursor step: the snapped cursor moves, then the tool follows.
    void MoveTo(CTextArray& texts, CPoint point)
    {
        cursor = point;
        texts.OnMoveCursor();
    }

    CWevraFont font;
    uint32_t mode = ID_BOARD_PLACE_TEXT;
    uint32_t action = waiting;
    int32_t workLayer = LAYER_SILK_TOP;
    int32_t unit = CLengthText::unitMillimetre;
    CPoint cursor;
    CPoint rawCursor;
    CPoint anchor;
    bool snapshotDue = false;
    int32_t snapshots = 0;
    bool modified = false;
    int32_t redraws = 0;
    int32_t repaints = 0;
};

// The values of one Edit Text dialog.
struct EditTextValues {
    std::string text;
    std::string size;
    std::string width;
    int32_t layer = 0;
    bool mirrored = false;
    std::string rotation;
};

// Answers the Edit Text dialog: records what it was shown and, on OK, gives back `answer`
// (or the values unchanged when `keep` is set).
class CScriptedEditText : public CDialogService {
public:
    CScriptedEditText() : m_previous(CDialogService::Set(this)) {}
    ~CScriptedEditText() override { CDialogService::Set(m_previous); }

    int32_t EditText(std::string& text, std::string& size, std::string& width, int32_t& layer,
                     bool& mirrored, std::string& rotation,
                     const std::vector<std::string>& layerNames) override
    {
        shown.push_back({text, size, width, layer, mirrored, rotation});
        nameCount = layerNames.size();
        if (result == resultOk && !keep) {
            text = answer.text;
            size = answer.size;
            width = answer.width;
            layer = answer.layer;
            mirrored = answer.mirrored;
            rotation = answer.rotation;
        }
        return result;
    }

    int32_t result = resultOk;
    bool keep = false;
    EditTextValues answer{"NEW", "2.5 mm", "0.3 mm", LAYER_SILK_BOTTOM, true, "-90"};
    std::vector<EditTextValues> shown;
    size_t nameCount = 0;

private:
    CDialogService* m_previous;
};

CWevraText MakeText(const std::string& s, CPoint position, int32_t layer = LAYER_SILK_TOP)
{
    CWevraText text;
    text.SetText(s);
    text.SetPosition(position);
    text.SetLayer(layer);
    return text;
}

// A list holding the texts, unselected, tied to the document.
CTextArray MakeList(CFakeTextDocument& document, const std::vector<CWevraText>& texts)
{
    CTextArray list(document);
    for (const CWevraText& text : texts)
        list.AddText(&text);
    list.SelectAll(false);
    return list;
}

// ---- Place Text ---------------------------------------------------------------------------------

TEST(CTextArrayToolTest, PlaceTextAddsACopyOfTheLastTextAndDragsIt)
{
    struct Row {
        int32_t result;
        std::string text;
        int32_t layer;
    };
    const Row rows[] = {
        {CDialogService::resultOk, "NEW", LAYER_SILK_BOTTOM},
        {CDialogService::resultCancel, "OLD", LAYER_ASSEMBLY_TOP},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CScriptedEditText dialogs;
        dialogs.result = row.result;
        CFakeTextDocument document;
        CWevraText old = MakeText("OLD", CPoint(0, 0), LAYER_ASSEMBLY_TOP);
        old.SetHeight(20156);
        CTextArray list = MakeList(document, {old});
        document.cursor = CPoint(50000, 60000);

        list.OnClick();
        ASSERT_EQ(list.GetCount(), 2);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, "OLD");
        EXPECT_EQ(dialogs.shown[0].size, "2.000 mm.");
        EXPECT_EQ(document.action, dragging);
        EXPECT_EQ(document.anchor, CPoint(50000, 60000));
        EXPECT_EQ(list.GetCurrent(), 1);
        EXPECT_TRUE(list.IsSelected(1));
        EXPECT_FALSE(list.IsSelected(0));
        EXPECT_GE(document.snapshots, 1);
        const CWevraText& added = *list.GetText(1);
        EXPECT_EQ(added.GetText(), row.text);
        EXPECT_EQ(added.GetLayer(), row.layer);
        EXPECT_EQ(added.GetPosition(), CPoint(50000, 60000));

        document.MoveTo(list, CPoint(53000, 61000));
        document.MoveTo(list, CPoint(52000, 65000));
        EXPECT_EQ(added.GetPosition(), CPoint(52000, 65000));
        EXPECT_EQ(document.anchor, CPoint(52000, 65000));
        EXPECT_EQ(list.GetText(0)->GetPosition(), CPoint(0, 0));

        list.OnClick();
        EXPECT_EQ(document.action, waiting);
        EXPECT_EQ(list.GetSelectedCount(), 0);
        EXPECT_EQ(list.GetCount(), 2);
        EXPECT_EQ(added.GetPosition(), CPoint(52000, 65000));
        // A move after placing no longer drags it.
        document.MoveTo(list, CPoint(0, 0));
        EXPECT_EQ(added.GetPosition(), CPoint(52000, 65000));
    }
}

TEST(CTextArrayToolTest, TheFirstPlacedTextIsADefaultText)
{
    CScriptedEditText dialogs;
    dialogs.result = CDialogService::resultCancel;
    CFakeTextDocument document;
    CTextArray list(document);
    list.OnKeySpace(' ');
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetText(0)->GetHeight(), CWevraText::defaultHeight);
    EXPECT_EQ(list.GetText(0)->GetLayer(), CWevraText::defaultLayer);
    // Space while dragging is not the click; Enter is.
    list.OnKeySpace(' ');
    EXPECT_EQ(document.action, dragging);
    list.OnKeyEsc(VK_RETURN);
    EXPECT_EQ(document.action, waiting);
    EXPECT_EQ(list.GetCount(), 1);
}

TEST(CTextArrayToolTest, EscEndModeOrDelWhilePlacingDropsTheNewText)
{
    enum class Way { Esc, EndMode, Del };
    for (Way way : {Way::Esc, Way::EndMode, Way::Del}) {
        SCOPED_TRACE(int(way));
        CScriptedEditText dialogs;
        CFakeTextDocument document;
        CTextArray list = MakeList(document, {MakeText("A", CPoint(0, 0))});
        list.OnClick();
        ASSERT_EQ(list.GetCount(), 2);
        if (way == Way::Esc)
            list.OnKeyEsc(VK_ESCAPE);
        else if (way == Way::EndMode)
            list.EndStep();
        else
            list.OnKeyEsc(VK_DELETE);
        EXPECT_EQ(list.GetCount(), 1);
        EXPECT_EQ(list.GetText(0)->GetText(), "A");
        EXPECT_EQ(list.GetSelectedCount(), 0);
        EXPECT_EQ(document.action, waiting);
        EXPECT_EQ(document.mode, ID_BOARD_PLACE_TEXT);
    }
}

// ---- Edit Text ----------------------------------------------------------------------------------

TEST(CTextArrayToolTest, EditTextPicksOnTheWorkLayerDragsAndCancelMovesBack)
{
    CFakeTextDocument document;
    document.mode = ID_BOARD_EDIT_TEXT;
    CTextArray list = MakeList(document, {MakeText("A", CPoint(0, 0), LAYER_SILK_BOTTOM),
                                          MakeText("B", CPoint(100000, 0))});

    // Only texts on the work layer can be picked.
    document.rawCursor = CPoint(3000, 2000);
    list.OnClick();
    EXPECT_EQ(document.action, waiting);
    EXPECT_EQ(list.GetSelectedCount(), 0);

    document.rawCursor = CPoint(103000, 2000);
    list.OnClick();
    ASSERT_EQ(document.action, dragging);
    EXPECT_TRUE(list.IsSelected(1));
    EXPECT_EQ(document.cursor, CPoint(100000, 0));
    EXPECT_EQ(document.anchor, CPoint(100000, 0));

    document.MoveTo(list, CPoint(110000, 5000));
    document.MoveTo(list, CPoint(120000, 7000));
    EXPECT_EQ(list.GetText(1)->GetPosition(), CPoint(120000, 7000));

    list.OnKeyEsc(VK_ESCAPE);
    EXPECT_EQ(list.GetText(1)->GetPosition(), CPoint(100000, 0));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(document.action, waiting);

    // A second drag starts where the text is, not where the last drag ended.
    document.rawCursor = CPoint(100000, 0);
    list.OnClick();
    document.MoveTo(list, CPoint(100500, 300));
    EXPECT_EQ(list.GetText(1)->GetPosition(), CPoint(100500, 300));
    list.EndStep();
    EXPECT_EQ(list.GetText(1)->GetPosition(), CPoint(100500, 300));
    EXPECT_TRUE(document.modified);
    EXPECT_EQ(document.action, waiting);
    EXPECT_EQ(list.GetCount(), 2);
}

TEST(CTextArrayToolTest, F2AndDelWhileDraggingAreUndoable)
{
    CFakeTextDocument document;
    document.mode = ID_BOARD_EDIT_TEXT;
    CWevraText a = MakeText("A", CPoint(0, 0));
    a.SetAngle(300000);
    CTextArray list = MakeList(document, {a, MakeText("B", CPoint(100000, 0))});

    document.rawCursor = CPoint(0, 0);
    list.OnClick();
    list.OnKeyEsc(VK_F2);
    EXPECT_EQ(list.GetText(0)->GetAngle(), 30000);
    EXPECT_EQ(list.GetText(0)->GetPosition(), CPoint(0, 0));
    EXPECT_EQ(document.snapshots, 1);
    EXPECT_EQ(document.action, dragging);
    list.OnClick();

    document.rawCursor = CPoint(100000, 0);
    list.OnClick();
    list.OnKeyEsc(VK_DELETE);
    EXPECT_EQ(document.snapshots, 2);
    EXPECT_TRUE(document.modified);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetText(0)->GetText(), "A");
    EXPECT_EQ(document.action, waiting);
    // Neither key does anything while waiting.
    list.OnKeyEsc(VK_DELETE);
    list.OnKeyEsc(VK_F2);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetText(0)->GetAngle(), 30000);
}

TEST(CTextArrayToolTest, EndModeWhileWaitingStepsPlaceEditIdle)
{
    CFakeTextDocument document;
    CTextArray list = MakeList(document, {MakeText("A", CPoint(0, 0))});
    list.Select(0, true);
    list.EndStep();
    EXPECT_EQ(document.mode, ID_BOARD_EDIT_TEXT);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    list.OnKeyEsc(VK_ESCAPE);
    EXPECT_EQ(document.mode, ID_VIEW);
}

TEST(CTextArrayToolTest, ContextMenuItems)
{
    struct Row {
        uint32_t mode;
        uint32_t action;
        std::vector<uint32_t> items;
    };
    const std::vector<uint32_t> tools = {0, ID_BOARD_PLACE_TEXT, ID_BOARD_EDIT_TEXT};
    const Row rows[] = {
        {ID_BOARD_PLACE_TEXT, dragging, {}},
        {ID_BOARD_PLACE_TEXT, waiting, tools},
        {ID_BOARD_EDIT_TEXT, dragging, {0, ID_TEXT_MODIFY, ID_OTHER_DELETE}},
        {ID_BOARD_EDIT_TEXT, waiting, tools},
    };
    for (const Row& row : rows) {
        CFakeTextDocument document;
        document.mode = row.mode;
        document.action = row.action;
        CTextArray list(document);
        EXPECT_EQ(list.GetContextMenuItems(), row.items) << row.mode << " " << row.action;
    }
}

// ---- Edit Text dialog ---------------------------------------------------------------------------

// A document dragging its text 0 in Edit Text.
struct DraggedText {
    DraggedText(const CWevraText& text, int32_t unit) : list(MakeList(document, {text}))
    {
        document.mode = ID_BOARD_EDIT_TEXT;
        document.unit = unit;
        document.rawCursor = text.GetPosition();
        list.OnClick();
    }
    CFakeTextDocument document;
    CTextArray list;
};

TEST(CTextArrayToolTest, EditDialogShowsLengthsInTheUnitAndDegrees)
{
    struct Row {
        int32_t unit;
        int32_t angle;
        EditTextValues shown;
    };
    const Row rows[] = {
        {CLengthText::unitMillimetre, 1001, {"T", "1.000 mm.", "0.200 mm.", 21, true, " 1.001"}},
        {CLengthText::unitInch, 270000, {"T", "0.0394 inch", "0.0079 inch", 21, true, "270.000"}},
        {CLengthText::unitMil, 0, {"T", "39 mil", "7 mil", 21, true, " 0.000"}},
    };
    for (const Row& row : rows) {
        CScriptedEditText dialogs;
        dialogs.keep = true;
        CWevraText text = MakeText("T", CPoint(0, 0));
        text.SetMirrored(true);
        text.SetAngle(row.angle);
        DraggedText dragged(text, row.unit);
        EXPECT_EQ(dragged.list.EditProperties(), 1);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        const EditTextValues& shown = dialogs.shown[0];
        EXPECT_EQ(shown.text, row.shown.text);
        EXPECT_EQ(shown.size, row.shown.size);
        EXPECT_EQ(shown.width, row.shown.width);
        EXPECT_EQ(shown.layer, row.shown.layer);
        EXPECT_EQ(shown.mirrored, row.shown.mirrored);
        EXPECT_EQ(shown.rotation, row.shown.rotation);
        EXPECT_EQ(dialogs.nameCount, size_t(LAYER_COUNT));
        // Confirmed unchanged, the angle stays as it was.
        EXPECT_EQ(dragged.list.GetText(0)->GetAngle(), row.angle);
    }
}

TEST(CTextArrayToolTest, EditDialogValuesAreTakenBackOnOk)
{
    struct Row {
        std::string rotation;
        int32_t angle;
    };
    const Row rows[] = {
        {"-90", 270000}, {"720", 0},         {"45.0009", 45001}, {"45.0004", 45000},
        {"1.001", 1001}, {"-1.001", 358999}, {"12.345", 12345},  {"abc", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rotation);
        CScriptedEditText dialogs;
        dialogs.answer.rotation = row.rotation;
        DraggedText dragged(MakeText("T", CPoint(0, 0)), CLengthText::unitMillimetre);
        EXPECT_EQ(dragged.list.EditProperties(), 1);
        const CWevraText& text = *dragged.list.GetText(0);
        EXPECT_EQ(text.GetAngle(), row.angle);
        EXPECT_EQ(text.GetText(), "NEW");
        EXPECT_EQ(text.GetHeight(), 25196);
        EXPECT_EQ(text.GetLineWidth(), 3023);
        EXPECT_EQ(text.GetLayer(), LAYER_SILK_BOTTOM);
        EXPECT_TRUE(text.IsMirrored());
        // Edited without a move, the change is still recorded and the design modified.
        EXPECT_EQ(dragged.document.snapshots, 1);
        EXPECT_TRUE(dragged.document.modified);
    }
}

TEST(CTextArrayToolTest, EditDialogChangesNothingOnCancelWhileWaitingOrForNoLayer)
{
    CScriptedEditText dialogs;
    dialogs.result = CDialogService::resultCancel;
    DraggedText dragged(MakeText("T", CPoint(0, 0)), CLengthText::unitMillimetre);
    EXPECT_EQ(dragged.list.EditProperties(), 0);
    EXPECT_EQ(dragged.list.GetText(0)->GetText(), "T");
    EXPECT_FALSE(dragged.document.modified);

    dialogs.result = CDialogService::resultOk;
    dialogs.answer.layer = LAYER_COUNT;
    EXPECT_EQ(dragged.list.EditProperties(), 1);
    EXPECT_EQ(dragged.list.GetText(0)->GetLayer(), LAYER_SILK_TOP);

    dragged.list.OnClick();
    const size_t shownBefore = dialogs.shown.size();
    EXPECT_EQ(dragged.list.EditProperties(), 0);
    EXPECT_EQ(dialogs.shown.size(), shownBefore);
}

} // namespace
