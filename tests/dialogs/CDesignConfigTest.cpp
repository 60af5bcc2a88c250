#include <filesystem>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

#include "dialogs/CConfigDisplay.h"
#include "dialogs/CConfigGrid.h"
#include "dialogs/CConfigLayers.h"
#include "dialogs/CConfigOutput.h"
#include "dialogs/CDesignConfig.h"
#include "dialogs/CDisplayLayersetDlg.h"
#include "dialogs/CLayerSetDlg.h"
#include "dialogs/CNewJobDlg.h"
#include "dialogs/COutputItemDlg.h"
#include "dialogs/CSelectLayerDlg.h"
#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "framework/CMessageService.h"
#include "framework/CResourcePack.h"
#include "model/CDrawRecArray.h"
#include "model/CGridArr.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"
#include "resources/StringIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

using namespace dialog_test;

// A layer row: the layer's name after the room for its colour.
QString Indented(const char* name)
{
    return QString(CLayerSetDlg::entryIndent, QLatin1Char(' ')) + QString::fromLatin1(name);
}

class CDesignConfigTest : public QtApplicationTest {
protected:
    CDesignConfigTest()
    {
        CResourcePack pack;
        pack.SetString(IDS_LAYER_IN_USE, "in use");
        pack.SetString(IDS_ALL_LAYERS_DISABLED, "all disabled");
        pack.SetString(IDS_VALUE_NOT_TAKEN, "not taken: %s");
        CResourcePack::SetCurrent(pack);
        doc.SetModifiedFlag(false);
    }
    ~CDesignConfigTest() override { CResourcePack::SetCurrent(CResourcePack()); }

    COutput& DisplaySets() { return *doc.Design().GetDisplaySets().GetJob(0); }
    COutput& Job(int32_t i) { return *doc.Design().GetOutputJobs().GetJob(i); }
    static QStringList Rows(QWidget* page, int32_t id)
    {
        QStringList rows;
        auto* list = Find<QListWidget>(page, id);
        for (int row = 0; row < list->count(); ++row)
            rows << list->item(row)->text();
        return rows;
    }
    static void ChooseLayer(QWidget* page, int32_t id, int32_t layer)
    {
        auto* list = Find<QListWidget>(page, id);
        for (int row = 0; row < list->count(); ++row) {
            if (CLayerSetDlg::LayerOf(*list, row) == layer)
                list->setCurrentRow(row);
        }
    }

    // The sheet's view of the design, as the document hands it out.
    CDialogService::DesignParts Parts()
    {
        return {doc.Design(), doc.Session(), doc.Paint(), doc.GetDesignFolder(),
                doc.GetDesignName()};
    }

    CFakeServices services;
    CWevraDoc doc;
};

