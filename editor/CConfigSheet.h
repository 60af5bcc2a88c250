#pragma once

#include <QDialog>

class CConfig;
class CConfigFilesPage;
class CConfigStartUpPage;

// The "User Configuration" sheet: the "Start-up" and "Files" pages of a CConfig. Apply and OK
// write both pages' settings at once; Cancel forgets what was typed since the last Apply.
class CConfigSheet : public QDialog {
    Q_OBJECT

public:
    CConfigSheet(CConfig& config, QWidget* parent = nullptr);

    void Apply();
    void accept() override;
    void reject() override;

private:
    CConfigStartUpPage* m_startUpPage = nullptr;
    CConfigFilesPage* m_filesPage = nullptr;
};
