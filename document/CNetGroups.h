#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The design's net groups "G0".."G255" and the spacing each asks for, in steps of 0.1 mm.
class CNetGroups {
public:
    static constexpr int32_t count = 256;

    // Every group back to its default name and spacing. The text (a design's template path) is
    // not interpreted.
    void Reset(const std::string& text);
    // Empty and 0 for a group outside the list, and before the first Reset.
    const std::string& GetName(int32_t group) const;
    int32_t GetSpacing(int32_t group) const;

private:
    std::vector<std::string> m_names;
    std::vector<int32_t> m_spacings;
};
