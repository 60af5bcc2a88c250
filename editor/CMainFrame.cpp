#include "editor/CMainFrame.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "dialogs/CToolCombo.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CHelpTopics.h"
#include "document/CUnusableValues.h"
#include "document/CWevraDoc.h"
#include "editor/BuiltInResources.h"
#include "editor/CAboutDlg.h"
#include "editor/CChildFrame.h"
#include "editor/CConfig.h"
#include "editor/CDesignFailureGuard.h"
#include "editor/CDocTemplate.h"
#include "editor/CWevraApp.h"
#include "editor/CWevraView.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "framework/CFailureGuard.h"
#include "framework/CFileDialogService.h"
#include "framework/CLauncher.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CPrintCommands.h"
#include "framework/CProgDlg.h"
#include "framework/CResString.h"
#include "framework/CResourcePack.h"
#include "framework/CServices.h"
#include "framework/CSettingsStore.h"
#include "framework/CWindows1252.h"
#include "framework/qt/CQtCommandBinder.h"
#include "framework/qt/CQtText.h"
#include "interchange/CLmcImport.h"
#include "model/CDialogService.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

#ifndef WEVRA_VERSION
#define WEVRA_VERSION "0"
#endif

namespace {

// Ids of the status bar's panes after the message pane, with their placeholder texts.
constexpr std::array<uint32_t, CMainFrame::statusPaneCount - 1> paneIds = {
    IDS_INDICATOR_X,  IDS_INDICATOR_Y,  IDS_INDICATOR_LOCK, IDS_INDICATOR_XR,
    IDS_INDICATOR_YR, IDS_INDICATOR_LN, IDS_INDICATOR_HK,   IDS_INDICATOR_T};

constexpr int toolbarIconSize = 16;
constexpr int comboDropDownHeight = 420;
constexpr int recentFileCount = CQtCommandBinder::maxRecentFiles;

constexpr char barSection[] = "Toolbar";
constexpr char barStateKey[] = "State";
constexpr char dosConfigFile[] = "DOS_700.CNF";
constexpr char dosLibraryFolder[] = "c:\\wevra\\wevrap\\lmc\\";

std::unique_ptr<CLmcImport> MakeLmcImport()
{
    return std::make_unique<CLmcImport>();
}

CMainFrame::LmcImportFactory s_lmcImportFactory = &MakeLmcImport;

// Marks the entries of the window list in the Window menu.
constexpr char windowListProperty[] = "wevraWindowList";

// File dialogs and relative paths start in the configured design folder.
void SetCurrentFolder(const std::string& folder)
{
    std::error_code ignored;
    if (!folder.empty() && std::filesystem::is_directory(folder, ignored))
        std::filesystem::current_path(folder, ignored);
}

constexpr uint32_t helpContextBase = 0x10000;

// The command whose help a combo box shows; 0 for none of its own.
uint32_t ComboHelpCommand(int32_t comboId)
{
    switch (comboId) {
    case CDocumentFrame::layerCombo:
        return CToolCombo::helpCommand;
    case CDocumentFrame::netCombo:
        return ID_NETLIST_CONNECT_PINS_TO_NETS;
    case CDocumentFrame::padStackCombo:
        return ID_SETTINGS_COMPONENT_PAD;
    case CDocumentFrame::penCombo:
        return ID_SETTINGS_PEN_WIDTH;
    default:
        return 0;
    }
}

uint32_t ComboCommand(int32_t comboId)
{
    switch (comboId) {
    case CDocumentFrame::penCombo:
        return ID_TOOLBARS_SELECT_PEN;
    case CDocumentFrame::netCombo:
        return ID_TOOLBARS_SELECT_NET;
    case CDocumentFrame::padStackCombo:
        return ID_TOOLBARS_PAD_STACK_ARRAY;
    default:
        return ID_PLANES_SELECT_PLANE;
    }
}

const QPixmap& ToolbarStrip()
{
    static QPixmap strip;
    if (strip.isNull()) {
        const std::vector<uint8_t>& bytes =
            CResourcePack::GetCurrent().GetImage(CMainFrame::mainResource);
        strip.loadFromData(bytes.data(), uint(bytes.size()), "PNG");
    }
    return strip;
}

QIcon ToolbarIcon(int32_t image)
{
    const QPixmap& strip = ToolbarStrip();
    if (strip.isNull() || image < 0 || (image + 1) * toolbarIconSize > strip.width())
        return {};
    return QIcon(strip.copy(image * toolbarIconSize, 0, toolbarIconSize, toolbarIconSize));
}

} // namespace

