#include "editor/CConfigFilesPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/CConfig.h"
#include "editor/CWevraApp.h"
#include "framework/CFileDialogService.h"
#include "framework/CFolderBrowser.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "resources/StringIds.h"

namespace {

QLineEdit* AddPathRow(QGridLayout* grid, int row, const QString& label, const std::string& value,
                      const QString& key, QPushButton*& browse)
{
    auto* edit = new QLineEdit(CQtText::FromPath(value));
    edit->setObjectName(key);
    browse = new QPushButton(QStringLiteral("Browse..."));
    browse->setObjectName(key + QStringLiteral(" Browse"));
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(browse, row, 2);
    return edit;
}

QSpinBox* MakeSpin(int minimum, int maximum, int value, const QString& key)
{
    auto* spin = new QSpinBox;
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    spin->setObjectName(key);
    return spin;
}

} // namespace

CConfigFilesPage::CConfigFilesPage(CConfig& config, QWidget* parent)
    : QWidget(parent), m_config(config)
{
    const CConfigFiles& values = config.Files();

    auto* files = new QGroupBox(QStringLiteral("Default Directories and Files"));
    auto* filesGrid = new QGridLayout(files);
    QPushButton* browsePcb = nullptr;
    QPushButton* browseNetlist = nullptr;
    QPushButton* browseLibrary = nullptr;
    QPushButton* browseTemplate = nullptr;
    m_pcbDirectory = AddPathRow(filesGrid, 0, QStringLiteral("PCB Design Directory"),
                                values.m_pcbDirectory, QStringLiteral("PCB Directory"), browsePcb);
    m_netlistDirectory =
        AddPathRow(filesGrid, 1, QStringLiteral("Netlist Directory"), values.m_netlistDirectory,
                   QStringLiteral("Netilst Directory"), browseNetlist);
    m_netlistDirectory->setPlaceholderText(QStringLiteral("beside the design"));
    m_library = AddPathRow(filesGrid, 2, QStringLiteral("Library"), values.m_library,
                           QStringLiteral("Library"), browseLibrary);
    m_defaultTemplate =
        AddPathRow(filesGrid, 3, QStringLiteral("PCB Template"), values.m_defaultTemplate,
                   QStringLiteral("Default Temlate"), browseTemplate);

    auto* backup = new QGroupBox(QStringLiteral("Backup"));
    auto* backupGrid = new QGridLayout(backup);
    m_backupsAutomatic = new QCheckBox(QStringLiteral("Automatic"));
    m_backupsAutomatic->setObjectName(QStringLiteral("Backups Automatic"));
    m_backupsAutomatic->setChecked(values.m_backupsAutomatic);
    backupGrid->addWidget(m_backupsAutomatic, 0, 0, 1, 3);
    QPushButton* browseBackup = nullptr;
    m_backupDirectory =
        AddPathRow(backupGrid, 1, QStringLiteral("Backup directory"), values.m_backupDirectory,
                   QStringLiteral("Backup Directory"), browseBackup);
    m_backupIntervalTime =
        MakeSpin(CConfigFiles::minBackupInterval, CConfigFiles::maxBackupInterval,
                 values.m_backupIntervalTime, QStringLiteral("Backup Interval Time"));
    m_backupMaxFiles = MakeSpin(CConfigFiles::minBackupFiles, CConfigFiles::maxBackupFiles,
                                values.m_backupMaxFiles, QStringLiteral("Backup Max. Files"));
    auto* every = new QHBoxLayout;
    every->addWidget(m_backupIntervalTime);
    every->addWidget(new QLabel(QStringLiteral("Minutes")));
    every->addStretch();
    backupGrid->addWidget(new QLabel(QStringLiteral("Every")), 2, 0);
    backupGrid->addLayout(every, 2, 1);
    backupGrid->addWidget(new QLabel(QStringLiteral("Maximum Files")), 3, 0);
    backupGrid->addWidget(m_backupMaxFiles, 3, 1, Qt::AlignLeft);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files);
    layout->addWidget(backup);
    layout->addStretch();

    connect(browsePcb, &QPushButton::clicked, this, [this] { BrowseFolder(m_pcbDirectory); });
    connect(browseNetlist, &QPushButton::clicked, this,
            [this] { BrowseFolder(m_netlistDirectory); });
    connect(browseBackup, &QPushButton::clicked, this, [this] { BrowseFolder(m_backupDirectory); });
    connect(browseTemplate, &QPushButton::clicked, this, &CConfigFilesPage::BrowseTemplate);
    connect(browseLibrary, &QPushButton::clicked, this, &CConfigFilesPage::BrowseLibrary);
}

void CConfigFilesPage::Apply()
{
    CConfigFiles& values = m_config.Files();
    values.m_pcbDirectory = CQtText::ToPath(m_pcbDirectory->text());
    values.m_defaultTemplate = CQtText::ToPath(m_defaultTemplate->text());
    values.m_netlistDirectory = CQtText::ToPath(m_netlistDirectory->text());
    values.m_library = CQtText::ToPath(m_library->text());
    values.m_backupsAutomatic = m_backupsAutomatic->isChecked();
    values.m_backupDirectory = CQtText::ToPath(m_backupDirectory->text());
    values.m_backupIntervalTime = m_backupIntervalTime->value();
    values.m_backupMaxFiles = m_backupMaxFiles->value();
    if (values.OnApply())
        m_config.NotifyLibrary(values.m_library);
}

void CConfigFilesPage::Cancel()
{
    m_config.Files().OnCancel();
}

void CConfigFilesPage::BrowseFolder(QLineEdit* edit)
{
    CFolderBrowser browser;
    browser.SetTitle(CWevraApp::LoadResString(IDS_SELECT_DIRECTORY));
    browser.SetStartFolder(CQtText::ToPath(edit->text()));
    if (browser.Browse())
        edit->setText(CQtText::FromPath(browser.GetResult()));
}

void CConfigFilesPage::BrowseTemplate()
{
    const std::string folder = m_config.Files().m_templateFolderBase + "Template";
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseOpenFile(
        std::string(), folder, "Wevra PCB Template (*.PCB *.pcb)");
    if (chosen)
        m_defaultTemplate->setText(CQtText::FromPath(*chosen));
}

void CConfigFilesPage::BrowseLibrary()
{
    const std::string folder = CPathHelper::GetDirectory(CQtText::ToPath(m_library->text()));
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseOpenFile(
        std::string(), folder, "Wevra PCB Library (*.SHP *.shp)");
    if (!chosen)
        return;
    m_library->setText(CQtText::FromPath(*chosen));
    // The library set follows at once; the setting itself waits for Apply.
    m_config.NotifyLibrary(*chosen);
}
