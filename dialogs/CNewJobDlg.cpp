#include "dialogs/CNewJobDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CNestedDialog.h"
#include "framework/CPrinterService.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "interchange/COutputFiles.h"
#include "interchange/OutputText.h"
#include "model/COutputDevice.h"

namespace {

// The devices a job can name: neither the screen's nor the Barco plotter's.
constexpr int32_t listedDevices[] = {COutputDevice::gerberSingle23, COutputDevice::gerberSingle24,
                                     COutputDevice::gerber23,       COutputDevice::gerber24,
                                     COutputDevice::excellon,       COutputDevice::windows};

bool QtPrinterSetup(QWidget* owner, std::string& printer, bool& landscape)
{
    QPrinter device;
    if (!printer.empty())
        device.setPrinterName(CQtText::FromDesignText(printer));
    device.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&device, owner);
    dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer = CQtText::ToDesignText(device.printerName());
    landscape = device.pageLayout().orientation() == QPageLayout::Landscape;
    return true;
}

CNestedDialog<CNewJobDlg::PrinterSetup> s_printerSetup(&QtPrinterSetup);

} // namespace

CNewJobDlg::PrinterSetup CNewJobDlg::SetPrinterSetup(PrinterSetup setup)
{
    return s_printerSetup.Replace(setup);
}

CNewJobDlg::CNewJobDlg(const Values& values, QWidget* parent)
    : CWevraDialog(helpContext, parent), m_name(NewEdit(idName)), m_directory(NewEdit(idDirectory)),
      m_device(WithId(new QComboBox(this), idDevice)), m_printer(NewEdit(idPrinter)),
      m_setup(WithId(new QPushButton(QStringLiteral("..."), this), idSetup)),
      m_scale(NewEdit(idScale)), m_offsetX(NewEdit(idOffsetX)), m_offsetY(NewEdit(idOffsetY)),
      m_landscape(WithId(new QCheckBox(QStringLiteral("Landscape"), this), idLandscape)),
      m_defaultPrinter(
          WithId(new QCheckBox(QStringLiteral("Use Default Printer"), this), idDefaultPrinter)),
      m_storedDirectory(values.directory), m_designFolder(values.designFolder),
      m_designTitle(values.designTitle)
{
    setWindowTitle(QStringLiteral("Output job"));
    m_name->setText(CQtText::FromDesignText(values.name));
    m_printer->setText(CQtText::FromDesignText(values.printer));
    m_scale->setText(CQtText::FromDesignText(values.scale));
    m_offsetX->setText(CQtText::FromDesignText(values.offsetX));
    m_offsetY->setText(CQtText::FromDesignText(values.offsetY));
    m_landscape->setChecked(values.landscape);
    m_defaultPrinter->setChecked(values.useDefaultPrinter);
    for (const int32_t device : listedDevices)
        m_device->addItem(CQtText::FromDesignText(COutputDevice::Name(device)));
    const QString device = CQtText::FromDesignText(values.device);
    int chosen = m_device->findText(device, Qt::MatchFixedString);
    // A job of another device keeps it: it is offered as it stands.
    if (chosen < 0 && !device.isEmpty()) {
        m_device->addItem(device);
        chosen = m_device->count() - 1;
    }
    m_device->setCurrentIndex(chosen);
    ShowDestination();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("Directory"), m_directory);
    form->addRow(QStringLiteral("Device:"), m_device);
    auto* printerGroup = new QGroupBox(QStringLiteral("Printer"), this);
    auto* printerForm = new QFormLayout(printerGroup);
    printerForm->addRow(m_printer, m_setup);
    printerForm->addRow(QStringLiteral("Scale:"), m_scale);
    printerForm->addRow(QStringLiteral("Offset X:"), m_offsetX);
    printerForm->addRow(QStringLiteral("Offset Y:"), m_offsetY);
    printerForm->addRow(m_landscape);
    printerForm->addRow(m_defaultPrinter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(printerGroup);
    layout->addWidget(NewButtons());

    connect(m_device, &QComboBox::currentIndexChanged, this, [this] {
        ShowDestination();
        ApplyEnableRule();
    });
    connect(m_setup, &QPushButton::clicked, this, [this] {
        RunPrinterSetup();
        ApplyEnableRule();
    });
    connect(m_defaultPrinter, &QCheckBox::clicked, this, [this] {
        if (!m_defaultPrinter->isChecked() &&
            !CServices::Printers().CanOpenPrinter(CQtText::ToDesignText(m_printer->text())))
            RunPrinterSetup();
        ApplyEnableRule();
    });
    ApplyEnableRule();
}

QString CNewJobDlg::DestinationText() const
{
    const std::string device = CQtText::ToDesignText(m_device->currentText());
    const bool writesFiles =
        COutputFiles::IsGerberDevice(device) || COutputFiles::IsDrillDevice(device);
    if (m_designFolder.empty() || !writesFiles)
        return CQtText::FromDesignText(m_storedDirectory);
    return CQtText::FromPath(
        COutputFiles::Folder(m_storedDirectory, m_designTitle, m_designFolder).string());
}

void CNewJobDlg::ShowDestination()
{
    // A folder the user typed stays; the stored one's place depends on the device (Gerber
    // files go below the upper-case title).
    if (m_directory->text() != m_shownDirectory)
        return;
    m_shownDirectory = DestinationText();
    m_directory->setText(m_shownDirectory);
}

void CNewJobDlg::RunPrinterSetup()
{
    std::string printer = CQtText::ToDesignText(m_printer->text());
    bool landscape = m_landscape->isChecked();
    if (!s_printerSetup(this, printer, landscape))
        return;
    m_printer->setText(CQtText::FromDesignText(printer));
    m_landscape->setChecked(landscape);
}

void CNewJobDlg::ApplyEnableRule()
{
    const std::string device = CQtText::ToDesignText(m_device->currentText());
    const bool windows = device == COutputDevice::Name(COutputDevice::windows);
    m_directory->setEnabled(!windows && device != COutputDevice::Name(COutputDevice::display));
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_setup, m_scale, m_offsetX, m_offsetY, m_landscape, m_printer, m_defaultPrinter})
        control->setEnabled(windows);
    if (!windows)
        return;
    // Without its printer the job prints on the default one.
    if (!m_defaultPrinter->isChecked() &&
        !CServices::Printers().CanOpenPrinter(CQtText::ToDesignText(m_printer->text())))
        m_defaultPrinter->setChecked(true);
    const bool own = !m_defaultPrinter->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{m_setup, m_printer, m_landscape})
        control->setEnabled(own);
}

CNewJobDlg::Values CNewJobDlg::GetValues() const
{
    Values values;
    values.name = CQtText::ToDesignText(m_name->text());
    const QString directory = m_directory->text();
    if (directory == m_shownDirectory)
        values.directory = m_storedDirectory;
    else if (m_designFolder.empty())
        values.directory = CQtText::ToDesignText(directory);
    else
        values.directory = CQtText::ToDesignText(CQtText::FromPath(
            OutputFolderToStore(CQtText::ToPath(directory), m_designFolder).string()));
    values.designFolder = m_designFolder;
    values.designTitle = m_designTitle;
    values.device = CQtText::ToDesignText(m_device->currentText());
    values.printer = CQtText::ToDesignText(m_printer->text());
    values.scale = CQtText::ToDesignText(m_scale->text());
    values.offsetX = CQtText::ToDesignText(m_offsetX->text());
    values.offsetY = CQtText::ToDesignText(m_offsetY->text());
    values.landscape = m_landscape->isChecked();
    values.useDefaultPrinter = m_defaultPrinter->isChecked();
    return values;
}
