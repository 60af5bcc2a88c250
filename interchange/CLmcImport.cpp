#include "interchange/CLmcImport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "framework/CArchiveException.h"
#include "framework/CFileDialogService.h"
#include "framework/CInputFile.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"
#include "framework/CServices.h"
#include "interchange/CDosImport.h"
#include "interchange/NetlistText.h"
#include "interchange/PlyRecord.h"
#include "model/CLayerArray.h"
#include "model/CPadStack.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/CShapeLibArray.h"
#include "model/Geometry.h"
#include "model/LayerIds.h"
#include "model/PadShapes.h"
#include "model/PenTable.h"
#include "resources/CommandIds.h"

namespace {

constexpr uint16_t padWordBit = 0x200;

uint16_t WordAt(const std::string& bytes, size_t at)
{
    return uint16_t(uint8_t(bytes[at]) | (uint16_t(uint8_t(bytes[at + 1])) << 8));
}

std::string Millimetres(const char* prefix, int32_t units)
{
    return prefix + CNumberText::FormatFixed(units * MM_PER_UNIT, 3, 5);
}

void Tell(const std::string& text)
{
    CServices::Messages().FileMessageBox(text, "", MB_OK, MB_ICONEXCLAMATION);
}

} // namespace

CLmcImport::CLmcImport()
{
    m_config.SetDefaultLayerMap();
}

bool CLmcImport::ReadLmc(const std::string& configPath)
{
    // The footprints are not the open design's: their layers are the standard ones.
    CLayerArray layers;
    layers.CreateDefault();
    return m_config.ReadWithLayermap(configPath, true, ID_FILE_IMPORT_WEVRA_DOS_COMPONENTS, layers);
}

int32_t CLmcImport::MakePadName(CPadStackArray& stacks, uint16_t kind, uint16_t object) const
{
    PlyRecord record;
    record.kind = kind;
    record.object = object;
    const CDosConfig::PadRow& row = m_config.padRows[size_t(record.GetPadRow())];
    const int32_t left = std::abs(row[1]);
    const int32_t top = std::abs(row[2]);
    const int32_t right = std::abs(row[3]);
    const int32_t bottom = std::abs(row[4]);
    const int32_t drill =
        record.IsThroughHole() ? m_config.drills[size_t(record.GetDrillIndex())] : 0;
    const std::string sizes = Millimetres("_W", right + left) + Millimetres("_H", top + bottom) +
                              Millimetres("_X", right - left) + Millimetres("_Y", bottom - top);
    const std::string diameter = Millimetres("_D", 2 * right);
    const bool square = left == top && top == right && right == bottom;
    std::string name;
    int32_t shape = PAD_ROUND;
    if (row[0] >= 2) {
        name = (square ? "CIR" : "CIR_") + diameter;
    } else if (row[5] < 1) {
        name = (square ? "SQR" : "RCT") + sizes;
        shape = square ? PAD_SQUARE : PAD_RECTANGLE;
    } else {
        name = "OCT" + sizes;
        shape = square ? PAD_OCTAGON : PAD_OCTAGON_W;
    }
    if (drill > 0)
        name += "_DRL" + CNumberText::FormatFixed(drill * MM_PER_UNIT, 3, 3);
    CPadStack stack(name, shape, -left, -top, right, bottom, drill,
                    record.IsThroughHole() ? LAYER_COMMON : LAYER_TOP, PADSTACK_KIND_SHAPE_PAD);
    int32_t index = stacks.FindIdentical(stack);
    if (index < 0)
        index = stacks.Add(stack);
    return padWordBit + std::max(index, 0);
}

