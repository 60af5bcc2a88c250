#include "dialogs/CNewPcbDlg.h"

#include <filesystem>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/CDesign.h"
#include "document/CDocumentNetlist.h"
#include "document/CWevraDoc.h"
#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "model/CLengthText.h"

namespace fs = std::filesystem;

namespace {

constexpr char defaultProject[] = "NEW_PCB";

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return text;
}

QString FolderLabel(const std::string& folder)
{
    return QStringLiteral("Directory: ") + CQtText::FromPath(folder);
}

std::string Join(const std::string& folder, const std::string& name)
{
    return (fs::path(folder) / name).lexically_normal().string();
}

} // namespace

CNewPcbDlg::CNewPcbDlg(CWevraDoc& document, const std::string& pcbDirectory,
                       const std::string& defaultTemplate, const std::string& netlistDirectory,
                       QWidget* parent)
    : CWevraDialog(0x1E100, parent), m_document(document), m_configuredFolder(pcbDirectory),
      m_unit(CLengthText::unitMillimetre)
{
    setWindowTitle(QStringLiteral("New PCB Design"));
    m_project = NewEdit(idProjectName);
    m_project->setText(QString::fromLatin1(defaultProject));
    m_designLabel = WithId(new QLabel(this), idDesignFolder);
    auto* browseDesign =
        WithId(new QPushButton(QStringLiteral("&Browse..."), this), idBrowseDesign);
    m_sizeX = NewEdit(idSizeX);
    m_sizeY = NewEdit(idSizeY);
    m_units = WithId(new QComboBox(this), idUnit);
    m_units->addItems({QStringLiteral("inch"), QStringLiteral("mm"), QStringLiteral("mil")});
    m_units->setCurrentIndex(m_unit);
    ShowLength(*m_sizeX, m_unit, defaultWidth);
    ShowLength(*m_sizeY, m_unit, defaultHeight);

    m_templates = WithId(new QListWidget(this), idTemplates);
    m_templateLabel = WithId(new QLabel(this), idTemplateFolder);
    auto* browseTemplate =
        WithId(new QPushButton(QStringLiteral("B&rowse..."), this), idBrowseTemplate);

    m_link =
        WithId(new QCheckBox(QStringLiteral("&Link with External Netlist:"), this), idLinkNetlist);
    m_netlistName = NewEdit(idNetlistName);
    m_netlistLabel = WithId(new QLabel(this), idNetlistFolder);
    m_browseNetlist = WithId(new QPushButton(QStringLiteral("Bro&wse..."), this), idBrowseNetlist);
    m_netlistName->setEnabled(false);
    m_browseNetlist->setEnabled(false);
    m_netlistName->setText(QString::fromLatin1(defaultProject));

    // A configured netlist folder that is not there is no place to start looking: the netlist
    // folder then follows the design's until the user picks one.
    std::error_code missing;
    m_netlistFollowsDesign = !fs::is_directory(netlistDirectory, missing);
    SetDesignFolder(pcbDirectory);
    if (!m_netlistFollowsDesign)
        SetNetlistFolder(netlistDirectory);
    SetTemplateFolder(CPathHelper::GetDirectory(defaultTemplate));
    FillTemplates(CPathHelper::GetFileTitle(defaultTemplate));

    connect(m_project, &QLineEdit::editingFinished, this, [this] { TidyProjectName(); });
    // The netlist of a new project is as a rule named after it, until the user names it.
    connect(m_project, &QLineEdit::textChanged, this, [this](const QString& name) {
        if (!m_netlistNamed)
            m_netlistName->setText(name);
    });
    connect(m_netlistName, &QLineEdit::textEdited, this, [this] { m_netlistNamed = true; });
    connect(m_sizeX, &QLineEdit::editingFinished, this, [this] { ReformatSize(*m_sizeX); });
    connect(m_sizeY, &QLineEdit::editingFinished, this, [this] { ReformatSize(*m_sizeY); });
    connect(m_units, &QComboBox::activated, this, [this](int index) { ChangeUnit(index); });
    connect(m_link, &QCheckBox::clicked, this, [this](bool checked) {
        m_netlistName->setEnabled(checked);
        m_browseNetlist->setEnabled(checked);
    });
    connect(browseDesign, &QPushButton::clicked, this, [this] { BrowseDesign(); });
    connect(browseTemplate, &QPushButton::clicked, this, [this] { BrowseTemplate(); });
    connect(static_cast<QPushButton*>(m_browseNetlist), &QPushButton::clicked, this,
            [this] { BrowseNetlist(); });

    auto* project = new QGroupBox(QStringLiteral("Project Name and Sizes"), this);
    auto* projectForm = new QFormLayout(project);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_project);
    nameRow->addWidget(browseDesign);
    projectForm->addRow(NewLabel(QStringLiteral("&Project:"), m_project), nameRow);
    projectForm->addRow(m_designLabel);
    projectForm->addRow(QStringLiteral("Size &X:"), m_sizeX);
    projectForm->addRow(QStringLiteral("Size &Y:"), m_sizeY);
    projectForm->addRow(QStringLiteral("&Unit:"), m_units);
    auto* templates = new QGroupBox(QStringLiteral("Templates"), this);
    auto* templateLayout = new QVBoxLayout(templates);
    templateLayout->addWidget(m_templates);
    templateLayout->addWidget(m_templateLabel);
    templateLayout->addWidget(browseTemplate);
    auto* netlist = new QGroupBox(QStringLiteral("Netlist"), this);
    auto* netlistLayout = new QVBoxLayout(netlist);
    netlistLayout->addWidget(m_link);
    auto* netlistRow = new QHBoxLayout;
    netlistRow->addWidget(m_netlistName);
    netlistRow->addWidget(m_browseNetlist);
    netlistLayout->addLayout(netlistRow);
    netlistLayout->addWidget(m_netlistLabel);

    auto* buttons = new QDialogButtonBox(this);
    WithId(buttons->addButton(QDialogButtonBox::Ok), idOk);
    WithId(buttons->addButton(QDialogButtonBox::Cancel), idCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (CreateDesign())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(project);
    layout->addWidget(templates);
    layout->addWidget(netlist);
    layout->addWidget(buttons);
}

