#include "framework/qt/CQtCommandBinder.h"

#include <filesystem>

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QWidget>

#include "framework/CCommandRouter.h"
#include "framework/CResourcePack.h"
#include "framework/qt/CQtText.h"

namespace {

constexpr char commandProperty[] = "wevraCommand";
constexpr char recentProperty[] = "wevraRecentFile";

std::string PromptOf(uint32_t id)
{
    std::string text = CResourcePack::GetCurrent().GetString(id);
    return text.substr(0, text.find('\n'));
}

} // namespace

CQtCommandBinder::CQtCommandBinder(const CCommandRouter& router, QObject* parent)
    : QObject(parent), m_router(router)
{
}

uint32_t CQtCommandBinder::CommandOf(const QAction& action)
{
    return action.property(commandProperty).toUInt();
}

QAction* CQtCommandBinder::MakeAction(uint32_t id, const std::string& text, QObject* parent)
{
    auto* action = new QAction(CQtText::FromDesignText(text), parent);
    action->setProperty(commandProperty, id);
    const std::string prompt = PromptOf(id);
    action->setStatusTip(CQtText::FromDesignText(prompt));
    // Tooltips are the tip part of the command's text, without its access keys and shortcut.
    std::string full = CResourcePack::GetCurrent().GetString(id);
    size_t newline = full.find('\n');
    std::string tip = newline == std::string::npos ? prompt : full.substr(newline + 1);
    tip = tip.substr(0, tip.find('\t'));
    if (tip.empty())
        tip = prompt;
    QString plainTip = CQtText::FromDesignText(tip);
    plainTip.remove(QLatin1Char('&'));
    action->setToolTip(plainTip);
    connect(action, &QAction::triggered, this, [this, id] { m_router.Execute(id); });
    return action;
}

void CQtCommandBinder::BuildMenuBar(QMenuBar& bar, const CMenuItem& menu)
{
    for (QAction* old : bar.actions()) {
        bar.removeAction(old);
        if (QMenu* popup = old->menu())
            popup->deleteLater();
    }
    for (const CMenuItem& item : menu.items) {
        if (item.kind != CMenuItem::popup)
            continue;
        QMenu* popup = bar.addMenu(CQtText::FromDesignText(item.text));
        AddItems(*popup, item);
    }
}

void CQtCommandBinder::AddItems(QMenu& menu, const CMenuItem& popup)
{
    connect(&menu, &QMenu::aboutToShow, this, [this, &menu] { UpdateMenu(menu); });
    for (const CMenuItem& item : popup.items) {
        switch (item.kind) {
        case CMenuItem::separator:
            menu.addSeparator();
            break;
        case CMenuItem::popup:
            AddItems(*menu.addMenu(CQtText::FromDesignText(item.text)), item);
            break;
        case CMenuItem::command:
            menu.addAction(MakeAction(item.id, item.text, &menu));
            break;
        }
    }
}

void CQtCommandBinder::InstallAccelerators(QWidget& window, const std::vector<CAccelerator>& table)
{
    for (const CAccelerator& accelerator : table) {
        auto* shortcut =
            new QShortcut(QKeySequence(QString::fromStdString(accelerator.keys)), &window);
        shortcut->setContext(Qt::WindowShortcut);
        const uint32_t id = accelerator.command;
        // Always enabled, so that the key is taken even when its command is not.
        connect(shortcut, &QShortcut::activated, this, [this, id] { m_router.Execute(id); });
        connect(shortcut, &QShortcut::activatedAmbiguously, this,
                [this, id] { m_router.Execute(id); });
    }
}

void CQtCommandBinder::UpdateAction(QAction& action) const
{
    const uint32_t id = CommandOf(action);
    if (id == 0)
        return;
    CCmdUI ui = m_router.Query(id);
    action.setEnabled(ui.enabled);
    const bool checkable = ui.check != CCmdUI::unchecked || action.isCheckable();
    action.setCheckable(checkable);
    // One choice of several shows a dot: Qt draws it for the actions of an exclusive group.
    if (ui.radio && action.actionGroup() == nullptr) {
        auto* group = new QActionGroup(&action);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        group->addAction(&action);
    }
    if (checkable)
        action.setChecked(ui.check != CCmdUI::unchecked);
    if (ui.text)
        action.setText(CQtText::FromDesignText(*ui.text));
}

void CQtCommandBinder::UpdateMenu(QMenu& menu)
{
    FillRecentFiles(menu);
    for (QAction* action : menu.actions())
        if (action->menu() == nullptr)
            UpdateAction(*action);
}

void CQtCommandBinder::FillRecentFiles(QMenu& menu)
{
    // The placeholder item stays (hidden) as the anchor of the list.
    QAction* anchor = nullptr;
    for (QAction* action : menu.actions()) {
        if (action->property(recentProperty).toBool()) {
            menu.removeAction(action);
            action->deleteLater();
        } else if (m_recentFiles && CommandOf(*action) == m_firstRecentFile &&
                   !action->property(recentProperty).isValid()) {
            anchor = action;
        }
    }
    if (anchor == nullptr)
        return;
    anchor->setVisible(false);
    const std::vector<std::string> paths =
        m_recentFiles ? m_recentFiles() : std::vector<std::string>();
    for (int i = 0; i < int(paths.size()) && i < maxRecentFiles; ++i) {
        std::string name = std::filesystem::path(paths[size_t(i)]).filename().string();
        QAction* entry = MakeAction(m_firstRecentFile + uint32_t(i),
                                    "&" + std::to_string(i + 1) + " " + name, &menu);
        entry->setProperty(recentProperty, true);
        // File names are the system's own text, not the string table's.
        entry->setText(QString("&%1 %2").arg(i + 1).arg(CQtText::FromPath(name)));
        entry->setStatusTip(CQtText::FromPath(paths[size_t(i)]));
        menu.insertAction(anchor, entry);
    }
}
