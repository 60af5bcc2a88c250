#include "interchange/CDrillOut.h"

#include <cstdlib>

#include <algorithm>

#include "framework/CFileSet.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "interchange/COutputDocument.h"
#include "interchange/COutputFiles.h"
#include "interchange/COutputFrame.h"
#include "interchange/OutputText.h"
#include "model/CComponent.h"
#include "model/CComponentArray.h"
#include "model/CLengthText.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/COutput.h"
#include "model/COutputArray.h"
#include "model/COutputRec.h"
#include "model/CPadStackArray.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/LayerIds.h"
#include "resources/StringIds.h"

namespace {

constexpr char lineEnd[] = "\r\n";
constexpr char programName[] = "Wevra PCB";

std::string TwoDigitNumber(int32_t n)
{
    const std::string digits = CNumberText::FormatInt(n);
    return digits.size() < 2 ? "0" + digits : digits;
}

std::string ReportLine(const std::string& label, const std::string& value)
{
    return PadRight(label, 20) + ": " + value + lineEnd;
}

std::string MmAndInch(int32_t length)
{
    return CLengthText::FormatLength(CLengthText::unitMillimetre, length) + " / " +
           CLengthText::FormatLength(CLengthText::unitInch, length);
}

} // namespace

std::vector<CDrillOut::Hole> CDrillOut::CollectHoles(const COutputDocument& document,
                                                     const COutputFrame& frame)
{
    const CShapeLib& cache = document.GetShapeCache();
    const CPadStackArray& stacks = cache.GetPadStacks();
    std::vector<Hole> holes;
    const auto add = [&](int32_t x, int32_t y, int32_t diameter, int32_t net, int32_t component) {
        const CPoint at = frame.ToOutput(x, y);
        holes.push_back({at.x, at.y, diameter, net, component});
    };

    const CNetArray& nets = document.GetNets();
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t i = 0; i < net.GetVertexCount(); ++i) {
            const TrackRec& rec = net.GetVertex(i);
            const CPadStack* stack = rec.IsPad() ? stacks.GetPadStack(rec.GetPadStack()) : nullptr;
            if (stack && stack->GetDrill() > 0)
                add(rec.x, rec.y, stack->GetDrill(), n, -1);
        }
    }

    const CComponentArray& components = document.GetComponents();
    for (int32_t c = 0; c < components.GetCount(); ++c) {
        const CComponent& component = *components.GetComponent(c);
        const CShape* shape = component.GetShape(cache);
        if (!shape)
            continue;
        for (int32_t p = 0; p < shape->GetPadCount(); ++p) {
            const CPad* drill = stacks.GetPad(shape->GetPadStackIndex(p), LAYER_DRILL);
            if (!drill || drill->GetWidth() <= 0)
                continue;
            const CPoint at = component.GetPadPosition(p, cache);
            add(at.x, at.y, drill->GetWidth(), -1, c);
        }
    }
    return holes;
}

std::string CDrillOut::DrillText(const std::vector<Hole>& holes, bool format23,
                                 std::vector<Tool>& tools)
{
    // The holes of each diameter in collection order, diameters ascending.
    std::vector<size_t> order;
    for (size_t k = 0; k < holes.size(); ++k) {
        if (holes[k].diameter > 0)
            order.push_back(k);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return holes[a].diameter < holes[b].diameter; });
    tools.clear();
    for (const size_t k : order) {
        if (tools.empty() || tools.back().diameter != holes[k].diameter)
            tools.push_back({holes[k].diameter, 0});
        ++tools.back().holes;
    }

    // Readers need the header to know the unit, the zero form and the tool sizes.
    std::string text = std::string("M48") + lineEnd + "INCH,LZ" + lineEnd;
    for (size_t t = 0; t < tools.size(); ++t)
        text += "T" + CNumberText::FormatInt(int64_t(t) + 1) + "C" +
                CNumberText::FormatFixed(double(tools[t].diameter) / 256000.0, 4) + lineEnd;
    text += std::string("%") + lineEnd;
    size_t next = 0;
    for (size_t t = 0; t < tools.size(); ++t) {
        text += "T" + CNumberText::FormatInt(int64_t(t) + 1) + lineEnd;
        for (int32_t n = 0; n < tools[t].holes; ++n, ++next) {
            const Hole& hole = holes[order[next]];
            text += 'X';
            AppendInchDigits(text, hole.x, format23 ? 3 : 4);
            text += 'Y';
            AppendInchDigits(text, hole.y, format23 ? 3 : 4);
            text += lineEnd;
        }
    }
    // A program without holes still names a tool, so that readers know it for a drill program.
    if (tools.empty())
        text += std::string("T0") + lineEnd;
    text += std::string("M30") + lineEnd;
    return text;
}

std::string CDrillOut::RefusedHole(const std::vector<Hole>& holes, bool format23,
                                   const COutputDocument& document)
{
    const int32_t decimals = format23 ? 3 : 4;
    const int64_t limit = InchDigitsLimit(decimals);
    for (const Hole& hole : holes) {
        // A hole without a diameter gets no tool and is not written.
        if (hole.diameter <= 0 ||
            (std::llabs(int64_t(hole.x)) <= limit && std::llabs(int64_t(hole.y)) <= limit))
            continue;
        const std::string owner =
            hole.net >= 0
                ? "a via of net \"" + document.GetNets().GetNet(hole.net)->GetName() + "\""
                : "a pad of component \"" +
                      document.GetComponents().GetComponent(hole.component)->GetReference() + "\"";
        return owner + " lies at X" + FormatInchDigits(hole.x, decimals) + "Y" +
               FormatInchDigits(hole.y, decimals) + " in the drill program";
    }
    return {};
}