CMainFrame::LmcImportFactory CMainFrame::SetLmcImportFactory(LmcImportFactory factory)
{
    LmcImportFactory previous = s_lmcImportFactory;
    s_lmcImportFactory = factory;
    return previous;
}

CMainFrame::CMainFrame(const CCommandTarget* application)
    : m_application(application), m_libraries(std::make_unique<CShapeLibArray>())
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(CQtText::FromDesignText(CWevraApp::LoadResString(IDS_APP_TITLE)));
    m_router.SetChain([this] { return CommandChain(); });
    m_binder = std::make_unique<CQtCommandBinder>(m_router);
    m_binder->SetRecentFiles(ID_FILE_RECENT_FILE, [this] { return m_recentFiles.GetPaths(); });

    m_mdiArea = new QMdiArea(this);
    setCentralWidget(m_mdiArea);
    m_docTemplate = std::make_unique<CDocTemplate>(*m_mdiArea);
    m_failureGuard = std::make_unique<CDesignFailureGuard>(*m_docTemplate);
    m_previousGuard = CFailureGuard::Set(m_failureGuard.get());
    connect(m_docTemplate.get(), &CDocTemplate::ActiveDocumentChanged, this,
            [this] { OnActiveDocumentChanged(); });

    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
    m_toolbar->setIconSize(QSize(toolbarIconSize, toolbarIconSize));
    UpdateContextToolbar(nullptr);
    CreateStatusBar();
    RestoreBarState();

    ApplyMenu(mainResource);
    m_binder->InstallAccelerators(*this, CResourcePack::GetCurrent().GetAccelerators(mainResource));
    RegisterCommands();
    m_recentFiles.Load(CServices::Settings());
    setAcceptDrops(true);

    connect(&m_timer, &QTimer::timeout, this, [this] { RunCommand(ID_OTHER_TIMER); });
    m_timer.start(timerPeriodMs);
    // Toolbar buttons and titles follow the state of the design while the program is idle.
    connect(&m_idleTimer, &QTimer::timeout, this, [this] { UpdateCommandUI(); });
    m_idleTimer.start(250);

    CDocumentFrame::Set(this);
}

CMainFrame::~CMainFrame()
{
    CFailureGuard::Set(m_previousGuard);
    m_timer.stop();
    m_idleTimer.stop();
    SaveShapeLibrariesIfChanged();
    m_docTemplate.reset();
    if (&CDocumentFrame::Get() == this)
        CDocumentFrame::Set(nullptr);
}

// ---- Start-up -----------------------------------------------------------------------------------

void CMainFrame::StartUp()
{
    m_config = std::make_unique<CConfig>();
    m_config->SetLibraryHandler([this](const std::string& library) {
        // A library chosen in the configuration replaces the set at once.
        m_libraryPath = library;
        RunCommand(ID_OTHER_LOAD_SHAPE_LIBRARY);
    });
    LoadShapeLibraries(m_config->GetLibraryFile());
    m_leftPaneShown = m_config->IsLeftPane();
    m_bottomPaneShown = m_config->IsBottomPane();
    ShowStatusBar(m_config->IsStatusbar());
    ShowToolbar(m_config->IsToolbar());
}

void CMainFrame::LoadShapeLibraries(const std::string& path)
{
    m_libraries = std::make_unique<CShapeLibArray>();
    m_libraryPath = path;
    m_libraryWritable = false;
    m_librarySnapshot.clear();
    // Without a library Components > Add has only the design's own shapes: the user learns why
    // before reaching for it.
    const std::string withoutShapes =
        "\n\nComponents > Add offers only the shapes the design holds. Choose a library on the "
        "Files page of File > User Configuration.";
    if (path.empty()) {
        CServices::Messages().FileMessageBox(
            "No shape library was found in " +
                (CPathHelper::GetProgramFolder() / "Library").string() + "." + withoutShapes,
            "Wevra PCB", MB_OK, MB_ICONEXCLAMATION);
        return;
    }
    std::error_code error;
    const bool existed = std::filesystem::exists(path, error);
    if (!existed && !error)
        CServices::Messages().FileMessageBox("The shape library " + path + " was not found." +
                                                 withoutShapes,
                                             "Wevra PCB", MB_OK, MB_ICONEXCLAMATION);
    bool loaded = false;
    try {
        loaded = m_libraries->Load(path);
    } catch (const CArchiveException& e) {
        // A damaged file stays as it is; the program runs on without its shapes.
        m_libraries = std::make_unique<CShapeLibArray>();
        CServices::Messages().FileMessageBox(e.what(), path, MB_OK, MB_ICONEXCLAMATION);
    }
    m_libraryWritable = loaded || (!existed && !error);
    if (m_libraryWritable)
        m_librarySnapshot = LibrarySnapshot();
    const std::string unusable = CUnusableValues::Message(CUnusableValues::Lines(*m_libraries),
                                                          CUnusableValues::Holder::library);
    if (!unusable.empty())
        CServices::Messages().FileMessageBox(CWindows1252::ToUtf8(unusable), path, MB_OK,
                                             MB_ICONWARNING);
}

