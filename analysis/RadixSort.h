#pragma once

#include <cstdint>
#include <vector>

#include "framework/CUnsetAllocator.h"

// Words of an index packed under a key. Their lists are long and written in full once sized.
using IndexedKeys = std::vector<uint64_t, CUnsetAllocator<uint64_t>>;

// Sorts words ascending whose lower halves ascend as given (an index packed under a key):
// only the upper halves need sorting then, and a stable radix sort does that in linear time.
void SortIndexedKeys(IndexedKeys& words);
