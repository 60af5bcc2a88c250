#include "analysis/TextStrokes.h"

#include <algorithm>
#include <cstdint>

#include "framework/Numeric.h"
#include "model/CWevraFont.h"
#include "model/CWevraText.h"
#include "model/Geometry.h"
#include "model/StrokeRec.h"

void ForEachTextStroke(const CWevraText& text, const CWevraFont& font,
                       const std::function<void(CPoint from, CPoint to)>& stroke)
{
    if (!font.IsLoaded())
        return;
    // A long text of huge characters must not run its advance out of range.
    constexpr int64_t cursorLimit = int64_t(1) << 40;
    const CPoint position = text.GetPosition();
    const int64_t scale = text.GetHeight() / font.GetCellHeight();
    int64_t cursor = 0;
    bool hasPrevious = false;
    CPoint previous;
    for (char ch : font.GlyphCodes(text.GetText())) {
        const auto code = uint8_t(ch);
        const int32_t first = font.GetFirstRecord(code);
        const int32_t end = font.GetEndRecord(code);
        for (int32_t r = first; r < end; ++r) {
            const StrokeRec record = font.GetRecord(r);
            int64_t px = record.x * scale + cursor;
            if (text.IsMirrored())
                px = -px;
            const CPoint turned =
                RotatePoint(SaturateToInt(px), SaturateToInt(record.y * scale), text.GetAngle());
            const CPoint point(SaturateToInt(int64_t(position.x) + turned.x),
                               SaturateToInt(int64_t(position.y) + turned.y));
            if (record.IsPenDown() && hasPrevious)
                stroke(previous, point);
            previous = point;
            hasPrevious = true;
        }
        const int32_t advance = first >= end ? first : end;
        cursor = std::clamp(cursor + font.GetRecord(advance).x * scale, -cursorLimit, cursorLimit);
    }
}
