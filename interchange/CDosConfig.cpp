#include "interchange/CDosConfig.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

#include "framework/CArchiveException.h"
#include "framework/CInputFile.h"
#include "framework/CMessageService.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "interchange/CNetlistLines.h"
#include "interchange/NetlistText.h"
#include "model/CDialogService.h"
#include "model/CLayerArray.h"
#include "model/CLengthText.h"
#include "model/LayerIds.h"
#include "model/PenTable.h"

namespace {

// Line numbers (from 1) of the tables.
constexpr int32_t firstDrillLine = 20;
constexpr int32_t firstPadLine = 37;
constexpr int32_t firstPenLine = 166;
constexpr int32_t clearanceLine = 185;
constexpr size_t padColumnWidth = 8;

// The leading integer of the text as the DOS program wrote it (blanks skipped, an optional
// sign, digits up to the first other character; 0 without digits), in board units. False when
// that length lies beyond the board's range.
bool ReadLength(std::string_view text, int32_t& length)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value * PlyRecord::dosUnit > std::numeric_limits<int32_t>::max())
            return false;
    }
    length = int32_t((negative ? -value : value) * PlyRecord::dosUnit);
    return true;
}

} // namespace

CDosConfig::CDosConfig()
{
    layerWidths.fill(defaultLayerWidth);
    for (int32_t d = 0; d < layerMapSize; ++d)
        layerMap[size_t(d)] = d;
}

void CDosConfig::SetDefaultLayerMap()
{
    layerMap.fill(0);
    for (int32_t d = 1; d <= 7; ++d)
        layerMap[size_t(d)] = d;
    const int32_t upper[] = {LAYER_SILK_TOP,      LAYER_SILK_TOP,  LAYER_SILK_BOTTOM,
                             LAYER_SILK_BOTTOM,   LAYER_DRAWING_1, LAYER_DRAWING_1 + 1,
                             LAYER_DRAWING_1 + 2, LAYER_DRAWING_4};
    for (int32_t d = 8; d <= 15; ++d)
        layerMap[size_t(d)] = upper[d - 8];
}

std::vector<uint16_t> CDosConfig::PenTable() const
{
    std::vector<uint16_t> table(penTableLimit, 0);
    for (int32_t p = 1; p < PlyRecord::penCount; ++p)
        table[size_t(p)] = uint16_t(std::clamp(pens[size_t(p)], 0, penWidthLimit));
    for (size_t d = 0; d < layerWidths.size(); ++d)
        table[PlyRecord::firstWidthLayer + d] =
            uint16_t(std::clamp(layerWidths[d], 0, penWidthLimit));
    return table;
}

bool CDosConfig::Read(const std::string& text, std::string& error)
{
    std::vector<std::string> lines;
    CNetlistLines reader(text);
    std::string line;
    while (reader.Next(line))
        lines.push_back(line);
    linesRead = int32_t(lines.size());
    cutShort = reader.EndsInsideALine() || linesRead < firstPenLine - 1;
    const auto lineAt = [&lines](int32_t number) -> std::string_view {
        return number <= int32_t(lines.size()) ? std::string_view(lines[size_t(number - 1)])
                                               : std::string_view();
    };

    drills.fill(0);
    padRows.fill(PadRow{});
    pens.fill(0);
    clearance = 0;
    // The file is text: control bytes mean a damaged file or one of another kind, whose
    // values would all read as zeros without a word.
    for (size_t n = 0; n < lines.size(); ++n) {
        if (HasControlBytes(lines[n])) {
            error = "Unexpected contents in line " + std::to_string(n + 1);
            return false;
        }
    }
    const auto fail = [&](int32_t number) {
        drills.fill(0);
        padRows.fill(PadRow{});
        pens.fill(0);
        clearance = 0;
        error = "Unreadable value in line " + std::to_string(number);
        return false;
    };

    for (int32_t k = 0; k < PlyRecord::drillCount; ++k)
        drills[size_t(k)] =
            CLengthText::ParseLength(CLengthText::unitMillimetre, lineAt(firstDrillLine + k));
    for (int32_t r = 0; r < PlyRecord::padRowCount; ++r) {
        const int32_t number = firstPadLine + r;
        const std::string_view row = lineAt(number);
        for (size_t f = 0; f < padColumnWidth; ++f) {
            const size_t start = f * padColumnWidth;
            const std::string_view column =
                start < row.size() ? row.substr(start, padColumnWidth) : std::string_view();
            int32_t value = 0;
            if (!ReadLength(column, value))
                return fail(number);
            // The kind is a plain number; every other value a length.
            padRows[size_t(r)][f] = f == 0 ? value / PlyRecord::dosUnit : value;
        }
    }
    for (int32_t p = 1; p < PlyRecord::penCount; ++p) {
        if (!ReadLength(lineAt(firstPenLine + p - 1), pens[size_t(p)]))
            return fail(firstPenLine + p - 1);
    }
    if (!ReadLength(lineAt(clearanceLine), clearance))
        return fail(clearanceLine);
    return true;
}

std::string CDosConfig::PathBeside(const std::string& path)
{
    const std::filesystem::path file(path);
    return CPathHelper::FindIgnoringCase(file.parent_path(),
                                         CPathHelper::GetFileTitle(path) + ".CNF")
        .string();
}

bool CDosConfig::ReadBeside(const std::string& path, std::string& error)
{
    const std::string cnf = PathBeside(path);
    std::error_code missing;
    if (!std::filesystem::exists(cnf, missing)) {
        error = cnf + " not found";
        return false;
    }
    std::string text;
    try {
        text = CInputFile::ReadText(cnf, maxFileSize);
    } catch (const CArchiveException& refused) {
        error = refused.what();
        return false;
    }
    if (!Read(text, error)) {
        error = cnf + ": " + error;
        return false;
    }
    return true;
}

bool CDosConfig::ReadWithLayermap(const std::string& path, bool browse, uint32_t helpId,
                                  const CLayerArray& layers)
{
    const std::string cnf = PathBeside(path);
    std::string error;
    if (!ReadBeside(path, error)) {
        CServices::Messages().FileMessageBox(error, "", MB_OK, MB_ICONEXCLAMATION);
        std::error_code failed;
        if (std::filesystem::exists(cnf, failed))
            return false;
    } else if (cutShort) {
        // A configuration cut short still opens, but its missing sizes must not pass unseen.
        CServices::Messages().FileMessageBox(
            cnf + ": the file ends early, in line " + std::to_string(linesRead) +
                "; the drills, pad sizes and pens it does not reach are taken as 0.",
            "", MB_OK, MB_ICONEXCLAMATION);
    }
    std::vector<std::string> names(static_cast<size_t>(LAYER_COUNT));
    for (int32_t layer = 0; layer < LAYER_COUNT; ++layer)
        names[size_t(layer)] = layers.GetLayerName(layer);
    return CDialogService::Get().ImportLayermap(cnf, browse, helpId, names, *this) ==
           CDialogService::resultOk;
}