std::vector<uint8_t> CMainFrame::LibrarySnapshot() const
{
    CArchive ar;
    m_libraries->Serialize(ar);
    return ar.TakeBuffer();
}

bool CMainFrame::SaveShapeLibrariesIfChanged()
{
    // The library installed with the program is every user's: it is never written.
    if (!m_libraryWritable || m_libraries->GetPath().empty() ||
        CPathHelper::IsInstalledFile(m_libraries->GetPath()))
        return false;
    std::vector<uint8_t> now = LibrarySnapshot();
    if (now == m_librarySnapshot)
        return false;
    if (!m_libraries->Save())
        return false;
    m_librarySnapshot = std::move(now);
    return true;
}

namespace {

// A stored set without what the shape dialog remembers in it (the group and library shown, the
// filter, each library's current shape): looking through a library changes those, never its
// shapes.
std::vector<uint8_t> ShapesOf(const std::vector<uint8_t>& stored)
{
    CShapeLibArray set;
    CArchive in(stored);
    set.Serialize(in);
    set.SetCurGroup(0);
    set.SetCurLib(0);
    set.SetFilterChoice(0);
    set.GetFilterHistory().clear();
    for (int32_t i = 0; i < set.GetCount(); ++i)
        set.GetLib(i)->SetCurShape(0);
    CArchive out;
    set.Serialize(out);
    return out.TakeBuffer();
}

} // namespace

void CMainFrame::OfferOwnLibraryForChanges()
{
    if (!m_libraryWritable || !CPathHelper::IsInstalledFile(m_libraries->GetPath()))
        return;
    const std::vector<uint8_t> now = LibrarySnapshot();
    if (now == m_librarySnapshot || ShapesOf(now) == ShapesOf(m_librarySnapshot))
        return;
    const std::string installed = m_libraries->GetPath().string();
    if (CServices::Messages().FileMessageBox(
            "The shapes of the installed library were changed:\n" + installed +
                "\n\nThe installed library stays as it is. Save the changes as a library of "
                "your own?",
            "Wevra PCB", MB_YESNO, MB_ICONQUESTION) != IDYES)
        return;
    const std::optional<std::string> chosen =
        CServices::FileDialogs().ChooseSaveFile("", "", "Wevra PCB Library (*.SHP *.shp)", ".SHP");
    if (!chosen)
        return;
    m_libraries->SetPath(*chosen);
    if (m_libraries->Save()) {
        AdoptLibraryFile(*chosen);
        return;
    }
    m_libraries->SetPath(installed);
    CServices::Messages().FileMessageBox("The file could not be written:\n" + *chosen, "", MB_OK,
                                         MB_ICONEXCLAMATION);
}

void CMainFrame::AdoptLibraryFile(const std::string& path)
{
    m_libraryPath = path;
    m_libraryWritable = true;
    m_librarySnapshot = LibrarySnapshot();
    if (m_config) {
        // As if chosen on the "Files" page and applied: the next start loads it again.
        m_config->Files().m_library = path;
        m_config->Files().OnApply();
    }
}

std::span<const uint8_t> CMainFrame::GetBuiltInFont() const
{
    return BuiltInStrokeFont();
}

CWevraDoc* CMainFrame::OpenDocumentFile(const std::string& path)
{
    CWevraDoc* document = m_docTemplate->OpenDocumentFile(path);
    if (document == nullptr) {
        const auto& paths = m_recentFiles.GetPaths();
        auto found = std::find(paths.begin(), paths.end(), path);
        if (found != paths.end())
            m_recentFiles.Remove(int(found - paths.begin()));
    }
    return document;
}

