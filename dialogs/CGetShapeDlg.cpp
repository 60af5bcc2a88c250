#include "dialogs/CGetShapeDlg.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CShapePreview.h"
#include "framework/qt/CQtText.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"

namespace {

// The letters of a reference before its first digit: "R" of "R12".
std::string PrefixOf(const std::string& reference)
{
    const size_t digit = reference.find_first_of("0123456789");
    return reference.substr(0, digit);
}

QString Design(const std::string& text)
{
    return CQtText::FromDesignText(text);
}

} // namespace

CGetShapeDlg::CGetShapeDlg(CShapeLib& cache, const CShapeLibArray* libraries,
                           const CDialogService::ShapeRequest& request, QWidget* parent)
    : CWevraDialog(0x10000 + 33044, parent), m_cache(cache), m_libraries(libraries),
      m_request(request)
{
    setWindowTitle(QStringLiteral("Get Shape"));
    m_filter = WithId(new QComboBox(this), idFilter);
    m_filter->setEditable(true);
    m_useFilter = WithId(new QCheckBox(QStringLiteral("&Use Filter"), this), idUseFilter);
    m_groups = WithId(new QListWidget(this), idGroups);
    m_shapes = WithId(new QListWidget(this), idShapes);
    m_reference = WithId(new QComboBox(this), idReference);
    m_reference->setEditable(true);
    m_type = WithId(new QComboBox(this), idType);
    m_type->setEditable(true);
    m_preview = WithId(new CShapePreview(this), idView);

    if (m_libraries != nullptr) {
        for (const std::string& entry : m_libraries->GetFilterHistory())
            m_filter->addItem(Design(entry));
    }
    m_filter->setCurrentIndex(-1);
    m_useFilter->setEnabled(false);
    if (request.replace) {
        m_reference->setEnabled(false);
        m_type->setEnabled(false);
    } else {
        std::vector<std::string> prefixes;
        for (const CDialogService::PlacedComponent& component : request.components) {
            const std::string prefix = PrefixOf(component.reference);
            if (std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end())
                prefixes.push_back(prefix);
        }
        std::sort(prefixes.begin(), prefixes.end());
        for (const std::string& prefix : prefixes)
            m_reference->addItem(Design(prefix));
    }

    connect(m_filter, &QComboBox::editTextChanged, this, [this](const QString& text) {
        m_useFilter->setChecked(false);
        m_useFilter->setEnabled(!text.trimmed().isEmpty());
    });
    connect(m_useFilter, &QCheckBox::clicked, this, [this] { SwitchFilter(); });
    connect(m_groups, &QListWidget::currentRowChanged, this, [this] { SelectGroup(); });
    connect(m_shapes, &QListWidget::currentRowChanged, this, [this] { ShowShape(); });
    connect(m_shapes, &QListWidget::itemDoubleClicked, this, [this] { Accept(); });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("&Filter"), this), 0, 0);
    grid->addWidget(m_filter, 0, 1);
    grid->addWidget(m_useFilter, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("&Group"), this), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("&Shape"), this), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("View"), this), 1, 2);
    grid->addWidget(m_groups, 2, 0);
    grid->addWidget(m_shapes, 2, 1);
    grid->addWidget(m_preview, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("&Reference"), this), 3, 0);
    grid->addWidget(m_reference, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("&Type"), this), 4, 0);
    grid->addWidget(m_type, 4, 1);
    auto* buttons = new QDialogButtonBox(this);
    WithId(buttons->addButton(QDialogButtonBox::Ok), idOk);
    WithId(buttons->addButton(QDialogButtonBox::Cancel), idCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    FillGroups();
}

std::string CGetShapeDlg::GetPrefix() const
{
    return CQtText::ToDesignText(m_reference->currentText());
}

std::string CGetShapeDlg::GetType() const
{
    return CQtText::ToDesignText(m_type->currentText());
}

const CShapeLib* CGetShapeDlg::LibraryOf(const QString& entry) const
{
    const std::string name = CQtText::ToDesignText(entry);
    if (name == CShapeLib::cacheName)
        return &m_cache;
    return m_libraries != nullptr ? m_libraries->GetLibByName(name) : nullptr;
}

bool CGetShapeDlg::Matches(const std::string& shapeName) const
{
    if (!m_useFilter->isChecked())
        return true;
    const std::string filter = CQtText::ToDesignText(m_filter->currentText().trimmed());
    return shapeName.find(filter) != std::string::npos;
}

bool CGetShapeDlg::IsPrivate(const std::string& shapeName) const
{
    if (!m_request.replace || m_current != &m_cache)
        return false;
    const size_t underscore = shapeName.find('_');
    if (underscore == std::string::npos)
        return false;
    const std::string rest = shapeName.substr(underscore + 1);
    return std::any_of(m_request.components.begin(), m_request.components.end(),
                       [&rest](const CDialogService::PlacedComponent& component) {
                           return component.reference == rest;
                       });
}

