#include "model/COutputDevice.h"

#include <gtest/gtest.h>

namespace {

TEST(COutputDeviceTest, DeviceNames)
{
    EXPECT_EQ(COutputDevice::Name(0), "DISPLAY");
    EXPECT_EQ(COutputDevice::Name(2), "GERBER RS-274X, Inch, 2.4, Single File, Leading Zero");
    EXPECT_EQ(COutputDevice::Name(6), "EXCELLON, Inch, 2.4, Leading Zero");
    EXPECT_EQ(COutputDevice::Name(7), "WINDOWS");
    EXPECT_EQ(COutputDevice::Name(8), "");
    EXPECT_EQ(COutputDevice::Name(-1), "");
}

} // namespace
