#include "editor/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/CWevraDialog.h"
#include "document/CHelpTopics.h"

CAboutDlg::CAboutDlg(const std::string& productVersion, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Wevra PCB"));
    m_version =
        new QLabel(QStringLiteral("Wevra PCB version: ") + QString::fromStdString(productVersion));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { CHelpTopics::Show(helpContext); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_version);
    layout->addWidget(buttons);
    CWevraDialog::FitWidthToTitle(*this);
}

QString CAboutDlg::GetVersionLine() const
{
    return m_version->text();
}
