#include <memory>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

#include "dialogs/CGetShapeDlg.h"
#include "dialogs/CShapePreview.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "tests/dialogs/DialogTestSupport.h"

namespace {

using namespace dialog_test;

void Choose(QWidget* dialog, int32_t listId, const char* text)
{
    auto* list = Find<QListWidget>(dialog, listId);
    const QList<QListWidgetItem*> found =
        list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    list->setCurrentItem(found.front());
}

QStringList Entries(QWidget* dialog, int32_t listId)
{
    QStringList entries;
    auto* list = Find<QListWidget>(dialog, listId);
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}

class CGetShapeDlgTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        cache.SetName(CShapeLib::cacheName);
        cache.AddShape("R0805");
        cache.AddShape("C_U3");
        auto passive = std::make_unique<CShapeLib>();
        passive->SetName("PASSIVE");
        const int32_t diode = passive->AddShape("DIODE");
        passive->AddOutlineToShape(diode, -25600, 0, 0);
        passive->AddOutlineToShape(diode, 25600, 0, 0);
        passive->RecalcShapeExtent(diode);
        libraries.AddLib(std::move(passive));
        request.components = {{"R1", "10k", "R0805"}, {"U3", "LM358", "SO8"}};
    }

    int Run(const std::function<void(QWidget*)>& user)
    {
        CGetShapeDlg dialog(cache, &libraries, request);
        WhenModal(user);
        const int result = dialog.Run();
        shape = dialog.GetShape();
        prefix = dialog.GetPrefix();
        type = dialog.GetType();
        return result;
    }

    CShapeLib cache;
    CShapeLibArray libraries;
    CDialogService::ShapeRequest request;
    int32_t shape = -1;
    std::string prefix;
    std::string type;
};

TEST_F(CGetShapeDlgTest, ALibraryShapeJoinsTheCacheForANewComponent)
{
    ASSERT_EQ(
        Run([](QWidget* dialog) {
            EXPECT_EQ(Entries(dialog, CGetShapeDlg::idGroups), QStringList({"Cache", "PASSIVE"}));
            // The first component using the shape proposes its prefix and type.
            Choose(dialog, CGetShapeDlg::idShapes, "R0805");
            EXPECT_EQ(Text(dialog, CGetShapeDlg::idReference), "R");
            EXPECT_EQ(Text(dialog, CGetShapeDlg::idType), "10k");

            Choose(dialog, CGetShapeDlg::idGroups, "PASSIVE");
            Choose(dialog, CGetShapeDlg::idShapes, "DIODE");
            EXPECT_EQ(Text(dialog, CGetShapeDlg::idType), "");
            // Without a type the dialog waits for one.
            Click(dialog, CWevraDialog::idOk);
            EXPECT_TRUE(dialog->isVisible());
            Find<QComboBox>(dialog, CGetShapeDlg::idReference)->setEditText("D");
            Find<QComboBox>(dialog, CGetShapeDlg::idType)->setEditText("1N4148");
            Click(dialog, CWevraDialog::idOk);
        }),
        CWevraDialog::idOk);
    ASSERT_EQ(cache.GetCount(), 3);
    EXPECT_EQ(shape, 2);
    EXPECT_EQ(cache.GetShapeName(shape), "DIODE");
    EXPECT_EQ(prefix, "D");
    EXPECT_EQ(type, "1N4148");
}

TEST_F(CGetShapeDlgTest, ReplaceHidesShapesPrivateToAComponent)
{
    request.replace = true;
    ASSERT_EQ(Run([](QWidget* dialog) {
                  EXPECT_EQ(Entries(dialog, CGetShapeDlg::idShapes), QStringList({"R0805"}));
                  EXPECT_FALSE(Find<QWidget>(dialog, CGetShapeDlg::idType)->isEnabled());
                  Click(dialog, CWevraDialog::idOk);
              }),
              CWevraDialog::idOk);
    EXPECT_EQ(shape, 0);

    request.components.pop_back();
    ASSERT_EQ(
        Run([](QWidget* dialog) {
            EXPECT_EQ(Entries(dialog, CGetShapeDlg::idShapes), QStringList({"R0805", "C_U3"}));
            Choose(dialog, CGetShapeDlg::idShapes, "C_U3");
            Click(dialog, CWevraDialog::idOk);
        }),
        CWevraDialog::idOk);
    EXPECT_EQ(shape, 1);
}

TEST_F(CGetShapeDlgTest, TheFilterListsOnlyMatchingGroupsAndShapes)
{
    ASSERT_EQ(Run([](QWidget* dialog) {
                  auto* filter = Find<QComboBox>(dialog, CGetShapeDlg::idFilter);
                  auto* use = Find<QCheckBox>(dialog, CGetShapeDlg::idUseFilter);
                  EXPECT_FALSE(use->isEnabled());
                  filter->setEditText("IOD");
                  ASSERT_TRUE(use->isEnabled());
                  use->click();
                  EXPECT_EQ(Entries(dialog, CGetShapeDlg::idGroups), QStringList({"PASSIVE"}));
                  EXPECT_EQ(Entries(dialog, CGetShapeDlg::idShapes), QStringList({"DIODE"}));

                  // Nothing matches: nothing to choose, OK does nothing.
                  filter->setEditText("XYZ");
                  use->click();
                  EXPECT_TRUE(Entries(dialog, CGetShapeDlg::idGroups).isEmpty());
                  Click(dialog, CWevraDialog::idOk);
                  EXPECT_TRUE(dialog->isVisible());
                  Click(dialog, CWevraDialog::idCancel);
              }),
              CWevraDialog::idCancel);
    EXPECT_EQ(cache.GetCount(), 2);
}

TEST_F(CGetShapeDlgTest, PreviewsOfHugeShapesAndEmptyFramesFinish)
{
    const int32_t huge = cache.AddShape("HUGE");
    cache.AddOutlineToShape(huge, -2000000000, -2000000000, 0);
    cache.AddOutlineToShape(huge, 2000000000, 2000000000, 0);
    cache.RecalcShapeExtent(huge);
    CShapePreview preview;
    preview.resize(200, 200);
    preview.SetShape(&cache, huge);
    EXPECT_FALSE(preview.grab().isNull());
    preview.resize(0, 0);
    preview.SetShape(&cache, 0);
    preview.grab();
}

} // namespace