void CNewPcbDlg::SetDesignFolder(const std::string& folder)
{
    m_designFolder = folder;
    m_designLabel->setText(FolderLabel(folder));
    if (m_netlistFollowsDesign)
        SetNetlistFolder(folder);
}

void CNewPcbDlg::SetTemplateFolder(const std::string& folder)
{
    m_templateFolder = folder;
    m_templateLabel->setText(FolderLabel(folder));
}

void CNewPcbDlg::SetNetlistFolder(const std::string& folder)
{
    m_netlistFolder = folder;
    m_netlistLabel->setText(FolderLabel(folder));
}

void CNewPcbDlg::TidyProjectName()
{
    std::string name = CQtText::ToPath(m_project->text());
    if (name.empty())
        name = defaultProject;
    if (name.find('/') != std::string::npos) {
        const fs::path typed(name);
        SetDesignFolder(typed.parent_path().string());
        name = typed.filename().string();
    }
    const std::string title = CPathHelper::GetFileTitle(name);
    m_project->setText(CQtText::FromPath(title.empty() ? defaultProject : title));
}

std::string CNewPcbDlg::ProjectName() const
{
    return CQtText::ToPath(m_project->text());
}

void CNewPcbDlg::ReformatSize(QLineEdit& edit) const
{
    ShowLength(edit, m_unit, ParseLength(edit, m_unit));
}

void CNewPcbDlg::ChangeUnit(int32_t unit)
{
    const int32_t x = ParseLength(*m_sizeX, m_unit);
    const int32_t y = ParseLength(*m_sizeY, m_unit);
    m_unit = unit;
    ShowLength(*m_sizeX, m_unit, x);
    ShowLength(*m_sizeY, m_unit, y);
}

void CNewPcbDlg::FillTemplates(const std::string& select)
{
    m_templates->clear();
    std::vector<std::string> names;
    CPathHelper lister;
    if (!m_templateFolder.empty())
        lister.ListFiles(Join(m_templateFolder, "*.PCB"), names);
    // The names stay as the file system spells them: they name the files.
    for (const std::string& name : names) {
        m_templates->addItem(CQtText::FromPath(name));
        if (Upper(name) == Upper(select))
            m_templates->setCurrentRow(m_templates->count() - 1);
    }
}

