#include "interchange/CGerberWriter.h"

#include <algorithm>

#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CPathHelper.h"
#include "framework/CProgDlg.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "interchange/COutputDocument.h"
#include "interchange/COutputFiles.h"
#include "interchange/OutputText.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "model/Geometry.h"
#include "model/PadShapes.h"
#include "resources/StringIds.h"

namespace {

constexpr char progressTitle[] = "Generating GERBER RS-274X files";
constexpr char noOutputText[] = "No output selected in Design configuration";
constexpr char cannotWriteText[] = "The file could not be written:\n";

// Collecting a set's items: outline, lines, nets, components, planes, texts.
constexpr int32_t stepsPerSet = 6;

} // namespace

CGerberWriter::CGerberWriter(COutputDocument& document) : m_document(document) {}

int32_t CGerberWriter::Write(int32_t jobIndex)
{
    m_written.clear();
    const COutput* job = m_document.GetOutputJobs().GetJob(jobIndex);
    if (!job)
        return 1;
    m_job = job;
    m_formatName = job->GetDevice();
    m_format23 = m_formatName.find("2.3") != std::string::npos;
    m_fitLimit = InchDigitsLimit(m_format23 ? 3 : 4);
    m_singleFile = m_formatName.find("Single File") != std::string::npos;
    m_frame =
        COutputFrame(m_document.GetBoardHeight(), CPoint(job->GetOffsetX(), job->GetOffsetY()));
    m_title = SafeName(UpperTrimmed(m_document.GetDesignTitle()));

    // A set without layers holds the board layer alone: it plots the outline.
    bool anyLayer = false;
    for (int32_t i = 0; i < job->GetItemCount(); ++i)
        anyLayer = anyLayer || job->GetItem(i)->IsOutput();
    if (!anyLayer) {
        CServices::Messages().MessageBox(noOutputText, "", MB_OK, MB_ICONEXCLAMATION);
        return 1;
    }

    const std::filesystem::path folder =
        ResolveOutputFolder(job->GetDirectory(), m_document.GetDesignFolder(),
                            COutputFiles::FolderTitle(m_document.GetDesignTitle()));
    if (folder.empty()) {
        CServices::Messages().MessageBox(cannotWriteText + job->GetDirectory(), "", MB_OK,
                                         MB_ICONEXCLAMATION);
        return 0;
    }

    m_apertures.clear();
    m_apertureIndex.clear();
    m_refused.clear();
    BuildSets(*job);
    // A longer coordinate would be read as another point: the whole job is refused before
    // any file is written, so the folder keeps what an earlier run left there.
    if (!m_refused.empty()) {
        CServices::Messages().MessageBox(
            CResString::LoadWith(IDS_OUTPUT_COORDINATE_BEYOND_FORMAT, m_refused), job->GetJobName(),
            MB_OK, MB_ICONEXCLAMATION);
        return 0;
    }
    return WriteFiles(folder, m_title) ? 1 : 0;
}

bool CGerberWriter::BuildSets(const COutput& job)
{
    CProgDlg progress;
    progress.SetTitle(progressTitle);
    progress.SetRange(0, std::max(1, job.GetItemCount() * stepsPerSet));
    progress.SetStep(1);
    progress.Create();

    m_sets.clear();
    for (int32_t i = 0; i < job.GetItemCount() && m_refused.empty(); ++i) {
        const COutputRec& set = *job.GetItem(i);
        if (!set.IsOutput())
            continue;
        progress.SetStatus("Creating " + set.GetDisplayName());
        SetBody body;
        body.name = SafeName(set.GetDisplayName());
        m_setName = set.GetDisplayName();
        m_currentAperture = -1;
        m_flashList.clear();
        CollectOutline(set);
        CollectLines(set);
        progress.StepIt();
        CollectNets(set);
        progress.StepIt();
        CollectComponents(set);
        progress.StepIt();
        CollectPlanes(set);
        progress.StepIt();
        CollectTexts(set);
        progress.StepIt();
        WriteFlashList(body);
        progress.StepIt();
        m_sets.push_back(std::move(body));
    }
    return true;
}

// ---- Apertures ----------------------------------------------------------------------------------

