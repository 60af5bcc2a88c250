#pragma once

#include <cstdint>
#include <string>

// A font by description, for the texts a device context writes. The height follows the
// convention of the stored font records: negative is the character height in pixels (the
// em size), positive the cell height (character height plus internal leading), 0 a default.
struct CFontDesc {
    static constexpr int32_t normalWeight = 400;
    static constexpr int32_t boldWeight = 700;

    std::string face; // Windows-1252; empty for the desktop's default face
    int32_t height = 0;
    int32_t weight = normalWeight; // 100..900; 0 counts as normal
    bool italic = false;

    bool operator==(const CFontDesc&) const = default;
};
