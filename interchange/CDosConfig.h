#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "interchange/PlyRecord.h"

class CLayerArray;

// The tables of a DOS design's configuration file (".CNF") in board units: drills, pad-size
// rows (kind, |left|, |top|, |right|, |bottom|, corner and two spare values), pens 1..7, the
// clearance; and the assignment of DOS layers to board layers with the line widths of DOS
// layers 8..15, which the DOS files do not hold.
class CDosConfig {
public:
    using PadRow = std::array<int32_t, 8>;
    static constexpr int32_t defaultClearance = 2519;
    static constexpr int32_t defaultLayerWidth = 2015;
    static constexpr int32_t layerMapSize = 31;
    // A ".CNF" is a few dozen short lines.
    static constexpr uintmax_t maxFileSize = 1024 * 1024;

    CDosConfig();

    // Reads the text of a ".CNF" file. Lines are read whole; a file that ends early leaves the
    // tables it does not reach at 0. False, with the line named in `error`, for a value whose
    // length in board units lies beyond the board's range; the tables are then all 0.
    bool Read(const std::string& text, std::string& error);
    // Reads the ".CNF" beside a DOS file (same folder and title, extension in any case). False
    // with "<path> not found" or the reading error.
    bool ReadBeside(const std::string& path, std::string& error);
    // Reads the ".CNF" beside a DOS file and offers it in the "Import Layermap" dialog, where
    // the user assigns the DOS layers to the layers of `layers` (and may read another file when
    // `browse`). False, and the tables left empty, when the file is damaged (named) or the user
    // cancels. A missing file is named, and the dialog still offers to go on with empty tables.
    bool ReadWithLayermap(const std::string& path, bool browse, uint32_t helpId,
                          const CLayerArray& layers);
    // The ".CNF" beside a DOS file, found without regard to case.
    static std::string PathBeside(const std::string& path);

    // The board layer of DOS layers 1..7 is their own number; 8 and 9 the top silkscreen, 10
    // and 11 the bottom one, 12..15 the drawing layers.
    void SetDefaultLayerMap();
    // The 16 line widths DOS lines name: 0, pens 1..7, the widths of DOS layers 8..15 (each
    // held within a pen table's range).
    std::vector<uint16_t> PenTable() const;

    // Whether the last Read found a file cut short: it stopped inside a line or before the end
    // of the pad-size table. Pens and clearance may be missing from files of older programs.
    bool cutShort = false;
    int32_t linesRead = 0;
    std::array<int32_t, PlyRecord::drillCount> drills{};
    std::array<PadRow, PlyRecord::padRowCount> padRows{};
    // Entry 0 stays 0.
    std::array<int32_t, PlyRecord::penCount> pens{};
    int32_t clearance = defaultClearance;
    // Index: DOS layer; value: board layer, 0 for none.
    std::array<int32_t, layerMapSize> layerMap{};
    // Line widths of DOS layers 8..15.
    std::array<int32_t, 8> layerWidths{};
};
