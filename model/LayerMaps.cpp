#include "model/LayerMaps.h"

#include <array>

#include "model/LayerIds.h"

namespace {

struct LayerDefault {
    const char* code;
    const char* name;
};

// One-digit numbers carry a leading blank so that the names line up in lists.
constexpr std::array<LayerDefault, LAYER_COUNT> s_defaults = {{
    {"COM", " 0 Common Layer"},        {"TOP", " 1 Signal Top"},
    {"BOT", " 2 Signal Bottom"},       {"GND", " 3 Signal Ground"},
    {"PWR", " 4 Signal Power"},        {"IN1", " 5 Signal Inner 1"},
    {"IN2", " 6 Signal Inner 2"},      {"IN3", " 7 Signal Inner 3"},
    {"IN4", " 8 Signal Inner 4"},      {"IN5", " 9 Signal Inner 5"},
    {"IN6", "10 Signal Inner 6"},      {"IN7", "11 Signal Inner 7"},
    {"IN8", "12 Signal Inner 8"},      {"IN9", "13 Signal Inner 9"},
    {"I10", "14 Signal Inner 10"},     {"I11", "15 Signal Inner 11"},
    {"I12", "16 Signal Inner 12"},     {"SMT", "17 Soldermask Top"},
    {"SMB", "18 Soldermask Bottom"},   {"SPT", "19 Solder Paste Top"},
    {"SPB", "20 Solder Paste Bottom"}, {"SST", "21 Silkscreen Top"},
    {"SSB", "22 Silkscreen Bottom"},   {"AST", "23 Assembly Top"},
    {"ASB", "24 Assembly Bottom"},     {"DRD", "25 Drill Drawing"},
    {"DRL", "26 Drill Programm"},      {"DW1", "27 Drawing 1"},
    {"DW2", "28 Drawing 2"},           {"DW3", "29 Drawing 3"},
    {"DW4", "30 Drawing 4"},
}};

bool InTable(int32_t layer)
{
    return layer >= 0 && layer < LAYER_COUNT;
}

} // namespace

int32_t OppositeLayer(int32_t layer)
{
    switch (layer) {
    case LAYER_TOP:
        return LAYER_BOTTOM;
    case LAYER_BOTTOM:
        return LAYER_TOP;
    case LAYER_MASK_TOP:
        return LAYER_MASK_BOTTOM;
    case LAYER_MASK_BOTTOM:
        return LAYER_MASK_TOP;
    case LAYER_PASTE_TOP:
        return LAYER_PASTE_BOTTOM;
    case LAYER_PASTE_BOTTOM:
        return LAYER_PASTE_TOP;
    case LAYER_SILK_TOP:
        return LAYER_SILK_BOTTOM;
    case LAYER_SILK_BOTTOM:
        return LAYER_SILK_TOP;
    case LAYER_ASSEMBLY_TOP:
        return LAYER_ASSEMBLY_BOTTOM;
    case LAYER_ASSEMBLY_BOTTOM:
        return LAYER_ASSEMBLY_TOP;
    default:
        return layer;
    }
}

uint32_t LayerBit(int32_t layer)
{
    if (layer == LAYER_COMMON)
        return LAYER_MASK_ALL;
    if (layer < 1 || layer > 31)
        return 0;
    return uint32_t(1) << (layer - 1);
}

bool IsCopperLayer(int32_t layer)
{
    return (layer >= LAYER_TOP && layer <= LAYER_INNER_12) || layer == LAYER_DRILL;
}

std::string DefaultLayerName(int32_t layer)
{
    return InTable(layer) ? s_defaults[static_cast<size_t>(layer)].name : "31 Drawing 5";
}

std::string DefaultLayerCode(int32_t layer)
{
    return InTable(layer) ? s_defaults[static_cast<size_t>(layer)].code : "DWG";
}