void CGetShapeDlg::FillGroups()
{
    m_groups->blockSignals(true);
    m_groups->clear();
    std::vector<const CShapeLib*> groups = {&m_cache};
    const int32_t libraryCount = m_libraries != nullptr ? m_libraries->GetCount() : 0;
    for (int32_t i = 0; i < libraryCount; ++i)
        groups.push_back(m_libraries->GetLib(i));
    int row = -1;
    for (const CShapeLib* library : groups) {
        bool holds = !m_useFilter->isChecked();
        for (int32_t i = 0; !holds && i < library->GetCount(); ++i)
            holds = Matches(library->GetShapeName(i));
        if (!holds)
            continue;
        m_groups->addItem(
            Design(library == &m_cache ? std::string(CShapeLib::cacheName) : library->GetName()));
        row = m_groups->count() - 1;
    }
    // Unfiltered, the group the set remembers; filtered, the last group that matches.
    if (!m_useFilter->isChecked() && m_libraries != nullptr)
        row = std::clamp(m_libraries->GetCurGroup(), 0, int32_t(m_groups->count()) - 1);
    else if (!m_useFilter->isChecked())
        row = 0;
    m_groups->setCurrentRow(row);
    m_groups->blockSignals(false);
    SelectGroup();
}

void CGetShapeDlg::SelectGroup()
{
    const QListWidgetItem* item = m_groups->currentItem();
    m_current = item != nullptr ? LibraryOf(item->text()) : nullptr;
    FillShapes();
}

void CGetShapeDlg::FillShapes()
{
    m_shapes->blockSignals(true);
    m_shapes->clear();
    int row = -1;
    if (m_current != nullptr) {
        for (int32_t i = 0; i < m_current->GetCount(); ++i) {
            const std::string name = m_current->GetShapeName(i);
            if (!Matches(name) || IsPrivate(name))
                continue;
            m_shapes->addItem(Design(name));
            if (row < 0 && (m_useFilter->isChecked() || i >= m_current->GetCurShape()))
                row = m_shapes->count() - 1;
        }
    }
    if (row < 0 && m_shapes->count() > 0)
        row = 0;
    m_shapes->setCurrentRow(row);
    m_shapes->blockSignals(false);
    ShowShape();
}

void CGetShapeDlg::ShowShape()
{
    const QListWidgetItem* item = m_shapes->currentItem();
    const std::string name = item != nullptr ? CQtText::ToDesignText(item->text()) : "";
    m_preview->SetShape(m_current,
                        m_current != nullptr && item != nullptr ? m_current->FindShape(name) : -1);
    if (m_request.replace)
        return;
    // The types of the components that use a shape of that name, and the prefix of the first.
    m_type->clear();
    std::string proposal;
    for (const CDialogService::PlacedComponent& component : m_request.components) {
        if (item == nullptr || component.shape != name)
            continue;
        if (proposal.empty())
            proposal = PrefixOf(component.reference);
        if (m_type->findText(Design(component.type), Qt::MatchExactly) < 0)
            m_type->addItem(Design(component.type));
    }
    m_type->setCurrentIndex(m_type->count() > 0 ? 0 : -1);
    if (!proposal.empty()) {
        for (int i = 0; i < m_reference->count(); ++i) {
            if (m_reference->itemText(i).startsWith(Design(proposal), Qt::CaseInsensitive)) {
                m_reference->setCurrentIndex(i);
                break;
            }
        }
    }
}

void CGetShapeDlg::SwitchFilter()
{
    const QString filter = m_filter->currentText().trimmed();
    m_filter->setEditText(filter);
    if (filter.isEmpty()) {
        m_useFilter->setChecked(false);
    } else if (m_useFilter->isChecked() && m_filter->findText(filter, Qt::MatchExactly) < 0) {
        m_filter->addItem(filter);
    }
    FillGroups();
}

void CGetShapeDlg::Accept()
{
    const QListWidgetItem* item = m_shapes->currentItem();
    if (m_current == nullptr || item == nullptr)
        return;
    if (!m_request.replace) {
        if (m_reference->currentText().isEmpty()) {
            m_reference->setFocus();
            return;
        }
        if (m_type->currentText().isEmpty()) {
            m_type->setFocus();
            return;
        }
    }
    const int32_t shape = m_current->FindShape(CQtText::ToDesignText(item->text()));
    if (shape < 0)
        return;
    // A library's shape joins the design's cache; one of that name already there is used.
    m_chosen = m_current == &m_cache ? shape : m_cache.ImportShape(*m_current, shape, "");
    if (m_chosen < 0)
        return;
    accept();
}
