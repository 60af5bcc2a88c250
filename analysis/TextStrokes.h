#pragma once

#include <functional>

#include "framework/CPoint.h"

class CWevraFont;
class CWevraText;

// Calls `stroke` with each drawn stroke of the text as the board shows it: the font's strokes
// scaled by the text height, side by side, mirrored, turned and moved to the text position.
// Nothing for a font that is not loaded.
void ForEachTextStroke(const CWevraText& text, const CWevraFont& font,
                       const std::function<void(CPoint from, CPoint to)>& stroke);
