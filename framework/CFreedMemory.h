#pragma once

// The allocator keeps the pages a program frees for its next allocations (the program's
// settings ask it to: a big board's operations free and take hundreds of megabytes in turn).
// Where a big piece of work has ended and what follows needs far less, or needs it on other
// threads, the pages go back to the system.
class CFreedMemory {
public:
    // Every page freed and not in use goes back to the system, from every thread's heap.
    static void ReturnToSystem();
};