bool CDrillOut::Write(int32_t jobIndex, int32_t recordIndex, COutputDocument& document,
                      CFileSet* files)
{
    m_written.clear();
    m_refused = false;
    const COutput* job = document.GetOutputJobs().GetJob(jobIndex);
    const COutputRec* record = job ? job->GetItem(recordIndex) : nullptr;
    if (!record)
        return true;

    const std::string title = SafeName(document.GetDesignTitle());
    const std::filesystem::path folder =
        ResolveOutputFolder(job->GetDirectory(), document.GetDesignFolder(),
                            COutputFiles::FolderTitle(document.GetDesignTitle()));
    const int32_t n = recordIndex + 1;
    const std::filesystem::path drillPath = folder / (title + ".t" + TwoDigitNumber(n));
    const std::filesystem::path reportPath = folder / (title + ".e" + TwoDigitNumber(n));

    const bool format23 = job->GetDevice().find("2.3") != std::string::npos;
    const std::vector<Hole> holes =
        CollectHoles(document, COutputFrame(document.GetBoardHeight(),
                                            CPoint(job->GetOffsetX(), job->GetOffsetY())));
    // A longer coordinate would be drilled somewhere else: nothing of the item is written.
    const std::string refused = RefusedHole(holes, format23, document);
    if (!refused.empty()) {
        CServices::Messages().MessageBox(
            CResString::LoadWith(IDS_OUTPUT_COORDINATE_BEYOND_FORMAT, refused), job->GetJobName(),
            MB_OK, MB_ICONEXCLAMATION);
        m_refused = true;
        return false;
    }
    std::vector<Tool> tools;
    const std::string drill = DrillText(holes, format23, tools);
    const std::string report =
        ReportText(document, *job, record->GetDisplayName(), drillPath.filename().string(), tools);

    // Alone, the item's two files replace the earlier ones together; in a job's set, with
    // those of the other items.
    CFileSet own;
    CFileSet& set = files != nullptr ? *files : own;
    for (const auto& [path, text] : {std::pair(drillPath, drill), std::pair(reportPath, report)}) {
        if (folder.empty()) {
            TellNotWritten(path, "no folder to write into");
            return false;
        }
        if (!set.Add(path, text)) {
            TellNotWritten(set.GetFailedFile(), set.GetFailure());
            return false;
        }
        m_written.push_back(path);
    }
    if (files == nullptr && !own.Commit()) {
        TellNotWritten(own.GetFailedFile(), own.GetFailure());
        return false;
    }
    return true;
}

void CDrillOut::TellNotWritten(const std::filesystem::path& file, const std::string& why)
{
    m_written.clear();
    CServices::Messages().FileMessageBox(COutputFiles::NotWrittenText(file, why), "", MB_OK,
                                         MB_ICONEXCLAMATION);
}

std::string CDrillOut::ReportText(const COutputDocument& document, const COutput& job,
                                  const std::string& recordName, const std::string& drillFileName,
                                  const std::vector<Tool>& tools) const
{
    std::string text = std::string(lineEnd) + "PCB Factory information file" + lineEnd + lineEnd;
    text += ReportLine("Project name", document.GetDesignTitle());
    text += ReportLine("Description", recordName);
    text += ReportLine("Created", document.GetTimeStamp());
    text += ReportLine("Program", programName) + lineEnd;
    text += ReportLine("Attached file", drillFileName) + lineEnd;
    text += ReportLine("Device", job.GetDevice()) + lineEnd;
    text += ReportLine("Board Width", MmAndInch(document.GetBoardWidth()));
    text += ReportLine("Board Height", MmAndInch(document.GetBoardHeight()));
    text += ReportLine("Y axis", COutputFrame::axisText);
    text += ReportLine("Board Offset X", MmAndInch(job.GetOffsetX()));
    text += ReportLine("Board Offset Y", MmAndInch(job.GetOffsetY())) + lineEnd;
    text +=
        PadLeft("TOOL", 6) + "    " + PadTitle("Tool diameters") + PadLeft("Used", 10) + lineEnd;
    for (size_t t = 0; t < tools.size(); ++t) {
        const int32_t number = int32_t(t) + 1;
        text += "   T" + CNumberText::FormatInt(number) +
                PadLeft(CLengthText::FormatLength(CLengthText::unitMillimetre, tools[t].diameter),
                        number <= 9 ? 15 : 14) +
                PadLeft(CLengthText::FormatLength(CLengthText::unitInch, tools[t].diameter), 15) +
                CNumberText::FormatInt(tools[t].holes, 10) + lineEnd;
    }
    return text;
}

std::string CDrillOut::FormatCoord23(int32_t value)
{
    return FormatInchDigits(value, 3);
}

std::string CDrillOut::FormatCoord24(int32_t value)
{
    return FormatInchDigits(value, 4);
}

std::string CDrillOut::PadTitle(const std::string& title)
{
    std::string padded = "." + title;
    if (padded.size() < 25)
        padded.append(25 - padded.size(), '.');
    return padded;
}
