// Built into the program and the benchmarks when they allocate with jemalloc, which reads its
// settings from this symbol before the first allocation.
//
// Pages freed are kept for the allocations that follow instead of going back to the system a
// few seconds later: a big board's open, save, fill and repaint each take and free hundreds of
// megabytes, and every page given back was faulted in again by the next operation (a save of a
// 32,000-component board took five times as long, an open twice as long). What a closed design
// leaves is given back when its window closes (CBackgroundRelease::ReturnFreedMemory), so the
// program holds no more than its biggest open work needed.
extern "C" {
extern const char* malloc_conf;
const char* malloc_conf = "dirty_decay_ms:-1,muzzy_decay_ms:-1";
}
