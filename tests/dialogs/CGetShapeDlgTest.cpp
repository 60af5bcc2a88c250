#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

#include "dialogs/CGetShapeDlg.h"
#include "dialogs/CNameDlg.h"
#include "dialogs/CShapePreview.h"
#include "document/CDocumentFrame.h"
#include "framework/CMessageService.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/CFakeServices.h"

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

    int Run(const std::function<void(QWidget*)>& user, bool libraryMode = false)
    {
        CGetShapeDlg dialog(cache, &libraries, request);
        if (libraryMode)
            dialog.SetLibraryMode("demo");
        WhenModal(user);
        const int result = dialog.Run();
        shape = dialog.GetShape();
        prefix = dialog.GetPrefix();
        type = dialog.GetType();
        cacheChanged = dialog.HasChangedCache();
        return result;
    }

    // Types `name` into the "Input Name" the next button opens.
    static void AnswerName(const char* name)
    {
        WhenModal([name](QWidget* entry) {
            EXPECT_EQ(entry->windowTitle().toStdString(), "Input Name");
            Type(entry, CNameDlg::idName, name);
            Click(entry, CWevraDialog::idOk);
        });
    }

    CFakeServices services;
    CShapeLib cache;
    CShapeLibArray libraries;
    CDialogService::ShapeRequest request;
    int32_t shape = -1;
    std::string prefix;
    std::string type;
    bool cacheChanged = false;
};

bool Enabled(QWidget* dialog, int32_t id)
{
    return Find<QWidget>(dialog, id)->isEnabled();
}

