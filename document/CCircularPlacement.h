#pragma once

#include <cstdint>
#include <functional>

#include "model/CDialogService.h"

class CDesign;
class CDocumentHistory;
class CDocumentWindows;
class CEditSession;

// Components put at equal steps on a circle from the values of "Move component array circular".
class CCircularPlacement {
public:
    static constexpr int32_t defaultRadius = 128000;

    // Components, Move Array Circular: the dialog preset at the cursor; on OK an undo state,
    // the moves, the modified mark (`modified`) and a redraw. True when there were components
    // to move.
    static bool OnMoveArrayCircular(CDesign& design, const CEditSession& session,
                                    CDocumentHistory& history, CDocumentWindows& windows,
                                    const std::function<void()>& modified);

    static CDialogService::CircularPlacement Presets(const CEditSession& session);

    // The k-th of the n moved components goes to the centre plus (radius, 0) turned by
    // begin + k * (end - begin) / n degrees (unless it is locked against moving) and takes the
    // rotation first + k * per degrees (unless it is locked against rotation); both angles to
    // the nearest 1/1000 degree. Indexes that name no component are passed over. Returns n.
    static int32_t Place(CDesign& design, const CEditSession& session,
                         const CDialogService::CircularPlacement& values);
};
