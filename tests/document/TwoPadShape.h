#pragma once

#include <cstdint>

#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"

// Adds the shape "TWO" to the library: two top-layer square shape pads (+-1000) at (-2000, 0)
// and (2000, 0). Returns the shape's index.
inline int32_t AddTwoPadShape(CShapeLib& library)
{
    const int32_t pad = library.GetPadStacks().Add(CPadStack(
        "P", PAD_SQUARE, -1000, -1000, 1000, 1000, 0, LAYER_TOP, PADSTACK_KIND_SHAPE_PAD));
    const int32_t shape = library.AddShape("TWO");
    library.AddPadToShape(shape, -2000, 0, uint16_t(pad), 0);
    library.AddPadToShape(shape, 2000, 0, uint16_t(pad), 0);
    library.RecalcShapeExtent(shape);
    return shape;
}
