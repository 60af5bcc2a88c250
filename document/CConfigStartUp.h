#pragma once

#include <string>

// The "Start-up" section of the user's settings: what start-up reopens, which bars and panes
// are shown, and the schematic application. The values are public so that the configuration
// page can edit them.
class CConfigStartUp {
public:
    static constexpr char section[] = "Start-up";

    void Load();
    // Writes every key of the section.
    void OnApply() const;

    bool m_loadDesign = true;
    bool m_loadSchematicApplication = false;
    std::string m_schematicAppPath;
    std::string m_schematicAppExtension;
    bool m_toolbar = true;
    bool m_statusbar = true;
    bool m_scrollbars = true;
    bool m_leftPane = false;
    bool m_bottomPane = false;
};
