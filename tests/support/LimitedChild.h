#pragma once

#include <cstddef>
#include <functional>

// Runs `body` in a forked child whose data may grow by at most `extraBytes` and which is
// killed after `seconds`; true when the child ended normally and `body` returned true. A
// reader that reads a device to its end, waits on a pipe or holds a huge file fails the test
// this way instead of taking the whole test run down or hanging it.
bool RunInLimitedChild(const std::function<bool()>& body, size_t extraBytes = 256u << 20,
                       unsigned seconds = 20);
