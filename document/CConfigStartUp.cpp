#include "document/CConfigStartUp.h"

#include "document/Profile.h"

namespace {

constexpr char keyLoadDesign[] = "Load Design";
constexpr char keyLoadSchematicApplication[] = "Load Schematic Application";
constexpr char keySchematicAppPath[] = "Schematic App. Path";
constexpr char keySchematicAppExtension[] = "Schematic App. Extension";
constexpr char keyToolbar[] = "Toolbar";
constexpr char keyStatusbar[] = "Statusbar";
constexpr char keyScrollbars[] = "Scrollbars";
constexpr char keyLeftPane[] = "Left Pane";
constexpr char keyBottomPane[] = "Bottom Pane";

} // namespace

void CConfigStartUp::Load()
{
    ReadProfileBool(section, keyLoadDesign, m_loadDesign);
    ReadProfileBool(section, keyLoadSchematicApplication, m_loadSchematicApplication);
    ReadProfileString(section, keySchematicAppPath, m_schematicAppPath);
    ReadProfileString(section, keySchematicAppExtension, m_schematicAppExtension);
    ReadProfileBool(section, keyToolbar, m_toolbar);
    ReadProfileBool(section, keyStatusbar, m_statusbar);
    ReadProfileBool(section, keyScrollbars, m_scrollbars);
    ReadProfileBool(section, keyLeftPane, m_leftPane);
    ReadProfileBool(section, keyBottomPane, m_bottomPane);
}

void CConfigStartUp::OnApply() const
{
    WriteProfileBool(section, keyLoadDesign, m_loadDesign);
    WriteProfileBool(section, keyLoadSchematicApplication, m_loadSchematicApplication);
    WriteProfileText(section, keySchematicAppPath, m_schematicAppPath);
    WriteProfileText(section, keySchematicAppExtension, m_schematicAppExtension);
    WriteProfileBool(section, keyToolbar, m_toolbar);
    WriteProfileBool(section, keyStatusbar, m_statusbar);
    WriteProfileBool(section, keyScrollbars, m_scrollbars);
    WriteProfileBool(section, keyLeftPane, m_leftPane);
    WriteProfileBool(section, keyBottomPane, m_bottomPane);
}
