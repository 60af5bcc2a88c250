#include "framework/qt/CQtKeys.h"

#include <QKeyEvent>

#include "framework/VirtualKeys.h"

namespace {

// X11 and Wayland key codes of the digit row, 1 to 9 and then 0.
constexpr quint32 firstDigitRowCode = 10;
constexpr quint32 lastDigitRowCode = 19;

} // namespace

uint32_t CQtKeys::NavigationKey(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    default:
        return 0;
    }
}

uint32_t CQtKeys::VirtualKey(const QKeyEvent& event)
{
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return uint32_t(key);
    const quint32 code = event.nativeScanCode();
    if (code >= firstDigitRowCode && code <= lastDigitRowCode)
        return code == lastDigitRowCode ? '0' : uint32_t('1' + (code - firstDigitRowCode));
    if (const uint32_t navigation = NavigationKey(event))
        return navigation;
    const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Plus:
        return keypad ? VK_ADD : 0;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : 0;
    case Qt::Key_F2:
        return VK_F2;
    case Qt::Key_F5:
        return VK_F5;
    case Qt::Key_F6:
        return VK_F6;
    case Qt::Key_F9:
        return VK_F9;
    default:
        return 0;
    }
}
