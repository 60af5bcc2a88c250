#include "tests/support/LimitedChild.h"

#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The data segment of this process now, in bytes ("VmData" counts what RLIMIT_DATA limits).
size_t DataSize()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmData:") {
            size_t kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

} // namespace

bool RunInLimitedChild(const std::function<bool()>& body, size_t extraBytes, unsigned seconds)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const rlimit limit{DataSize() + extraBytes, DataSize() + extraBytes};
        if (setrlimit(RLIMIT_DATA, &limit) != 0)
            _exit(3);
        alarm(seconds);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
