#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CFileSet;
class COutput;
class COutputDocument;
class COutputFrame;

// Writes the NC drill program of one item of an output job with the drill device, and its
// drill report: one tool per hole diameter, smallest first, every via and drilled component pad
// at its board position seen from the top and moved by the job's offset, as the Gerber writer
// places the copper, in inch digits with leading zeros.
class CDrillOut {
public:
    // One hole: position and diameter in board units.
    struct Hole {
        int32_t x = 0;
        int32_t y = 0;
        int32_t diameter = 0;
        // The net of a via or the component of a pad, which a refusal names.
        int32_t net = -1;
        int32_t component = -1;
    };
    // One tool: its diameter and how many holes it drills.
    struct Tool {
        int32_t diameter = 0;
        int32_t holes = 0;
    };

    CDrillOut() = default;

    // Writes item `recordIndex` of job `jobIndex`. False, after telling the user, when a file
    // could not be written (no earlier file is replaced), or when a hole lies where the
    // format's digits cannot place it (the first such hole is named and nothing is written);
    // nothing is written for a job or item that does not exist. With `files` the item's files
    // join that set, which the caller commits with the other items' files.
    bool Write(int32_t jobIndex, int32_t recordIndex, COutputDocument& document,
               CFileSet* files = nullptr);
    // Whether the last Write refused a hole: every item of the job drills the same holes.
    bool IsRefused() const { return m_refused; }

    // The files the last Write made: the drill file, then the report.
    const std::vector<std::filesystem::path>& GetWrittenFiles() const { return m_written; }

    // The holes of the design in collection order: vias (nets in order, vertices in order),
    // then drilled component pads; at their points in the file's frame.
    static std::vector<Hole> CollectHoles(const COutputDocument& document,
                                          const COutputFrame& frame);
    // The drill program: the header with one tool per diameter, then each tool's holes.
    static std::string DrillText(const std::vector<Hole>& holes, bool format23,
                                 std::vector<Tool>& tools);
    static std::string FormatCoord23(int32_t value);
    static std::string FormatCoord24(int32_t value);
    // ".Tool diameters.........." : the title with one point before it and points after it up
    // to 25 characters.
    static std::string PadTitle(const std::string& title);

private:
    std::string ReportText(const COutputDocument& document, const COutput& job,
                           const std::string& recordName, const std::string& drillFileName,
                           const std::vector<Tool>& tools) const;

    // Names the file that could not be written, and that no earlier file was replaced.
    void TellNotWritten(const std::filesystem::path& file, const std::string& why);
    // The first hole of the list the format's digits cannot place, named; empty when all fit.
    static std::string RefusedHole(const std::vector<Hole>& holes, bool format23,
                                   const COutputDocument& document);

    std::vector<std::filesystem::path> m_written;
    bool m_refused = false;
};
