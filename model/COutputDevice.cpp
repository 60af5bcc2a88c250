#include "model/COutputDevice.h"

std::string COutputDevice::Name(int32_t index)
{
    static constexpr const char* names[count] = {
        "DISPLAY",
        "GERBER RS-274X, Inch, 2.3, Single File, Leading Zero",
        "GERBER RS-274X, Inch, 2.4, Single File, Leading Zero",
        "GERBER RS-274X, Inch, 2.3, Leading Zero",
        "GERBER RS-274X, Inch, 2.4, Leading Zero",
        "BARCO DPF Inch, 2.4",
        "EXCELLON, Inch, 2.4, Leading Zero",
        "WINDOWS",
    };
    if (index < 0 || index >= count)
        return std::string();
    return names[index];
}
