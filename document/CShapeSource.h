#pragma once

#include <cstdint>
#include <memory>

class CShapeLib;

// Where a shape document's shape comes from: its own copy of the library it was made from and
// the index of the shape it edits, which it is written back into on close. A design document
// has no library.
struct CShapeSource {
    // The shape document's own menu.
    static constexpr uint32_t menuResource = 208;

    std::unique_ptr<CShapeLib> library;
    int32_t shapeIndex = -1;
};
