#pragma once

#include <cstddef>
#include <cstdint>

#include "model/CRecordArray.h"

class CArchive;

// One component pad as a pin of its net. Pins are rebuilt from the components, never stored
// with the net; the record keeps its 32-byte layout for the code that copies it.
struct NetPinRec {
    static constexpr size_t recordSize = 32;
    // The cluster field holds the cluster number in bits 0..14; bit 15 is a separate mark.
    static constexpr uint16_t clusterMask = 0x7FFF;

    int32_t x = 0; // pad centre
    int32_t y = 0;
    // Index in the component list: a board may hold more components than 16 bits count.
    int32_t component = 0;
    uint16_t pad = 0; // index of the pad within the component's shape
    uint16_t padStack = 0;
    int32_t angle = 0; // 1/1000 degree
    // Non-zero when the component is mirrored: the pad sits on the other board side.
    uint8_t side = 0;
    uint8_t reserved2[3] = {};
    // Bit L-1 for each layer L with a pad, seen from the pin's side.
    uint32_t layerMask = 0;
    uint16_t cluster = 0;
    uint16_t reserved3 = 0;

    int32_t GetCluster() const { return cluster & clusterMask; }
    void SetCluster(int32_t c)
    {
        cluster = uint16_t((cluster & ~clusterMask) | (uint32_t(c) & clusterMask));
    }

    void Write(CArchive& ar) const;
    void Read(CArchive& ar);

    bool operator==(const NetPinRec&) const = default;
};
static_assert(sizeof(NetPinRec) == NetPinRec::recordSize);

using CNetPinArray = CRecordArray<NetPinRec>;
