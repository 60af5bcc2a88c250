#pragma once

#include <cstdint>
#include <string>

// The devices an output job writes to. Jobs store and compare a device by its name; the
// numbers only order the names.
class COutputDevice {
public:
    static constexpr int32_t display = 0;
    static constexpr int32_t gerberSingle23 = 1;
    static constexpr int32_t gerberSingle24 = 2;
    static constexpr int32_t gerber23 = 3;
    static constexpr int32_t gerber24 = 4;
    static constexpr int32_t barco24 = 5;
    static constexpr int32_t excellon = 6;
    static constexpr int32_t windows = 7;
    static constexpr int32_t count = 8;

    // The name of a device; empty for an unknown number.
    static std::string Name(int32_t index);
};
