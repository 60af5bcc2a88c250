// Feeds arbitrary bytes to the stroke font reader as the font file, then measures and draws
// texts of every character with the font it read.

#include <cstddef>
#include <cstdint>
#include <string>

#include "interchange/CStrokeCollector.h"
#include "model/CWevraFont.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceMessages();
    CWevraFont font;
    if (!font.Load(WriteInput("Wevrapf1.dat", data, size)))
        return 0;
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += char(c);
    CStrokeCollector strokes;
    for (const int32_t height : {0, 1, 48, 10078, 2000000000}) {
        font.GetTextRect(every, height);
        font.DrawText(strokes, every, CPoint(1000, -1000), height, 45000, true, CPoint(7, 9), 3);
    }
    return 0;
}