// ---- Bars ---------------------------------------------------------------------------------------

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_panes[0] = new QLabel(bar);
    bar->addWidget(m_panes[0], 1);
    for (size_t i = 0; i < paneIds.size(); ++i) {
        auto* pane = new QLabel(bar);
        const QString placeholder = CQtText::FromDesignText(CWevraApp::LoadResString(paneIds[i]));
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(placeholder) + 8);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addPermanentWidget(pane);
        m_panes[i + 1] = pane;
    }
}

void CMainFrame::SetPaneText(int pane, const std::string& text)
{
    if (pane >= 0 && pane < statusPaneCount)
        m_panes[size_t(pane)]->setText(CQtText::FromDesignText(text));
}

std::string CMainFrame::GetPaneText(int pane) const
{
    if (pane < 0 || pane >= statusPaneCount)
        return {};
    return CQtText::ToDesignText(m_panes[size_t(pane)]->text());
}

void CMainFrame::ShowToolbar(bool show)
{
    m_toolbarShown = show;
    m_toolbar->setVisible(show);
}

void CMainFrame::ShowStatusBar(bool show)
{
    m_statusBarShown = show;
    statusBar()->setVisible(show);
}

void CMainFrame::ApplyToolbarVisibility()
{
    m_toolbar->setVisible(m_toolbarShown);
}

void CMainFrame::UpdateContextToolbar(const CWevraDoc* document)
{
    // The old layout's items may be the sender of the command that rebuilds the toolbar.
    for (QAction* action : m_toolbar->actions()) {
        m_toolbar->removeAction(action);
        action->deleteLater();
    }
    m_combos.clear();

    m_layout = document ? CToolbarLayout::ForMode(document->Session().GetMode(),
                                                  document->IsShapeDocument())
                        : CToolbarLayout::WithoutDocument();
    for (const CToolbarLayout::Slot& slot : m_layout) {
        switch (slot.kind) {
        case CToolbarLayout::Slot::separator:
            m_toolbar->addSeparator();
            break;
        case CToolbarLayout::Slot::button: {
            QAction* action = m_binder->MakeAction(slot.id, "", m_toolbar);
            action->setIcon(ToolbarIcon(slot.image));
            m_toolbar->addAction(action);
            m_binder->UpdateAction(*action);
            break;
        }
        case CToolbarLayout::Slot::combo: {
            const int32_t id = int32_t(slot.id);
            QComboBox* combo = nullptr;
            if (id == layerCombo) {
                combo = new CToolCombo([this](uint32_t command) { RunCommand(command); });
            } else {
                combo = new QComboBox;
                combo->setMaxVisibleItems(
                    std::max(1, comboDropDownHeight / std::max(1, combo->fontMetrics().height())));
                connect(combo, &QComboBox::activated, this,
                        [this, id] { RunCommand(ComboCommand(id)); });
            }
            combo->setObjectName(QStringLiteral("combo%1").arg(id));
            combo->setFixedWidth(slot.width);
            m_toolbar->addWidget(combo);
            m_combos[id] = combo;
            break;
        }
        }
    }
    m_toolbarShown = document != nullptr;
    ApplyToolbarVisibility();
}

QComboBox* CMainFrame::GetCombo(int32_t comboId) const
{
    auto found = m_combos.find(comboId);
    return found == m_combos.end() ? nullptr : found->second;
}

bool CMainFrame::HasCombo(int32_t comboId) const
{
    return GetCombo(comboId) != nullptr;
}

void CMainFrame::FillCombo(int32_t comboId, const std::vector<std::string>& items, int32_t selected)
{
    QComboBox* combo = GetCombo(comboId);
    if (combo == nullptr)
        return;
    QStringList texts;
    for (const std::string& item : items)
        texts << CQtText::FromDesignText(item);
    const QString chosen = selected >= 0 && selected < texts.size() ? texts[selected] : QString();
    if (comboId == padStackCombo)
        texts.sort();
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(texts);
    combo->setCurrentIndex(chosen.isNull() ? (texts.isEmpty() ? -1 : 0) : texts.indexOf(chosen));
}

std::vector<std::string> CMainFrame::GetComboItems(int32_t comboId) const
{
    std::vector<std::string> items;
    if (const QComboBox* combo = GetCombo(comboId))
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(CWindows1252::FromUtf8(combo->itemText(i).toStdString()));
    return items;
}

int32_t CMainFrame::GetComboSelection(int32_t comboId) const
{
    const QComboBox* combo = GetCombo(comboId);
    return combo ? combo->currentIndex() : -1;
}

