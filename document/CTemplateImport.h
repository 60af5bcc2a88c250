#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CWevraDoc;

// Takes chosen parts of a template design into a design: the definitions (layers, colours,
// display sets, output jobs) replace the design's own, the data (padstacks, pens, shapes, board
// outline, free pads, drawn lines) is added to it. The template is read whole into a design of
// its own first; one that cannot be read completely changes nothing.
class CTemplateImport {
public:
    // The parts, one bit each.
    static constexpr uint32_t boardOutline = 1u << 0;
    static constexpr uint32_t lines = 1u << 1;
    static constexpr uint32_t genericPads = 1u << 2;
    static constexpr uint32_t planes = 1u << 3;
    static constexpr uint32_t texts = 1u << 4;
    static constexpr uint32_t tracks = 1u << 5;
    static constexpr uint32_t components = 1u << 6;
    static constexpr uint32_t layers = 1u << 7;
    static constexpr uint32_t colors = 1u << 8;
    static constexpr uint32_t displays = 1u << 9;
    static constexpr uint32_t outputs = 1u << 10;
    static constexpr uint32_t pads = 1u << 11;
    static constexpr uint32_t pens = 1u << 12;
    static constexpr uint32_t shapes = 1u << 13;
    static constexpr uint32_t dataParts =
        boardOutline | lines | genericPads | planes | texts | tracks | components;
    static constexpr uint32_t definitionParts =
        layers | colors | displays | outputs | pads | pens | shapes;

    // One template design offered: its name as listed (upper case, no extension) and its file.
    struct Template {
        std::string name;
        std::string path;
    };
    // The ".PCB" files of the folder of the configured default template, by name.
    static std::vector<Template> ListTemplates(const std::string& defaultTemplatePath);

    enum class Result { nothingChosen, unreadable, imported };
    // Reads the template and takes the parts over into the design, after an undo state, and
    // marks the design modified. An unreadable template (with the reader's message) or no
    // part chosen leaves the design as it was.
    static Result Import(CWevraDoc& document, const std::string& templatePath, uint32_t parts);

    // The single steps, on a template already read.
    static void AddPens(CWevraDoc& document, const CWevraDoc& source);
    static void AddShapes(CWevraDoc& document, const CWevraDoc& source);
    static void AddGenericPads(CWevraDoc& document, const CWevraDoc& source);
    // Every polyline of the template the design does not hold yet, with the design's pens of
    // the same widths.
    static void AddLines(CWevraDoc& document, const CWevraDoc& source);
};
