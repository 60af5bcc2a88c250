#pragma once

#include <vector>

#include "model/NetPinRec.h"
#include "model/RatsLine.h"

// The ratsnest of a net's pins: starting from the cluster of pin 0, the shortest line from a
// reached pin to a pin of another cluster joins that whole cluster, until none is left. Among
// lines of equal length the one from the lowest reached pin to the lowest other pin wins. Lines
// of 2147483647 units or more are never drawn. Clusters come from the pins' cluster numbers.
//
// Runs in time proportional to the square of the pin count: each pin keeps its nearest reached
// pin, updated as clusters join, instead of comparing every pair again for every line.
std::vector<RatsLine> SpanPinClusters(const CNetPinArray& pins);
