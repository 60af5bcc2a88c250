#pragma once

#include <string>

#include <QObject>
#include <QPointer>
#include <QWidget>

// A tooltip control: the windows registered with it show its text as their tip, but only while
// it is active. The board view registers itself with "Ready" and activates the control with
// the tooltip at the cursor.
class CViewToolTip : public QObject {
    Q_OBJECT

public:
    explicit CViewToolTip(QObject* parent = nullptr) : QObject(parent) {}

    // The window shows `text` as its tip from now on (one window per control).
    void AddToolTip(QWidget& window, const std::string& text);
    void SetText(const std::string& text) { m_text = text; }
    const std::string& GetText() const { return m_text; }
    // Inactive, the window shows no tip, and a tip on show goes.
    void Activate(bool on);
    bool IsActive() const { return m_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    std::string m_text;
    bool m_active = false;
};
