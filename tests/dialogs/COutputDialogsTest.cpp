#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "dialogs/CDisplayItemDlg.h"
#include "dialogs/CNewJobDlg.h"
#include "dialogs/COutputItemDlg.h"
#include "document/CDesign.h"
#include "document/CWevraDoc.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace dialog_test;

bool Checked(QWidget* dialog, int32_t id)
{
    return Find<QCheckBox>(dialog, id)->isChecked();
}
bool Enabled(QWidget* dialog, int32_t id)
{
    return Find<QWidget>(dialog, id)->isEnabled();
}

// A design whose first output job prints through `device`, its item holding layers 1, 0, 21
// (a zero between stored layers), mirrored and coloured.
class COutputDialogsTest : public QtApplicationTest {
protected:
    COutputRec& PrepareItem(const std::string& device)
    {
        COutputArray& jobs = doc.Design().GetOutputJobs();
        if (jobs.GetCount() == 0)
            jobs.AddJob(nullptr);
        jobs.SetCurrent(0);
        COutput& job = *jobs.GetJob(0);
        job.SetDevice(device);
        job.SetJobName("JOB");
        if (job.GetItemCount() == 0)
            job.AddItem(nullptr);
        job.SetCurrentItem(0);
        COutputRec& item = *job.GetCurrentRec();
        std::array<uint8_t, COutputRec::maxLayers> layers{};
        layers[0] = LAYER_TOP;
        layers[2] = LAYER_SILK_TOP;
        item.SetLayerBytes(layers);
        item.SetMirrored(true);
        item.SetColor(true);
        item.SetOutput(false);
        item.SetTextReference(true);
        return item;
    }
    static std::vector<int32_t> Layers(const COutputRec& item)
    {
        std::vector<int32_t> layers;
        for (int32_t i = 0; i < item.GetLayerCount(); ++i)
            layers.push_back(item.GetLayer(i));
        return layers;
    }

    CFakeServices services;
    CWevraDoc doc;
};

TEST_F(COutputDialogsTest, FileJobsForceTheSwitchesAndOkStoresTheListInOrder)
{
    COutputRec& item = PrepareItem(COutputDevice::Name(COutputDevice::gerber24));
    using Ids = COutputItemDlg;
    COutputItemDlg dialog(doc.Design(), doc.Session(), doc.Paint());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit OutputItem - [JOB]"));
    auto* available = Find<QListWidget>(&dialog, Ids::ids.available);
    auto* chosen = Find<QListWidget>(&dialog, Ids::ids.chosen);
    // Layer 0 counts as used by the empty slots; the zero between the layers is skipped.
    EXPECT_EQ(chosen->count(), 2);
    EXPECT_EQ(available->count(), LAYER_COUNT - 3);
    EXPECT_EQ(chosen->item(1)->text(), QStringLiteral("           21 Silkscreen Top"));
    EXPECT_FALSE(Checked(&dialog, Ids::ids.color) || Checked(&dialog, Ids::ids.mirrored));
    EXPECT_TRUE(Checked(&dialog, Ids::ids.output));
    EXPECT_FALSE(Enabled(&dialog, Ids::ids.color));
    EXPECT_TRUE(Enabled(&dialog, Ids::ids.reference));

    // The silkscreen back: the text switches go off with it.
    chosen->setCurrentRow(1);
    Click(&dialog, Ids::ids.moveBack);
    EXPECT_FALSE(Enabled(&dialog, Ids::ids.reference));
    EXPECT_FALSE(Checked(&dialog, Ids::ids.reference));
    // Move Up on the first entry changes nothing; two layers over, the last one moved up.
    chosen->setCurrentRow(0);
    Click(&dialog, Ids::ids.moveUp);
    available->setCurrentRow(0);
    Click(&dialog, Ids::ids.moveOver);
    Click(&dialog, Ids::ids.moveOver);
    Click(&dialog, Ids::ids.moveUp);
    // Nothing reaches the item before OK.
    EXPECT_EQ(item.GetLayerBytes()[2], LAYER_SILK_TOP);

    // The hole lists lost their choice: the stored indexes stay, never -1.
    item.SetPercentIndex(2);
    Find<QComboBox>(&dialog, Ids::ids.percent)->setCurrentIndex(-1);
    dialog.accept();
    const std::vector<int32_t> after = Layers(item);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], LAYER_TOP);
    EXPECT_FALSE(item.IsColor() || item.IsMirrored() || item.IsTextReference());
    EXPECT_TRUE(item.IsOutput());
    EXPECT_EQ(item.GetPercentIndex(), 2);
    EXPECT_EQ(item.GetTextMode(), COutputRec::textNone);
}

TEST_F(COutputDialogsTest, CancelLeavesTheDisplaySetAsItWas)
{
    COutputArray& sets = doc.Design().GetDisplaySets();
    COutputRec& set = *sets.GetJob(sets.GetCurrent())->GetCurrentRec();
    const std::array<uint8_t, COutputRec::maxLayers> layers = set.GetLayerBytes();
    const int32_t reference = set.GetRefLayer();
    {
        CDisplayItemDlg dialog(doc.Design(), doc.Session(), doc.Paint());
        Click(&dialog, CDisplayItemDlg::ids.moveAllBack);
        EXPECT_EQ(Find<QComboBox>(&dialog, CDisplayItemDlg::ids.workLayer)->count(), 0);
        dialog.reject();
    }
    EXPECT_EQ(set.GetLayerBytes(), layers);
    EXPECT_EQ(set.GetRefLayer(), reference);

    CDisplayItemDlg dialog(doc.Design(), doc.Session(), doc.Paint());
    auto* work = Find<QComboBox>(&dialog, CDisplayItemDlg::ids.workLayer);
    ASSERT_GT(work->count(), 1);
    work->setCurrentIndex(1);
    const int32_t chosen = work->currentData().toInt();
    dialog.accept();
    EXPECT_EQ(set.GetRefLayer(), chosen);
}

