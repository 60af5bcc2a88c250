#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QTimer>

#include "document/CDocumentFrame.h"
#include "document/CRecentFileList.h"
#include "document/CToolbarLayout.h"
#include "framework/CCommandRouter.h"
#include "framework/CCommandTarget.h"

class QMenu;
class CConfig;
class CDesignFailureGuard;
class CDocTemplate;
class CFailureGuard;
class CLmcImport;
class CQtCommandBinder;
class CShapeLib;
class CShapeLibArray;
class QComboBox;
class QLabel;
class QMdiArea;
class QToolBar;

// The main window: the MDI area with the design windows, the menu of the active window, the
// main toolbar whose right part follows the active design's tool, the status bar with its
// nine panes, the 60-second timer of the design time and backups, and the frame's own
// commands (user configuration, shape library set, schematic application, readme, About,
// help). It is the documents' CDocumentFrame and routes every command of the program.
class CMainFrame : public QMainWindow, public CDocumentFrame, public CCommandTarget {
    Q_OBJECT

public:
    static constexpr int timerPeriodMs = 60000;
    // How long a timer tick waits for a running long operation before it looks again.
    static constexpr int timerRetryMs = 1000;
    static constexpr int statusPaneCount = 9;
    // The main window's resource: menu without a design, accelerators, toolbar images.
    static constexpr uint32_t mainResource = 213;
    static constexpr uint32_t designMenu = 210;

    // Makes the reader of DOS component libraries (the program's own by default); with none
    // installed the import command is disabled.
    using LmcImportFactory = std::unique_ptr<CLmcImport> (*)();
    static LmcImportFactory SetLmcImportFactory(LmcImportFactory factory);

    // `application` ends the command chain; it may be nullptr.
    explicit CMainFrame(const CCommandTarget* application = nullptr);
    ~CMainFrame() override;

    // Reads the user configuration and loads the configured shape library set; the bars and
    // panes follow the start-up settings.
    void StartUp();

    // ---- Parts of the frame ---------------------------------------------------------------------

    const CCommandRouter& GetRouter() const { return m_router; }
    CQtCommandBinder& GetBinder() { return *m_binder; }
    CDocTemplate& GetDocTemplate() { return *m_docTemplate; }
    QMdiArea& GetMdiArea() { return *m_mdiArea; }
    QToolBar& GetToolbar() { return *m_toolbar; }
    // A combo box of the current toolbar layout; nullptr when the layout has none of that id.
    QComboBox* GetCombo(int32_t comboId) const;
    // The configuration made by StartUp; nullptr before.
    CConfig* GetConfig() { return m_config.get(); }
    CShapeLibArray& GetShapeLibraries() { return *m_libraries; }
    const CShapeLibArray* GetLibrarySet() const override { return m_libraries.get(); }
    CShapeLibArray* GetEditableLibrarySet() override { return m_libraries.get(); }
    void AdoptLibraryFile(const std::string& path) override;
    CRecentFileList& GetRecentFiles() { return m_recentFiles; }
    // The layout the toolbar shows now.
    const std::vector<CToolbarLayout::Slot>& GetToolbarLayout() const { return m_layout; }

    // The status bar's panes: 0 the message pane, then X, Y, Lock, XR, YR, LN, HK and T.
    void SetPaneText(int pane, const std::string& text);
    std::string GetPaneText(int pane) const;

    void ShowToolbar(bool show);
    void ShowStatusBar(bool show);
    bool IsToolbarShown() const { return m_toolbarShown; }
    bool IsStatusBarShown() const { return m_statusBarShown; }
    bool IsLeftPaneShown() const { return m_leftPaneShown; }
    bool IsBottomPaneShown() const { return m_bottomPaneShown; }
    void SetOpenedByShell(bool shell) { m_openedByShell = shell; }

    // Starts the edit of the library's current shape: the next new document edits it.
    void BeginShapeEdit(const CShapeLib& library) override;
    bool IsShapeEditing() const { return m_editedLibrary != nullptr; }

    // Opens a design (a recent file, a dropped file, the command line); nullptr when it was
    // not opened. A recent file that cannot be opened leaves the list.
    CWevraDoc* OpenDocumentFile(const std::string& path);
    // Writes the shape library set back to its file, through a temporary file, when it came
    // from that file (or the file does not exist yet) and has changed since; a set whose file
    // could not be read is never written over it. True when written.
    bool SaveShapeLibrariesIfChanged();
    // Changes to the installed library, which is never written, are offered a library of the
    // user's own before the program ends.
    void OfferOwnLibraryForChanges();
    // Replaces the library set with the one read from `path`, which becomes the set's file.
    void LoadShapeLibraries(const std::string& path);