TEST_F(CDesignConfigTest, GridTextsFollowEachOtherAndReachTheGridsOnlyOnOk)
{
    CGridArr grids;
    grids.SetSpacing(CGridArr::gridDefault, 25600, 12800);
    grids.SetSnapOn(CGridArr::gridDefault, true);
    const CSize snap = grids.GetSnap(CGridArr::gridDefault);
    const auto& ids = CConfigGrid::ids[CGridArr::gridDefault];
    const auto edit = [&](CDesignConfig& sheet) {
        EXPECT_EQ(sheet.GetTabs().currentIndex(), int(CDesignConfig::pageGrid));
        EXPECT_EQ(Text(&sheet, ids.spacing[0]), "0.1000 inch");
        EXPECT_EQ(Text(&sheet, ids.spacing[1]), "2.540 mm.");
        // 5 mm is 50393 units: its inch twin follows, the Y texts stay.
        Type(&sheet, ids.spacing[1], "5");
        EXPECT_EQ(Text(&sheet, ids.spacing[0]), "0.1968 inch");
        EXPECT_EQ(Text(&sheet, ids.spacing[2]), "0.0500 inch");
        // A grid of nothing or beyond a board is refused, the range named, and the text shows
        // the length kept.
        services.messages.ClearShown();
        Type(&sheet, ids.snap[2], "0");
        EXPECT_EQ(Text(&sheet, ids.snap[2]), "0.0125 inch");
        Type(&sheet, ids.snap[1], "5000000");
        EXPECT_EQ(Text(&sheet, ids.snap[1]), "0.318 mm.");
        const std::vector<std::string> shown = services.messages.ShownTexts();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_NE(shown[0].find("Grid 1 snap y 0, outside 0.00001 inch to 4194.30399 inch"),
                  std::string::npos)
            << shown[0];
        EXPECT_NE(shown[1].find("Grid 1 snap x 5000000, outside"), std::string::npos) << shown[1];
        Click(&sheet, CConfigGrid::ids[CGridArr::gridBlock].show[CGridArr::modeLines]);
        Find<QCheckBox>(&sheet, ids.snapOn)->setChecked(false);
    };
    {
        CDesignConfig sheet(Parts(), CDesignConfig::pageGrid, grids);
        edit(sheet);
        sheet.reject();
    }
    EXPECT_EQ(grids.GetSpacing(CGridArr::gridDefault).cx, 25600);
    EXPECT_TRUE(grids.IsSnapOn(CGridArr::gridDefault));

    CDesignConfig sheet(Parts(), CDesignConfig::pageGrid, grids);
    edit(sheet);
    sheet.accept();
    EXPECT_EQ(grids.GetSpacing(CGridArr::gridDefault), CSize(50393, 12800));
    EXPECT_EQ(grids.GetSnap(CGridArr::gridDefault), snap);
    EXPECT_EQ(grids.GetMode(CGridArr::gridBlock), CGridArr::modeLines);
    EXPECT_FALSE(grids.IsSnapOn(CGridArr::gridDefault));
}

TEST_F(CDesignConfigTest, LayersPageAsksForUsedLayersAndEmptiesTheirPlaceInTheSets)
{
    CDrawRecArray& lines = doc.Design().GetLines();
    lines.AddSegment(0, 0, 25600, 0, LAYER_MASK_TOP, lines.FindOrAddPen(2560), 0);
    doc.Design().ResetLayerTables();
    CConfigLayers page(doc.Design(), doc.Session(), doc.Paint());
    EXPECT_EQ(Rows(&page, CConfigLayers::idEnabled).size(), LAYER_COUNT);
    EXPECT_EQ(Rows(&page, CConfigLayers::idEnabled).front(), Indented(" 0 Common Layer"));

    ChooseLayer(&page, CConfigLayers::idEnabled, LAYER_MASK_TOP);
    services.messages.QueueAnswer(IDCANCEL);
    Click(&page, CConfigLayers::idDisable);
    EXPECT_TRUE(Rows(&page, CConfigLayers::idDisabled).isEmpty());
    services.messages.QueueAnswer(IDOK);
    Click(&page, CConfigLayers::idDisable);
    ASSERT_EQ(Rows(&page, CConfigLayers::idDisabled).size(), 1);
    ASSERT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_EQ(services.messages.Shown()[0].text, "in use");
    EXPECT_EQ(services.messages.Shown()[0].icon, MB_ICONEXCLAMATION);
    // An unused layer goes without asking.
    ChooseLayer(&page, CConfigLayers::idEnabled, LAYER_SILK_BOTTOM);
    Click(&page, CConfigLayers::idDisable);
    EXPECT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_FALSE(doc.IsModified()) << "nothing changes before Apply";

    ASSERT_TRUE(page.Apply());
    EXPECT_FALSE(doc.Design().GetLayers().IsEnabled(LAYER_MASK_TOP));
    EXPECT_FALSE(doc.Design().GetLayers().IsVisible(LAYER_SILK_BOTTOM));
    EXPECT_TRUE(doc.Design().GetLayers().IsEnabled(LAYER_MASK_BOTTOM));
    // "All Layers": 1, 2, 17, 21, 18, 22, 26 keeps its places.
    const auto& allLayers = DisplaySets().GetItem(7)->GetLayerBytes();
    EXPECT_EQ(std::vector<int>(allLayers.begin(), allLayers.begin() + 8),
              (std::vector<int>{1, 2, 0, 21, 18, 0, 26, 0}));
    EXPECT_TRUE(doc.IsModified());

    // Every layer disabled is refused, and the table stays.
    ChooseLayer(&page, CConfigLayers::idDisabled, LAYER_SILK_BOTTOM);
    Click(&page, CConfigLayers::idEnable);
    EXPECT_EQ(Rows(&page, CConfigLayers::idEnabled).back(), Indented("30 Drawing 4"));
    for (int i = 0; i < LAYER_COUNT; ++i)
        Click(&page, CConfigLayers::idDisable);
    services.messages.ClearShown();
    EXPECT_FALSE(page.Apply());
    EXPECT_EQ(services.messages.ShownTexts(), std::vector<std::string>{"all disabled"});
    EXPECT_TRUE(doc.Design().GetLayers().IsEnabled(LAYER_TOP));
}

