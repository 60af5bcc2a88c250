#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "framework/CMessageService.h"

// What work on the pool's threads tells the user. A window may only be opened by the thread
// that owns the windows, and a message box in the middle of parallel work would show in an
// order that depends on the threads; so the pool collects the messages while its items run and
// the calling thread shows them once every item has returned, in the order of the items.
class CCollectedMessages {
public:
    struct Message {
        std::size_t item = 0;
        std::string text;
        std::string caption;
        MessageIcon icon = MB_ICONNONE;
        // Asked as a message naming a file (FileMessageBox).
        bool namesFile = false;
    };

    // Makes the collection current on this thread, for work item `item`, while the scope lasts.
    class CScope {
    public:
        CScope(CCollectedMessages& messages, std::size_t item);
        ~CScope();
        CScope(const CScope&) = delete;
        CScope& operator=(const CScope&) = delete;

    private:
        CCollectedMessages* m_previous;
        std::size_t m_previousItem;
    };

    // The collection of the work item running on this thread; nullptr outside pool work.
    static CCollectedMessages* Current();

    // Notes a message of the current work item; any thread may add.
    void Add(std::string text, std::string caption, MessageIcon icon, bool namesFile);
    // Shows what was collected through the message service, in item order and within an item
    // in the order told, and empties the collection. Called by the thread that owns the windows.
    void Replay();

private:
    std::mutex m_mutex;
    std::vector<Message> m_messages;
};