bool CancelledSetup(QWidget*, std::string&, bool&)
{
    return false;
}

TEST_F(COutputDialogsTest, JobDialogKeepsAnUnlistedDeviceAndFallsBackToTheDefaultPrinter)
{
    CNewJobDlg::Values values;
    values.device = COutputDevice::Name(COutputDevice::barco24);
    CNewJobDlg barco(values);
    EXPECT_EQ(barco.GetValues().device, values.device);
    EXPECT_EQ(Find<QComboBox>(&barco, CNewJobDlg::idDevice)->count(), 7);

    const CNewJobDlg::PrinterSetup previous = CNewJobDlg::SetPrinterSetup(&CancelledSetup);
    values.device = COutputDevice::Name(COutputDevice::windows);
    values.printer = "Gone";
    values.useDefaultPrinter = true;
    CNewJobDlg dialog(values);
    EXPECT_FALSE(Enabled(&dialog, CNewJobDlg::idDirectory));
    EXPECT_FALSE(Enabled(&dialog, CNewJobDlg::idPrinter));
    Click(&dialog, CNewJobDlg::idDefaultPrinter);
    EXPECT_TRUE(dialog.GetValues().useDefaultPrinter);

    services.printers.printers = {"Office"};
    Find<QWidget>(&dialog, CNewJobDlg::idPrinter);
    Type(&dialog, CNewJobDlg::idPrinter, "Office");
    Click(&dialog, CNewJobDlg::idDefaultPrinter);
    EXPECT_FALSE(dialog.GetValues().useDefaultPrinter);
    EXPECT_TRUE(Enabled(&dialog, CNewJobDlg::idPrinter));

    Find<QComboBox>(&dialog, CNewJobDlg::idDevice)->setCurrentIndex(0);
    EXPECT_TRUE(Enabled(&dialog, CNewJobDlg::idDirectory));
    EXPECT_FALSE(Enabled(&dialog, CNewJobDlg::idScale));
    CNewJobDlg::SetPrinterSetup(previous);
}

// The folder edit shows the full path the files go to, not the Windows path the design stores;
// the stored text comes back untouched unless another folder was typed, and a typed folder
// below the design's is stored relative to it, so that the design can move.
TEST_F(COutputDialogsTest, JobDialogShowsWhereTheFilesGo)
{
    const CTempFolder temp("wevra-job-folder");
    const fs::path design = temp / "designs";
    fs::create_directories(design / "gerber");
    CNewJobDlg::Values values;
    values.device = COutputDevice::Name(COutputDevice::gerber24);
    values.directory = "C:\\GERBER";
    values.designFolder = design;
    values.designTitle = "board";
    const auto shown = [](CNewJobDlg& dialog) {
        return fs::path(CQtText::ToPath(Find<QLineEdit>(&dialog, CNewJobDlg::idDirectory)->text()));
    };

    CNewJobDlg dialog(values);
    EXPECT_EQ(shown(dialog), design / "gerber" / "board");
    EXPECT_EQ(dialog.GetValues().directory, "C:\\GERBER");
    // The drill program writes into the same folder.
    Find<QComboBox>(&dialog, CNewJobDlg::idDevice)
        ->setCurrentText(QString::fromStdString(COutputDevice::Name(COutputDevice::excellon)));
    EXPECT_EQ(shown(dialog), design / "gerber" / "board");
    EXPECT_EQ(dialog.GetValues().directory, "C:\\GERBER");

    Type(&dialog, CNewJobDlg::idDirectory, (design / "cam" / "nc").string());
    EXPECT_EQ(dialog.GetValues().directory, "cam/nc");
    // A typed folder stays when the device changes.
    Find<QComboBox>(&dialog, CNewJobDlg::idDevice)
        ->setCurrentText(QString::fromStdString(COutputDevice::Name(COutputDevice::gerber23)));
    EXPECT_EQ(shown(dialog), design / "cam" / "nc");
    Type(&dialog, CNewJobDlg::idDirectory, (temp / "elsewhere").string());
    EXPECT_EQ(dialog.GetValues().directory, (temp / "elsewhere").string());
    Type(&dialog, CNewJobDlg::idDirectory, (design / "a:b").string());
    EXPECT_EQ(dialog.GetValues().directory, (design / "a:b").string());

    // An empty folder is the design's OUTPUT folder; a printing job writes no files.
    values.directory.clear();
    CNewJobDlg empty(values);
    EXPECT_EQ(shown(empty), design / "OUTPUT");
    EXPECT_EQ(empty.GetValues().directory, "");
    values.device = COutputDevice::Name(COutputDevice::windows);
    values.directory = "C:\\PRINT";
    CNewJobDlg printing(values);
    EXPECT_EQ(shown(printing), "C:\\PRINT");
}

} // namespace