TEST_F(CDesignConfigTest, DisplayPageNeverListsNorDeletesTheCustomSet)
{
    COutput& sets = DisplaySets();
    sets.SetCurrentItem(0);
    CConfigDisplay page(doc.Design(), doc.Session(), doc.Paint());
    EXPECT_EQ(sets.GetCurrentItem(), 1);
    const QStringList rows = Rows(&page, CConfigDisplay::idList);
    ASSERT_EQ(rows.size(), sets.GetItemCount() - 1);
    EXPECT_EQ(rows.front(), QStringLiteral("Copper on Top"));

    // Add asks for the new set's layers at once.
    bool asked = false;
    WhenModal([&asked](QWidget* dialog) {
        asked = true;
        dialog->close();
    });
    Click(&page, CConfigDisplay::idAdd);
    EXPECT_TRUE(asked);
    EXPECT_EQ(sets.GetItemCount(), 9);
    EXPECT_EQ(sets.GetCurrentItem(), 8);
    EXPECT_TRUE(sets.GetCurrentRec()->IsColor());
    EXPECT_EQ(Find<QListWidget>(&page, CConfigDisplay::idList)->currentRow(), 7);
    EXPECT_TRUE(doc.IsModified());

    for (int i = 0; i < 12; ++i)
        Click(&page, CConfigDisplay::idDelete);
    EXPECT_TRUE(Rows(&page, CConfigDisplay::idList).isEmpty());
    ASSERT_EQ(sets.GetItemCount(), 1);
    EXPECT_EQ(sets.GetCurrentRec()->GetDisplayName(), "*Custom");
    // Nothing to edit: no dialog opens.
    Click(&page, CConfigDisplay::idEdit);
}

