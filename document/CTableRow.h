#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One row of a table window as texts, cell by cell: a text holding commas or quotes stays in
// its own cell.
struct CTableRow {
    std::vector<std::string> cells;
    // Bit c set: column c is right aligned.
    uint32_t rightAligned = 0;
};
