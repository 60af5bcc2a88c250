#include "framework/CCollectedMessages.h"

#include <algorithm>
#include <utility>

#include "framework/CServices.h"

namespace {

thread_local CCollectedMessages* tCurrent = nullptr;
thread_local std::size_t tItem = 0;

} // namespace

CCollectedMessages::CScope::CScope(CCollectedMessages& messages, std::size_t item)
    : m_previous(tCurrent), m_previousItem(tItem)
{
    // Work nested in an item reports as that item.
    if (tCurrent == nullptr) {
        tCurrent = &messages;
        tItem = item;
    }
}

CCollectedMessages::CScope::~CScope()
{
    tCurrent = m_previous;
    tItem = m_previousItem;
}

CCollectedMessages* CCollectedMessages::Current()
{
    return tCurrent;
}

void CCollectedMessages::Add(std::string text, std::string caption, MessageIcon icon,
                             bool namesFile)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back(Message{tItem, std::move(text), std::move(caption), icon, namesFile});
}

void CCollectedMessages::Replay()
{
    std::vector<Message> messages;
    {
        std::lock_guard lock(m_mutex);
        messages.swap(m_messages);
    }
    // One item runs on one thread, so its messages are in the order it told them already.
    std::stable_sort(messages.begin(), messages.end(),
                     [](const Message& a, const Message& b) { return a.item < b.item; });
    for (const Message& message : messages) {
        if (message.namesFile)
            CServices::Messages().FileMessageBox(message.text, message.caption, MB_OK,
                                                 message.icon);
        else
            CServices::Messages().MessageBox(message.text, message.caption, MB_OK, message.icon);
    }
}
