#pragma once

#include <cstdint>
#include <string>

// The netlist dialects the import knows, numbered as the import stores them. None stands for a
// net file that could not be opened.
enum NetlistFormat : int32_t {
    NETLIST_NONE = 0,
    NETLIST_CALAY = 1,
    NETLIST_MENTOR = 2,
    NETLIST_MULTISIM = 3,
    NETLIST_PROTEL = 4,
    NETLIST_TANGO = 5
};

inline constexpr int32_t netlistFormatCount = 6;

// The dialect's name in the import's messages; empty for none.
inline std::string NetlistFormatName(NetlistFormat format)
{
    switch (format) {
    case NETLIST_CALAY:
        return "Calay";
    case NETLIST_MENTOR:
        return "Mentor";
    case NETLIST_MULTISIM:
        return "MultiSim";
    case NETLIST_PROTEL:
        return "Protel 2.0";
    case NETLIST_TANGO:
        return "Tango";
    default:
        return {};
    }
}
