#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "gridctrl/CGridCellArea.h"
#include "gridctrl/CGridEdit.h"
#include "gridctrl/CGridSheetInfo.h"
#include "tests/gridctrl/GridTestSupport.h"

namespace {

// Counts the ends of edits and refuses as many as it is told to.
class CEditGrid : public CGridCtrl {
public:
    int OnEditFinish(int col, int row, QWidget*, const QString& text, bool cancelled) override
    {
        finishes.push_back({col, row, text, cancelled});
        return refusals-- > 0 ? 0 : 1;
    }
    // The table windows start editing when a character is typed on a cell.
    void OnCharTyped(uint32_t& ch, int processed) override
    {
        if (!processed && ch >= ' ')
            StartEdit(ch);
    }

    struct Finish {
        int col;
        int row;
        QString text;
        bool cancelled;
    };
    std::vector<Finish> finishes;
    int refusals = 0;
};

// A grid of 3 x 4 cells in an active window, typed into as a user would.
class CGridEditTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        m_owner = MakeGrid(3, 4, m_grid = new CEditGrid());
        FillNames(*m_grid);
        m_grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_grid));
        m_grid->GetCellArea()->setFocus();
        QApplication::processEvents();
    }

    QWidget* Area() const { return m_grid->GetCellArea(); }
    CGridEdit* Edit() const { return m_grid->GetEdit(); }

    // The middle of a cell in the cell area.
    QPoint Centre(int col, int row) const
    {
        CRect rect;
        EXPECT_TRUE(m_grid->GetCellRect(col, row, rect));
        return QPoint(int(rect.left + rect.right) / 2, int(rect.top + rect.bottom) / 2);
    }

    // Types into the cell area; once an edit opens, the rest goes where the focus is.
    void Type(const QString& text)
    {
        for (const QChar ch : text) {
            QWidget* target = m_grid->IsEditing() ? QApplication::focusWidget() : Area();
            QTest::keyClick(target, ch.toLatin1());
        }
    }

    void Click(int col, int row)
    {
        QTest::mouseClick(Area(), Qt::LeftButton, {}, Centre(col, row));
    }

    CEditGrid* m_grid = nullptr;
    std::unique_ptr<CGridCtrl> m_owner;
};

