#include "framework/qt/CQtMessageService.h"

#include <initializer_list>
#include <vector>

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include "framework/qt/CQtText.h"

namespace {

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int32_t answer;
};

// The set's buttons in order; the first is the default button.
std::vector<ButtonAnswer> ButtonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT},
                {QMessageBox::Retry, IDRETRY},
                {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_YESNO_DEFAULTNO:
        return {{QMessageBox::No, IDNO}, {QMessageBox::Yes, IDYES}};
    case MB_OKCANCEL_DEFAULTCANCEL:
        return {{QMessageBox::Cancel, IDCANCEL}, {QMessageBox::Ok, IDOK}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_OK:
        break;
    }
    return {{QMessageBox::Ok, IDOK}};
}

QMessageBox::Icon IconOf(MessageIcon icon)
{
    switch (icon) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    case MB_ICONNONE:
        break;
    }
    return QMessageBox::NoIcon;
}

// What Esc and the close box answer: Cancel, else No, else the default button.
const ButtonAnswer& EscapeChoice(const std::vector<ButtonAnswer>& choices)
{
    for (int32_t answer : {IDCANCEL, IDNO}) {
        for (const ButtonAnswer& choice : choices) {
            if (choice.answer == answer)
                return choice;
        }
    }
    return choices.front();
}

} // namespace

int32_t CQtMessageService::MessageBox(const std::string& text, const std::string& caption,
                                      MessageButtons buttons, MessageIcon icon)
{
    return Show(CQtText::FromDesignText(text), CQtText::FromDesignText(caption), buttons, icon);
}

int32_t CQtMessageService::FileMessageBox(const std::string& text, const std::string& caption,
                                          MessageButtons buttons, MessageIcon icon)
{
    return Show(CQtText::FromPath(text), CQtText::FromPath(caption), buttons, icon);
}

int32_t CQtMessageService::Show(const QString& text, const QString& caption, MessageButtons buttons,
                                MessageIcon icon)
{
    const std::vector<ButtonAnswer> choices = ButtonsOf(buttons);
    QMessageBox box(IconOf(icon),
                    caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    for (const ButtonAnswer& choice : choices)
        box.addButton(choice.button);
    box.setDefaultButton(choices.front().button);
    box.setEscapeButton(box.button(EscapeChoice(choices).button));
    const auto clicked = QMessageBox::StandardButton(box.exec());
    for (const ButtonAnswer& choice : choices) {
        if (choice.button == clicked)
            return choice.answer;
    }
    return EscapeChoice(choices).answer;
}
