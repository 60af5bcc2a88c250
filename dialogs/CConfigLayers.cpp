#include "dialogs/CConfigLayers.h"

#include <algorithm>
#include <array>

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CLayerListBox.h"
#include "dialogs/CLayerSetDlg.h"
#include "dialogs/CWevraDialog.h"
#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CLayer.h"
#include "model/CLayerArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"
#include "resources/StringIds.h"

CConfigLayers::CConfigLayers(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                             QWidget* parent)
    : QWidget(parent), m_design(design), m_session(session), m_paint(paint),
      m_enabled(CWevraDialog::WithId(new CLayerListBox(this), idEnabled)),
      m_disabled(CWevraDialog::WithId(new CLayerListBox(this), idDisabled))
{
    // One-digit layers are named with a leading blank, so the text order is the layer order.
    m_enabled->setSortingEnabled(true);
    m_disabled->setSortingEnabled(true);
    auto* enable = CWevraDialog::WithId(new QPushButton(QStringLiteral("-->"), this), idEnable);
    auto* disable = CWevraDialog::WithId(new QPushButton(QStringLiteral("<--"), this), idDisable);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(enable);
    moves->addWidget(disable);
    moves->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Disabled"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Enabled"), this), 0, 2);
    layout->addWidget(m_disabled, 1, 0);
    layout->addLayout(moves, 1, 1);
    layout->addWidget(m_enabled, 1, 2);

    const auto enableRow = [this] { Move(*m_disabled, *m_enabled); };
    connect(enable, &QPushButton::clicked, this, enableRow);
    connect(m_disabled, &QListWidget::itemDoubleClicked, this, enableRow);
    connect(disable, &QPushButton::clicked, this, &CConfigLayers::Disable);
    connect(m_enabled, &QListWidget::itemDoubleClicked, this, &CConfigLayers::Disable);
    Fill();
}

void CConfigLayers::AddRow(QListWidget& list, int32_t layer)
{
    list.addItem(CLayerSetDlg::NewLayerEntry(m_design, m_paint, layer));
}

void CConfigLayers::Fill()
{
    m_enabled->clear();
    m_disabled->clear();
    const CLayerArray& layers = m_design.GetLayers();
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        AddRow(layers.IsEnabled(layer) ? *m_enabled : *m_disabled, layer);
}

bool CConfigLayers::Move(QListWidget& from, QListWidget& to)
{
    if (from.count() == 0)
        return false;
    const int row = std::max(from.currentRow(), 0);
    QListWidgetItem* entry = from.takeItem(row);
    to.addItem(entry);
    from.setCurrentRow(std::min(row, from.count() - 1));
    to.setCurrentItem(entry);
    return true;
}

void CConfigLayers::Disable()
{
    if (m_enabled->count() == 0)
        return;
    const int32_t layer = CLayerSetDlg::LayerOf(*m_enabled, std::max(m_enabled->currentRow(), 0));
    if (m_design.GetLayerObjectCount(layer) > 0 &&
        CServices::Messages().MessageBox(CResString::Load(IDS_LAYER_IN_USE),
                                         CResString::Load(IDS_APP_TITLE), MB_OKCANCEL,
                                         MB_ICONEXCLAMATION) != IDOK)
        return;
    Move(*m_enabled, *m_disabled);
}

bool CConfigLayers::Apply()
{
    if (m_enabled->count() == 0) {
        CServices::Messages().MessageBox(CResString::Load(IDS_ALL_LAYERS_DISABLED),
                                         CResString::Load(IDS_APP_TITLE));
        return false;
    }
    std::array<bool, LAYER_COUNT> enabled{};
    for (int row = 0; row < m_enabled->count(); ++row)
        enabled[size_t(CLayerSetDlg::LayerOf(*m_enabled, row))] = true;
    CLayerArray& layers = m_design.GetLayers();
    bool changed = false;
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
        CLayer* entry = layers.GetLayer(layer);
        if (!entry)
            continue;
        changed = changed || entry->IsEnabled() != enabled[size_t(layer)];
        entry->SetEnabled(enabled[size_t(layer)]);
        entry->SetVisible(enabled[size_t(layer)]);
    }
    // A disabled layer leaves a 0 in its place; the layers after it keep theirs.
    COutputArray& displaySets = m_design.GetDisplaySets();
    for (int32_t j = 0; j < displaySets.GetCount(); ++j) {
        COutput& job = *displaySets.GetJob(j);
        for (int32_t i = 0; i < job.GetItemCount(); ++i) {
            COutputRec& set = *job.GetItem(i);
            std::array<uint8_t, COutputRec::maxLayers> entries = set.GetLayerBytes();
            for (uint8_t& slot : entries) {
                if (slot != 0 && (slot >= LAYER_COUNT || !enabled[slot]))
                    slot = 0;
            }
            set.SetLayerBytes(entries);
        }
    }
    if (changed)
        m_session.SetModified();
    return true;
}
