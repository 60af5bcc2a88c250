#include "dialogs/CCompSetPositionDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "framework/Numeric.h"
#include "framework/qt/CQtText.h"
#include "model/CLengthText.h"
#include "resources/CommandIds.h"

namespace {

constexpr char titleText[] = "Set Components Position";

int32_t Sum(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) + b);
}

int32_t Difference(int32_t a, int32_t b)
{
    return SaturateToInt(int64_t(a) - b);
}

} // namespace

CCompSetPositionDlg::CCompSetPositionDlg(int32_t unit,
                                         const CDialogService::PinnedComponent& component,
                                         CPoint center, CPoint mouse, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_COMPONENTS_SET_POSITION, parent),
      m_unit(unit), m_pins(component.pins), m_center(center), m_mouse(mouse),
      m_choice(new QButtonGroup(this)), m_pin(WithId(new QComboBox(this), idPin))
{
    setWindowTitle(CQtText::FromDesignText(std::string(titleText) + " " + component.reference));
    auto* group = new QGroupBox(QStringLiteral("Reference point"), this);
    auto* groupLayout = new QVBoxLayout(group);
    const struct {
        const char* text;
        int32_t id;
        int32_t choice;
    } choices[] = {{"Mouse position", idMouse, choiceMouse},
                   {"Center", idCenter, choiceCenter},
                   {"Pin Number", idPinNumber, choicePin}};
    for (const auto& choice : choices) {
        auto* button = WithId(new QRadioButton(QString::fromLatin1(choice.text), group), choice.id);
        m_choice->addButton(button, choice.choice);
        groupLayout->addWidget(button);
    }
    groupLayout->addWidget(m_pin);
    for (size_t n = 1; n <= m_pins.size(); ++n)
        m_pin->addItem(QString::number(n));
    // A component without pins can only be measured from its centre or the mouse.
    const bool pinned = !m_pins.empty();
    m_choice->button(choicePin)->setEnabled(pinned);
    m_pin->setEnabled(pinned);
    m_choice->button(pinned ? choicePin : choiceCenter)->setChecked(true);

    const int32_t ids[fieldCount] = {idXAbsolute, idYAbsolute, idXRelative, idYRelative};
    const char* labels[fieldCount] = {"X Absolute", "Y Absolute", "X Relative", "Y Relative"};
    auto* form = new QFormLayout;
    for (size_t k = 0; k < fieldCount; ++k) {
        m_fields[k] = NewEdit(ids[k]);
        form->addRow(QString::fromLatin1(labels[k]), m_fields[k]);
        connect(m_fields[k], &QLineEdit::editingFinished, this, [this, k] { TakeField(Field(k)); });
    }
    connect(m_choice, &QButtonGroup::idClicked, this, [this](int) { StartFromPoint(); });
    connect(m_pin, &QComboBox::activated, this, [this](int) { StartFromPoint(); });
    StartFromPoint();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
}

CPoint CCompSetPositionDlg::ReferencePoint() const
{
    switch (m_choice->checkedId()) {
    case choiceMouse:
        return m_mouse;
    case choicePin: {
        const int pin = m_pin->currentIndex();
        if (pin >= 0 && size_t(pin) < m_pins.size())
            return m_pins[size_t(pin)];
        return m_center;
    }
    default:
        return m_center;
    }
}

void CCompSetPositionDlg::StartFromPoint()
{
    m_absolute = ReferencePoint();
    m_relative = CPoint(0, 0);
    ShowFields();
}

void CCompSetPositionDlg::ShowFields()
{
    const int32_t values[fieldCount] = {m_absolute.x, m_absolute.y, m_relative.x, m_relative.y};
    for (size_t k = 0; k < fieldCount; ++k) {
        m_shownTexts[k] = CLengthText::FormatLength(m_unit, values[k]);
        m_fields[k]->setText(CQtText::FromDesignText(m_shownTexts[k]));
    }
}

void CCompSetPositionDlg::TakeField(Field field)
{
    const std::string text = CQtText::ToDesignText(m_fields[field]->text());
    if (text == m_shownTexts[field])
        return;
    const int32_t typed = CLengthText::ParseLength(m_unit, text);
    const CPoint point = ReferencePoint();
    switch (field) {
    case xAbsolute:
        m_relative.x = Sum(m_relative.x, Difference(typed, m_absolute.x));
        m_absolute.x = typed;
        break;
    case yAbsolute:
        m_relative.y = Sum(m_relative.y, Difference(typed, m_absolute.y));
        m_absolute.y = typed;
        break;
    case xRelative:
        m_relative.x = typed;
        m_absolute.x = Sum(point.x, typed);
        break;
    case yRelative:
        m_relative.y = typed;
        m_absolute.y = Sum(point.y, typed);
        break;
    default:
        return;
    }
    ShowFields();
}

void CCompSetPositionDlg::accept()
{
    // A field still being typed in counts as left.
    for (size_t k = 0; k < fieldCount; ++k)
        TakeField(Field(k));
    CWevraDialog::accept();
}
