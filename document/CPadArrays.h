#pragma once

#include <cstdint>
#include <functional>

#include "model/CDialogService.h"

class CDesign;
class CDocumentHistory;
class CDocumentWindows;
class CEditSession;

// Free pads placed in a rectangular or circular array from the values of their dialogs: each
// pad is the default padstack of the current pad kind, appended to the current net.
class CPadArrays {
public:
    // Pads per row, per column and on a circle.
    static constexpr int32_t maxCount = 1000;

    // Pads, Array Rectangular / Array Circular: the dialog preset at the cursor; on OK an undo
    // state, the pads, the modified mark (`modified`) and a redraw. True when pads were placed.
    static bool OnRectangular(CDesign& design, CEditSession& session, CDocumentHistory& history,
                              CDocumentWindows& windows, const std::function<void()>& modified);
    static bool OnCircular(CDesign& design, CEditSession& session, CDocumentHistory& history,
                           CDocumentWindows& windows, const std::function<void()>& modified);

    // The presets of the dialogs.
    static CDialogService::RectPadArray RectangularPresets(const CEditSession& session);
    static CDialogService::CircPadArray CircularPresets(const CEditSession& session);

    // The pads of the values, row after row: for each row and column the offset (column times
    // the X distance, row times the Y distance) turned about the start by the array rotation.
    // Nothing for a count outside 1..maxCount, which the user is told with the range named.
    // Returns the number of pads placed.
    static int32_t PlaceRectangular(CDesign& design, const CEditSession& session,
                                    const CDialogService::RectPadArray& values);
    // count + 1 pads from the first angle to the last, pad i at first + i * (last - first) /
    // count on the circle (angle 0 up the y axis, growing toward x), turned by the first
    // rotation (plus the angle step per pad when incrementing); count pads when the angles
    // span whole turns, the last angle being the first's place. Nothing unless the last angle
    // is greater than the first and the count lies in 1..maxCount; the user is told which.
    static int32_t PlaceCircular(CDesign& design, const CEditSession& session,
                                 const CDialogService::CircPadArray& values);
};
