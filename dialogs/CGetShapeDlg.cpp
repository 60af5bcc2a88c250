#include "dialogs/CGetShapeDlg.h"

#include <algorithm>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CNameDlg.h"
#include "dialogs/CShapePreview.h"
#include "document/CDocumentFrame.h"
#include "framework/CListPickerService.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"
#include "framework/TextCase.h"
#include "framework/qt/CQtText.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "resources/CommandIds.h"

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

// Asks before a deletion; Enter keeps what is there.
bool Confirm(const std::string& question)
{
    return CServices::Messages().MessageBox(question, "", MB_OKCANCEL_DEFAULTCANCEL,
                                            MB_ICONQUESTION) == IDOK;
}

} // namespace

CGetShapeDlg::CGetShapeDlg(CShapeLib& cache, CShapeLibArray* libraries,
                           const CDialogService::ShapeRequest& request, QWidget* parent)
    : CWevraDialog(0x10000 + ID_COMPONENTS_ADD, parent), m_cache(cache), m_libraries(libraries),
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
        std::vector<std::string> history = m_libraries->GetFilterHistory();
        std::sort(history.begin(), history.end());
        for (const std::string& entry : history)
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
    connect(m_shapes, &QListWidget::currentRowChanged, this, [this] {
        // The set's libraries remember their shape; the design's cache is left as it is.
        if (m_current != nullptr && m_current != &m_cache && !m_useFilter->isChecked() &&
            SelectedShape() >= 0)
            m_current->SetCurShape(SelectedShape());
        ShowShape();
    });
    connect(m_shapes, &QListWidget::itemDoubleClicked, this, [this] { Accept(); });

    auto* groupBox = new QGroupBox(QStringLiteral("Group"), this);
    auto* groupButtons = new QVBoxLayout(groupBox);
    groupButtons->addWidget(NewButton("&New...", idGroupNew, &CGetShapeDlg::NewGroup));
    groupButtons->addWidget(NewButton("&Copy", idGroupCopy, &CGetShapeDlg::CopyGroup));
    groupButtons->addWidget(NewButton("&Rename...", idGroupRename, &CGetShapeDlg::RenameGroup));
    groupButtons->addWidget(NewButton("&Delete", idGroupDelete, &CGetShapeDlg::DeleteGroup));
    auto* shapeBox = new QGroupBox(QStringLiteral("Shape"), this);
    auto* shapeButtons = new QVBoxLayout(shapeBox);
    shapeButtons->addWidget(NewButton("Ne&w...", idShapeNew, &CGetShapeDlg::NewShape));
    shapeButtons->addWidget(NewButton("&Edit...", idShapeEdit, &CGetShapeDlg::EditShape));
    shapeButtons->addWidget(NewButton("C&opy...", idShapeCopy, &CGetShapeDlg::CopyShape));
    shapeButtons->addWidget(NewButton("Re&name...", idShapeRename, &CGetShapeDlg::RenameShape));
    shapeButtons->addWidget(NewButton("De&lete", idShapeDelete, &CGetShapeDlg::DeleteShape));
    shapeButtons->addWidget(NewButton("Copy to C&ache", idCopyToCache, &CGetShapeDlg::CopyToCache));
    auto* up = NewButton("Up", idUp, nullptr);
    connect(up, &QPushButton::clicked, this, [this] { MoveGroup(-1); });
    auto* down = NewButton("Down", idDown, nullptr);
    connect(down, &QPushButton::clicked, this, [this] { MoveGroup(1); });

    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(QStringLiteral("&Filter"), m_filter), 0, 0);
    grid->addWidget(m_filter, 0, 1);
    grid->addWidget(m_useFilter, 0, 2);
    auto* groupHeading = new QHBoxLayout;
    groupHeading->addWidget(NewLabel(QStringLiteral("&Group"), m_groups), 1);
    groupHeading->addWidget(up);
    groupHeading->addWidget(down);
    grid->addLayout(groupHeading, 1, 0);
    grid->addWidget(NewLabel(QStringLiteral("&Shape"), m_shapes), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("View"), this), 1, 2);
    grid->addWidget(m_groups, 2, 0);
    grid->addWidget(m_shapes, 2, 1);
    grid->addWidget(m_preview, 2, 2);
    grid->addWidget(NewLabel(QStringLiteral("&Reference"), m_reference), 3, 0);
    grid->addWidget(m_reference, 3, 1);
    grid->addWidget(NewLabel(QStringLiteral("&Type"), m_type), 4, 0);
    grid->addWidget(m_type, 4, 1);
    grid->addWidget(groupBox, 5, 0);
    grid->addWidget(shapeBox, 5, 1);
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