TEST_F(CDesignConfigTest, OutputJobOffsetsAreInchWhetherAddedOrEdited)
{
    services.printers.defaultPrinter = "Laser";
    COutputArray& jobs = doc.Design().GetOutputJobs();
    const int32_t count = jobs.GetCount();
    CConfigOutput page(Parts());
    EXPECT_EQ(page.Caption(),
              QStringLiteral("Output: ") + QString::fromStdString(doc.GetDesignName()));
    // A scale no device plots at is refused, the range named, and no job is added.
    WhenModal([](QWidget* dialog) {
        Type(dialog, CNewJobDlg::idScale, "0.05");
        Click(dialog, CWevraDialog::idOk);
    });
    Click(&page, CConfigOutput::idAddJob);
    EXPECT_EQ(jobs.GetCount(), count);
    ASSERT_EQ(services.messages.ShownTexts().size(), 1u);
    EXPECT_NE(services.messages.ShownTexts()[0].find(
                  "Output job scale 0.05, outside 0.1000 to 1000.0000"),
              std::string::npos)
        << services.messages.ShownTexts()[0];
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(Text(dialog, CNewJobDlg::idPrinter), "Laser");
        EXPECT_EQ(Text(dialog, CNewJobDlg::idOffsetX), "0.0000 inch");
        Type(dialog, CNewJobDlg::idName, "Half");
        Type(dialog, CNewJobDlg::idOffsetX, "0.5");
        Click(dialog, CWevraDialog::idOk);
    });
    Click(&page, CConfigOutput::idAddJob);
    ASSERT_EQ(jobs.GetCount(), count + 1);
    EXPECT_EQ(jobs.GetCurrent(), count);
    const COutput& added = Job(count);
    EXPECT_EQ(added.GetJobName(), "Half");
    EXPECT_EQ(added.GetOffsetX(), 128000);
    EXPECT_EQ(added.GetScale(), 1.0);
    EXPECT_TRUE(added.UseDefaultPrinter());
    EXPECT_EQ(Rows(&page, CConfigOutput::idJobs).back(), QStringLiteral("Half"));
    EXPECT_TRUE(Rows(&page, CConfigOutput::idItems).isEmpty());

    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Edit Output job"));
        EXPECT_EQ(Text(dialog, CNewJobDlg::idOffsetX), "0.5000 inch");
        EXPECT_EQ(Text(dialog, CNewJobDlg::idScale), "1.0000");
        Type(dialog, CNewJobDlg::idOffsetY, "-0.25");
        Type(dialog, CNewJobDlg::idScale, "2.5");
        Click(dialog, CWevraDialog::idOk);
    });
    Click(&page, CConfigOutput::idEditJob);
    EXPECT_EQ(added.GetOffsetX(), 128000);
    EXPECT_EQ(added.GetOffsetY(), -64000);
    EXPECT_EQ(added.GetScale(), 2.5);

    // With no job chosen nothing is deleted; the chosen one goes.
    Find<QListWidget>(&page, CConfigOutput::idJobs)->setCurrentRow(-1);
    Click(&page, CConfigOutput::idDeleteJob);
    EXPECT_EQ(jobs.GetCount(), count + 1);
    Find<QListWidget>(&page, CConfigOutput::idJobs)->setCurrentRow(count);
    Click(&page, CConfigOutput::idDeleteJob);
    EXPECT_EQ(jobs.GetCount(), count);
    EXPECT_EQ(jobs.GetCurrent(), count - 1);
}

TEST_F(CDesignConfigTest, OutputItemsAreAddedEditedAndDeletedInTheChosenJob)
{
    COutputArray& jobs = doc.Design().GetOutputJobs();
    CConfigOutput page(Parts());
    Find<QListWidget>(&page, CConfigOutput::idJobs)->setCurrentRow(2);
    EXPECT_EQ(jobs.GetCurrent(), 2);
    EXPECT_EQ(Rows(&page, CConfigOutput::idItems), QStringList{QStringLiteral("DRILL PROGRAM")});
    WhenModal([](QWidget* dialog) {
        Type(dialog, COutputItemDlg::ids.name, "Second drill");
        Click(dialog, CWevraDialog::idOk);
    });
    Click(&page, CConfigOutput::idAddItem);
    EXPECT_EQ(Rows(&page, CConfigOutput::idItems),
              (QStringList{QStringLiteral("DRILL PROGRAM"), QStringLiteral("Second drill")}));
    EXPECT_EQ(Job(2).GetCurrentItem(), 1);
    Click(&page, CConfigOutput::idDeleteItem);
    Click(&page, CConfigOutput::idDeleteItem);
    Click(&page, CConfigOutput::idDeleteItem);
    EXPECT_EQ(Job(2).GetItemCount(), 0);
    // Nothing to edit: no dialog opens.
    Click(&page, CConfigOutput::idEditItem);
}

TEST_F(CDesignConfigTest, SheetKeepsTheLayersPageWhileNoLayerIsEnabled)
{
    CGridArr grids;
    CDesignConfig sheet(Parts(), CDesignConfig::pageLayers, grids);
    for (int i = 0; i < LAYER_COUNT; ++i)
        Click(&sheet, CConfigLayers::idDisable);
    sheet.GetTabs().setCurrentIndex(CDesignConfig::pageOutput);
    EXPECT_EQ(sheet.GetTabs().currentIndex(), int(CDesignConfig::pageLayers));
    sheet.accept();
    EXPECT_EQ(sheet.result(), 0) << "OK is refused too";
    EXPECT_EQ(services.messages.Shown().size(), 2u);
    EXPECT_TRUE(doc.Design().GetLayers().IsEnabled(LAYER_TOP));
}