TEST_F(CGridEditTest, TypingStartsAnEditThatTabStoresAndCarriesOn)
{
    Click(1, 2);
    Type("new");
    ASSERT_TRUE(m_grid->IsEditing());
    EXPECT_TRUE(Edit()->isVisible());
    EXPECT_TRUE(Edit()->hasFocus());
    EXPECT_EQ(Edit()->toPlainText(), "new") << "the first key replaces the text";

    QTest::keyClick(Edit(), Qt::Key_Tab);
    EXPECT_EQ(m_grid->GetCellText(1, 2), "new");
    EXPECT_TRUE(m_grid->IsEditing()) << "goes on in the next column";
    EXPECT_EQ(m_grid->GetCurrentCol(), 2);
    EXPECT_EQ(Edit()->toPlainText(), "c2r2");
    EXPECT_EQ(Edit()->textCursor().selectedText(), "c2r2");

    QTest::keyClick(Edit(), Qt::Key_Tab);
    EXPECT_EQ(m_grid->GetCurrentCol(), 0) << "past the last column to the first";
    EXPECT_EQ(m_grid->GetCurrentRow(), 2);
    QTest::keyClick(Edit(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(m_grid->GetCurrentCol(), 2) << "Shift+Tab in column 0 goes to the last column";
}

TEST_F(CGridEditTest, EnterGoesDownAndWrapsFromTheLastRow)
{
    Click(0, 3);
    Type("x");
    QTest::keyClicks(Edit(), "yz");
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_EQ(m_grid->GetCellText(0, 3), "xyz");
    EXPECT_EQ(m_grid->GetCurrentRow(), 0);
    EXPECT_TRUE(m_grid->IsEditing());
    QTest::keyClick(Edit(), Qt::Key_Up);
    EXPECT_EQ(m_grid->GetCurrentRow(), 3);
}

TEST_F(CGridEditTest, EscapeEndsWithoutStoring)
{
    Click(2, 1);
    Type("gone");
    QTest::keyClick(Edit(), Qt::Key_Escape);
    EXPECT_FALSE(m_grid->IsEditing());
    EXPECT_FALSE(Edit()->isVisible());
    EXPECT_EQ(m_grid->GetCellText(2, 1), "c2r1");
    ASSERT_EQ(m_grid->finishes.size(), 1u);
    EXPECT_TRUE(m_grid->finishes[0].cancelled);
    EXPECT_TRUE(Area()->hasFocus());
    QTest::keyClick(Area(), Qt::Key_Down);
    EXPECT_EQ(m_grid->GetCurrentRow(), 2) << "the keys move the cursor again";
}

TEST_F(CGridEditTest, ClickingAnotherCellEndsTheEditAndMovesThere)
{
    Click(0, 0);
    Type("kept");
    Click(2, 3);
    EXPECT_FALSE(m_grid->IsEditing());
    EXPECT_EQ(m_grid->GetCellText(0, 0), "kept");
    EXPECT_EQ(m_grid->GetCurrentCol(), 2);
    EXPECT_EQ(m_grid->GetCurrentRow(), 3);
    ASSERT_EQ(m_grid->finishes.size(), 1u);
    EXPECT_FALSE(m_grid->finishes[0].cancelled);
}

TEST_F(CGridEditTest, ARefusedEndKeepsEditingOnceWithoutLooping)
{
    m_grid->refusals = 1;
    Click(1, 1);
    Type("bad");
    Click(2, 2);
    QApplication::processEvents();
    ASSERT_EQ(m_grid->finishes.size(), 1u) << "one end per loss of focus";
    EXPECT_TRUE(m_grid->IsEditing());
    EXPECT_TRUE(Edit()->hasFocus());
    EXPECT_EQ(m_grid->GetCurrentCol(), 1);
    EXPECT_EQ(m_grid->GetCurrentRow(), 1);
    EXPECT_EQ(m_grid->GetCellText(1, 1), "c1r1");

    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_EQ(m_grid->finishes.size(), 2u);
    EXPECT_EQ(m_grid->GetCellText(1, 1), "bad");
}

TEST_F(CGridEditTest, FocusToAnotherWindowCancelsButAPopupDoesNot)
{
    QLineEdit other;
    other.show();
    Click(1, 0);
    Type("lost");
    m_grid->EditLostFocus(nullptr, Qt::PopupFocusReason);
    EXPECT_TRUE(m_grid->IsEditing()) << "a popup menu borrows the focus only";

    other.activateWindow();
    other.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QApplication::processEvents();
    EXPECT_FALSE(m_grid->IsEditing());
    EXPECT_EQ(m_grid->GetCellText(1, 0), "c1r0");
    ASSERT_EQ(m_grid->finishes.size(), 1u);
    EXPECT_TRUE(m_grid->finishes[0].cancelled);
}

TEST_F(CGridEditTest, UpAndDownMoveTheCaretInAGrownEdit)
{
    Click(0, 1);
    Type("a");
    QTest::keyClicks(Edit(), " long text that cannot fit into three narrow columns of the grid");
    EXPECT_GT(Edit()->height(), 20);
    QTest::keyClick(Edit(), Qt::Key_Up);
    QTest::keyClick(Edit(), Qt::Key_Down);
    EXPECT_TRUE(m_grid->IsEditing());
    EXPECT_EQ(m_grid->GetCurrentRow(), 1);
}

TEST_F(CGridEditTest, ReadOnlyAndCheckBoxCellsAreNotEdited)
{
    CGridCell readOnly;
    readOnly.SetReadOnly(1);
    m_grid->SetCell(0, 2, readOnly);
    Click(0, 2);
    EXPECT_EQ(m_grid->StartEdit(0), GRID_OUT_OF_RANGE);
    m_grid->SetCellTypeIndex(1, 2, 2);
    Click(1, 2);
    Type("q");
    EXPECT_FALSE(m_grid->IsEditing());
}

} // namespace
