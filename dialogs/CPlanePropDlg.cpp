#include "dialogs/CPlanePropDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "framework/CNumberText.h"
#include "framework/qt/CQtText.h"

CPlanePropDlg::CPlanePropDlg(int32_t unit, const std::vector<std::string>& layerNames,
                             const std::vector<std::string>& netNames,
                             const CDialogService::PlaneValues& plane, QWidget* parent)
    : CWevraDialog(0x18089, parent), m_unit(unit), m_plane(plane)
{
    setWindowTitle(QStringLiteral("Plane Properties"));
    m_name = NewEdit(idName);
    m_layer = WithId(new QComboBox(this), idLayer);
    for (size_t layer = 1; layer < layerNames.size(); ++layer) {
        if (!layerNames[layer].empty())
            m_layer->addItem(CQtText::FromDesignText(layerNames[layer]), int(layer));
    }
    m_net = WithId(new QComboBox(this), idNet);
    for (size_t net = 0; net < netNames.size(); ++net)
        m_net->addItem(CQtText::FromDesignText(netNames[net]), int(net));
    m_penWidth = NewEdit(idPenWidth);
    m_hatchGrid = NewEdit(idHatchGrid);
    m_hatchRotation = NewEdit(idHatchRotation);
    m_startX = NewEdit(idStartX);
    m_startY = NewEdit(idStartY);
    m_minSpace = NewEdit(idMinSpace);

    auto* styleBox = new QGroupBox(QStringLiteral("Fill style"), this);
    auto* styleLayout = new QHBoxLayout(styleBox);
    m_style = new QButtonGroup(this);
    const struct {
        const char* text;
        int32_t id;
    } styles[] = {{"&Solid", idSolid}, {"&Line", idLine}, {"&Cross", idCross}};
    for (int i = 0; i < 3; ++i) {
        auto* radio =
            WithId(new QRadioButton(QString::fromLatin1(styles[i].text), styleBox), styles[i].id);
        m_style->addButton(radio, i);
        styleLayout->addWidget(radio);
    }
    connect(m_style, &QButtonGroup::idClicked, this, [this] { ApplyStyleRule(); });
    auto* defaults = WithId(new QPushButton(QStringLiteral("&Default"), this), idDefault);
    connect(defaults, &QPushButton::clicked, this, [this] { SetDefaults(); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("La&yer"), m_layer);
    form->addRow(QStringLiteral("N&et"), m_net);
    form->addRow(QStringLiteral("&Pen Width"), m_penWidth);
    form->addRow(QStringLiteral("&Hatch Grid"), m_hatchGrid);
    form->addRow(QStringLiteral("Hatch &Rotation"), m_hatchRotation);
    form->addRow(styleBox);
    form->addRow(QStringLiteral("Start &X"), m_startX);
    form->addRow(QStringLiteral("Start Y"), m_startY);
    form->addRow(QStringLiteral("&Minimal Space"), m_minSpace);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(defaults);
    layout->addWidget(NewButtons());
    ShowValues(plane);
}

void CPlanePropDlg::ShowValues(const CDialogService::PlaneValues& plane)
{
    m_name->setText(CQtText::FromDesignText(plane.name));
    m_layer->setCurrentIndex(m_layer->findData(int(plane.layer)));
    m_net->setCurrentIndex(m_net->findData(int(plane.net)));
    ShowLength(*m_penWidth, m_unit, plane.penWidth);
    ShowLength(*m_minSpace, m_unit, plane.minSpace);
    ShowLength(*m_startX, m_unit, plane.start.x);
    ShowLength(*m_startY, m_unit, plane.start.y);
    ShowLength(*m_hatchGrid, m_unit, plane.hatchGrid);
    m_hatchRotation->setText(CQtText::FromDesignText(plane.hatchRotation));
    if (QAbstractButton* style = m_style->button(plane.style - 1))
        style->setChecked(true);
    ApplyStyleRule();
}

void CPlanePropDlg::ApplyStyleRule()
{
    const bool hatched = m_style->checkedId() != 0;
    m_hatchGrid->setEnabled(hatched);
    m_hatchRotation->setEnabled(hatched);
}

void CPlanePropDlg::SetDefaults()
{
    CDialogService::PlaneValues values = GetValues();
    values.penWidth = defaultPenWidth;
    values.hatchGrid = defaultHatchGrid;
    values.hatchRotation = CNumberText::FormatFixed(45.0, 3);
    values.style = 3;
    ShowValues(values);
}

CDialogService::PlaneValues CPlanePropDlg::GetValues() const
{
    CDialogService::PlaneValues values = m_plane;
    values.name = CQtText::ToDesignText(m_name->text());
    if (m_layer->currentIndex() >= 0)
        values.layer = m_layer->currentData().toInt();
    values.net = m_net->currentIndex() >= 0 ? m_net->currentData().toInt() : -1;
    values.penWidth = Parse(*m_penWidth);
    values.minSpace = Parse(*m_minSpace);
    values.start = CPoint(Parse(*m_startX), Parse(*m_startY));
    values.hatchGrid = Parse(*m_hatchGrid);
    values.style = m_style->checkedId() >= 0 ? m_style->checkedId() + 1 : m_plane.style;
    values.hatchRotation = CQtText::ToDesignText(m_hatchRotation->text());
    return values;
}
