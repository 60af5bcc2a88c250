#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "framework/CPoint.h"
#include "interchange/PlyRecord.h"

class COutputDocument;
class CPadStack;
class CPour;

// Writes a board as a design set of the DOS version: the ".PLY" records of every pad, line,
// track, via, text stroke and plane, the ".CNF" text with the drill, pad-size and pen tables the
// records name, and the ".CMP" component list. Everything is collected first; a value the DOS
// format cannot hold (a coordinate beyond 16 bits, a layer above 15, a net or object number
// above 4095, an angle that is no quarter turn, a ninth pen width, a seventeenth drill, a pad
// size beyond its table) is noted in the problem list and its record left out; a line run goes
// on from its next point. Planes without a fill are filled first.
class CDosExport {
public:
    using PadRow = std::array<int32_t, 8>;

    // `componentTextMode`: the component text the display shows (0 none, 1 reference, 2 type,
    // 3 shape name), exported as strokes.
    CDosExport(COutputDocument& document, int32_t componentTextMode);

    // Fills the record list and the tables.
    void BuildPlyRecords();
    const std::vector<PlyRecord>& GetRecords() const { return m_records; }
    const std::vector<std::string>& GetProblems() const { return m_problems; }
    // What the set holds otherwise than the design, though nothing was left out: texts kept
    // as strokes only, sizes rounded down to the DOS unit, net and plane names it cannot hold,
    // shapes it holds only as pads; each with a count and an example. Empty when the set is
    // exact.
    std::vector<std::string> GetChanges() const;

    // The files' contents; `cnfPath` is the ".CNF" file's own path, written into it.
    std::string PlyBytes() const;
    std::string CnfText(const std::string& cnfPath) const;
    std::string CmpText();

    // Builds the records and writes "<folder>/<title>/PCB/<TITLE>.CNF", ".CMP" and ".PLY",
    // creating the folders; the three replace an earlier set together or not at all. False
    // when a folder or file could not be made; `failed` names it (a file with why).
    bool Export(const std::filesystem::path& folder, std::string& failed);

    // Table slots: 1..7 (pens, DOS units), 1..15 (drills, board units in, hundredths of a
    // millimetre kept), or -1 when the table is full. A width or drill of 0 answers the first
    // free slot and leaves it free.
    int32_t FindOrAddPen(int32_t width);
    int32_t FindOrAddDrill(int32_t diameter);
    // The pad-size row of the padstack (0..15 through-hole, 16..127 SMD), -1 when the table is
    // full or the padstack has no pad to measure.
    int32_t FindOrAddPadRow(const CPadStack& stack);
    int32_t NextObjectNumber() const;

private:
    void AddCornerMarks();
    void AddComponents();
    void AddComponent(int32_t i);
    void AddNets();
    void AddNet(int32_t n);
    void AddTexts();
    void AddText(const std::string& text, CPoint position, int32_t height, int32_t angle,
                 bool mirrored, int32_t lineWidth, int32_t layer);
    void AddPlanes();
    bool AddPlane(int32_t i);

    // Each appends one record unless a value does not fit (noted as a problem, with `what`
    // naming the item). A line point with a pen after a left-out point starts a new run.
    void AddPlyRecord(int32_t net, CPoint board, int32_t pen, int32_t layer, int32_t object,
                      bool planeOutline, const std::string& what);
    void AddPadRecord(int32_t net, CPoint board, int32_t row, int32_t drill, int32_t angle,
                      bool mirrored, int32_t object, const std::string& what);
    // The common checks of both; false (with the problem noted) when something does not fit.
    bool Fits(int32_t net, CPoint board, int32_t object, const std::string& what);
    void Problem(const std::string& what, const std::string& reason);
    // A size in DOS units; a size the unit does not hold exactly is noted for GetChanges.
    int32_t DosSize(int32_t board);

    COutputDocument& m_document;
    int32_t m_componentTextMode = 0;
    std::array<int32_t, PlyRecord::drillCount> m_drills{};
    std::array<PadRow, PlyRecord::padRowCount> m_padRows{};
    std::array<int32_t, PlyRecord::penCount> m_pens{};
    std::vector<PlyRecord> m_records;
    std::vector<std::string> m_problems;
    bool m_runBroken = false;
    int32_t m_maxObject = 0;
    int32_t m_textsAsStrokes = 0;
    std::set<int32_t> m_roundedSizes;
};