void CMainFrame::SelectInCombo(int32_t comboId, int32_t index)
{
    if (QComboBox* combo = GetCombo(comboId)) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(index);
    }
}

void CMainFrame::SaveBarState()
{
    CServices::Settings().WriteString(barSection, barStateKey,
                                      saveState().toBase64().toStdString());
}

void CMainFrame::RestoreBarState()
{
    const std::string state = CServices::Settings().GetString(barSection, barStateKey, "");
    if (!state.empty())
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
}

// ---- Menus and the command route ----------------------------------------------------------------

void CMainFrame::ApplyMenu(uint32_t menuId)
{
    if (menuId == m_menuId)
        return;
    m_menuId = menuId;
    if (const CMenuItem* menu = CResourcePack::GetCurrent().GetMenu(menuId))
        m_binder->BuildMenuBar(*menuBar(), *menu);
    else
        menuBar()->clear();
    // The menu with the window arrangements lists the open designs below them.
    for (QAction* popup : menuBar()->actions()) {
        QMenu* menu = popup->menu();
        if (menu == nullptr)
            continue;
        for (QAction* action : menu->actions())
            if (CQtCommandBinder::CommandOf(*action) == ID_WINDOW_CASCADE) {
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(*menu); });
                break;
            }
    }
}

void CMainFrame::FillWindowList(QMenu& menu)
{
    for (QAction* action : menu.actions())
        if (action->property(windowListProperty).toBool()) {
            menu.removeAction(action);
            action->deleteLater();
        }
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    QAction* separator = menu.addSeparator();
    separator->setProperty(windowListProperty, true);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        const CWevraDoc* document = nullptr;
        for (int i = 0; i < m_docTemplate->GetCount(); ++i)
            if (m_docTemplate->GetFrame(*m_docTemplate->GetDocument(i)) == window->widget())
                document = m_docTemplate->GetDocument(i);
        // The design's file name; an unnamed one by its window.
        const std::string file = document ? document->GetDesignName() : std::string();
        const QString name = file.empty() ? window->windowTitle() : CQtText::FromPath(file);
        QAction* entry = menu.addAction(QStringLiteral("&%1 %2").arg(++number).arg(name));
        entry->setProperty(windowListProperty, true);
        entry->setCheckable(true);
        entry->setChecked(window == m_mdiArea->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
            if (window)
                m_mdiArea->setActiveSubWindow(window);
        });
    }
}

void CMainFrame::Cascade()
{
    // Cascading gives every window the size it asks for, which for a design window is a few
    // pixels: each gets two thirds of the area instead.
    m_mdiArea->cascadeSubWindows();
    const QSize area = m_mdiArea->viewport()->size();
    const QSize size(std::max(area.width() * 2 / 3, 320), std::max(area.height() * 2 / 3, 240));
    for (QMdiSubWindow* window : m_mdiArea->subWindowList())
        window->resize(size.expandedTo(window->minimumSizeHint()));
}

void CMainFrame::RedrawMenuBar()
{
    CWevraDoc* document = m_docTemplate->GetActiveDocument();
    uint32_t menu = mainResource;
    if (document != nullptr)
        menu = document->GetDefaultMenu() != 0 ? document->GetDefaultMenu() : designMenu;
    ApplyMenu(menu);
}

void CMainFrame::OnActiveDocumentChanged()
{
    RedrawMenuBar();
    if (CWevraDoc* document = m_docTemplate->GetActiveDocument())
        document->Windows().RefreshToolbar();
    else
        UpdateContextToolbar(nullptr);
    UpdateCommandUI();
}

std::vector<const CCommandTarget*> CMainFrame::CommandChain() const
{
    std::vector<const CCommandTarget*> chain;
    // While the frame is being destroyed its documents are gone already.
    if (!m_docTemplate)
        return chain;
    // The active view first, then its document, then its frame.
    const auto* frame = dynamic_cast<const CChildFrame*>(m_docTemplate->GetActiveFrame());
    if (frame)
        if (const CCommandTarget* view = frame->GetActiveViewCommands())
            chain.push_back(view);
    if (const CCommandTarget* document = m_docTemplate->GetActiveCommands())
        chain.push_back(document);
    if (frame)
        chain.push_back(frame);
    chain.push_back(this);
    if (m_application != nullptr)
        chain.push_back(m_application);
    return chain;
}

void CMainFrame::RunCommand(uint32_t id)
{
    m_router.Execute(id);
}

void CMainFrame::PostCommand(uint32_t id)
{
    QTimer::singleShot(0, this, [this, id] { RunCommand(id); });
}

