#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/CFontDesc.h"
#include "framework/CInputFile.h"
#include "framework/CPoint.h"
#include "framework/ColorRef.h"
#include "model/LayerIds.h"

// The settings of a design that its file's header holds, in the order they are stored: colours,
// board size, view position, paths, the selection filter, the switches, the user grid origin,
// the netlist time stamp, the display unit, the editing time and the pin-information font.
struct CDesignSettings {
    static constexpr uint32_t designFileVersion = 8035;
    static constexpr uint32_t oldestDesignFileVersion = 8032;
    // A design file, template or pasted design larger than this is refused unread: a board of
    // 32,000 components with their tracks takes a few tens of megabytes.
    static constexpr uintmax_t maxFileSize = 256 * CInputFile::megabyte;
    // The LOGFONT record of the pin-information font in the design file.
    static constexpr size_t pinInfoFontRecordSize = 60;

    static constexpr int32_t minScale = 10;
    static constexpr int32_t maxScale = 1000000;
    static constexpr int32_t defaultScale = 600;
    static constexpr int32_t defaultBoardWidth = 1000;
    static constexpr int32_t defaultBoardHeight = 800;

    // Selection filter words.
    static constexpr uint32_t defaultSelectionFilter = 0x10000204;
    static constexpr uint32_t shapeSelectionFilter = 0x30000201;
    // Selection filter bits: one exclusive choice in the low byte, switches above it.
    static constexpr uint32_t filterPoints = 0x01;
    static constexpr uint32_t filterSegments = 0x02;
    static constexpr uint32_t filterLines = 0x04;
    static constexpr uint32_t filterNets = 0x08;
    static constexpr uint32_t filterBlocks = 0x10;
    static constexpr uint32_t filterComponents = 0x100;
    static constexpr uint32_t filterPads = 0x200;
    static constexpr uint32_t filterTexts = 0x400;
    static constexpr uint32_t filterVias = 0x800;
    static constexpr uint32_t filterPlanes = 0x1000;
    static constexpr uint32_t filterNonElectrical = 0x10000000;
    static constexpr uint32_t filterElectrical = 0x20000000;

    // View flag bits.
    static constexpr uint32_t viewHolesAlwaysVisible = 0x1;
    static constexpr uint32_t viewAutoPanning = 0x2;
    static constexpr uint32_t viewReferenceNames = 0x4;

    // Raster modes of the board drawing.
    static constexpr uint32_t drawOpaque = 13;
    static constexpr uint32_t drawTransparent = 15;

    // Stored layer-colour tables.
    static constexpr int32_t screenColors = 0;
    static constexpr int32_t highlightColors = 1;
    static constexpr int32_t printColors = 2;

    std::array<std::array<COLORREF, LAYER_COUNT>, 3> colors{};
    int32_t boardWidth = defaultBoardWidth;
    int32_t boardHeight = defaultBoardHeight;
    CPoint offset;
    int32_t scale = defaultScale;
    std::string netlistPath;
    std::string templatePath;
    uint32_t selectionFilter = defaultSelectionFilter;
    uint8_t drcActive = 0;
    uint8_t mode45 = 0;
    uint8_t tracksOfComponents = 1;
    uint8_t ratsnestActive = 0;
    uint32_t viewFlags = 0;
    uint32_t drawingMode = drawOpaque;
    uint32_t subnetMark = 1;
    CPoint userOffset;
    int64_t netlistTime = 0;
    uint32_t reserved = 0;
    uint32_t unit = 1;
    uint32_t designTime = 0;
    CFontDesc pinInfoFont;
    // The stored record of that font, kept byte for byte.
    std::array<uint8_t, pinInfoFontRecordSize> pinInfoFontRecord{};
    uint32_t pinInfoMode = 1;

    bool operator==(const CDesignSettings&) const = default;
};
