#pragma once

#include <cstdint>

#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"
#include "resources/CommandIds.h"

class CConfigDisplay;
class CConfigGrid;
class CConfigLayers;
class CConfigOutput;
class CGridArr;
class QTabWidget;

// "Design Configuration": the pages that edit the configuration a design keeps, "Display",
// "DRC", "Grid", "Layers" and "Output". The Display and Output pages change the design at once
// and the Layers page when it is left or the sheet is closed with OK; the grids reach the
// caller's grid settings only on OK.
class CDesignConfig : public CWevraDialog {
    Q_OBJECT

public:
    enum Page : int32_t { pageDisplay, pageDrc, pageGrid, pageLayers, pageOutput };
    static constexpr uint32_t helpContext = 0x10000 + ID_BOARD_CONFIGURATION;

    CDesignConfig(const CDialogService::DesignParts& parts, int32_t firstPage, CGridArr& grids,
                  QWidget* parent = nullptr);

    QTabWidget& GetTabs() const { return *m_tabs; }

    void accept() override;

private:
    void Apply();
    void PageChanged(int page);

    CGridArr& m_grids;
    QTabWidget* m_tabs;
    CConfigDisplay* m_display;
    CConfigGrid* m_grid;
    CConfigLayers* m_layers;
    CConfigOutput* m_output;
    int m_page = 0;
};