bool CLmcImport::ReadLmcFile(const std::string& path, CShapeLib& library, int32_t shape,
                             std::string& error)
{
    std::string bytes;
    try {
        bytes = CInputFile::ReadText(path, maxFileSize);
    } catch (const CArchiveException& refused) {
        std::error_code missing;
        error = "The file could not be opened:\n" + path;
        // A file that is there but refused says why.
        if (std::filesystem::exists(path, missing))
            error += "\n" + std::string(refused.what());
        return false;
    }
    if (bytes.size() % recordSize != 0) {
        error = "Unexpected file contents in " + path + "; the footprint has not been read.";
        return false;
    }
    CPoint previous;
    bool havePrevious = false;
    for (size_t at = 0; at < bytes.size(); at += recordSize) {
        PlyRecord record;
        record.object = WordAt(bytes, at);
        record.kind = WordAt(bytes, at + 2);
        record.x = int16_t(WordAt(bytes, at + 4));
        record.y = int16_t(WordAt(bytes, at + 6));
        const CPoint point(record.x * PlyRecord::dosUnit, record.y * PlyRecord::dosUnit);
        if (record.IsPad()) {
            const int32_t word = MakePadName(library.GetPadStacks(), record.kind, record.object);
            library.AddPadToShape(shape, point.x, point.y, uint16_t(word), record.GetPadAngle());
        } else {
            const int32_t dosLayer = record.GetLineLayer();
            const int32_t layer = m_config.layerMap[size_t(dosLayer)];
            int32_t pen = record.GetLinePen();
            if (dosLayer >= PlyRecord::firstWidthLayer)
                pen = pen >= 1 ? dosLayer : 0;
            // Lines of a DOS layer the map leaves out are no part of the footprint.
            if (layer > 0) {
                const uint16_t word = uint16_t(layer * 16 + pen);
                if (pen >= 1 && dosLayer < PlyRecord::firstWidthLayer && havePrevious) {
                    const CPoint bend = CDosImport::BendPoint45(previous, point);
                    if (bend != point)
                        library.AddOutlineToShape(shape, bend.x, bend.y, word);
                }
                library.AddOutlineToShape(shape, point.x, point.y, word);
            }
        }
        previous = point;
        havePrevious = true;
    }
    library.RecalcShapeExtent(shape);
    return true;
}

void CLmcImport::Run(CShapeLibArray& libraries, const std::string& configPath,
                     const std::string& folder)
{
    if (!ReadLmc(configPath))
        return;
    const std::vector<std::string> chosen = CServices::FileDialogs().ChooseOpenFiles(
        "Import Wevra DOS Components", folder, "Wevra PCB Symbolen (*.lmc *.LMC *.Lmc)");
    if (chosen.empty())
        return;
    // In the order of the names as the DOS program compares them: upper case.
    std::vector<std::string> list;
    for (const std::string& path : chosen)
        list.push_back(ToUpperAscii(path) + '\n' + path);
    CPathHelper::QuickSortStrings(list, 0, int32_t(list.size()) - 1);
    std::vector<std::string> paths;
    for (const std::string& entry : list)
        paths.push_back(entry.substr(entry.find('\n') + 1));

    const std::string name = ToUpperAscii(CPathHelper::GetLastFolderName(paths.front()));
    const int32_t existing = libraries.FindLib(name);
    if (existing >= 0 &&
        CServices::Messages().MessageBox("The library " + name + " exists. Replace it?", "",
                                         MB_YESNO_DEFAULTNO, MB_ICONQUESTION) != IDYES)
        return;

    auto library = std::make_unique<CShapeLib>(name);
    const std::vector<uint16_t> pens = m_config.PenTable();
    library->SetPens(pens);
    for (const std::string& path : paths) {
        const int32_t shape = library->AddShape(ToUpperAscii(CPathHelper::GetFileTitle(path)));
        std::string error;
        if (!ReadLmcFile(path, *library, shape, error)) {
            library->DeleteShape(shape);
            Tell(error);
        }
    }
    library->NormalizeAll();
    library->SortPens();
    if (existing >= 0)
        libraries.RemoveLib(existing);
    libraries.AddLib(std::move(library));
    if (!libraries.Save())
        Tell("The file could not be written:\n" + libraries.GetPath().string());
}