TEST_F(CDesignConfigTest, SelectLayerOffersTheEnabledLayersButCommonAndDrill)
{
    doc.Design().GetLayers().GetLayer(LAYER_SILK_BOTTOM)->SetEnabled(false);
    ASSERT_TRUE(doc.Session().SetWorkLayer(LAYER_BOTTOM));
    CSelectLayerDlg dialog(doc.Design(), doc.Session(), doc.Paint());
    auto* list = Find<QListWidget>(&dialog, CSelectLayerDlg::idList);
    ASSERT_EQ(list->count(), LAYER_COUNT - 3);
    for (int row = 0; row < list->count(); ++row) {
        const int32_t layer = CLayerSetDlg::LayerOf(*list, row);
        EXPECT_TRUE(layer != LAYER_COMMON && layer != LAYER_DRILL && layer != LAYER_SILK_BOTTOM)
            << layer;
    }
    EXPECT_EQ(CLayerSetDlg::LayerOf(*list, list->currentRow()), LAYER_BOTTOM);
    list->setCurrentRow(0);
    dialog.accept();
    EXPECT_EQ(dialog.GetLayer(), LAYER_TOP);

    // A work layer that is not offered: OK without a chosen row is Cancel.
    doc.Design().GetCurrentLayerSet()->SetRefLayer(LAYER_COMMON);
    CSelectLayerDlg common(doc.Design(), doc.Session(), doc.Paint());
    common.accept();
    EXPECT_EQ(common.result(), int(QDialog::Rejected));
    EXPECT_EQ(common.GetLayer(), LAYER_COMMON);
}

TEST_F(CDesignConfigTest, DisplayLayersetShowsTheChoiceAtOnceAndEscTakesItBack)
{
    COutput& sets = DisplaySets();
    sets.SetCurrentItem(2);
    {
        CDisplayLayersetDlg dialog(doc);
        auto* list = Find<QListWidget>(&dialog, CDisplayLayersetDlg::idList);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("1  Copper on Top"));
        EXPECT_EQ(list->currentRow(), 1);
        EXPECT_EQ(Text(&dialog, CDisplayLayersetDlg::idWorkLayer), "2 Signal Bottom");
        list->setCurrentRow(4);
        EXPECT_EQ(sets.GetCurrentItem(), 5);
        EXPECT_EQ(Text(&dialog, CDisplayLayersetDlg::idWorkLayer), "1 Signal Top");
        dialog.reject();
    }
    EXPECT_EQ(sets.GetCurrentItem(), 2);
    {
        CDisplayLayersetDlg dialog(doc);
        Find<QListWidget>(&dialog, CDisplayLayersetDlg::idList)->setCurrentRow(6);
        dialog.accept();
    }
    EXPECT_EQ(sets.GetCurrentItem(), 7);
    {
        CDisplayLayersetDlg dialog(doc);
        Find<QListWidget>(&dialog, CDisplayLayersetDlg::idList)->clearSelection();
        dialog.accept();
    }
    EXPECT_EQ(sets.GetCurrentItem(), 0);
}

// Editing a saved design's job shows the folder its files go to, below the design, and OK
// without another folder keeps the text the design stores.
TEST_F(CDesignConfigTest, JobDialogShowsTheFolderBesideTheDesign)
{
    const CTempFolder temp("wevra-config-output");
    doc.SetDesignPath((temp / "amp.PCB").string());
    CConfigOutput page(Parts());
    Find<QListWidget>(&page, CConfigOutput::idJobs)->setCurrentRow(1);
    ASSERT_EQ(Job(1).GetDirectory(), "C:\\GERBER");
    std::string shown;
    WhenModal([&shown](QWidget* dialog) {
        shown = CQtText::ToPath(Find<QLineEdit>(dialog, CNewJobDlg::idDirectory)->text());
        Click(dialog, CWevraDialog::idOk);
    });
    Click(&page, CConfigOutput::idEditJob);
    EXPECT_EQ(std::filesystem::path(shown), temp / "GERBER" / "amp");
    EXPECT_EQ(Job(1).GetDirectory(), "C:\\GERBER");
}

} // namespace
