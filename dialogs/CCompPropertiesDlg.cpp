#include "dialogs/CCompPropertiesDlg.h"

#include <iterator>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/qt/CQtText.h"
#include "resources/CommandIds.h"

namespace {

using Locks = decltype(CComponentProperties::locks);

constexpr const char* enabledTexts[] = {
    "Select", "Delete", "Move",    "Rotate",    "Mirror", "Move Text", "Replace Shape",
    "Shape",  "Group",  "Cluster", "Reference", "Type",   "Partfields"};
static_assert(std::size(enabledTexts) == std::tuple_size_v<Locks>);

constexpr int32_t maxWord = 0xFFFF;
constexpr int32_t switchColumns = 3;

QString Text(const std::string& text)
{
    return CQtText::FromDesignText(text);
}

} // namespace

CCompPropertiesDlg::CCompPropertiesDlg(CToolDocument& document, int32_t component, QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_COMPONENTS_PROPERTIES, parent),
      m_document(document), m_component(component),
      m_shown(CComponentProperties::Read(document, component))
{
    setWindowTitle(QStringLiteral("Component Properties"));
    const CComponentProperties::Values& v = m_shown;
    m_reference = NewEdit(idReference);
    m_reference->setText(Text(v.reference));
    m_type = NewEdit(idType);
    m_type->setText(Text(v.type));
    QLineEdit* shape = NewEdit(idShape);
    shape->setText(Text(v.shape));
    shape->setReadOnly(true);
    m_x = NewEdit(idX);
    m_x->setText(Text(v.x));
    m_y = NewEdit(idY);
    m_y->setText(Text(v.y));
    m_rotation = NewEdit(idRotation);
    m_rotation->setText(Text(v.rotation));
    m_mirrored = NewSwitch("Mirrored", idMirrored, v.mirrored);
    m_group = NewEdit(idGroup);
    m_cluster = NewEdit(idCluster);
    for (QLineEdit* word : {m_group, m_cluster})
        word->setValidator(new QIntValidator(0, maxWord, word));
    m_group->setText(Text(v.group));
    m_cluster->setText(Text(v.cluster));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Reference:"), m_reference);
    form->addRow(QStringLiteral("Type:"), m_type);
    form->addRow(QStringLiteral("Shape:"), shape);
    form->addRow(QStringLiteral("Position X:"), m_x);
    form->addRow(QStringLiteral("Position Y:"), m_y);
    form->addRow(QStringLiteral("Rotation:"), m_rotation);
    form->addRow(QString(), m_mirrored);
    form->addRow(QStringLiteral("Group:"), m_group);
    form->addRow(QStringLiteral("Cluster:"), m_cluster);

    auto* enabled = new QGroupBox(QStringLiteral("Enabled for Editing"), this);
    auto* enabledLayout = new QGridLayout(enabled);
    for (size_t k = 0; k < m_enabled.size(); ++k) {
        const bool locked = (v.flags & CComponentProperties::locks[k]) != 0;
        m_enabled[k] = NewSwitch(enabledTexts[k], idEnabled[k], !locked);
        enabledLayout->addWidget(m_enabled[k], int(k) / switchColumns, int(k) % switchColumns);
    }
    m_oppositeText =
        NewSwitch("Opposite Text", idOppositeText, (v.flags & ComponentFlags::oppositeText) != 0);
    m_oppositeSilk =
        NewSwitch("Opposite Silk", idOppositeSilk, (v.flags & ComponentFlags::oppositeSilk) != 0);

    auto* info = new QGroupBox(QStringLiteral("Info:"), this);
    auto* infoLayout = new QVBoxLayout(info);
    const struct {
        const char* text;
        int32_t id;
        uint32_t bit;
    } infoBits[] = {
        {"From Template", idFromTemplate, ComponentFlags::fromTemplate},
        {"From Netlist", idFromNetlist, ComponentFlags::fromNetlist},
        {"From Place Component", idFromPlaceComponent, ComponentFlags::fromPlaceComponent},
        {"Shape Modified", idShapeModified, ComponentFlags::shapeModified}};
    for (const auto& bit : infoBits) {
        QCheckBox* box = NewSwitch(bit.text, bit.id, (v.flags & bit.bit) != 0);
        box->setEnabled(false);
        infoLayout->addWidget(box);
    }

    auto* side = new QVBoxLayout;
    side->addWidget(m_oppositeText);
    side->addWidget(m_oppositeSilk);
    side->addWidget(info);
    side->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(form);
    columns->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(enabled);
    layout->addWidget(NewButtons());
}

QCheckBox* CCompPropertiesDlg::NewSwitch(const char* text, int32_t id, bool on)
{
    auto* box = WithId(new QCheckBox(QString::fromLatin1(text), this), id);
    box->setChecked(on);
    return box;
}

CComponentProperties::Values CCompPropertiesDlg::TypedValues() const
{
    CComponentProperties::Values v = m_shown;
    v.reference = CQtText::ToDesignText(m_reference->text());
    v.type = CQtText::ToDesignText(m_type->text());
    v.x = CQtText::ToDesignText(m_x->text());
    v.y = CQtText::ToDesignText(m_y->text());
    v.rotation = CQtText::ToDesignText(m_rotation->text());
    v.group = CQtText::ToDesignText(m_group->text());
    v.cluster = CQtText::ToDesignText(m_cluster->text());
    v.mirrored = m_mirrored->isChecked();
    v.flags &= ~CComponentProperties::editedFlags;
    for (size_t k = 0; k < m_enabled.size(); ++k) {
        if (!m_enabled[k]->isChecked())
            v.flags |= CComponentProperties::locks[k];
    }
    if (m_oppositeText->isChecked())
        v.flags |= ComponentFlags::oppositeText;
    if (m_oppositeSilk->isChecked())
        v.flags |= ComponentFlags::oppositeSilk;
    return v;
}

void CCompPropertiesDlg::accept()
{
    const CComponentProperties::Values typed = TypedValues();
    const int32_t other = CComponentProperties::FindOther(m_document, m_component, typed.reference);
    if (other >= 0 &&
        CServices::Messages().MessageBox("This reference name exists. Do you like to Swap?", "",
                                         MB_YESNO, MB_ICONQUESTION) != IDYES)
        return;
    if (CComponentProperties::Apply(m_document, m_component, typed, other))
        CWevraDialog::accept();
}
