#include "tests/support/CScriptedMessageService.h"

#include <gtest/gtest.h>

std::vector<std::string> CScriptedMessageService::ShownTexts() const
{
    std::vector<std::string> texts;
    for (const Message& message : m_shown)
        texts.push_back(message.text);
    return texts;
}

int32_t CScriptedMessageService::MessageBox(const std::string& text, const std::string& caption,
                                            MessageButtons buttons, MessageIcon icon)
{
    return Answer({text, caption, buttons, icon, false});
}

int32_t CScriptedMessageService::FileMessageBox(const std::string& text, const std::string& caption,
                                                MessageButtons buttons, MessageIcon icon)
{
    return Answer({text, caption, buttons, icon, true});
}

int32_t CScriptedMessageService::Answer(Message message)
{
    const MessageButtons buttons = message.buttons;
    m_shown.push_back(std::move(message));
    if (m_answers.empty())
        return FirstButtonAnswer(buttons);
    const int32_t answer = m_answers.front();
    m_answers.pop_front();
    if (!OffersAnswer(buttons, answer)) {
        ADD_FAILURE() << "scripted answer " << answer << " is not a button of the message \""
                      << m_shown.back().text << "\" (buttons " << int32_t(buttons) << ")";
    }
    return answer;
}
