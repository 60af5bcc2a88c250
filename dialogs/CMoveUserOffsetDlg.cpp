#include "dialogs/CMoveUserOffsetDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/Numeric.h"
#include "framework/qt/CQtText.h"

CMoveUserOffsetDlg::CMoveUserOffsetDlg(
    int32_t unit, const std::vector<CDialogService::PinnedComponent>& components, CSize board,
    QWidget* parent)
    : CWevraDialog(0, parent), m_unit(unit), m_components(components), m_board(board)
{
    setWindowTitle(QStringLiteral("Move User Offset"));
    m_component = WithId(new QComboBox(this), idComponent);
    for (const CDialogService::PinnedComponent& component : components)
        m_component->addItem(CQtText::FromDesignText(component.reference));
    m_pin = WithId(new QComboBox(this), idPin);
    m_xRelative = NewEdit(idXRelative);
    m_yRelative = NewEdit(idYRelative);
    auto* reset = WithId(new QPushButton(QStringLiteral("&Reset (0,0)"), this), idReset);
    auto* center = WithId(new QPushButton(QStringLiteral("&Center of PCB"), this), idCenter);

    connect(m_component, &QComboBox::activated, this, [this] { FillPins(); });
    connect(m_pin, &QComboBox::activated, this, [this] { ShowPin(); });
    connect(reset, &QPushButton::clicked, this, [this] {
        m_offset = CPoint(0, 0);
        accept();
    });
    connect(center, &QPushButton::clicked, this, [this] {
        m_offset = CPoint(m_board.cx >> 1, m_board.cy >> 1);
        accept();
    });

    auto* buttons = new QDialogButtonBox(this);
    WithId(buttons->addButton(QDialogButtonBox::Ok), idOk);
    WithId(buttons->addButton(QStringLiteral("Use &cursor"), QDialogButtonBox::RejectRole),
           idCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Component &Reference:"), m_component);
    form->addRow(QStringLiteral("&Pinnumber:"), m_pin);
    form->addRow(QStringLiteral("&X Relative to Pin:"), m_xRelative);
    form->addRow(QStringLiteral("&Y Relative to Pin:"), m_yRelative);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(reset);
    layout->addWidget(center);
    layout->addWidget(buttons);
    FillPins();
}

CPoint CMoveUserOffsetDlg::ChosenPin() const
{
    const int component = m_component->currentIndex();
    const int pin = m_pin->currentIndex();
    if (component < 0 || size_t(component) >= m_components.size() || pin < 0 ||
        size_t(pin) >= m_components[size_t(component)].pins.size())
        return CPoint(0, 0);
    return m_components[size_t(component)].pins[size_t(pin)];
}

void CMoveUserOffsetDlg::FillPins()
{
    m_pin->clear();
    const int component = m_component->currentIndex();
    if (component >= 0 && size_t(component) < m_components.size()) {
        const size_t count = m_components[size_t(component)].pins.size();
        for (size_t pin = 1; pin <= count; ++pin)
            m_pin->addItem(QString::number(pin));
    }
    ShowPin();
}

void CMoveUserOffsetDlg::ShowPin()
{
    const CPoint pin = ChosenPin();
    ShowLength(*m_xRelative, m_unit, SaturateToInt(-int64_t(pin.x)));
    ShowLength(*m_yRelative, m_unit, SaturateToInt(-int64_t(pin.y)));
}

void CMoveUserOffsetDlg::Accept()
{
    const CPoint pin = ChosenPin();
    m_offset = CPoint(SaturateToInt(int64_t(ParseLength(*m_xRelative, m_unit)) + pin.x),
                      SaturateToInt(int64_t(ParseLength(*m_yRelative, m_unit)) + pin.y));
    accept();
}
