#include "dialogs/CDesignConfig.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/CConfigDisplay.h"
#include "dialogs/CConfigDrc.h"
#include "dialogs/CConfigGrid.h"
#include "dialogs/CConfigLayers.h"
#include "dialogs/CConfigOutput.h"
#include "framework/CResString.h"
#include "framework/qt/CQtText.h"
#include "model/CGridArr.h"
#include "resources/StringIds.h"

CDesignConfig::CDesignConfig(const CDialogService::DesignParts& parts, int32_t firstPage,
                             CGridArr& grids, QWidget* parent)
    : CWevraDialog(helpContext, parent), m_grids(grids), m_tabs(new QTabWidget(this)),
      m_display(new CConfigDisplay(parts.design, parts.session, parts.paint, this)),
      m_grid(new CConfigGrid(this)),
      m_layers(new CConfigLayers(parts.design, parts.session, parts.paint, this)),
      m_output(new CConfigOutput(parts, this))
{
    setWindowTitle(CQtText::FromDesignText(CResString::Load(IDS_DESIGN_CONFIGURATION)));
    m_grid->LoadFrom(grids);
    m_tabs->addTab(m_display, QStringLiteral("Display"));
    m_tabs->addTab(new CConfigDrc(this), QStringLiteral("DRC"));
    m_tabs->addTab(m_grid, QStringLiteral("Grid"));
    m_tabs->addTab(m_layers, QStringLiteral("Layers"));
    m_tabs->addTab(m_output, m_output->Caption());
    m_page = std::clamp<int>(firstPage, pageDisplay, pageOutput);
    m_tabs->setCurrentIndex(m_page);

    QDialogButtonBox* buttons = NewButtons();
    QPushButton* apply = buttons->addButton(QDialogButtonBox::Apply);
    connect(apply, &QPushButton::clicked, this, &CDesignConfig::Apply);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CDesignConfig::PageChanged);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void CDesignConfig::PageChanged(int page)
{
    // The layers are taken when their page is left; with none enabled the page stays.
    if (m_page == pageLayers && page != pageLayers && !m_layers->Apply()) {
        const QSignalBlocker blocker(m_tabs);
        m_tabs->setCurrentIndex(pageLayers);
        return;
    }
    m_page = page;
    // Another page may have changed what this one shows.
    if (page == pageDisplay)
        m_display->Fill();
    else if (page == pageLayers)
        m_layers->Fill();
    else if (page == pageOutput)
        m_output->Fill();
}

void CDesignConfig::Apply()
{
    if (m_page == pageLayers)
        m_layers->Apply();
    m_grid->Apply();
}

void CDesignConfig::accept()
{
    if (m_page == pageLayers && !m_layers->Apply())
        return;
    m_grid->Apply();
    m_grids.CopyFrom(m_grid->GetGrids());
    CWevraDialog::accept();
}