void CMainFrame::UpdateCommandUI()
{
    for (QAction* action : m_toolbar->actions())
        m_binder->UpdateAction(*action);
    if (CWevraDoc* document = m_docTemplate->GetActiveDocument())
        m_docTemplate->UpdateTitle(*document);
    const QString title = TitleText();
    if (windowTitle() != title)
        setWindowTitle(title);
}

QString CMainFrame::TitleText() const
{
    QString title = CQtText::FromDesignText(CWevraApp::LoadResString(IDS_APP_TITLE));
    if (const CWevraDoc* document = m_docTemplate->GetActiveDocument()) {
        title +=
            QStringLiteral(" - [") + CQtText::FromPath(document->GetTitle()) + QStringLiteral("]");
        // Changes not saved yet, as every desktop program marks them.
        if (document->IsModified())
            title += QStringLiteral(" *");
    }
    return title;
}

const CConfigFiles* CMainFrame::GetConfigFiles() const
{
    return m_config ? &m_config->Files() : nullptr;
}

void CMainFrame::RegisterCommands()
{
    auto hasDocument = [this](CCmdUI& ui) {
        ui.Enable(m_docTemplate->GetActiveDocument() != nullptr);
    };

    OnCommand(ID_FILE_NEW, [this] { m_docTemplate->NewDocument(); });
    // A design starts in the new-design dialog; a shape edit needs none.
    OnUpdate(ID_FILE_NEW, [this](CCmdUI& ui) {
        ui.Enable(m_shapeEditRequested ||
                  CDialogService::Get().Offers(CDialogService::Dialog::newPcb));
    });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_FILE_CLOSE, [this] {
        if (CWevraDoc* document = m_docTemplate->GetActiveDocument())
            m_docTemplate->CloseDocument(*document);
    });
    OnUpdate(ID_FILE_CLOSE, hasDocument);
    for (uint32_t id : {ID_FILE_SAVE, ID_FILE_SAVE_AS}) {
        OnCommand(id, [this, id] {
            // A shape library being edited is saved as a whole when its window closes.
            if (IsShapeEditing())
                return;
            CWevraDoc* document = m_docTemplate->GetActiveDocument();
            if (document == nullptr)
                return;
            if (m_config)
                SetCurrentFolder(m_config->GetPcbDirectory());
            m_docTemplate->SaveDocument(*document, id == ID_FILE_SAVE_AS);
        });
        OnUpdate(id, hasDocument);
    }
    OnCommandRange(ID_FILE_RECENT_FILE, ID_FILE_RECENT_FILE + recentFileCount - 1,
                   [this](uint32_t id) {
                       const std::string path = m_recentFiles.Get(int(id - ID_FILE_RECENT_FILE));
                       if (!path.empty())
                           OpenDocumentFile(path);
                   });
    OnCommand(ID_FILE_EXIT, [this] { close(); });
    // Chosen for the session, with or without a design: every later print starts from it.
    OnCommand(ID_FILE_PRINT_SETUP, [] { CPrintCommands::PageSetup(); });
    OnUpdate(ID_FILE_PRINT_SETUP, [](CCmdUI& ui) { ui.Enable(); });

    OnCommand(ID_WINDOW_CASCADE, [this] { Cascade(); });
    OnCommand(ID_WINDOW_TILE_HORIZONTAL, [this] { m_mdiArea->tileSubWindows(); });
    OnCommand(ID_WINDOW_TILE_VERTICAL, [this] { m_mdiArea->tileSubWindows(); });
    for (uint32_t id : {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORIZONTAL, ID_WINDOW_TILE_VERTICAL})
        OnUpdate(id, hasDocument);

    OnCommand(ID_VIEW_TOOLBAR, [this] { ShowToolbar(!m_toolbarShown); });
    OnUpdate(ID_VIEW_TOOLBAR, [this](CCmdUI& ui) { ui.SetCheck(m_toolbarShown); });
    OnCommand(ID_VIEW_STATUS_BAR, [this] { ShowStatusBar(!m_statusBarShown); });
    OnUpdate(ID_VIEW_STATUS_BAR, [this](CCmdUI& ui) { ui.SetCheck(m_statusBarShown); });

    OnCommand(ID_FILE_USER_CONFIGURATION, [this] {
        if (m_config)
            m_config->DoModal(this);
    });
    OnUpdate(ID_FILE_USER_CONFIGURATION, [this](CCmdUI& ui) { ui.Enable(m_config != nullptr); });
    OnCommand(ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS, [this] { OnImportDosComponents(); });
    OnUpdate(ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS, [](CCmdUI& ui) {
        ui.Enable(s_lmcImportFactory != nullptr &&
                  CDialogService::Get().Offers(CDialogService::Dialog::importLayermap));
    });
    OnCommand(ID_RUN_SCHEMATIC_APPLICATION, [this] { OnRunSchematicApplication(); });
    OnUpdate(ID_RUN_SCHEMATIC_APPLICATION, [this](CCmdUI& ui) {
        ui.Enable(m_config != nullptr && !m_config->GetSchematicAppPath().empty());
    });
    OnCommand(ID_OTHER_LOAD_SHAPE_LIBRARY, [this] { LoadShapeLibraries(m_libraryPath); });
    OnCommand(ID_OTHER_TIMER, [this] { OnTimerCommand(); });
    OnCommand(ID_HELP_README, [this] { OnReadme(); });
    OnCommand(ID_HELP_ABOUT_WEVRA, [this] { OnAbout(); });
    for (uint32_t id : {ID_HELP_HELP_INDEX, ID_HELP, ID_HELP_DEFAULT})
        OnCommand(id, [this, id] { OnHelp(id); });

    OnCommand(ID_OTHER_EDIT_SHAPE_END, [this] {
        // The closing shape window has put the edited library back already; this only
        // makes sure the edit is over.
        m_editedLibrary.reset();
    });
    OnCommand(ID_OTHER_EDIT_SHAPE_CANCEL, [this] { m_editedLibrary.reset(); });
}

