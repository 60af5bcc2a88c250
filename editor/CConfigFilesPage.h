#pragma once

#include <QWidget>

class CConfig;
class QCheckBox;
class QLineEdit;
class QSpinBox;

// The "Files" page of the user configuration: default folders and files, and the automatic
// backups. It edits copies of the values; Apply hands them to the configuration.
class CConfigFilesPage : public QWidget {
    Q_OBJECT

public:
    CConfigFilesPage(CConfig& config, QWidget* parent = nullptr);

    void Apply();
    void Cancel();

private:
    void BrowseFolder(QLineEdit* edit);
    void BrowseTemplate();
    void BrowseLibrary();

    CConfig& m_config;
    QLineEdit* m_pcbDirectory = nullptr;
    QLineEdit* m_netlistDirectory = nullptr;
    QLineEdit* m_library = nullptr;
    QLineEdit* m_defaultTemplate = nullptr;
    QCheckBox* m_backupsAutomatic = nullptr;
    QLineEdit* m_backupDirectory = nullptr;
    QSpinBox* m_backupIntervalTime = nullptr;
    QSpinBox* m_backupMaxFiles = nullptr;
};
