#pragma once

#include <functional>
#include <memory>

class CProgressWindow;

// Opens the progress windows of long operations. While one is open the user can reach no other
// window of the program, so no second command starts in the middle of the operation.
class CProgressService {
public:
    virtual ~CProgressService();

    // A new, shown progress window; nullptr when none can be opened. `onCancel` is called for
    // every press of Cancel (or Esc, or the close box) while the window lives: they never close
    // it.
    virtual std::unique_ptr<CProgressWindow> OpenWindow(std::function<void()> onCancel) = 0;
};
