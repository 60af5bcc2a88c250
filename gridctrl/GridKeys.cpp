#include "gridctrl/GridKeys.h"

#include <QKeyEvent>

#include "framework/VirtualKeys.h"
#include "framework/qt/CQtKeys.h"

uint32_t ToVirtualKey(const QKeyEvent& event)
{
    if (const uint32_t navigation = CQtKeys::NavigationKey(event))
        return navigation;
    const int key = event.key();
    switch (key) {
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return GRID_VK_TAB;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_F2:
        return VK_F2;
    default:
        break;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return uint32_t(key);
    return 0;
}
