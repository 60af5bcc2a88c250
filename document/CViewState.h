#pragma once

#include <cstdint>
#include <string>

#include "framework/CPoint.h"
#include "framework/CRect.h"

// How the document's windows show it beyond what the design file stores: the zoom rectangle
// and the scale before the last zoom, which side panes are open, the status line's info text
// and ruler, and the count towards the next automatic backup.
struct CViewState {
    CRect zoomRect;
    int32_t previousScale = 1;
    int32_t backupTicks = 0;
    bool leftPane = false;
    bool bottomPane = false;
    std::string infoText;
    CPoint rulerOrigin;
    bool rulerLocked = false;
    bool zoomWindowPending = false;
};