void CNewPcbDlg::BrowseDesign()
{
    // The design is to be made: it need not exist yet.
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseSaveFile(
        "", m_designFolder, "Wevra PCB Design (*.PCB *.pcb)", ".PCB");
    if (!chosen)
        return;
    SetDesignFolder(CPathHelper::GetDirectory(*chosen));
    m_project->setText(CQtText::FromPath(CPathHelper::GetFileTitle(*chosen)));
}

void CNewPcbDlg::BrowseTemplate()
{
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseOpenFile(
        "", m_templateFolder, "Wevra PCB Template (*.PCB *.pcb)");
    if (!chosen)
        return;
    SetTemplateFolder(CPathHelper::GetDirectory(*chosen));
    m_templates->clear();
    m_templates->addItem(CQtText::FromPath(CPathHelper::GetFileTitle(*chosen)));
    m_templates->setCurrentRow(0);
}

void CNewPcbDlg::BrowseNetlist()
{
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseOpenFile(
        "", m_netlistFolder, "Wevra PCB Netlist (*.NET *.net)");
    if (!chosen)
        return;
    m_netlistFollowsDesign = false;
    m_netlistNamed = true;
    SetNetlistFolder(CPathHelper::GetDirectory(*chosen));
    m_netlistName->setText(CQtText::FromPath(CPathHelper::GetFileTitle(*chosen)));
}

std::string CNewPcbDlg::MakeDesignPath() const
{
    const std::string name = ProjectName();
    fs::path path(m_designFolder);
    if (fs::path(m_designFolder).lexically_normal() ==
        fs::path(m_configuredFolder).lexically_normal())
        path /= name;
    path /= name + ".PCB";
    return path.lexically_normal().string();
}

bool CNewPcbDlg::CreateDesign()
{
    TidyProjectName();
    const std::string path = MakeDesignPath();
    CMessageService& messages = CServices::Messages();
    if (!CPathHelper::CreateDirectoryChain(path)) {
        messages.FileMessageBox("Cannot create the folder " + CPathHelper::GetDirectory(path), "",
                                MB_OK, MB_ICONEXCLAMATION);
        return false;
    }
    if (CPathHelper::IsExistingFile(path) &&
        messages.FileMessageBox("File Exist. Overwrite?", path, MB_YESNO_DEFAULTNO,
                                MB_ICONEXCLAMATION) != IDYES)
        return false;

    const QListWidgetItem* chosen = m_templates->currentItem();
    const std::string templatePath =
        chosen != nullptr ? Join(m_templateFolder, CQtText::ToPath(chosen->text()) + ".PCB")
                          : std::string();
    if (!templatePath.empty() && CPathHelper::IsExistingFile(templatePath)) {
        // A damaged template has been named by the reading; the design must not pass for one
        // made from it.
        if (!m_document.ReadTemplate(templatePath) &&
            messages.FileMessageBox("The template " + templatePath +
                                        " could not be read: the new design starts without it.",
                                    "", MB_OKCANCEL, MB_ICONEXCLAMATION) != IDOK)
            return false;
    } else if (messages.MessageBox("Template not found!", "", MB_OKCANCEL, MB_ICONEXCLAMATION) !=
               IDOK) {
        return false;
    }

    m_document.Design().SetBoardOutlineRect(0, 0, ParseLength(*m_sizeX, m_unit),
                                            ParseLength(*m_sizeY, m_unit));
    m_document.SetDesignPath(path);
    m_document.Design().SetNetlistTime(0);
    if (m_link->isChecked()) {
        // The file as it is named on disk, whatever the case of its extension.
        const std::string netlist =
            CPathHelper::FindIgnoringCase(m_netlistFolder,
                                          CQtText::ToPath(m_netlistName->text()) + ".NET")
                .string();
        if (CPathHelper::IsExistingFile(netlist)) {
            m_document.Design().SetNetlistPath(netlist);
            if (!CDocumentNetlist(m_document).LoadIntoNewDesign(netlist))
                messages.MessageBox("Error while reading Netlist", "", MB_OK);
        }
    }
    // The design replaces an existing file only once it is written completely.
    if (!m_document.OnSaveDocument(path))
        return false;
    m_designPath = path;
    return true;
}
