#pragma once

#include <cstdint>
#include <map>

#include <QAction>
#include <QList>
#include <QMenu>

#include "framework/qt/CQtCommandBinder.h"

// Every menu item under the actions by its command id, each menu filled as a user opening it
// would see it.
inline void CollectMenuItems(const QList<QAction*>& actions, std::map<uint32_t, QAction*>& found)
{
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu()) {
            emit menu->aboutToShow();
            CollectMenuItems(menu->actions(), found);
        } else if (const uint32_t id = CQtCommandBinder::CommandOf(*action)) {
            found.emplace(id, action);
        }
    }
}