// The shape editor of the main window, as the dialog sees it.
class CEditingFrame : public CDocumentFrame {
public:
    CEditingFrame() : m_previous(Set(this)) {}
    ~CEditingFrame() override { Set(m_previous); }
    const CShapeLib* GetEditedShapeLibrary() const override { return edited.get(); }
    void BeginShapeEdit(const CShapeLib& library) override
    {
        edited = std::make_unique<CShapeLib>(library);
    }
    std::unique_ptr<CShapeLib> edited;

private:
    CDocumentFrame* m_previous;
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

// OK remembers the group and the filter texts in the library set.
TEST_F(CGetShapeDlgTest, OkRemembersTheGroupAndTheFilterHistory)
{
    libraries.GetFilterHistory() = {"R08"};
    ASSERT_EQ(Run([](QWidget* dialog) {
                  Find<QComboBox>(dialog, CGetShapeDlg::idFilter)->setEditText("IOD");
                  Click(dialog, CGetShapeDlg::idUseFilter);
                  Find<QComboBox>(dialog, CGetShapeDlg::idReference)->setEditText("D");
                  Find<QComboBox>(dialog, CGetShapeDlg::idType)->setEditText("1N4148");
                  Click(dialog, CWevraDialog::idOk);
              }),
              CWevraDialog::idOk);
    EXPECT_EQ(libraries.GetCurGroup(), 1);
    EXPECT_EQ(libraries.GetFilterHistory(), (std::vector<std::string>{"IOD", "R08"}));
    EXPECT_EQ(libraries.GetFilterChoice(), 0);
}

// The group buttons act on the library of the entry chosen, check a new name against every
// library of the set (also those the filter hides) and leave a library whose shape is being
// edited where it is.
TEST_F(CGetShapeDlgTest, LibraryModeMakesCopiesRenamesMovesAndDeletesLibraries)
{
    auto active = std::make_unique<CShapeLib>("ACTIVE");
    active->AddShape("SOT23");
    libraries.AddLib(std::move(active));
    services.messages.QueueAnswer(IDOK);
    services.messages.QueueAnswer(IDCANCEL);
    services.messages.QueueAnswer(IDOK);
    CEditingFrame frame;
    ASSERT_EQ(
        Run(
            [&](QWidget* dialog) {
                EXPECT_EQ(dialog->windowTitle().toStdString(), "Shape Library");
                EXPECT_FALSE(Enabled(dialog, CGetShapeDlg::idType));
                Find<QComboBox>(dialog, CGetShapeDlg::idFilter)->setEditText("IOD");
                Click(dialog, CGetShapeDlg::idUseFilter);
                AnswerName("active");
                Click(dialog, CGetShapeDlg::idGroupNew);
                EXPECT_EQ(services.messages.ShownTexts().back(), "Name Exists");
                Click(dialog, CGetShapeDlg::idUseFilter);
                AnswerName("parts");
                Click(dialog, CGetShapeDlg::idGroupNew);
                EXPECT_EQ(Entries(dialog, CGetShapeDlg::idGroups),
                          QStringList({"Cache", "PASSIVE", "ACTIVE", "PARTS"}));

                Choose(dialog, CGetShapeDlg::idGroups, "PASSIVE");
                Click(dialog, CGetShapeDlg::idGroupCopy);
                Choose(dialog, CGetShapeDlg::idGroups, "Cache");
                EXPECT_FALSE(Enabled(dialog, CGetShapeDlg::idGroupRename));
                Click(dialog, CGetShapeDlg::idGroupCopy);
                EXPECT_EQ(Entries(dialog, CGetShapeDlg::idGroups),
                          QStringList({"Cache", "PASSIVE", "ACTIVE", "PARTS", "COPY OF PASSIVE",
                                       "CACHE OF DEMO"}));

                AnswerName("second");
                Click(dialog, CGetShapeDlg::idGroupRename);
                Click(dialog, CGetShapeDlg::idUp);
                Click(dialog, CGetShapeDlg::idGroupDelete); // answered Cancel
                Choose(dialog, CGetShapeDlg::idGroups, "PARTS");
                Click(dialog, CGetShapeDlg::idGroupDelete); // answered OK
                EXPECT_EQ(Entries(dialog, CGetShapeDlg::idGroups),
                          QStringList({"Cache", "PASSIVE", "ACTIVE", "SECOND", "COPY OF PASSIVE"}));

                frame.edited = std::make_unique<CShapeLib>(*libraries.GetLib(1));
                Choose(dialog, CGetShapeDlg::idGroups, "ACTIVE");
                for (const int32_t id : {CGetShapeDlg::idUp, CGetShapeDlg::idDown,
                                         CGetShapeDlg::idGroupDelete, CGetShapeDlg::idGroupRename})
                    EXPECT_FALSE(Enabled(dialog, id)) << id;
                Click(dialog, CWevraDialog::idOk);
            },
            true),
        CWevraDialog::idOk);
    ASSERT_EQ(libraries.GetCount(), 4);
    EXPECT_EQ(libraries.GetLib(2)->GetName(), "SECOND");
    ASSERT_EQ(libraries.GetLib(2)->GetCount(), 2);
    EXPECT_EQ(libraries.GetLib(2)->GetShapeName(0), "R0805");
    EXPECT_EQ(libraries.GetLib(3)->GetShapeName(0), "DIODE");
    EXPECT_FALSE(cacheChanged);
}

// The shape buttons: copies into the cache (once under its own name, then as "COPY OF"),
// refresh of a cache shape from its library, deleting the last shape and the start of an edit.
TEST_F(CGetShapeDlgTest, LibraryModeCopiesDeletesAndEditsShapes)
{
    CShapeLib& passive = *libraries.GetLib(0);
    passive.AddShape("LED");
    services.listPicker.QueueAnswer(0);
    services.listPicker.QueueAnswer(0);
    services.listPicker.QueueAnswer(0);
    services.messages.QueueAnswer(IDOK);
    CEditingFrame frame;
    ASSERT_EQ(Run(
                  [&](QWidget* dialog) {
                      Choose(dialog, CGetShapeDlg::idShapes, "C_U3");
                      EXPECT_TRUE(Enabled(dialog, CGetShapeDlg::idShapeDelete));
                      Choose(dialog, CGetShapeDlg::idShapes, "R0805");
                      EXPECT_FALSE(Enabled(dialog, CGetShapeDlg::idShapeDelete)) << "in use";
                      EXPECT_FALSE(Enabled(dialog, CGetShapeDlg::idShapeEdit));

                      Choose(dialog, CGetShapeDlg::idGroups, "PASSIVE");
                      Choose(dialog, CGetShapeDlg::idShapes, "DIODE");
                      for (int copies = 0; copies < 3; ++copies)
                          Click(dialog, CGetShapeDlg::idShapeCopy);
                      passive.AddOutlineToShape(0, 0, 25600, 0);
                      Click(dialog, CGetShapeDlg::idCopyToCache);
                      Choose(dialog, CGetShapeDlg::idShapes, "LED");
                      Click(dialog, CGetShapeDlg::idShapeDelete);
                      EXPECT_EQ(Entries(dialog, CGetShapeDlg::idShapes), QStringList({"DIODE"}));
                      EXPECT_EQ(passive.GetCurShape(), 0);
                      AnswerName("q2");
                      Click(dialog, CGetShapeDlg::idShapeNew);
                  },
                  true),
              CDialogService::resultEditShape);
    EXPECT_EQ(services.listPicker.GetShown().at(0).title, "Copy Shape");
    ASSERT_EQ(cache.GetCount(), 4);
    EXPECT_EQ(cache.GetShapeName(2), "DIODE");
    EXPECT_EQ(cache.GetShapeName(3), "COPY OF DIODE");
    EXPECT_EQ(cache.GetShape(2)->GetOutlineCount(), 3) << "refreshed from the library";
    EXPECT_TRUE(cacheChanged);
    ASSERT_NE(frame.edited, nullptr);
    EXPECT_EQ(frame.edited->GetName(), "PASSIVE");
    EXPECT_EQ(frame.edited->GetShapeName(frame.edited->GetCurShape()), "Q2");
    EXPECT_EQ(libraries.GetCurLib(), 0);
    EXPECT_EQ(passive.GetCount(), 1) << "the new shape lives in the edited copy only";
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
