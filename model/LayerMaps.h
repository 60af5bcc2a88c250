#pragma once

#include <cstdint>
#include <string>

// Small lookups by layer number. They answer for any int: numbers outside the table get the
// answer of a layer with no special role.

// The layer on the other board side (top and bottom of copper, mask, paste, silkscreen and
// assembly swap); every other layer is its own opposite.
int32_t OppositeLayer(int32_t layer);

// Layer 0 has every bit, layer L in 1..31 the bit 1 << (L - 1), any other number none.
uint32_t LayerBit(int32_t layer);

// Copper layers are the signal layers 1..16 and the drill program layer 26.
bool IsCopperLayer(int32_t layer);

// The name and code a new layer table gives a layer; outside 0..30 "31 Drawing 5" and "DWG".
std::string DefaultLayerName(int32_t layer);
std::string DefaultLayerCode(int32_t layer);
