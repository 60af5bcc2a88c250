#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CShapeLib;
class CWevraDoc;

// The choice of the shape library a table shows: the design's own ("Cache") or one of the
// loaded shape libraries, through the list picker.
class CLibraryChoice {
public:
    // "Cache", then the names of the loaded libraries in order.
    static std::vector<std::string> Entries(const CWevraDoc& document);
    // The library picked, or nullptr when the user cancelled.
    static const CShapeLib* Pick(const CWevraDoc& document, uint32_t helpCommandId);
};