// ---- Frame commands -----------------------------------------------------------------------------

void CMainFrame::OnTimerCommand()
{
    // A long operation pumps messages while it works on a design: no backup may serialise that
    // design halfway, so the tick waits until the operation is over.
    if (CProgDlg::IsAnyRunning()) {
        if (!m_timerDeferred) {
            m_timerDeferred = true;
            QTimer::singleShot(timerRetryMs, this, [this] {
                m_timerDeferred = false;
                RunCommand(ID_OTHER_TIMER);
            });
        }
        return;
    }
    if (!m_config)
        return;
    // Every open design, not only the active one: a design in a window behind the others
    // holds unsaved work as well.
    for (int i = 0; i < m_docTemplate->GetCount(); ++i) {
        CWevraDoc* document = m_docTemplate->GetDocument(i);
        if (document == nullptr)
            continue;
        const bool wrote = document->History().GetBackup().OnTimer(m_config->Files());
        auto* frame = dynamic_cast<CChildFrame*>(m_docTemplate->GetFrame(*document));
        CWevraView* view = frame ? frame->GetBoardView() : nullptr;
        if (view == nullptr)
            continue;
        if (wrote)
            view->UpdateStatusLine();
        if (document == m_docTemplate->GetActiveDocument())
            view->ShowDesignTime();
    }
    // A netlist written again while the user stays in the program is offered as it is on
    // coming back to the program; never over a dialog the user is answering.
    if (m_docTemplate->GetActiveDocument() != nullptr &&
        QApplication::activeModalWidget() == nullptr)
        RunCommand(ID_OTHER_DOC_JUST_LOADED);
}

void CMainFrame::OnFileOpen()
{
    std::string folder;
    if (m_config) {
        SetCurrentFolder(m_config->GetPcbDirectory());
        folder = m_config->GetPcbDirectory();
    }
    // The user most often wants a design beside the one in front.
    if (const CWevraDoc* active = m_docTemplate->GetActiveDocument();
        active && !active->GetPathNameRef().empty())
        folder = CPathHelper::GetDirectory(active->GetPathNameRef());
    const std::optional<std::string> path = CServices::FileDialogs().ChooseOpenFile(
        std::string(), folder,
        "Wevra PCB Design (*.PCB *.pcb);;Wevra DOS PCB Design (*.PLY *.ply)");
    if (path)
        OpenDocumentFile(*path);
}

void CMainFrame::OnImportDosComponents()
{
    if (s_lmcImportFactory == nullptr)
        return;
    std::unique_ptr<CLmcImport> importer = s_lmcImportFactory();
    if (!importer)
        return;
    const std::string folder = m_config ? m_config->GetRegisteredFolder() : std::string();
    // The stored DOS folder names a folder beside the program here, as drives in designs
    // name the design's folder.
    const std::filesystem::path libraries = CPathHelper::ResolveStoredPath(
        dosLibraryFolder,
        folder.empty() ? CPathHelper::GetProgramFolder() : std::filesystem::path(folder), false);
    m_libraries->ImportDosLibraries(*importer, folder + dosConfigFile, (libraries / "").string());
}

