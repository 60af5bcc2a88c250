#include "framework/CMessageService.h"

#include <algorithm>
#include <vector>

#include "framework/CWindows1252.h"

namespace {

// The set's answers, the default first.
std::vector<int32_t> AnswersOf(MessageButtons buttons)
{
    switch (buttons) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_YESNO_DEFAULTNO:
        return {IDNO, IDYES};
    case MB_OKCANCEL_DEFAULTCANCEL:
        return {IDCANCEL, IDOK};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    case MB_OK:
        break;
    }
    return {IDOK};
}

} // namespace

CMessageService::~CMessageService() = default;

int32_t CMessageService::FileMessageBox(const std::string& text, const std::string& caption,
                                        MessageButtons buttons, MessageIcon icon)
{
    return MessageBox(CWindows1252::FromUtf8(text), CWindows1252::FromUtf8(caption), buttons, icon);
}

int32_t CMessageService::FirstButtonAnswer(MessageButtons buttons)
{
    return AnswersOf(buttons).front();
}

bool CMessageService::OffersAnswer(MessageButtons buttons, int32_t answer)
{
    std::vector<int32_t> answers = AnswersOf(buttons);
    return std::find(answers.begin(), answers.end(), answer) != answers.end();
}
