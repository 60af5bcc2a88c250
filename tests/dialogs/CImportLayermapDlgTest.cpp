#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <QComboBox>
#include <QPushButton>

#include "dialogs/CImportLayermapDlg.h"
#include "dialogs/CQtDialogService.h"
#include "document/CDocumentFrame.h"
#include "interchange/CDosConfig.h"
#include "model/CLayerArray.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/CFakeServices.h"
#include "tests/support/CTempFolder.h"

namespace {

using namespace dialog_test;

// A configuration file whose pen 1 is `pen1` DOS units wide (the other pens 5) and whose
// `broken` pen line, when not 0, holds a value beyond the board's range.
std::string CnfText(int32_t pen1, int32_t broken = 0)
{
    std::string text;
    for (int32_t line = 1; line <= 19; ++line)
        text += "x\r\n";
    for (int32_t line = 20; line <= 36; ++line)
        text += line == 21 ? "0.80\r\n" : "0.00\r\n";
    for (int32_t row = 0; row < 128; ++row)
        text += "       2      40      40      40      40       0       0       0\r\n";
    text += "\r\n";
    for (int32_t pen = 1; pen <= 7; ++pen) {
        const std::string value = pen == broken ? "99999999" : std::to_string(pen == 1 ? pen1 : 5);
        text += std::string(8 - value.size(), ' ') + value + "\r\n";
    }
    return text;
}

class CImportLayermapDlgTest : public QtApplicationTest {
protected:
    void SetUp() override
    {
        first = WriteCnf("FIRST.CNF", CnfText(10));
        std::string error;
        ASSERT_TRUE(config.Read(CnfText(10), error)) << error;
        config.SetDefaultLayerMap();
        CLayerArray layers;
        layers.CreateDefault();
        for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
            names.push_back(layers.GetLayerName(layer));
    }

    std::string WriteCnf(const std::string& name, const std::string& text)
    {
        const std::string path = (temp / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    QComboBox* Combo(QWidget* dialog, int32_t dosLayer)
    {
        return Find<QComboBox>(dialog, CImportLayermapDlg::idFirstLayerCombo + dosLayer - 1);
    }

    int32_t Run(bool browse, const std::function<void(QWidget*)>& user)
    {
        WhenModal(user);
        return service.ImportLayermap(first, browse, ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS, names,
                                      config);
    }

    CTempFolder temp{"wevra-layermap"};
    CFakeServices services;
    CQtDialogService service;
    CDosConfig config;
    std::vector<std::string> names;
    std::string first;
};

} // namespace

// The dialog shows the tables and the default assignment it is given; Browse reads another
// file's tables; OK gives back the layers chosen and the widths typed.
TEST_F(CImportLayermapDlgTest, ShowsTheFileAndTakesTheLayersAndWidthsChosen)
{
    // Two layers of one name: the entry chosen counts, not the first or last of that name.
    names[LAYER_DRAWING_1] = names[LAYER_SILK_TOP];
    const std::string second = WriteCnf("SECOND.cnf", CnfText(64));
    services.fileDialogs.QueueFile(second);
    const int32_t result = Run(true, [&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Import Layermap");
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::idPath), first);
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::idFirstPen), "0.198 mm.");
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::idFirstPen + 1), "0.099 mm.");
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::layerPenIds[0]), "0.200 mm.");
        EXPECT_EQ(Combo(dialog, 1)->count(), 17) << "None and the copper layers";
        EXPECT_EQ(Combo(dialog, 8)->count(), 31) << "None and every layer";
        EXPECT_EQ(Combo(dialog, 3)->currentText().toStdString(), names[3]);
        EXPECT_EQ(Combo(dialog, 8)->currentIndex(), LAYER_SILK_TOP);
        EXPECT_EQ(Combo(dialog, 12)->currentIndex(), LAYER_DRAWING_1);

        Click(dialog, CImportLayermapDlg::idBrowse);
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::idPath), second);
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::idFirstPen), "1.270 mm.");
        Combo(dialog, 1)->setCurrentIndex(LAYER_BOTTOM);
        Combo(dialog, 9)->setCurrentIndex(0);
        Type(dialog, CImportLayermapDlg::idFirstPen + 1, "0.3");
        Type(dialog, CImportLayermapDlg::layerPenIds[0], "0.5");
        Click(dialog, CImportLayermapDlg::idOk);
    });
    ASSERT_EQ(result, CDialogService::resultOk);
    EXPECT_EQ(services.fileDialogs.GetFileStartFolders(),
              std::vector<std::string>{CDocumentFrame::Get().GetProgramFolder().string()});
    EXPECT_EQ(config.layerMap[1], LAYER_BOTTOM);
    EXPECT_EQ(config.layerMap[2], LAYER_BOTTOM);
    EXPECT_EQ(config.layerMap[8], LAYER_SILK_TOP);
    EXPECT_EQ(config.layerMap[9], 0);
    EXPECT_EQ(config.layerMap[12], LAYER_DRAWING_1);
    EXPECT_EQ(config.pens[1], 12800) << "from the file browsed to";
    EXPECT_EQ(config.pens[2], 3023);
    EXPECT_EQ(config.layerWidths[0], 5039);
    EXPECT_EQ(config.layerWidths[1], 2015);
    EXPECT_EQ(config.drills[1], 8062);
}

// Cancel gives nothing back; a damaged file browsed to is named and leaves the tables shown;
// without leave to browse the button is off.
TEST_F(CImportLayermapDlgTest, CancelAndDamagedFilesLeaveTheTables)
{
    const CDosConfig before = config;
    services.fileDialogs.QueueFile(WriteCnf("BAD.CNF", CnfText(64, 3)));
    int32_t result = Run(true, [&](QWidget* dialog) {
        Click(dialog, CImportLayermapDlg::idBrowse);
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::idPath), first);
        EXPECT_EQ(Text(dialog, CImportLayermapDlg::idFirstPen), "0.198 mm.");
        Combo(dialog, 1)->setCurrentIndex(LAYER_BOTTOM);
        Click(dialog, CImportLayermapDlg::idCancel);
    });
    EXPECT_EQ(result, CDialogService::resultCancel);
    EXPECT_EQ(
        services.messages.ShownTexts(),
        std::vector<std::string>{(temp / "BAD.CNF").string() + ": Unreadable value in line 168"});
    EXPECT_EQ(config.layerMap, before.layerMap);
    EXPECT_EQ(config.pens, before.pens);

    result = Run(false, [](QWidget* dialog) {
        EXPECT_FALSE(Find<QPushButton>(dialog, CImportLayermapDlg::idBrowse)->isEnabled());
        Click(dialog, CImportLayermapDlg::idOk);
    });
    EXPECT_EQ(result, CDialogService::resultOk);
    EXPECT_EQ(config.layerMap, before.layerMap);
    EXPECT_EQ(config.pens, before.pens);
}