void CMainFrame::OnRunSchematicApplication()
{
    if (!m_config || m_config->GetSchematicAppPath().empty())
        return;
    const std::filesystem::path program = m_config->GetSchematicAppPath();
    const std::string argument = (program.parent_path() / program.stem()).string();
    CServices::Launcher().StartProgram(program, {argument});
}

void CMainFrame::OnReadme()
{
    CServices::Launcher().ShowTextFile(CDocumentFrame::GetProgramFolder() /
                                       CWevraApp::LoadResString(IDS_README_FILE));
}

void CMainFrame::OnAbout()
{
    CAboutDlg about(WEVRA_VERSION, this);
    about.exec();
}

void CMainFrame::OnHelp(uint32_t id)
{
    // The ID_HELP key asks about the tool in use; the index has a page of its own.
    uint32_t context = id;
    if (id != ID_HELP_HELP_INDEX) {
        CWevraDoc* document = m_docTemplate->GetActiveDocument();
        context = document ? document->Session().GetMode() : 0;
        // A toolbar combo box with the keyboard asks about the command it stands for.
        for (const auto& [comboId, combo] : m_combos)
            if (combo->hasFocus() && ComboHelpCommand(comboId) != 0)
                context = helpContextBase + ComboHelpCommand(comboId);
    }
    CHelpTopics::Show(context);
}

// ---- CDocumentFrame -----------------------------------------------------------------------------

std::filesystem::path CMainFrame::GetProgramFolder() const
{
    if (m_config && !m_config->GetRegisteredFolder().empty())
        return m_config->GetRegisteredFolder();
    return CDocumentFrame::GetProgramFolder();
}

bool CMainFrame::IsLeftPaneSetting() const
{
    return m_config ? m_config->IsLeftPane() : false;
}

bool CMainFrame::IsBottomPaneSetting() const
{
    return m_config ? m_config->IsBottomPane() : false;
}

void CMainFrame::ShowLeftPane(bool shown)
{
    auto* frame = qobject_cast<CChildFrame*>(m_docTemplate->GetActiveFrame());
    if (frame == nullptr)
        return;
    frame->ShowLeftPane(shown);
    m_leftPaneShown = shown;
}

void CMainFrame::ShowBottomPane(bool shown)
{
    auto* frame = qobject_cast<CChildFrame*>(m_docTemplate->GetActiveFrame());
    if (frame == nullptr)
        return;
    frame->ShowBottomPane(shown);
    m_bottomPaneShown = shown;
}

void CMainFrame::HidePanes()
{
    m_leftPaneShown = false;
    m_bottomPaneShown = false;
    update();
}

void CMainFrame::AddToRecentFiles(const std::string& path)
{
    m_recentFiles.Add(path);
}

void CMainFrame::BeginShapeEdit(const CShapeLib& library)
{
    m_editedLibrary = std::make_unique<CShapeLib>(library);
    m_shapeEditRequested = true;
}

void CMainFrame::EndShapeEdit(const CShapeLib& edited)
{
    if (CShapeLib* library = m_libraries->GetLibByName(edited.GetName()))
        *library = edited;
    m_editedLibrary.reset();
}

// ---- Window events ------------------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_docTemplate->CloseAll()) {
        event->ignore();
        return;
    }
    OfferOwnLibraryForChanges();
    SaveBarState();
    m_recentFiles.Save(CServices::Settings());
    if (!CServices::Settings().Sync())
        CServices::Messages().FileMessageBox(
            CResString::LoadWithFile(IDS_SETTINGS_NOT_WRITTEN, CServices::Settings().GetLocation()),
            "", MB_OK, MB_ICONEXCLAMATION);
    event->accept();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // A maximised design window writes its own title into ours, on top of what was there
    // before it: ours is put back, so that it never repeats itself.
    if (event->type() == QEvent::WindowTitleChange && m_docTemplate) {
        const QString title = TitleText();
        if (windowTitle() != title)
            setWindowTitle(title);
    }
    // Posted, so that the check runs once the activation is complete.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        PostCommand(ID_OTHER_DOC_JUST_LOADED);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            OpenDocumentFile(CQtText::ToPath(url.toLocalFile()));
    event->acceptProposedAction();
}