int32_t CGerberWriter::FindPadAperture(int32_t padStack, int32_t layer, bool mirrored,
                                       int32_t rotation)
{
    const CPad* pad = m_document.GetShapeCache().GetPadStacks().GetPad(padStack, layer);
    if (!pad)
        return -1;
    const CRect box = pad->GetRect();
    int32_t type = pad->GetShape();
    // A line pad's copper is its rectangle; the aperture type of that number draws strokes.
    if (type == PAD_LINE)
        type = CGerberAperture::typeRectangle;
    if (type < CGerberAperture::typeRound || type > CGerberAperture::typeDevice)
        return -1;
    int32_t turn = int32_t((int64_t(rotation) + pad->GetRotation()) % FULL_TURN);
    if (turn < 0)
        turn += FULL_TURN;
    // A centred circle is the same at every angle; an off-centre one moves with the turn.
    const bool centred = int64_t(box.left) + box.right == 0 && int64_t(box.top) + box.bottom == 0;
    if (type == CGerberAperture::typeRound && centred)
        turn = 0;
    // A pad symmetric about its y axis mirrors onto itself: one D-code serves both sides.
    if (int64_t(box.left) + box.right == 0)
        mirrored = false;
    return FindAperture(type, box, mirrored, turn);
}

int32_t CGerberWriter::FindDrawAperture(int32_t r)
{
    r = std::max(r, 0);
    return FindAperture(CGerberAperture::typeDraw, CRect(-r, -r, r, r), false, 0);
}

int32_t CGerberWriter::FindAperture(int32_t type, const CRect& box, bool mirrored, int32_t rotation)
{
    const ApertureKey key{type, box.left, box.top, box.right, box.bottom, mirrored, rotation};
    const auto found = m_apertureIndex.find(key);
    if (found != m_apertureIndex.end())
        return found->second;
    return AddAperture(type, box, mirrored, rotation);
}

int32_t CGerberWriter::AddAperture(int32_t type, const CRect& box, bool mirrored, int32_t rotation)
{
    const int32_t index = static_cast<int32_t>(m_apertures.size());
    m_apertures.emplace_back(type, box, mirrored, rotation, index + CGerberAperture::firstDCode);
    m_apertureIndex.emplace(
        ApertureKey{type, box.left, box.top, box.right, box.bottom, mirrored, rotation}, index);
    return index;
}

// ---- Plotting lines -----------------------------------------------------------------------------

void CGerberWriter::WriteFlashList(SetBody& body)
{
    // The records of each aperture in list order, apertures in table order: each aperture is
    // selected once.
    std::vector<std::vector<int32_t>> byAperture(m_apertures.size());
    for (size_t k = 0; k < m_flashList.size(); ++k) {
        const int32_t i = m_flashList[k].aperture;
        if (i >= 0)
            byAperture[size_t(i)].push_back(int32_t(k));
    }
    std::string& out = body.lines;
    for (size_t i = 0; i < byAperture.size(); ++i) {
        if (byAperture[i].empty())
            continue;
        body.apertures.push_back(int32_t(i));
        const bool draws = m_apertures[i].GetType() == CGerberAperture::typeDraw;
        for (const int32_t k : byAperture[i]) {
            const GerberFlashRec& rec = m_flashList[size_t(k)];
            if (!draws) {
                Flash(out, int32_t(i), rec.x, rec.y);
                continue;
            }
            if (k > 0 && m_flashList[size_t(k) - 1].aperture == GerberFlashRec::breakMark) {
                const GerberFlashRec& start = m_flashList[size_t(k) - 1];
                MoveTo(out, int32_t(i), start.x, start.y);
            }
            DrawTo(out, rec.x, rec.y);
        }
    }
}

void CGerberWriter::SelectAperture(std::string& out, int32_t i)
{
    if (i == m_currentAperture)
        return;
    out += "G54D" + CNumberText::FormatInt(m_apertures[size_t(i)].GetDCode()) + "*\r\n";
    m_currentAperture = i;
}

void CGerberWriter::MoveTo(std::string& out, int32_t i, int32_t x, int32_t y)
{
    SelectAperture(out, i);
    AppendCoordinates(out, x, y, "D02*\r\n");
    m_apertures[size_t(i)].AddUse();
}

void CGerberWriter::DrawTo(std::string& out, int32_t x, int32_t y)
{
    AppendCoordinates(out, x, y, "D01*\r\n");
    m_apertures[size_t(m_currentAperture)].AddUse();
}

void CGerberWriter::Flash(std::string& out, int32_t i, int32_t x, int32_t y)
{
    SelectAperture(out, i);
    AppendCoordinates(out, x, y, "D03*\r\n");
    m_apertures[size_t(i)].AddUse();
}

void CGerberWriter::AppendCoordinates(std::string& out, int32_t x, int32_t y,
                                      const char* operation) const
{
    const int32_t decimals = m_format23 ? 3 : 4;
    const CPoint at = m_frame.ToOutput(x, y);
    out += 'X';
    AppendInchDigits(out, at.x, decimals);
    out += 'Y';
    AppendInchDigits(out, at.y, decimals);
    out += operation;
}

std::string CGerberWriter::FormatCoord23(int32_t value)
{
    return FormatInchDigits(value, 3);
}

std::string CGerberWriter::FormatCoord24(int32_t value)
{
    return FormatInchDigits(value, 4);
}
