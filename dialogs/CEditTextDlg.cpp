#include "dialogs/CEditTextDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "framework/qt/CQtText.h"
#include "model/LayerIds.h"
#include "resources/CommandIds.h"

CEditTextDlg::CEditTextDlg(Values& values, const std::vector<std::string>& layerNames,
                           QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_BOARD_PLACE_TEXT, parent), m_values(values),
      m_layer(WithId(new QComboBox(this), idLayer)),
      m_mirror(WithId(new QCheckBox(QStringLiteral("Mirror"), this), idMirror))
{
    setWindowTitle(QStringLiteral("Edit Text"));
    for (size_t layer = 1; layer < layerNames.size(); ++layer) {
        if (int32_t(layer) == LAYER_DRILL)
            continue;
        m_layer->addItem(CQtText::FromDesignText(layerNames[layer]), int32_t(layer));
        if (int32_t(layer) == values.layer)
            m_layer->setCurrentIndex(m_layer->count() - 1);
    }
    m_mirror->setChecked(values.mirrored);
    auto* form = new QFormLayout;
    QLineEdit* text = m_fields.Add(*this, *form, "Text", idText, values.text);
    form->addRow(QStringLiteral("Layer"), m_layer);
    m_fields.Add(*this, *form, "Size", idSize, values.size);
    m_fields.Add(*this, *form, "Width", idWidth, values.width);
    m_fields.Add(*this, *form, "Rotation", idRotation, values.rotation);
    form->addRow(m_mirror);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
    text->setFocus();
}

void CEditTextDlg::accept()
{
    m_fields.Store();
    if (m_layer->currentIndex() >= 0)
        m_values.layer = m_layer->currentData().toInt();
    m_values.mirrored = m_mirror->isChecked();
    CWevraDialog::accept();
}
