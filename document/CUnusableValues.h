#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDesign;

// What a design file may hold but the program cannot work with: track points on a layer without
// copper, coordinates so far out that the distance between two points no longer fits
// the board's number range, nets beyond the numbers a pad can name. The file format allows them,
// so they are kept as they are; opening the design names them.
class CUnusableValues {
public:
    // Coordinates beyond this on either side: two points this far out are further apart than a
    // board unit count can say.
    static constexpr int64_t coordinateLimit = int64_t(1) << 30;
    // A message shows this many lines and counts the others.
    static constexpr size_t shownLines = 20;

    // One line per value, in the design's order: nets and their points, components, texts.
    static std::vector<std::string> Lines(const CDesign& design);
    // The warning with the first lines and the number of the others; empty without lines.
    static std::string Message(const std::vector<std::string>& lines);
};
