#include "editor/CConfigStartUpPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/CConfigStartUp.h"
#include "editor/CWevraApp.h"
#include "framework/CFileDialogService.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "resources/StringIds.h"

namespace {

QCheckBox* MakeCheck(const QString& label, bool checked, const QString& key)
{
    auto* check = new QCheckBox(label);
    check->setChecked(checked);
    check->setObjectName(key);
    return check;
}

} // namespace

CConfigStartUpPage::CConfigStartUpPage(CConfigStartUp& values, QWidget* parent)
    : QWidget(parent), m_values(values)
{
    m_loadDesign = MakeCheck(QStringLiteral("Load last PCB at Startup"), values.m_loadDesign,
                             QStringLiteral("Load Design"));
    m_loadSchematicApplication =
        MakeCheck(QStringLiteral("Load Schematic Design Program at Startup"),
                  values.m_loadSchematicApplication, QStringLiteral("Load Schematic Application"));
    m_schematicAppPath = new QLineEdit(CQtText::FromPath(values.m_schematicAppPath));
    m_schematicAppPath->setObjectName(QStringLiteral("Schematic App. Path"));
    m_schematicAppExtension = new QLineEdit(CQtText::FromPath(values.m_schematicAppExtension));
    m_schematicAppExtension->setObjectName(QStringLiteral("Schematic App. Extension"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."));
    browse->setObjectName(QStringLiteral("Schematic App. Path Browse"));

    auto* schematic = new QGridLayout;
    schematic->addWidget(new QLabel(QStringLiteral("Path")), 0, 0);
    schematic->addWidget(m_schematicAppPath, 0, 1);
    schematic->addWidget(browse, 0, 2);
    schematic->addWidget(new QLabel(QStringLiteral("Extension")), 1, 0);
    schematic->addWidget(m_schematicAppExtension, 1, 1);

    m_toolbar = MakeCheck(QStringLiteral("ToolBar"), values.m_toolbar, QStringLiteral("Toolbar"));
    m_statusbar =
        MakeCheck(QStringLiteral("StatusBar"), values.m_statusbar, QStringLiteral("Statusbar"));
    m_scrollbars =
        MakeCheck(QStringLiteral("Scroll bars"), values.m_scrollbars, QStringLiteral("Scrollbars"));
    m_leftPane =
        MakeCheck(QStringLiteral("Left Pane"), values.m_leftPane, QStringLiteral("Left Pane"));
    m_bottomPane = MakeCheck(QStringLiteral("Bottom Pane"), values.m_bottomPane,
                             QStringLiteral("Bottom Pane"));
    auto* view = new QGroupBox(QStringLiteral("View"));
    auto* viewLayout = new QVBoxLayout(view);
    for (QCheckBox* check : {m_toolbar, m_statusbar, m_scrollbars, m_leftPane, m_bottomPane})
        viewLayout->addWidget(check);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_loadDesign);
    layout->addWidget(m_loadSchematicApplication);
    layout->addLayout(schematic);
    layout->addWidget(view);
    layout->addStretch();

    connect(browse, &QPushButton::clicked, this, &CConfigStartUpPage::BrowseSchematicApp);
}

void CConfigStartUpPage::Apply()
{
    m_values.m_loadDesign = m_loadDesign->isChecked();
    m_values.m_loadSchematicApplication = m_loadSchematicApplication->isChecked();
    m_values.m_schematicAppPath = CQtText::ToPath(m_schematicAppPath->text());
    m_values.m_schematicAppExtension = CQtText::ToPath(m_schematicAppExtension->text());
    m_values.m_toolbar = m_toolbar->isChecked();
    m_values.m_statusbar = m_statusbar->isChecked();
    m_values.m_scrollbars = m_scrollbars->isChecked();
    m_values.m_leftPane = m_leftPane->isChecked();
    m_values.m_bottomPane = m_bottomPane->isChecked();
    m_values.OnApply();
}

void CConfigStartUpPage::BrowseSchematicApp()
{
    // Programs here carry no extension, so every file is offered, from the system's programs.
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseOpenFile(
        CWevraApp::LoadResString(IDS_SELECT_SCHEMATIC_PROGRAM), "/usr/bin", "Application (*)");
    if (chosen)
        m_schematicAppPath->setText(CQtText::FromPath(*chosen));
}
