#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDesign;
class CShapeLib;

// The choice of the shape library a table shows: the design's own ("Cache") or one of the
// shape libraries the main window has loaded, through the list picker.
class CLibraryChoice {
public:
    // "Cache", then the names of the loaded libraries in order.
    static std::vector<std::string> Entries();
    // The library picked, or nullptr when the user cancelled.
    static const CShapeLib* Pick(const CDesign& design, uint32_t helpCommandId);
};
