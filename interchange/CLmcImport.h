#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interchange/CDosConfig.h"
#include "model/CShapeLibImporter.h"

class CPadStackArray;
class CShapeLib;

// Reader of the DOS version's component libraries (".LMC": 8-byte records, one footprint per
// file). Run takes the pad sizes, drills and pens from the DOS configuration file and the
// layer map and line widths the user sets in the layer-map dialog (where another configuration
// file may be chosen), asks for the library files (several at once) and reads them, in the order of
// their names, into one new library named after their folder; an existing library of that name is
// replaced only when the user agrees. The library's shapes are normalised, its pens sorted and the
// library set saved. A file that cannot be read or is damaged is named and left out.
class CLmcImport : public CShapeLibImporter {
public:
    static constexpr size_t recordSize = 8;
    // Larger files are refused: the DOS program never wrote them.
    static constexpr size_t maxRecords = 100000;
    static constexpr size_t maxFileSize = maxRecords * recordSize;

    CLmcImport();

    void Run(CShapeLibArray& libraries, const std::string& configPath,
             const std::string& folder) override;

    // The tables of the DOS configuration file and the layer map, through the layer-map
    // dialog; a missing file is named and leaves the tables empty. False for a damaged file
    // (named) and when the user cancels.
    bool ReadLmc(const std::string& configPath);
    // Reads one ".LMC" file into shape `shape` of the library. False, with the reason in
    // `error`, for a file that cannot be read or whose length is no whole number of records.
    bool ReadLmcFile(const std::string& path, CShapeLib& library, int32_t shape,
                     std::string& error);
    // 0x200 + the index in the table of the padstack of a pad record, added under a name of its
    // sizes ("CIR_D1.600_DRL0.800") when the table has none of the same shapes.
    int32_t MakePadName(CPadStackArray& stacks, uint16_t kind, uint16_t object) const;

    CDosConfig& GetConfig() { return m_config; }

private:
    CDosConfig m_config;
};
