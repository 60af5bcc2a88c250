#pragma once

#include <cstdint>

#include "model/CDialogService.h"

class CWevraDoc;

// Components put at equal steps on a circle from the values of "Move component array circular".
class CCircularPlacement {
public:
    static constexpr int32_t defaultRadius = 128000;

    // Components, Move Array Circular: the dialog preset at the cursor; on OK an undo state,
    // the moves, the modified mark and a redraw. True when there were components to move.
    static bool OnMoveArrayCircular(CWevraDoc& document);

    static CDialogService::CircularPlacement Presets(const CWevraDoc& document);

    // The k-th of the n moved components goes to the centre plus (radius, 0) turned by
    // begin + k * (end - begin) / n degrees (unless it is locked against moving) and takes the
    // rotation first + k * per degrees (unless it is locked against rotation); both angles to
    // the nearest 1/1000 degree. Indexes that name no component are passed over. Returns n.
    static int32_t Place(CWevraDoc& document, const CDialogService::CircularPlacement& values);
};
