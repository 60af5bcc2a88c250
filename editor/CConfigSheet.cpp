#include "editor/CConfigSheet.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "editor/CConfig.h"
#include "editor/CConfigFilesPage.h"
#include "editor/CConfigStartUpPage.h"
#include "editor/CWevraApp.h"
#include "framework/qt/CQtText.h"
#include "resources/StringIds.h"

CConfigSheet::CConfigSheet(CConfig& config, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(CQtText::FromDesignText(CWevraApp::LoadResString(IDS_USER_CONFIGURATION)));

    m_startUpPage = new CConfigStartUpPage(config.StartUp());
    m_filesPage = new CConfigFilesPage(config);
    auto* tabs = new QTabWidget;
    tabs->addTab(m_startUpPage, QStringLiteral("Start-up"));
    tabs->addTab(m_filesPage, QStringLiteral("Files"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Apply | QDialogButtonBox::Help);
    connect(buttons, &QDialogButtonBox::accepted, this, &CConfigSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CConfigSheet::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &CConfigSheet::Apply);
    auto showHelp = [] { CHelpTopics::Show(CConfig::helpContext); };
    connect(buttons, &QDialogButtonBox::helpRequested, this, showHelp);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, showHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

void CConfigSheet::Apply()
{
    m_startUpPage->Apply();
    m_filesPage->Apply();
}

void CConfigSheet::accept()
{
    Apply();
    QDialog::accept();
}

void CConfigSheet::reject()
{
    m_filesPage->Cancel();
    QDialog::reject();
}
