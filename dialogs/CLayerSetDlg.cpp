#include "dialogs/CLayerSetDlg.h"

#include <algorithm>
#include <array>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CNewJobDlg.h"
#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "framework/TextTrim.h"
#include "framework/qt/CQtText.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "model/LayerIds.h"

namespace {

constexpr const char* percents[] = {"100%", " 30%", " 20%"};
constexpr char titleText[] = "Edit OutputItem";
constexpr int32_t swatchWidth = 30;
constexpr int layerRole = Qt::UserRole;

// The layer's colour as the lists show it beside the name.
COutput* CurrentJob(COutputArray& jobs)
{
    return jobs.GetJob(jobs.GetCurrent());
}

QIcon Swatch(COLORREF color)
{
    QPixmap pixmap(swatchWidth, 12);
    pixmap.fill(QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
    return QIcon(pixmap);
}

} // namespace

CLayerSetDlg::CLayerSetDlg(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                           const Ids& ids, bool outputItem, QWidget* parent)
    : CWevraDialog(CNewJobDlg::helpContext, parent), m_design(design), m_session(session),
      m_paint(paint),
      m_job(CurrentJob(outputItem ? design.GetOutputJobs() : design.GetDisplaySets())),
      m_item(m_job ? m_job->GetCurrentRec() : nullptr), m_outputItem(outputItem),
      m_windowsDevice(m_job && m_job->GetDevice() == COutputDevice::Name(COutputDevice::windows)),
      m_name(NewEdit(ids.name)), m_available(NewList(ids.available)), m_chosen(NewList(ids.chosen)),
      m_mirrored(NewSwitch("Mirrored", ids.mirrored)),
      m_reference(NewSwitch("Reference", ids.reference)), m_shape(NewSwitch("Shape", ids.shape)),
      m_type(NewSwitch("Type", ids.type)),
      m_minDiameter(WithId(new QComboBox(this), ids.minDiameter)),
      m_percent(WithId(new QComboBox(this), ids.percent))
{
    setWindowTitle(QString::fromLatin1(titleText) + QStringLiteral(" - [") +
                   CQtText::FromDesignText(m_job ? m_job->GetJobName() : std::string()) +
                   QStringLiteral("]"));
    for (const char* percent : percents)
        m_percent->addItem(QString::fromLatin1(percent));
    for (const int32_t diameter : minDiameters)
        m_minDiameter->addItem(
            CQtText::FromDesignText(CLengthText::FormatLength(session.GetUnit(), diameter)));
    if (outputItem) {
        m_output = NewSwitch("Output", ids.output);
        m_color = NewSwitch("Color", ids.color);
    } else {
        m_workLayer = WithId(new QComboBox(this), ids.workLayer);
    }

    if (m_item) {
        std::array<bool, LAYER_COUNT> used{};
        for (const uint8_t layer : m_item->GetLayerBytes()) {
            if (layer < LAYER_COUNT)
                used[layer] = true;
        }
        for (int32_t layer = 0; layer < LAYER_COUNT; ++layer) {
            if (!used[size_t(layer)])
                AddEntry(*m_available, layer);
        }
        for (const uint8_t layer : m_item->GetLayerBytes()) {
            if (layer != 0 && layer < LAYER_COUNT)
                AddEntry(*m_chosen, layer);
        }
        m_name->setText(CQtText::FromDesignText(m_item->GetDisplayName()));
        m_mirrored->setChecked(m_item->IsMirrored());
        m_reference->setChecked(m_item->IsTextReference());
        m_shape->setChecked(m_item->IsTextShape());
        m_type->setChecked(m_item->IsTextType());
        if (m_output) {
            m_output->setChecked(m_item->IsOutput());
            m_color->setChecked(m_item->IsColor());
        }
        m_percent->setCurrentIndex(
            m_item->GetPercentIndex() < m_percent->count() ? m_item->GetPercentIndex() : -1);
        m_minDiameter->setCurrentIndex(m_item->GetMinDiameterIndex() < m_minDiameter->count()
                                           ? m_item->GetMinDiameterIndex()
                                           : -1);
    }
    ApplyEnableRule();
    m_available->setCurrentRow(0);
    m_chosen->setCurrentRow(0);
    FillWorkLayers();

    const auto button = [this](const char* text, int32_t id, auto handler) {
        auto* pushButton = WithId(new QPushButton(QString::fromLatin1(text), this), id);
        connect(pushButton, &QPushButton::clicked, this, handler);
        return pushButton;
    };
    auto* moves = new QVBoxLayout;
    moves->addWidget(button("-->", ids.moveOver,
                            [this] { Move(*m_available, *m_chosen, m_available->currentRow()); }));
    moves->addWidget(button("<--", ids.moveBack,
                            [this] { Move(*m_chosen, *m_available, m_chosen->currentRow()); }));
    moves->addWidget(button("==>>", ids.moveAllOver, [this] { MoveAll(*m_available, *m_chosen); }));
    moves->addWidget(button("<<==", ids.moveAllBack, [this] { MoveAll(*m_chosen, *m_available); }));
    moves->addWidget(button("Move Up", ids.moveUp, [this] { Swap(-1); }));
    moves->addWidget(button("Move Down", ids.moveDown, [this] { Swap(1); }));
    connect(m_available, &QListWidget::itemDoubleClicked, this,
            [this] { Move(*m_available, *m_chosen, m_available->currentRow()); });
    connect(m_chosen, &QListWidget::itemDoubleClicked, this,
            [this] { Move(*m_chosen, *m_available, m_chosen->currentRow()); });

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Available Layers"), this), 0, 0);
    lists->addWidget(
        new QLabel(outputItem ? QStringLiteral("Output Layers") : QStringLiteral("Visible Layers"),
                   this),
        0, 2);
    lists->addWidget(m_available, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(m_chosen, 1, 2);

    auto* texts = new QGroupBox(QStringLiteral("Component Text"), this);
    auto* textLayout = new QVBoxLayout(texts);
    for (QCheckBox* box : {m_reference, m_shape, m_type})
        textLayout->addWidget(box);
    auto* holes = new QGroupBox(outputItem ? QStringLiteral("Print options for Holes")
                                           : QStringLiteral("Display options for Holes"),
                                this);
    auto* holeForm = new QFormLayout(holes);
    holeForm->addRow(QStringLiteral("Minimal diameter"), m_minDiameter);
    holeForm->addRow(QStringLiteral("Percent of Diam."), m_percent);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Display Name:"), m_name);
    if (m_workLayer)
        form->addRow(QStringLiteral("Work layer"), m_workLayer);
    auto* switches = new QVBoxLayout;
    switches->addWidget(m_mirrored);
    if (m_output) {
        switches->addWidget(m_output);
        switches->addWidget(m_color);
    }
    auto* options = new QHBoxLayout;
    options->addLayout(switches);
    options->addWidget(texts);
    options->addWidget(holes);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(lists);
    layout->addLayout(options);
    layout->addWidget(NewButtons());
}

QListWidget* CLayerSetDlg::NewList(int32_t id)
{
    return WithId(new QListWidget(this), id);
}

QCheckBox* CLayerSetDlg::NewSwitch(const char* text, int32_t id)
{
    return WithId(new QCheckBox(QString::fromLatin1(text), this), id);
}

QListWidgetItem* CLayerSetDlg::NewLayerEntry(const CDesign& design, const CDocumentPaint& paint,
                                             int32_t layer)
{
    auto* entry =
        new QListWidgetItem(QString(entryIndent, QLatin1Char(' ')) +
                            CQtText::FromDesignText(design.GetLayers().GetLayerName(layer)));
    entry->setData(layerRole, layer);
    entry->setIcon(Swatch(paint.LayerColor(layer, 0)));
    return entry;
}

void CLayerSetDlg::AddEntry(QListWidget& list, int32_t layer)
{
    list.addItem(NewLayerEntry(m_design, m_paint, layer));
}

int32_t CLayerSetDlg::LayerOf(const QListWidget& list, int row)
{
    const QListWidgetItem* entry = list.item(row);
    return entry ? entry->data(layerRole).toInt() : 0;
}

bool CLayerSetDlg::ChosenHolds(int32_t layer) const
{
    for (int row = 0; row < m_chosen->count(); ++row) {
        if (LayerOf(*m_chosen, row) == layer)
            return true;
    }
    return false;
}

void CLayerSetDlg::Move(QListWidget& from, QListWidget& to, int row)
{
    if (from.count() == 0)
        return;
    row = std::clamp(row, 0, from.count() - 1);
    to.addItem(from.takeItem(row));
    from.setCurrentRow(std::min(row, from.count() - 1));
    to.setCurrentRow(to.count() - 1);
    ApplyEnableRule();
    FillWorkLayers();
}

void CLayerSetDlg::MoveAll(QListWidget& from, QListWidget& to)
{
    while (from.count() > 0)
        to.addItem(from.takeItem(0));
    ApplyEnableRule();
    FillWorkLayers();
}

void CLayerSetDlg::Swap(int offset)
{
    const int row = m_chosen->currentRow();
    const int other = row + offset;
    if (row < 0 || other < 0 || other >= m_chosen->count())
        return;
    QListWidgetItem* entry = m_chosen->takeItem(row);
    m_chosen->insertItem(other, entry);
    m_chosen->setCurrentRow(other);
}

void CLayerSetDlg::ApplyEnableRule()
{
    bool holes = ChosenHolds(LAYER_DRILL);
    if (m_outputItem && !m_windowsDevice) {
        // Files have neither colours nor a mirror, and every item of them is output.
        m_color->setChecked(false);
        m_output->setChecked(true);
        m_mirrored->setChecked(false);
        for (QWidget* control : std::initializer_list<QWidget*>{m_color, m_output, m_mirrored})
            control->setEnabled(false);
        holes = false;
    }
    m_minDiameter->setEnabled(holes);
    m_percent->setEnabled(holes);
    const bool silk = ChosenHolds(LAYER_SILK_TOP) || ChosenHolds(LAYER_SILK_BOTTOM);
    for (QCheckBox* box : {m_reference, m_shape, m_type}) {
        box->setEnabled(silk);
        if (!silk)
            box->setChecked(false);
    }
}

void CLayerSetDlg::FillWorkLayers()
{
    if (!m_workLayer)
        return;
    m_workLayer->clear();
    for (int row = 0; row < m_chosen->count(); ++row) {
        const int32_t layer = LayerOf(*m_chosen, row);
        m_workLayer->addItem(
            CQtText::FromDesignText(TrimBlanks(m_design.GetLayers().GetLayerName(layer))), layer);
        if (m_item && layer == m_item->GetRefLayer())
            m_workLayer->setCurrentIndex(row);
    }
}

void CLayerSetDlg::accept()
{
    if (m_item) {
        std::array<uint8_t, COutputRec::maxLayers> layers{};
        for (int row = 0; row < m_chosen->count() && row < COutputRec::maxLayers; ++row)
            layers[size_t(row)] = uint8_t(LayerOf(*m_chosen, row));
        m_item->SetLayerBytes(layers);
        m_item->SetDisplayName(CQtText::ToDesignText(m_name->text()));
        if (m_output) {
            m_item->SetColor(m_color->isChecked());
            m_item->SetOutput(m_output->isChecked());
        }
        if (m_workLayer && m_workLayer->currentIndex() >= 0)
            m_item->SetRefLayer(m_workLayer->currentData().toInt());
        m_item->SetMirrored(m_mirrored->isChecked());
        // A list without a choice keeps the stored index: -1 would spill into other flags.
        if (m_minDiameter->currentIndex() >= 0)
            m_item->SetMinDiameterIndex(m_minDiameter->currentIndex());
        if (m_percent->currentIndex() >= 0)
            m_item->SetPercentIndex(m_percent->currentIndex());
        m_item->SetTextReference(m_reference->isChecked());
        m_item->SetTextShape(m_shape->isChecked());
        m_item->SetTextType(m_type->isChecked());
        m_item->SetTextMode(m_reference->isChecked() ? COutputRec::textModeReference
                            : m_type->isChecked()    ? COutputRec::textModeType
                            : m_shape->isChecked()   ? COutputRec::textModeShape
                                                     : COutputRec::textNone);
        m_session.SetModified();
    }
    CWevraDialog::accept();
}
