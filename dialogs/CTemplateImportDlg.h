#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/CWevraDialog.h"
#include "document/CTemplateImport.h"

class CWevraDoc;
class QCheckBox;
class QListWidget;

// "Import Properties from Template": a template design of the template folder and the parts of
// it to take into the design. Import takes them over and closes; a template that cannot be read
// keeps the dialog open, and no part chosen closes it as cancelled.
class CTemplateImportDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idAllData = 1426;
    static constexpr int32_t idAllDefinitions = 1427;
    static constexpr int32_t idList = 1442;

    // The templates of the folder of `defaultTemplate`, that one selected.
    CTemplateImportDlg(CWevraDoc& document, const std::string& defaultTemplate,
                       QWidget* parent = nullptr);
    // The same with the default template of the user's settings.
    explicit CTemplateImportDlg(CWevraDoc& document, QWidget* parent = nullptr);

    void accept() override;
    // The parts checked, as CTemplateImport bits.
    uint32_t GetParts() const;

private:
    struct Part {
        QCheckBox* box;
        uint32_t bit;
    };

    CWevraDoc& m_document;
    std::vector<CTemplateImport::Template> m_templates;
    QListWidget* m_list;
    std::vector<Part> m_parts;
};
