#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "dialogs/CWevraDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Output job": the name, folder and device of one output job, and for the Windows printer its
// printer, scale, offsets and orientation. The values are filled before the dialog is shown and
// read after OK. Given the design's folder, the folder edit shows the full path the job's files
// go to rather than the folder text the design stores ("C:\GERBER"), and that text comes back
// unchanged unless the user typed another folder.
class CNewJobDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idDevice = 1329;
    static constexpr int32_t idDirectory = 1333;
    static constexpr int32_t idName = 1335;
    static constexpr int32_t idOffsetX = 1336;
    static constexpr int32_t idOffsetY = 1337;
    static constexpr int32_t idLandscape = 1338;
    static constexpr int32_t idScale = 1339;
    static constexpr int32_t idSetup = 1340;
    static constexpr int32_t idDefaultPrinter = 1341;
    static constexpr int32_t idPrinter = 1342;
    // The help context every output dialog shares.
    static constexpr uint32_t helpContext = 0x180B4;

    struct Values {
        std::string name = "NewJob";
        std::string directory;
        std::string device;
        std::string printer;
        std::string scale = "1.0";
        std::string offsetX;
        std::string offsetY;
        bool landscape = false;
        bool useDefaultPrinter = false;
        // Where the design lies, to show where the files go; no folder shows the stored text.
        std::filesystem::path designFolder;
        std::string designTitle;
    };

    // The printer set-up: the printer name and orientation chosen; false when cancelled. Tests
    // replace it.
    using PrinterSetup = bool (*)(QWidget* owner, std::string& printer, bool& landscape);
    static PrinterSetup SetPrinterSetup(PrinterSetup setup);

    CNewJobDlg(const Values& values, QWidget* parent = nullptr);

    // What the controls hold.
    Values GetValues() const;

private:
    void ApplyEnableRule();
    void RunPrinterSetup();
    // The folder the job's files go to for the chosen device, as the edit shows it.
    QString DestinationText() const;
    void ShowDestination();

    QLineEdit* m_name;
    QLineEdit* m_directory;
    QComboBox* m_device;
    QLineEdit* m_printer;
    QPushButton* m_setup;
    QLineEdit* m_scale;
    QLineEdit* m_offsetX;
    QLineEdit* m_offsetY;
    QCheckBox* m_landscape;
    QCheckBox* m_defaultPrinter;
    std::string m_storedDirectory;
    std::filesystem::path m_designFolder;
    std::string m_designTitle;
    // What the folder edit showed last without the user's typing.
    QString m_shownDirectory;
};
