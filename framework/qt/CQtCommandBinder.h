#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QObject>

#include "framework/CAccelerator.h"
#include "framework/CMenuItem.h"

class CCommandRouter;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Ties Qt menus, toolbar buttons and keystrokes to the command router: each item is a QAction
// that carries its command id; triggering it runs the command through the router; the update
// pass sets its enabled, checked and text state before a menu opens. Keystrokes of an
// accelerator table are window shortcuts that ask the router too, so a disabled command's key
// does nothing and goes no further.
class CQtCommandBinder : public QObject {
    Q_OBJECT

public:
    static constexpr int maxRecentFiles = 8;

    explicit CQtCommandBinder(const CCommandRouter& router, QObject* parent = nullptr);

    // The paths of the recent-file list, most recent first. Their commands are `firstCommand`
    // and the ones after it; the item with `firstCommand` in a menu resource marks where the
    // list goes.
    void SetRecentFiles(uint32_t firstCommand, std::function<std::vector<std::string>()> provider)
    {
        m_firstRecentFile = firstCommand;
        m_recentFiles = std::move(provider);
    }

    // Replaces the bar's menus by the popups of a menu resource.
    void BuildMenuBar(QMenuBar& bar, const CMenuItem& menu);
    // Appends the entries of a popup to a menu.
    void AddItems(QMenu& menu, const CMenuItem& popup);
    // An action for command `id`; its text, status prompt and tip come from the string table.
    QAction* MakeAction(uint32_t id, const std::string& text, QObject* parent);
    // Shortcuts on `window` for every keystroke of the table.
    void InstallAccelerators(QWidget& window, const std::vector<CAccelerator>& table);

    // The update pass over actions made by this binder (others are left alone).
    void UpdateAction(QAction& action) const;
    void UpdateMenu(QMenu& menu);

    // The command id an action stands for; 0 for none.
    static uint32_t CommandOf(const QAction& action);

private:
    void FillRecentFiles(QMenu& menu);

    const CCommandRouter& m_router;
    uint32_t m_firstRecentFile = 0;
    std::function<std::vector<std::string>()> m_recentFiles;
};
