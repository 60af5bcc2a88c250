#pragma once

#include <QWidget>

class CConfigStartUp;
class QCheckBox;
class QLineEdit;

// The "Start-up" page of the user configuration: what start-up reopens, the bars and panes
// shown, and the schematic application. It edits copies of the values; Apply hands them over.
class CConfigStartUpPage : public QWidget {
    Q_OBJECT

public:
    CConfigStartUpPage(CConfigStartUp& values, QWidget* parent = nullptr);

    void Apply();

private:
    void BrowseSchematicApp();

    CConfigStartUp& m_values;
    QCheckBox* m_loadDesign = nullptr;
    QCheckBox* m_loadSchematicApplication = nullptr;
    QLineEdit* m_schematicAppPath = nullptr;
    QLineEdit* m_schematicAppExtension = nullptr;
    QCheckBox* m_toolbar = nullptr;
    QCheckBox* m_statusbar = nullptr;
    QCheckBox* m_scrollbars = nullptr;
    QCheckBox* m_leftPane = nullptr;
    QCheckBox* m_bottomPane = nullptr;
};
