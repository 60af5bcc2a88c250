#include "dialogs/CTemplateImportDlg.h"

#include <filesystem>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/CConfigFiles.h"
#include "document/CDocumentFrame.h"
#include "framework/TextCase.h"
#include "framework/qt/CQtText.h"

namespace {

struct PartControl {
    int32_t id;
    const char* text;
    uint32_t bit;
};

constexpr PartControl dataControls[] = {
    {1428, "Board outline (Replace)", CTemplateImport::boardOutline},
    {1433, "Lines (Add)", CTemplateImport::lines},
    {1435, "Generic Pads (Add)", CTemplateImport::genericPads},
    {1438, "Planes (Add)", CTemplateImport::planes},
    {1440, "Text (Add)", CTemplateImport::texts},
    {1441, "Tracks/Via's (Add)", CTemplateImport::tracks},
    {1430, "Components (Add)", CTemplateImport::components},
};
constexpr PartControl definitionControls[] = {
    {1432, "Layers (Replace)", CTemplateImport::layers},
    {1429, "Colors (Replace)", CTemplateImport::colors},
    {1431, "Displays (Replace)", CTemplateImport::displays},
    {1434, "Outputs (Replace)", CTemplateImport::outputs},
    {1436, "Pads (Add)", CTemplateImport::pads},
    {1437, "Pens (Add)", CTemplateImport::pens},
    {1439, "Shapes (Add)", CTemplateImport::shapes},
};

std::string DefaultTemplate()
{
    CConfigFiles files;
    files.Load(CDocumentFrame::Get().GetProgramFolder());
    return files.m_defaultTemplate;
}

} // namespace

CTemplateImportDlg::CTemplateImportDlg(CWevraDoc& document, QWidget* parent)
    : CTemplateImportDlg(document, DefaultTemplate(), parent)
{
}

CTemplateImportDlg::CTemplateImportDlg(CWevraDoc& document, const std::string& defaultTemplate,
                                       QWidget* parent)
    : CWevraDialog(0, parent), m_document(document),
      m_templates(CTemplateImport::ListTemplates(defaultTemplate)),
      m_list(WithId(new QListWidget(this), idList))
{
    setWindowTitle(QStringLiteral("Import Properties from Template"));
    for (const auto& entry : m_templates)
        m_list->addItem(CQtText::FromDesignText(entry.name));
    // The default template, or else the first whose name begins like it.
    const std::string wanted = UpperAscii(std::filesystem::path(defaultTemplate).stem().string());
    for (size_t i = 0; i < m_templates.size(); ++i) {
        if (m_templates[i].name.rfind(wanted, 0) == 0) {
            m_list->setCurrentRow(int(i));
            break;
        }
    }

    const auto group = [this](const char* title, const auto& controls, int32_t allId,
                              const char* allText) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        auto* layout = new QVBoxLayout(box);
        auto* all = WithId(new QCheckBox(QString::fromLatin1(allText), box), allId);
        layout->addWidget(all);
        std::vector<QCheckBox*> members;
        for (const PartControl& control : controls) {
            auto* check = WithId(new QCheckBox(QString::fromLatin1(control.text), box), control.id);
            layout->addWidget(check);
            m_parts.push_back({check, control.bit});
            members.push_back(check);
        }
        connect(all, &QCheckBox::clicked, this, [members](bool on) {
            for (QCheckBox* member : members)
                member->setChecked(on);
        });
        return box;
    };
    auto* groups = new QHBoxLayout;
    groups->addWidget(group("Data", dataControls, idAllData, "All Data"));
    groups->addWidget(
        group("Definitions", definitionControls, idAllDefinitions, "All Definitions"));

    auto* buttons = NewButtons();
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Import"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Templates:"), this));
    layout->addWidget(m_list);
    layout->addLayout(groups);
    layout->addWidget(buttons);
}

uint32_t CTemplateImportDlg::GetParts() const
{
    uint32_t parts = 0;
    for (const Part& part : m_parts) {
        if (part.box->isChecked())
            parts |= part.bit;
    }
    return parts;
}

void CTemplateImportDlg::accept()
{
    const int row = m_list->currentRow();
    const std::string path = row >= 0 ? m_templates[size_t(row)].path : std::string();
    switch (CTemplateImport::Import(m_document, path, GetParts())) {
    case CTemplateImport::Result::nothingChosen:
        reject();
        break;
    case CTemplateImport::Result::unreadable:
        break;
    case CTemplateImport::Result::imported:
        CWevraDialog::accept();
        break;
    }
}
