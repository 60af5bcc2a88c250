#pragma once

#include <cstdint>
#include <vector>

// Sorts words ascending whose lower halves ascend as given (an index packed under a key):
// only the upper halves need sorting then, and a stable radix sort does that in linear time.
void SortIndexedKeys(std::vector<uint64_t>& words);