QPushButton* CGetShapeDlg::NewButton(const char* text, int32_t id, void (CGetShapeDlg::*handler)())
{
    auto* button = WithId(new QPushButton(QString::fromLatin1(text), this), id);
    button->setAutoDefault(false);
    button->setEnabled(false);
    if (handler != nullptr)
        connect(button, &QPushButton::clicked, this, handler);
    m_buttons.push_back(button);
    return button;
}

void CGetShapeDlg::SetLibraryMode(const std::string& designTitle)
{
    m_libraryMode = m_libraries != nullptr;
    m_designTitle = designTitle;
    setWindowTitle(QStringLiteral("Shape Library"));
    SetHelpContext(0x10000 + ID_COMPONENTS_EDIT_SHAPE_LIBRARY);
    m_reference->setEnabled(false);
    m_type->setEnabled(false);
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

CShapeLib* CGetShapeDlg::LibraryAt(int32_t group) const
{
    if (group == cacheGroup)
        return &m_cache;
    return m_libraries != nullptr ? m_libraries->GetLib(group) : nullptr;
}

int32_t CGetShapeDlg::SelectedGroup() const
{
    const int row = m_groups->currentRow();
    return row >= 0 && size_t(row) < m_groupRows.size() ? m_groupRows[size_t(row)] : -2;
}

int32_t CGetShapeDlg::SelectedShape() const
{
    const QListWidgetItem* item = m_shapes->currentItem();
    if (m_current == nullptr || item == nullptr)
        return -1;
    return m_current->FindShape(CQtText::ToDesignText(item->text()));
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

bool CGetShapeDlg::IsUsedInDesign(const std::string& shapeName) const
{
    return std::any_of(m_request.components.begin(), m_request.components.end(),
                       [&shapeName](const CDialogService::PlacedComponent& component) {
                           return component.shape == shapeName;
                       });
}

bool CGetShapeDlg::IsUnderEdit(int32_t group) const
{
    const CShapeLib* edited = CDocumentFrame::Get().GetEditedShapeLibrary();
    return edited != nullptr && group >= 0 && m_libraries != nullptr &&
           m_libraries->FindLib(edited->GetName()) == group;
}

void CGetShapeDlg::FillGroups()
{
    m_groups->blockSignals(true);
    m_groups->clear();
    m_groupRows.clear();
    const int32_t libraryCount = m_libraries != nullptr ? m_libraries->GetCount() : 0;
    for (int32_t group = cacheGroup; group < libraryCount; ++group) {
        const CShapeLib* library = LibraryAt(group);
        bool holds = !m_useFilter->isChecked();
        for (int32_t i = 0; !holds && i < library->GetCount(); ++i)
            holds = Matches(library->GetShapeName(i));
        if (!holds)
            continue;
        m_groups->addItem(
            Design(group == cacheGroup ? std::string(CShapeLib::cacheName) : library->GetName()));
        m_groupRows.push_back(group);
    }
    // Unfiltered, the group the set remembers; filtered, the last group that matches.
    int row = m_groups->count() - 1;
    if (!m_useFilter->isChecked())
        row = m_libraries != nullptr ? std::clamp(m_libraries->GetCurGroup(), 0, row) : 0;
    m_groups->setCurrentRow(row);
    m_groups->blockSignals(false);
    SelectGroup();
}

void CGetShapeDlg::SelectGroup()
{
    m_currentGroup = SelectedGroup();
    m_current = m_currentGroup >= cacheGroup ? LibraryAt(m_currentGroup) : nullptr;
    if (m_current != nullptr && m_libraries != nullptr && !m_useFilter->isChecked())
        m_libraries->SetCurGroup(m_currentGroup + 1);
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
    m_preview->SetShape(m_current, SelectedShape());
    UpdateButtons();
    if (m_request.replace || m_libraryMode)
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

void CGetShapeDlg::UpdateButtons()
{
    if (!m_libraryMode)
        return;
    const bool cache = m_current == &m_cache;
    const bool library = m_current != nullptr && !cache;
    // A library whose shape is being edited is taken back whole when the edit ends: it keeps
    // its name, place and shapes until then.
    const bool editable = library && !IsUnderEdit(m_currentGroup);
    const int32_t shape = SelectedShape();
    const auto enable = [this](int32_t id, bool on) {
        for (QPushButton* button : m_buttons) {
            if (button->objectName() == QString::number(id))
                button->setEnabled(on);
        }
    };
    for (const int32_t id : {idGroupNew, idGroupCopy, idShapeCopy})
        enable(id, true);
    for (const int32_t id : {idUp, idDown, idGroupDelete, idGroupRename})
        enable(id, editable);
    enable(idShapeEdit, library);
    enable(idCopyToCache, library);
    // A shape edited from the cache would have no library to go back to.
    enable(idShapeNew, m_current != nullptr && !cache);
    enable(idShapeRename, m_current != nullptr && (cache || editable));
    enable(idShapeDelete,
           cache ? shape >= 0 && !IsUsedInDesign(m_cache.GetShapeName(shape)) : editable);
}

void CGetShapeDlg::SwitchFilter()
{
    const QString filter = m_filter->currentText().trimmed();
    m_filter->setEditText(filter);
    if (filter.isEmpty()) {
        m_useFilter->setChecked(false);
    } else if (m_useFilter->isChecked()) {
        if (m_filter->findText(filter, Qt::MatchExactly) < 0) {
            m_filter->addItem(filter);
            m_filter->model()->sort(0);
        }
    } else if (m_shapes->count() > 0 && m_current != nullptr && m_libraries != nullptr) {
        // The choice made with the filter on is where the unfiltered lists open.
        m_libraries->SetCurGroup(m_currentGroup + 1);
        if (m_current != &m_cache && SelectedShape() >= 0)
            m_current->SetCurShape(SelectedShape());
    }
    FillGroups();
}

void CGetShapeDlg::RememberChoices()
{
    if (m_libraries == nullptr)
        return;
    m_libraries->SetCurGroup(m_currentGroup + 1);
    m_libraries->SetFilterChoice(m_filter->findText(m_filter->currentText(), Qt::MatchExactly));
    std::vector<std::string>& history = m_libraries->GetFilterHistory();
    history.clear();
    for (int i = 0; i < m_filter->count(); ++i)
        history.push_back(CQtText::ToDesignText(m_filter->itemText(i)));
}

void CGetShapeDlg::Accept()
{
    if (m_current == nullptr)
        return;
    if (m_libraryMode) {
        accept();
        return;
    }
    const int32_t shape = SelectedShape();
    if (shape < 0)
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
    // A library's shape joins the design's cache; one of that name already there is used.
    m_chosen = m_current == &m_cache ? shape : m_cache.ImportShape(*m_current, shape, "");
    if (m_chosen < 0)
        return;
    RememberChoices();
    accept();
}

// ---- Library mode -------------------------------------------------------------------------------

bool CGetShapeDlg::AskName(const std::string& preset, std::string& name)
{
    CNameDlg dialog("Input Name", preset, this);
    if (dialog.Run() != idOk)
        return false;
    name = UpperAscii(dialog.GetName());
    return !name.empty();
}

bool CGetShapeDlg::LibraryNameExists(const std::string& name) const
{
    // Every group counts, not only those the filter shows.
    if (UpperAscii(CShapeLib::cacheName) == UpperAscii(name))
        return true;
    for (int32_t i = 0; m_libraries != nullptr && i < m_libraries->GetCount(); ++i) {
        if (UpperAscii(m_libraries->GetLibName(i)) == UpperAscii(name))
            return true;
    }
    return false;
}

void CGetShapeDlg::AddAndShow(std::unique_ptr<CShapeLib> library)
{
    m_libraries->SetCurGroup(m_libraries->AddLib(std::move(library)) + 1);
    FillGroups();
}

void CGetShapeDlg::NewGroup()
{
    std::string name;
    if (!AskName("", name))
        return;
    if (LibraryNameExists(name)) {
        CServices::Messages().MessageBox("Name Exists", "");
        return;
    }
    AddAndShow(std::make_unique<CShapeLib>(name));
}

void CGetShapeDlg::CopyGroup()
{
    const int32_t group = SelectedGroup();
    std::unique_ptr<CShapeLib> copy;
    if (group >= 0 && LibraryAt(group) != nullptr) {
        copy = std::make_unique<CShapeLib>(*LibraryAt(group));
        copy->SetName(UpperAscii("COPY OF " + copy->GetName()));
    } else {
        copy = std::make_unique<CShapeLib>(m_cache);
        copy->SetName(UpperAscii("CACHE OF " + m_designTitle));
    }
    AddAndShow(std::move(copy));
}

void CGetShapeDlg::RenameGroup()
{
    CShapeLib* library = m_currentGroup >= 0 ? m_current : nullptr;
    if (library == nullptr || IsUnderEdit(m_currentGroup))
        return;
    std::string name;
    if (!AskName(library->GetName(), name))
        return;
    if (LibraryNameExists(name)) {
        CServices::Messages().MessageBox("Name Exists", "");
        return;
    }
    library->SetName(name);
    FillGroups();
}

void CGetShapeDlg::DeleteGroup()
{
    if (m_currentGroup < 0 || m_current == nullptr || IsUnderEdit(m_currentGroup) ||
        !Confirm("Delete Group?"))
        return;
    m_libraries->RemoveLib(m_currentGroup);
    FillGroups();
}

void CGetShapeDlg::MoveGroup(int32_t step)
{
    const int32_t other = m_currentGroup + step;
    if (m_currentGroup < 0 || m_current == nullptr || IsUnderEdit(m_currentGroup) ||
        IsUnderEdit(other) || !m_libraries->SwapLibs(m_currentGroup, other))
        return;
    m_libraries->SetCurGroup(other + 1);
    FillGroups();
}

void CGetShapeDlg::NewShape()
{
    if (m_current == nullptr || m_current == &m_cache ||
        CDocumentFrame::Get().GetEditedShapeLibrary() != nullptr)
        return;
    std::string name;
    if (!AskName("NoName", name))
        return;
    if (m_current->FindShape(name) >= 0) {
        CServices::Messages().MessageBox("Name Exists", "");
        return;
    }
    m_libraries->SetCurLib(m_currentGroup);
    CShapeLib copy(*m_current);
    copy.SetCurShape(copy.AddShape(name));
    CDocumentFrame::Get().BeginShapeEdit(copy);
    done(CDialogService::resultEditShape);
}

void CGetShapeDlg::EditShape()
{
    const int32_t shape = SelectedShape();
    if (m_currentGroup < 0 || shape < 0 || CDocumentFrame::Get().GetEditedShapeLibrary() != nullptr)
        return;
    m_libraries->SetCurLib(m_currentGroup);
    // The shape shown is the one edited, whatever the filter made current.
    CShapeLib copy(*m_current);
    copy.SetCurShape(shape);
    CDocumentFrame::Get().BeginShapeEdit(copy);
    done(CDialogService::resultEditShape);
}

void CGetShapeDlg::CopyShape()
{
    const int32_t shape = SelectedShape();
    if (shape < 0)
        return;
    std::vector<std::string> entries;
    for (int i = 0; i < m_groups->count(); ++i)
        entries.push_back(CQtText::ToDesignText(m_groups->item(i)->text()));
    const int32_t choice = CServices::ListPicker().PickFromList(
        "Copy Shape", entries, m_copyTarget, int32_t(ID_COMPONENTS_EDIT_SHAPE_LIBRARY));
    if (choice < 0 || size_t(choice) >= m_groupRows.size())
        return;
    m_copyTarget = choice;
    CShapeLib* target = LibraryAt(m_groupRows[size_t(choice)]);
    if (target == nullptr)
        return;
    const std::string name = m_current->GetShapeName(shape);
    const int32_t before = target->GetCount();
    target->ImportShape(*m_current, shape, target->FindShape(name) >= 0 ? "COPY OF " + name : name);
    if (target == &m_cache && target->GetCount() != before)
        m_cacheChanged = true;
    FillShapes();
}

void CGetShapeDlg::RenameShape()
{
    const int32_t shape = SelectedShape();
    if (shape < 0 || IsUnderEdit(m_currentGroup))
        return;
    std::string name;
    if (!AskName(m_current->GetShapeName(shape), name))
        return;
    if (m_current->FindShape(name) >= 0) {
        CServices::Messages().MessageBox("Name Exists", "");
        return;
    }
    m_current->GetShape(shape)->SetName(name);
    if (m_current == &m_cache)
        m_cacheChanged = true;
    FillShapes();
}

void CGetShapeDlg::DeleteShape()
{
    const int32_t shape = SelectedShape();
    if (m_currentGroup < 0 || shape < 0 || IsUnderEdit(m_currentGroup) || !Confirm("Delete Shape?"))
        return;
    m_current->DeleteShape(shape);
    m_current->SetCurShape(std::min(shape, m_current->GetCount() - 1));
    FillShapes();
}

void CGetShapeDlg::CopyToCache()
{
    const int32_t shape = SelectedShape();
    if (m_currentGroup < 0 || shape < 0)
        return;
    if (m_cache.ReplaceShape(m_current->GetShapeName(shape), *m_current, shape) >= 0)
        m_cacheChanged = true;
}
