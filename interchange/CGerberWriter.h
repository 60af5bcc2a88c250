#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "interchange/CGerberAperture.h"
#include "interchange/COutputFrame.h"

class CFileSet;
class COutput;
class COutputDocument;
class COutputRec;

// One plotting step: a flash or draw with an aperture, or the start of a stroke.
struct GerberFlashRec {
    static constexpr int32_t breakMark = -1;

    // Aperture index, or breakMark where a stroke starts.
    int32_t aperture = breakMark;
    int32_t x = 0;
    int32_t y = 0;
};

// Turns an output job with a Gerber device into RS-274X photoplot files: one file per layer
// set, or a single file that holds one complete image per set (a plotter batch), with the
// aperture report beside them. Every board item on a set's layers is plotted (drawn lines,
// tracks and vias, component outlines and pads, plane fills, texts), seen from the top and
// moved by the job's offset; a set of the board layer alone plots the board outline. Each
// image's header defines exactly the apertures its body uses.
class CGerberWriter {
public:
    // Half the width of the line that plots the board outline.
    static constexpr int32_t outlineRadius = 1007;

    explicit CGerberWriter(COutputDocument& document);

    // Writes job `jobIndex` of the design's output jobs. 1 when the job was processed (also
    // when it selects no layer, which the user is told), 0 when a file could not be written
    // (the user is told which; no file of the earlier run is replaced) or when an item lies
    // where the format's digits cannot place it: the user is told the first such item and no
    // file is written.
    int32_t Write(int32_t jobIndex);

    // The files the last Write made, the report last; none when it failed.
    const std::vector<std::filesystem::path>& GetWrittenFiles() const { return m_written; }

    // ---- Apertures: each returns the index of the aperture, made when it is new -------------

    // The pad of the padstack on the layer at that rotation (the pad's own rotation is added);
    // -1 when the padstack has no pad there.
    int32_t FindPadAperture(int32_t padStack, int32_t layer, bool mirrored, int32_t rotation);
    // The round tip of radius r that draws strokes.
    int32_t FindDrawAperture(int32_t r);
    int32_t FindPenAperture(int32_t halfWidth) { return FindDrawAperture(halfWidth); }
    int32_t AddAperture(int32_t type, const CRect& box, bool mirrored, int32_t rotation);
    const std::vector<CGerberAperture>& GetApertures() const { return m_apertures; }

    // Coordinates in inch digits of the 2.3 and 2.4 formats: 256000 gives 01000 and 010000.
    static std::string FormatCoord23(int32_t value);
    static std::string FormatCoord24(int32_t value);

    // "Round" .. "Draw" for aperture types 1..9, "Error!" for any other.
    static std::string ApertureTypeName(int32_t type) { return CGerberAperture::TypeName(type); }

    // ---- Texts of the files, for the job being written ---------------------------------------

    // The header of a file; `layerName` adds the line that names the file's layer set.
    // `apertures` lists the apertures the file uses, by index.
    std::string HeaderText(const std::string& layerName,
                           const std::vector<int32_t>& apertures) const;
    // The aperture report: the job, the photoplots written so far, the board size, the job's
    // offset and every aperture with its use count.
    std::string ApertureReportText() const;

private:
    using ApertureKey = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, bool, int32_t>;

    // What is being collected, named only for a point the format's digits cannot hold.
    enum class ItemKind { outline, line, track, via, component, plane, text, componentText };

    // One layer set's plotting lines and the apertures they use.
    struct SetBody {
        std::string name;
        std::string lines;
        std::vector<int32_t> apertures;
    };

    bool BuildSets(const COutput& job);
    SetBody BuildSet(const COutputRec& set);
    int32_t FindAperture(int32_t type, const CRect& box, bool mirrored, int32_t rotation);
    // Every file of the job, or none.
    bool WriteFiles(const std::filesystem::path& folder, const std::string& title);
    // The apertures a file's header defines: those it uses, at least one.
    std::vector<int32_t> Declared(const std::vector<int32_t>& used);
    bool WriteFile(CFileSet& files, const std::filesystem::path& path, const std::string& text);
    // Names the file the set could not take or put in place; nothing of the job was written.
    void TellNotWritten(const CFileSet& files);

    // Collecting the items of a set into the flash list.
    void CollectOutline(const COutputRec& set);
    void CollectLines(const COutputRec& set);
    void CollectNets(const COutputRec& set);
    void CollectComponents(const COutputRec& set);
    void CollectPlanes(const COutputRec& set);
    void CollectTexts(const COutputRec& set);
    void CollectText(const std::string& text, CPoint position, int32_t height, int32_t angle,
                     bool mirrored, int32_t lineWidth);
    // A stroke through the points: a break at the first, a draw record at each further one.
    void AddStroke(int32_t aperture, std::span<const CPoint> points);
    void AddBreak(CPoint point);
    void AddFlash(int32_t aperture, CPoint point);
    void SetItem(ItemKind kind, int32_t index)
    {
        m_itemKind = kind;
        m_itemIndex = index;
    }
    // Notes the first point of the job whose file coordinates do not fit the format's digits.
    void CheckFits(CPoint board)
    {
        const CPoint at = m_frame.ToOutput(board.x, board.y);
        if (std::llabs(int64_t(at.x)) > m_fitLimit || std::llabs(int64_t(at.y)) > m_fitLimit)
            NoteRefused(board, at);
    }
    void NoteRefused(CPoint board, CPoint at);
    std::string ItemName() const;

    // Writing the flash list by aperture.
    void WriteFlashList(SetBody& body);
    void SelectAperture(std::string& out, int32_t i);
    void MoveTo(std::string& out, int32_t i, int32_t x, int32_t y);
    void DrawTo(std::string& out, int32_t x, int32_t y);
    void Flash(std::string& out, int32_t i, int32_t x, int32_t y);
    // "X..Y.." of the point in the file's frame, then the operation code.
    void AppendCoordinates(std::string& out, int32_t x, int32_t y, const char* operation) const;

    COutputDocument& m_document;
    const COutput* m_job = nullptr;
    std::vector<GerberFlashRec> m_flashList;
    std::vector<CGerberAperture> m_apertures;
    std::map<ApertureKey, int32_t> m_apertureIndex;
    bool m_format23 = false;
    bool m_singleFile = false;
    int32_t m_currentAperture = -1;
    COutputFrame m_frame{0, CPoint()};
    std::string m_formatName;
    std::string m_title;
    std::vector<SetBody> m_sets;
    std::vector<std::filesystem::path> m_written;
    // The largest file coordinate the format's digits hold, either way.
    int64_t m_fitLimit = 0;
    ItemKind m_itemKind = ItemKind::outline;
    int32_t m_itemIndex = 0;
    std::string m_setName;
    // The first item the format cannot hold, with its set and point; empty while all fit.
    std::string m_refused;
};
