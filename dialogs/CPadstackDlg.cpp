#include "dialogs/CPadstackDlg.h"

#include <algorithm>
#include <optional>
#include <string>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogs/CLengthChoices.h"
#include "dialogs/CPadPreview.h"
#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "document/CEditSession.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "model/CFieldRange.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

constexpr const char* typeNames[] = {"Undefined", "Round",   "Oval(!)",   "Square",
                                     "Rectangle", "Octagon", "Octagon(w)"};
// Pads of these shapes stay square: a size typed in one direction is shown in the other.
bool IsSquareShape(int32_t code)
{
    return code == PAD_ROUND || code == PAD_SQUARE || code == PAD_OCTAGON;
}

} // namespace

CPadstackDlg::CPadstackDlg(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                           int32_t index, QWidget* parent)
    : CWevraDialog(0, parent), m_design(design), m_session(session), m_paint(paint), m_index(index),
      m_layer(std::clamp(session.GetWorkLayer(), int32_t(LAYER_TOP), int32_t(LAYER_DRILL))),
      m_name(NewEdit(idName)), m_layers(WithId(new QComboBox(this), idLayer)),
      m_type(WithId(new QComboBox(this), idType)),
      m_preview(WithId(new CPadPreview(this), idPreview))
{
    setWindowTitle(QStringLiteral("Edit Padstack"));
    m_work.RemoveAll();
    if (const CPadStack* stack = design.GetPadStacks().GetPadStack(index))
        m_work.SetAt(0, *stack);
    else
        m_work.SetAt(0, CPadStack());
    CPadStack& stack = *m_work.GetPadStack(0);
    m_name->setText(CQtText::FromDesignText(stack.GetName()));

    for (const char* name : typeNames)
        m_type->addItem(QString::fromLatin1(name));
    for (int32_t layer = LAYER_TOP; layer <= LAYER_DRILL; ++layer)
        m_layers->addItem(CQtText::FromDesignText(design.GetLayers().GetLayerName(layer)));

    std::vector<int32_t> sizes;
    std::vector<int32_t> offsets;
    for (int32_t layer = LAYER_TOP; layer < LAYER_DRILL; ++layer) {
        const CPad& pad = *stack.GetPad(layer);
        for (const int32_t size : {pad.GetWidth(), pad.GetHeight()}) {
            if (size != 0)
                sizes.push_back(size);
        }
        offsets.push_back(pad.GetOffsetX());
        offsets.push_back(pad.GetOffsetY());
    }
    m_hole = NewLengthCombo(idHole, CLengthChoices::Holes(), {stack.GetDrill()});
    m_hole->setEnabled(stack.GetDrill() != 0);
    m_sizeX = NewLengthCombo(idSizeX, CLengthChoices::Sizes(), sizes);
    m_sizeY = NewLengthCombo(idSizeY, CLengthChoices::Sizes(), sizes);
    m_offsetX = NewLengthCombo(idOffsetX, CLengthChoices::Offsets(), offsets);
    m_offsetY = NewLengthCombo(idOffsetY, CLengthChoices::Offsets(), offsets);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), m_name);
    form->addRow(QStringLiteral("Layer:"), m_layers);
    form->addRow(QStringLiteral("Type:"), m_type);
    form->addRow(QStringLiteral("Hole diameter:"), m_hole);
    form->addRow(QStringLiteral("Size X:"), m_sizeX);
    form->addRow(QStringLiteral("Size Y:"), m_sizeY);
    form->addRow(QStringLiteral("Offset X:"), m_offsetX);
    form->addRow(QStringLiteral("Offset Y:"), m_offsetY);
    auto* columns = new QHBoxLayout;
    columns->addLayout(form);
    columns->addWidget(m_preview, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(NewButtons());

    const auto activated = [this](QComboBox* combo, auto handler) {
        connect(combo, &QComboBox::activated, this, [this, handler] {
            if (!m_showing)
                handler();
        });
    };
    activated(m_layers, [this] {
        m_layer = LAYER_TOP + m_layers->currentIndex();
        ShowLayer();
    });
    activated(m_type, [this] {
        if (CPad* pad = m_work.GetPadStack(0)->GetPad(m_layer))
            pad->SetShape(uint32_t(m_type->currentIndex()));
        ShowPreview();
    });
    activated(m_hole, [this] {
        m_work.SetDrill(0, Value(*m_hole), CPadStack::standardRing);
        ShowPreview();
    });
    activated(m_sizeX, [this] { OnSize(true); });
    activated(m_sizeY, [this] { OnSize(false); });
    activated(m_offsetX, [this] { OnOffset(true); });
    activated(m_offsetY, [this] { OnOffset(false); });
    ShowLayer();
}

CPadstackDlg::~CPadstackDlg()
{
    // A typed length is not taken while the controls go: the focus leaves them then too.
    for (QComboBox* combo : {m_hole, m_sizeX, m_sizeY, m_offsetX, m_offsetY})
        combo->lineEdit()->disconnect(this);
}

QComboBox* CPadstackDlg::NewLengthCombo(int32_t id, const std::vector<int32_t>& values,
                                        const std::vector<int32_t>& extra)
{
    auto* combo = WithId(new QComboBox(this), id);
    // The values ride with their texts, so that a chosen entry is taken exactly as listed.
    for (const auto& entry : CLengthChoices::Entries(m_session.GetUnit(), values, extra))
        combo->addItem(CQtText::FromDesignText(entry.text), QVariant(entry.value));
    // A list of a thousand lengths is no way to find one: the user types it. The typed text
    // is read whole when the field is left (or Enter is pressed), never completed from the
    // list's first entry that starts alike.
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    connect(combo->lineEdit(), &QLineEdit::editingFinished, this,
            [this, combo] { OnLengthTyped(*combo); });
    return combo;
}

