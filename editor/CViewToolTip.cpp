#include "editor/CViewToolTip.h"

#include <QHelpEvent>
#include <QToolTip>

#include "framework/CWindows1252.h"

void CViewToolTip::AddToolTip(QWidget& window, const std::string& text)
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = &window;
    m_text = text;
    window.installEventFilter(this);
}

void CViewToolTip::Activate(bool on)
{
    m_active = on;
    if (!on)
        QToolTip::hideText();
}

bool CViewToolTip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    if (m_active && !m_text.empty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), QString::fromStdString(CWindows1252::ToUtf8(m_text)),
                           m_window);
    } else {
        QToolTip::hideText();
    }
    return true;
}
