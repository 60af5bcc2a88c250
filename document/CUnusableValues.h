#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDesign;
class CShapeLib;
class CShapeLibArray;

// What a design file, a template or a shape library may hold but no board would use: every field
// of CDesignFields beyond its range, track points on a layer without copper, nets beyond the
// numbers a pad can name, pad rectangles inverted, and job scales no device can plot at. The
// file format allows them, so they are kept as they are; opening the file names them.
class CUnusableValues {
public:
    // The job scales a device can plot at.
    static constexpr double minScale = 0.1;
    static constexpr double maxScale = 1000.0;
    // A message shows this many lines and counts the others.
    static constexpr size_t shownLines = 20;

    // What holds the values, for the message's first line.
    enum class Holder { design, library };

    // One line per value, in the design's order: nets and their points, components, texts,
    // drawn lines, planes, the padstacks and shapes it holds, then its settings.
    static std::vector<std::string> Lines(const CDesign& design);
    // The same for every library of a shape library file: padstacks, then shapes.
    static std::vector<std::string> Lines(const CShapeLibArray& libraries);
    // The warning with the first lines and the number of the others; empty without lines.
    static std::string Message(const std::vector<std::string>& lines,
                               Holder holder = Holder::design);

private:
    // `prefix` names the library in the lines of a shape library file.
    static void AddShapeLibLines(const CShapeLib& library, const std::string& prefix,
                                 std::vector<std::string>& lines);
};
