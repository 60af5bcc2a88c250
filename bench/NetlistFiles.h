#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

class CWevraDoc;

// Each component of the netlist boards has this many pads.
inline constexpr int32_t padsPerComponent = 4;

// A new board whose shape cache holds the one footprint, "QUAD", the netlists name.
std::unique_ptr<CWevraDoc> NewNetlistBoard();

// A Tango netlist of `count` four-pin components in their "[" blocks and as many four-pin nets
// in "(" blocks (past what a design can number, fewer nets of more pins), in a folder of its own
// under the temporary folder.
std::filesystem::path WriteTangoNetlist(int32_t count);