void CPadstackDlg::OnLengthTyped(QComboBox& combo)
{
    const int current = combo.currentIndex();
    const QString typed = combo.lineEdit()->text();
    if (current >= 0 && typed == combo.itemText(current))
        return;
    const int32_t unit = m_session.GetUnit();
    const std::string typedText = CQtText::ToDesignText(typed);
    const std::optional<int64_t> length = CLengthChoices::ParseTyped(unit, typedText);
    // The text is put back before the user is told: the focus leaves the field then.
    const QString kept = current >= 0 ? combo.itemText(current) : QString();
    if (!length) {
        combo.lineEdit()->setText(kept);
        CServices::Messages().MessageBox(
            CQtText::ToDesignText(QStringLiteral("%1: \"%2\" is no length; the field keeps %3.")
                                      .arg(FieldName(combo), typed, kept)),
            CQtText::ToDesignText(windowTitle()), MB_OK, MB_ICONEXCLAMATION);
        return;
    }
    // A pad of no size is none, a hole of none leaves the padstack undrilled, and sizes and holes
    // beyond what a board holds or offsets beyond where a point can lie would take the pad's
    // rectangle beyond the range a design file opens with; below nothing they invert it.
    const CFieldRange& range = &combo == m_offsetX || &combo == m_offsetY ? FieldRanges::position
                               : &combo == m_hole                         ? FieldRanges::length
                                                                          : FieldRanges::extent;
    if (!range.Holds(*length))
        combo.lineEdit()->setText(kept);
    const std::optional<int32_t> value = range.TakeLength(
        unit, *length, typedText, "Padstack " + CQtText::ToDesignText(FieldName(combo).toLower()));
    if (!value)
        return;
    // The listed entry of that text keeps its exact value; a length off the list joins it in
    // order.
    const QString text = CQtText::FromDesignText(CLengthText::FormatLength(unit, *value));
    int index = combo.findText(text, Qt::MatchExactly);
    if (index < 0) {
        index = 0;
        while (index < combo.count() && combo.itemData(index).toInt() < *value)
            ++index;
        combo.insertItem(index, text, QVariant(*value));
    }
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

QString CPadstackDlg::FieldName(const QComboBox& combo) const
{
    if (&combo == m_hole)
        return QStringLiteral("Hole diameter");
    if (&combo == m_sizeX || &combo == m_sizeY)
        return &combo == m_sizeX ? QStringLiteral("Size X") : QStringLiteral("Size Y");
    return &combo == m_offsetX ? QStringLiteral("Offset X") : QStringLiteral("Offset Y");
}

int32_t CPadstackDlg::Value(const QComboBox& combo)
{
    return combo.currentData().toInt();
}

void CPadstackDlg::SelectValue(QComboBox& combo, int32_t unit, int32_t value)
{
    combo.setCurrentIndex(combo.findText(
        CQtText::FromDesignText(CLengthText::FormatLength(unit, value)), Qt::MatchExactly));
}

CPad* CPadstackDlg::CurrentPad()
{
    CPad* pad = m_work.GetPadStack(0)->GetPad(m_layer);
    return pad && pad->HasShape() ? pad : nullptr;
}

void CPadstackDlg::ShowLayer()
{
    m_showing = true;
    const int32_t unit = m_session.GetUnit();
    const CPad& pad = *m_work.GetPadStack(0)->GetPad(m_layer);
    m_layers->setCurrentIndex(m_layer - LAYER_TOP);
    m_type->setCurrentIndex(pad.GetShape() < m_type->count() ? pad.GetShape() : -1);
    SelectValue(*m_sizeX, unit, pad.GetWidth());
    SelectValue(*m_sizeY, unit, pad.GetHeight());
    SelectValue(*m_offsetX, unit, pad.GetOffsetX());
    SelectValue(*m_offsetY, unit, pad.GetOffsetY());
    if (m_hole->isEnabled())
        SelectValue(*m_hole, unit, m_work.GetPadStack(0)->GetDrill());
    m_showing = false;
    ShowPreview();
}

void CPadstackDlg::ShowPreview()
{
    m_preview->Show(&m_work, 0, m_layer, m_paint.LayerColor(m_layer, 0),
                    m_paint.LayerColor(LAYER_DRILL, 0), false);
}

void CPadstackDlg::OnSize(bool x)
{
    if (CPad* pad = CurrentPad()) {
        const int32_t size = Value(x ? *m_sizeX : *m_sizeY);
        x ? pad->SetWidth(size) : pad->SetHeight(size);
        if (IsSquareShape(pad->GetShape()))
            (x ? m_sizeY : m_sizeX)->setCurrentIndex((x ? m_sizeX : m_sizeY)->currentIndex());
    }
    ShowPreview();
}

void CPadstackDlg::OnOffset(bool x)
{
    if (CPad* pad = CurrentPad())
        x ? pad->CentreX(Value(*m_offsetX)) : pad->CentreY(Value(*m_offsetY));
    ShowPreview();
}

std::string CPadstackDlg::GetName() const
{
    return m_design.GetPadStacks().GetName(m_index);
}

void CPadstackDlg::accept()
{
    CPadStackArray& table = m_design.GetEditableShapeCache().GetPadStacks();
    if (!table.SetAt(m_index, *m_work.GetPadStack(0)))
        return;
    table.MakeUniqueName(m_index, CQtText::ToDesignText(m_name->text()));
    table.Normalise();
    // The planes' fills depend on the padstacks: they are stale now.
    m_design.AdvanceCopperRevision();
    m_session.SetModified();
    CWevraDialog::accept();
}
