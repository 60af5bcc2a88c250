#pragma once

#include <deque>
#include <string>
#include <vector>

#include "framework/CMessageService.h"

// Answers message boxes from a script and records every message shown. With no answer queued a
// message gets its first button's answer; an answer the message's buttons cannot give fails the
// running test.
class CScriptedMessageService : public CMessageService {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageButtons buttons = MB_OK;
        MessageIcon icon = MB_ICONNONE;
        // Asked as a message naming a file: the texts are UTF-8.
        bool namesFile = false;
    };

    void QueueAnswer(int32_t answer) { m_answers.push_back(answer); }
    size_t PendingAnswers() const { return m_answers.size(); }

    const std::vector<Message>& Shown() const { return m_shown; }
    // The texts of the messages shown, in order.
    std::vector<std::string> ShownTexts() const;
    void ClearShown() { m_shown.clear(); }

    int32_t MessageBox(const std::string& text, const std::string& caption,
                       MessageButtons buttons = MB_OK, MessageIcon icon = MB_ICONNONE) override;
    int32_t FileMessageBox(const std::string& text, const std::string& caption,
                           MessageButtons buttons = MB_OK, MessageIcon icon = MB_ICONNONE) override;

private:
    int32_t Answer(Message message);

    std::deque<int32_t> m_answers;
    std::vector<Message> m_shown;
};
