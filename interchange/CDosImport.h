#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/CPoint.h"
#include "interchange/CDosConfig.h"
#include "interchange/PlyRecord.h"

class CDosDocument;
class CShape;
class CShapeLib;

// Reads a DOS design set into a fresh design: the ".PLY" records with the ".CNF" (pad sizes,
// drills, pens, clearance; the user assigns its DOS layers to board layers in the layer-map
// dialog, whose Cancel ends the import before the design changes) and the ".CMP" (references,
// types, shape names) beside it. The board
// takes its size from the corner marks, the components their pads, shapes, positions, sides and
// rotations from their records, and the rest of the records become tracks, vias, drawn lines
// and planes. A damaged set (corner marks out of shape, component records that are not
// together, a value beyond its range) is refused with a message before the design changes.
class CDosImport {
public:
    // More records are refused: the DOS program never wrote them.
    static constexpr int32_t maxRecords = 300000;
    static constexpr uintmax_t maxPlySize = uintmax_t(maxRecords) * PlyRecord::recordSize;

    explicit CDosImport(CDosDocument& document);
    virtual ~CDosImport() = default;

    // True when the design was read; false after a message (a missing or damaged file).
    virtual bool Import(const std::string& path);

    // The board and outline, for tests: what the corner marks gave (board units).
    int32_t GetBoardWidth() const { return m_boardWidth; }
    int32_t GetBoardHeight() const { return m_boardHeight; }

    // One line of the ".CMP": type, reference and shape name as the DOS program reads them.
    struct CmpEntry {
        std::string type;
        std::string reference;
        std::string shape;
        bool blank = true;
    };
    static CmpEntry ParseCmpLine(const std::string& line);

    // The point of the corner a 45-degree-first run takes from `from` to `to`: `to` itself for
    // straight and diagonal runs.
    static CPoint BendPoint45(CPoint from, CPoint to);

protected:
    // Reading steps; each false after telling the user (or after the user cancelled).
    bool ReadCnf(const std::string& path);
    bool ReadCmp(const std::string& path);
    bool ReadPly(const std::string& path);

private:
    struct Range {
        int32_t first = -1;
        int32_t last = -1;
    };
    // Every check of the records before anything changes: the corner marks and the ranges of
    // the components' records. False with the reason in `error`.
    bool CheckRecords(std::string& error);
    bool SetBoardFromMarks(std::string& error);
    bool FindComponentRanges(std::string& error);

    void ImportShapes();
    int32_t MatchLibraryShape(int32_t line, int32_t component, int32_t found);
    int32_t BuildShapeFromRecords(int32_t line, int32_t component, const std::string& name);
    void PlaceComponents();
    CPoint GetComponentPosition(int32_t line) const;
    void FixRotations();
    void FixRotation(int32_t line, int32_t component);
    void ImportTracks();
    void AddPlane(int32_t first, int32_t last);
    void AssignPadNets();
    void SetPens();

    bool IsComponentMirrored(int32_t line) const;
    // 0x200 + the padstack index in the design's shape cache of the record's pad.
    int32_t PadstackForRecord(const PlyRecord& record, bool mirroredSmd);
    CPoint BoardPoint(const PlyRecord& record) const;
    // The document's message box, exclamation icon.
    void Tell(const std::string& text, const std::string& caption = std::string());

    CDosDocument& m_document;
    CDosConfig m_config;
    std::vector<PlyRecord> m_records;
    std::vector<CmpEntry> m_cmp;
    int64_t m_cmpTime = 0;
    std::string m_plyPath;
    // By ".CMP" line: the records of its component, and the component made for it (-1 none).
    std::vector<Range> m_ranges;
    std::vector<int32_t> m_componentOf;
    // The first record after the components' records.
    int32_t m_afterComponents = 12;
    int32_t m_boardWidth = 0;
    int32_t m_boardHeight = 0;
    // Subtracted from every record point: the board's origin in DOS units.
    CPoint m_origin;
};
