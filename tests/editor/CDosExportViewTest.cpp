#include <filesystem>

#include <QApplication>
#include <QImage>
#include <QRect>

#include "editor/CMainFrame.h"
#include "resources/CommandIds.h"
#include "tests/editor/DemoWindowTest.h"

namespace {

class CDosExportViewTest : public CDemoWindowTest {
protected:
    CDosExportViewTest() : CDemoWindowTest("wevra_dos_export_view_test") {}

    QImage Board()
    {
        view->viewport()->repaint();
        QApplication::processEvents();
        return view->viewport()->grab().toImage();
    }
};

// Writing the DOS set fills the unfilled plane for the files only: the board view shows the
// design as it was, not a plane laid over the silkscreen, the texts and the grid.
TEST_F(CDosExportViewTest, TheBoardLooksTheSameAfterAnExport)
{
    FocusWholeBoard();
    const QImage before = Board();
    const std::filesystem::path folder = sandbox.root / "dos";
    std::filesystem::create_directories(folder);
    services.fileDialogs.QueueFolder(folder.string());
    ASSERT_TRUE(frame->GetRouter().Execute(ID_FILE_EXPORT_EXPORT_PLY_CNF_CMP_FORMAT));
    QApplication::processEvents();
    ASSERT_FALSE(std::filesystem::is_empty(folder));
    const QImage after = Board();
    // The scroll bars may come or go; the board itself stays where it was.
    const QRect shared = before.rect().intersected(after.rect());
    EXPECT_TRUE(after.copy(shared) == before.copy(shared));
}

} // namespace
