#include "dialogs/CCleanDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"
#include "model/CLengthText.h"

CCleanDlg::CCleanDlg(int32_t unit, QWidget* parent) : CWevraDialog(0, parent), m_unit(unit)
{
    setWindowTitle(QStringLiteral("Clean"));
    auto box = [this](const char* text, int32_t id) {
        auto* check = WithId(new QCheckBox(QString::fromLatin1(text), this), id);
        check->setChecked(true);
        return check;
    };
    m_nets = box("Remove unused &nets", idUnusedNets);
    m_shapes = box("Remove unused &shapes", idUnusedShapes);
    m_pads = box("Remove unused &pads", idUnusedPads);
    m_minimal = box("&Check and set minimal padsize", idMinimalPadSize);
    m_border = WithId(new QComboBox(this), idBorder);
    for (const int32_t border : borders)
        m_border->addItem(CQtText::FromDesignText(CLengthText::FormatLength(unit, border)));
    m_border->setCurrentIndex(1);

    auto* pads = new QGroupBox(QStringLiteral("Pads"), this);
    auto* padLayout = new QVBoxLayout(pads);
    padLayout->addWidget(m_pads);
    padLayout->addWidget(m_minimal);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Minimal border around holes:"), m_border);
    padLayout->addLayout(form);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_nets);
    layout->addWidget(m_shapes);
    layout->addWidget(pads);
    layout->addWidget(NewButtons());
}

CDialogService::CleanChoices CCleanDlg::GetChoices() const
{
    CDialogService::CleanChoices choices;
    choices.unusedNets = m_nets->isChecked();
    choices.unusedShapes = m_shapes->isChecked();
    choices.unusedPads = m_pads->isChecked();
    choices.minimalPadSize = m_minimal->isChecked();
    choices.border =
        CLengthText::ParseLength(m_unit, CQtText::ToDesignText(m_border->currentText()));
    return choices;
}