    // Runs the update pass over the menu bar's and the toolbar's items, and refreshes the
    // menu, titles and toolbar of the active design.
    void UpdateCommandUI();

    // ---- CDocumentFrame -------------------------------------------------------------------------

    std::filesystem::path GetProgramFolder() const override;
    std::span<const uint8_t> GetBuiltInFont() const override;
    std::string GetLibraryFile() const override { return m_libraryPath; }
    const CConfigFiles* GetConfigFiles() const override;
    bool IsLeftPaneSetting() const override;
    bool IsBottomPaneSetting() const override;
    void SetLeftPaneFlag(bool shown) override { m_leftPaneShown = shown; }
    void ShowLeftPane(bool shown) override;
    void ShowBottomPane(bool shown) override;
    void HidePanes() override;
    void SetStatusText(const std::string& text) override { SetPaneText(0, text); }
    void PostCommand(uint32_t id) override;
    void RedrawMenuBar() override;
    void AddToRecentFiles(const std::string& path) override;
    void UpdateContextToolbar(const CWevraDoc* document) override;
    void ApplyToolbarVisibility() override;
    bool HasCombo(int32_t comboId) const override;
    void FillCombo(int32_t comboId, const std::vector<std::string>& items,
                   int32_t selected) override;
    void SelectInCombo(int32_t comboId, int32_t index) override;
    std::vector<std::string> GetComboItems(int32_t comboId) const override;
    int32_t GetComboSelection(int32_t comboId) const override;
    bool IsShapeEditRequested() const override { return m_shapeEditRequested; }
    void ClearShapeEditRequest() override { m_shapeEditRequested = false; }
    const CShapeLib* GetEditedShapeLibrary() const override { return m_editedLibrary.get(); }
    void EndShapeEdit(const CShapeLib& edited) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateStatusBar();
    void RegisterCommands();
    void RunCommand(uint32_t id);
    std::vector<const CCommandTarget*> CommandChain() const;
    void OnActiveDocumentChanged();
    void ApplyMenu(uint32_t menuId);
    // The open designs at the end of the Window menu, the active one checked.
    void FillWindowList(QMenu& menu);
    void Cascade();
    // The application title with the active design's.
    QString TitleText() const;
    void OnFileOpen();
    void OnImportDosComponents();
    void OnRunSchematicApplication();
    void OnReadme();
    void OnAbout();
    void OnHelp(uint32_t id);
    // The one-minute tick: design time and automatic backups of every open design.
    void OnTimerCommand();
    void SaveBarState();
    void RestoreBarState();
    std::vector<uint8_t> LibrarySnapshot() const;

    const CCommandTarget* m_application;
    CCommandRouter m_router;
    std::unique_ptr<CQtCommandBinder> m_binder;
    QMdiArea* m_mdiArea = nullptr;
    std::unique_ptr<CDocTemplate> m_docTemplate;
    std::unique_ptr<CDesignFailureGuard> m_failureGuard;
    CFailureGuard* m_previousGuard = nullptr;
    QToolBar* m_toolbar = nullptr;
    std::vector<CToolbarLayout::Slot> m_layout;
    std::map<int32_t, QComboBox*> m_combos;
    std::array<QLabel*, statusPaneCount> m_panes{};
    QTimer m_timer;
    QTimer m_idleTimer;
    uint32_t m_menuId = 0;

    bool m_openedByShell = false;
    bool m_timerDeferred = false;
    bool m_bottomPaneShown = false;
    bool m_leftPaneShown = false;
    bool m_statusBarShown = true;
    bool m_toolbarShown = false;

    std::unique_ptr<CConfig> m_config;
    CRecentFileList m_recentFiles;
    std::unique_ptr<CShapeLibArray> m_libraries;
    std::string m_libraryPath;
    // Whether the set may be written to its file, and its stored form when it was loaded.
    bool m_libraryWritable = false;
    std::vector<uint8_t> m_librarySnapshot;
    bool m_shapeEditRequested = false;
    std::unique_ptr<CShapeLib> m_editedLibrary;
};
