#include "dialogs/CImportLayermapDlg.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/CFileDialogService.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "model/CLengthText.h"
#include "model/LayerIds.h"

namespace {

constexpr int32_t mm = CLengthText::unitMillimetre;
// DOS layers below this one hold copper only.
constexpr int32_t firstDrawingDosLayer = 8;

QString Design(const std::string& text)
{
    return CQtText::FromDesignText(text);
}

} // namespace

CImportLayermapDlg::CImportLayermapDlg(const std::string& cnfPath, bool browse, uint32_t helpId,
                                       const std::vector<std::string>& layerNames,
                                       const CDosConfig& config, const std::string& startFolder,
                                       QWidget* parent)
    : CWevraDialog(0x10000 + helpId, parent), m_config(config), m_startFolder(startFolder)
{
    setWindowTitle(QStringLiteral("Import Layermap"));
    m_path = NewEdit(idPath);
    m_path->setReadOnly(true);
    m_path->setText(Design(cnfPath));
    auto* browseButton = WithId(new QPushButton(QStringLiteral("&Browse..."), this), idBrowse);
    browseButton->setEnabled(browse);
    connect(browseButton, &QPushButton::clicked, this, [this] { Browse(); });
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browseButton);

    auto* layerBox = new QGroupBox(QStringLiteral("Layers"), this);
    auto* layerGrid = new QGridLayout(layerBox);
    for (int32_t d = 1; d <= dosLayerCount; ++d) {
        QComboBox* combo = WithId(new QComboBox(layerBox), idFirstLayerCombo + d - 1);
        // Entry k is board layer k.
        combo->addItem(QStringLiteral("None"));
        // Copper goes to copper; the drawing layers may go anywhere.
        const int32_t last = d < firstDrawingDosLayer ? LAYER_INNER_12 : LAYER_DRAWING_4;
        for (int32_t layer = 1; layer <= last; ++layer)
            combo->addItem(
                Design(size_t(layer) < layerNames.size() ? layerNames[size_t(layer)] : ""));
        const int32_t preset = m_config.layerMap[size_t(d)];
        combo->setCurrentIndex(preset >= 1 && preset <= last ? preset : 0);
        m_layers[size_t(d - 1)] = combo;
        auto* label = new QLabel(QStringLiteral("Layer %1").arg(d), layerBox);
        label->setBuddy(combo);
        const int32_t column = (d - 1) / 8 * 2;
        layerGrid->addWidget(label, (d - 1) % 8, column);
        layerGrid->addWidget(combo, (d - 1) % 8, column + 1);
    }

    auto* penBox = new QGroupBox(QStringLiteral("Pen diameters"), this);
    auto* penForm = new QFormLayout(penBox);
    for (size_t p = 0; p < m_pens.size(); ++p) {
        m_pens[p] = NewEdit(idFirstPen + int32_t(p));
        penForm->addRow(QStringLiteral("Pen %1").arg(p + 1), m_pens[p]);
    }
    auto* layerPenBox = new QGroupBox(QStringLiteral("Pen diameters for Layer 8..15"), this);
    auto* layerPenForm = new QFormLayout(layerPenBox);
    for (size_t k = 0; k < m_layerPens.size(); ++k) {
        m_layerPens[k] = NewEdit(layerPenIds[k]);
        layerPenForm->addRow(QStringLiteral("Layer %1").arg(firstDrawingDosLayer + int(k)),
                             m_layerPens[k]);
    }
    auto* penRow = new QHBoxLayout;
    penRow->addWidget(penBox);
    penRow->addWidget(layerPenBox);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pathRow);
    layout->addWidget(layerBox);
    layout->addLayout(penRow);
    layout->addWidget(NewButtons());
    ShowWidths();
}

void CImportLayermapDlg::ShowWidths()
{
    for (size_t p = 0; p < m_pens.size(); ++p)
        ShowLength(*m_pens[p], mm, m_config.pens[p + 1]);
    for (size_t k = 0; k < m_layerPens.size(); ++k)
        ShowLength(*m_layerPens[k], mm, m_config.layerWidths[k]);
}

void CImportLayermapDlg::Browse()
{
    const std::optional<std::string> chosen = CServices::FileDialogs().ChooseOpenFile(
        "Open CNF File", m_startFolder, "Wevra (DOS) Configfile (.CNF) (*.CNF *.cnf)");
    if (!chosen)
        return;
    CDosConfig read;
    std::string error;
    if (!read.ReadBeside(*chosen, error)) {
        // The tables read before stay.
        CServices::Messages().FileMessageBox(error, "", MB_OK, MB_ICONEXCLAMATION);
        return;
    }
    m_config.drills = read.drills;
    m_config.padRows = read.padRows;
    m_config.pens = read.pens;
    m_config.clearance = read.clearance;
    m_config.layerWidths.fill(CDosConfig::defaultLayerWidth);
    m_path->setText(Design(CDosConfig::PathBeside(*chosen)));
    ShowWidths();
}

void CImportLayermapDlg::TakeWidth(const QLineEdit& edit, int32_t& width)
{
    // A width shown in thousandths of a millimetre and left alone keeps its exact value.
    if (edit.text() != Design(CLengthText::FormatLength(mm, width)))
        width = ParseLength(edit, mm);
}

void CImportLayermapDlg::accept()
{
    m_config.layerMap.fill(0);
    // By the entry chosen, not by its text: two layers may have the same name.
    for (int32_t d = 1; d <= dosLayerCount; ++d)
        m_config.layerMap[size_t(d)] = std::max(m_layers[size_t(d - 1)]->currentIndex(), 0);
    for (size_t p = 0; p < m_pens.size(); ++p)
        TakeWidth(*m_pens[p], m_config.pens[p + 1]);
    for (size_t k = 0; k < m_layerPens.size(); ++k)
        TakeWidth(*m_layerPens[k], m_config.layerWidths[k]);
    QDialog::accept();
}
