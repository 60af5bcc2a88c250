#pragma once

#include <string>

#include "dialogs/CWevraDialog.h"

class CWevraDoc;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// "New PCB Design": names the project and its folder, sizes the board, picks a template
// design and optionally a netlist; OK reads the template into the document, sets the board,
// imports the netlist and writes the new design file.
class CNewPcbDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idBrowseNetlist = 1492;
    static constexpr int32_t idBrowseDesign = 1493;
    static constexpr int32_t idBrowseTemplate = 1494;
    static constexpr int32_t idLinkNetlist = 1495;
    static constexpr int32_t idNetlistName = 1497;
    static constexpr int32_t idNetlistFolder = 1498;
    static constexpr int32_t idProjectName = 1499;
    static constexpr int32_t idDesignFolder = 1500;
    static constexpr int32_t idTemplates = 1502;
    static constexpr int32_t idTemplateFolder = 1503;
    static constexpr int32_t idUnit = 1504;
    static constexpr int32_t idSizeX = 1505;
    static constexpr int32_t idSizeY = 1506;
    // A 160 mm by 100 mm board.
    static constexpr int32_t defaultWidth = 1612598;
    static constexpr int32_t defaultHeight = 1007874;

    // The configured design and netlist folders and the default template design.
    CNewPcbDlg(CWevraDoc& document, const std::string& pcbDirectory,
               const std::string& defaultTemplate, const std::string& netlistDirectory,
               QWidget* parent = nullptr);

    // The file the design was written to, after OK.
    const std::string& GetDesignPath() const { return m_designPath; }

private:
    void SetDesignFolder(const std::string& folder);
    void SetTemplateFolder(const std::string& folder);
    void SetNetlistFolder(const std::string& folder);
    // The project name as the user left it: "NEW_PCB" for none, a typed path split into its
    // folder and its name, the name upper case.
    void TidyProjectName();
    void ReformatSize(QLineEdit& edit) const;
    void ChangeUnit(int32_t unit);
    void FillTemplates(const std::string& select);
    void BrowseDesign();
    void BrowseTemplate();
    void BrowseNetlist();
    std::string ProjectName() const;
    // The new design's file: in a folder of its own inside the configured design folder.
    std::string MakeDesignPath() const;
    // False keeps the dialog open.
    bool CreateDesign();

    CWevraDoc& m_document;
    // The folders as the file system names them; the labels only show them.
    std::string m_configuredFolder;
    std::string m_designFolder;
    std::string m_templateFolder;
    std::string m_netlistFolder;
    bool m_netlistFollowsDesign = false;
    // Whether the user typed or chose the netlist name: it no longer follows the project's.
    bool m_netlistNamed = false;
    int32_t m_unit;
    std::string m_designPath;
    QLineEdit* m_project = nullptr;
    QLabel* m_designLabel = nullptr;
    QLineEdit* m_sizeX = nullptr;
    QLineEdit* m_sizeY = nullptr;
    QComboBox* m_units = nullptr;
    QListWidget* m_templates = nullptr;
    QLabel* m_templateLabel = nullptr;
    QCheckBox* m_link = nullptr;
    QLineEdit* m_netlistName = nullptr;
    QLabel* m_netlistLabel = nullptr;
    QWidget* m_browseNetlist = nullptr;
};
