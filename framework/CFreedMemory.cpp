#include "framework/CFreedMemory.h"

#include <cstddef>

#include <dlfcn.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void CFreedMemory::ReturnToSystem()
{
    // The program is linked with jemalloc or not (the sanitizers bring their own allocator): it
    // is asked for by name.
    using Mallctl = int (*)(const char*, void*, std::size_t*, void*, std::size_t);
    static const auto mallctl = reinterpret_cast<Mallctl>(dlsym(RTLD_DEFAULT, "mallctl"));
    if (mallctl != nullptr) {
        // "arena.<MALLCTL_ARENAS_ALL>.purge": the freed pages of every arena.
        mallctl("arena.4096.purge", nullptr, nullptr, nullptr, 0);
        return;
    }
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
