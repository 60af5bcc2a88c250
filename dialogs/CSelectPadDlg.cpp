#include "dialogs/CSelectPadDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CNestedDialog.h"
#include "dialogs/CPadPreview.h"
#include "dialogs/CPadstackDlg.h"
#include "document/CDesign.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CPadStackUse.h"
#include "document/CWevraDoc.h"
#include "framework/qt/CQtText.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

namespace {

bool RunEditor(CWevraDoc& document, int32_t index, QWidget* owner)
{
    CPadstackDlg editor(document.Design(), document.Session(), document.Paint(), index, owner);
    return editor.Run() == CWevraDialog::idOk;
}

CNestedDialog<CSelectPadDlg::Editor> s_editor(&RunEditor);

} // namespace

CSelectPadDlg::Editor CSelectPadDlg::SetEditor(Editor editor)
{
    return s_editor.Replace(editor);
}

CSelectPadDlg::CSelectPadDlg(CWevraDoc& document, int32_t kind, QWidget* parent)
    : CWevraDialog(0, parent), m_document(document), m_kind(kind),
      m_standardCombo(WithId(new QComboBox(this), idStandard)),
      m_add(WithId(new QPushButton(QStringLiteral("Add to Cache"), this), idAddToCache)),
      m_list(WithId(new QListWidget(this), idList)),
      m_preview(WithId(new CPadPreview(this), idPreview))
{
    setWindowTitle(kind == PADSTACK_KIND_SHAPE_PAD ? QStringLiteral("Select Shape Pad")
                   : kind == PADSTACK_KIND_VIA     ? QStringLiteral("Select Via")
                                                   : QStringLiteral("Select Pad"));
    m_add->setEnabled(false);
    m_standard.Fill(true, kind);
    for (int32_t k = 0; k < m_standard.GetCount(); ++k)
        m_standardCombo->addItem(CQtText::FromDesignText(m_standard.GetName(k)), QVariant(k));
    m_standardCombo->model()->sort(0);
    m_standardCombo->setCurrentIndex(-1);
    m_list->setSortingEnabled(true);

    auto* newButton = WithId(new QPushButton(QStringLiteral("New"), this), idNew);
    auto* editButton = WithId(new QPushButton(QStringLiteral("Edit"), this), idEdit);
    auto* deleteButton = WithId(new QPushButton(QStringLiteral("Delete"), this), idDelete);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Add New from Standard Pads"), this), 0, 0);
    grid->addWidget(m_standardCombo, 1, 0);
    grid->addWidget(m_add, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Pads in Cache:"), this), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("Preview:"), this), 2, 1);
    grid->addWidget(m_list, 3, 0);
    grid->addWidget(m_preview, 3, 1);
    auto* buttons = NewButtons();
    buttons->addButton(newButton, QDialogButtonBox::ActionRole);
    buttons->addButton(editButton, QDialogButtonBox::ActionRole);
    buttons->addButton(deleteButton, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(m_standardCombo, &QComboBox::activated, this, [this] {
        const int32_t k = m_standardCombo->currentData().toInt();
        m_preview->Show(&m_standard, k, m_document.Session().GetWorkLayer(),
                        m_document.Paint().LayerColor(m_document.Session().GetWorkLayer(), 0),
                        m_document.Paint().LayerColor(LAYER_DRILL, 0), true);
        m_add->setEnabled(true);
    });
    connect(m_add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { ShowListPreview(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(newButton, &QPushButton::clicked, this, [this] { OnNew(); });
    connect(editButton, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { OnDelete(); });
    FillList("");
}

bool CSelectPadDlg::HasKind(int32_t index) const
{
    const CPadStackArray& table = m_document.Design().GetPadStacks();
    switch (m_kind) {
    case PADSTACK_KIND_SHAPE_PAD:
        return table.IsShapePadKind(index);
    case PADSTACK_KIND_VIA:
        return table.IsVia(index);
    default:
        return table.IsPadKind(index);
    }
}

void CSelectPadDlg::FillList(const std::string& name)
{
    const CPadStackArray& table = m_document.Design().GetPadStacks();
    const std::string chosen = name.empty() ? table.GetName(table.GetDefault(m_kind)) : name;
    m_list->clear();
    for (int32_t k = 0; k < table.GetCount(); ++k) {
        if (HasKind(k))
            m_list->addItem(CQtText::FromDesignText(table.GetName(k)));
    }
    const auto found = m_list->findItems(CQtText::FromDesignText(chosen), Qt::MatchExactly);
    if (!found.isEmpty())
        m_list->setCurrentItem(found.front());
    ShowListPreview();
}

int32_t CSelectPadDlg::SelectedIndex() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return -1;
    const std::string name = CQtText::ToDesignText(item->text());
    const CPadStackArray& table = m_document.Design().GetPadStacks();
    for (int32_t k = 0; k < table.GetCount(); ++k) {
        if (HasKind(k) && table.GetName(k) == name)
            return k;
    }
    return -1;
}

void CSelectPadDlg::ShowListPreview()
{
    const int32_t index = SelectedIndex();
    const int32_t layer = m_document.Session().GetWorkLayer();
    m_preview->Show(index < 0 ? nullptr : &m_document.Design().GetPadStacks(), index, layer,
                    m_document.Paint().LayerColor(layer, 0),
                    m_document.Paint().LayerColor(LAYER_DRILL, 0), false);
}

void CSelectPadDlg::OnAdd()
{
    const int32_t k = m_standardCombo->currentData().toInt();
    const CPadStack* stack = m_standard.GetPadStack(k);
    if (!stack)
        return;
    CPadStackArray& table = m_document.Design().GetEditableShapeCache().GetPadStacks();
    const int32_t added = table.AddCopy(*stack);
    if (added < 0)
        return;
    m_document.SetModified();
    FillList(table.GetName(added));
    m_list->setFocus();
}

void CSelectPadDlg::OnNew()
{
    const int32_t index = SelectedIndex();
    if (index < 0)
        return;
    CPadStackArray& table = m_document.Design().GetEditableShapeCache().GetPadStacks();
    const int32_t added = table.AddCopy(*table.GetPadStack(index));
    if (added < 0)
        return;
    if (s_editor(m_document, added, this)) {
        FillList(table.GetName(added));
    } else {
        m_document.Design().GetEditableShapeCache().DeletePadStack(m_document.PadStackUse(), added);
        FillList(table.GetName(index));
    }
    m_list->setFocus();
}

void CSelectPadDlg::OnEdit()
{
    const int32_t index = SelectedIndex();
    if (index < 0)
        return;
    s_editor(m_document, index, this);
    FillList(m_document.Design().GetPadStacks().GetName(index));
    m_document.Windows().RedrawBoardViews();
}

void CSelectPadDlg::OnDelete()
{
    const int32_t index = SelectedIndex();
    if (index < 0)
        return;
    const std::string name = m_document.Design().GetPadStacks().GetName(index);
    if (m_document.Design().GetEditableShapeCache().DeletePadStack(m_document.PadStackUse(), index))
        m_document.SetModified();
    FillList(name);
}

void CSelectPadDlg::accept()
{
    const int32_t index = SelectedIndex();
    if (index >= 0) {
        CPadStackArray& table = m_document.Design().GetEditableShapeCache().GetPadStacks();
        table.RecalcAllMasks();
        table.SetDefault(m_kind, index);
    }
    CWevraDialog::accept();
}
