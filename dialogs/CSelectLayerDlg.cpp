#include "dialogs/CSelectLayerDlg.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "dialogs/CLayerSetDlg.h"
#include "document/CDesign.h"
#include "document/CEditSession.h"
#include "model/CLayerArray.h"
#include "model/LayerIds.h"

CSelectLayerDlg::CSelectLayerDlg(const CDesign& design, const CEditSession& session,
                                 const CDocumentPaint& paint, QWidget* parent)
    : CWevraDialog(helpContext, parent), m_list(WithId(new QListWidget(this), idList)),
      m_layer(session.GetWorkLayer())
{
    setWindowTitle(QStringLiteral("Select Default Layer"));
    const CLayerArray& layers = design.GetLayers();
    for (int32_t layer = 1; layer < LAYER_COUNT; ++layer) {
        if (layer == LAYER_DRILL || !layers.IsEnabled(layer))
            continue;
        m_list->addItem(CLayerSetDlg::NewLayerEntry(design, paint, layer));
        if (layer == m_layer)
            m_list->setCurrentRow(m_list->count() - 1);
    }
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CSelectLayerDlg::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(NewButtons());
}

void CSelectLayerDlg::accept()
{
    // The row chosen, not merely the one the keyboard stands on.
    const QList<QListWidgetItem*> chosen = m_list->selectedItems();
    if (chosen.isEmpty()) {
        reject();
        return;
    }
    m_layer = CLayerSetDlg::LayerOf(*m_list, m_list->row(chosen.front()));
    CWevraDialog::accept();
}
