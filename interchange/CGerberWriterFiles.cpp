#include "interchange/CGerberWriter.h"

#include <algorithm>
#include <set>

#include "framework/CFileSet.h"
#include "framework/CMessageService.h"
#include "framework/CNumberText.h"
#include "framework/CServices.h"
#include "interchange/COutputDocument.h"
#include "interchange/COutputFiles.h"
#include "interchange/OutputText.h"
#include "model/COutput.h"

namespace {

constexpr char lineEnd[] = "\r\n";
constexpr char programName[] = "Wevra PCB";
// The program's executable, which the files name as their source.
constexpr char programFile[] = "wevra-pcb";

std::string FormatInch(int64_t units)
{
    return CNumberText::FormatFixed(double(units) / 256000.0, 4, 10) + " inch";
}

std::string FormatMm(int64_t units)
{
    return CNumberText::FormatFixed(double(units) * 9.921875e-5, 3, 10) + " mm.";
}

std::string ReportLine(const std::string& label, const std::string& value)
{
    return "; " + PadRight(label, 20) + ": " + value + lineEnd;
}

} // namespace

std::string CGerberWriter::HeaderText(const std::string& layerName,
                                      const std::vector<int32_t>& apertures) const
{
    const std::string digits = m_format23 ? "23" : "24";
    std::string text = std::string("*") + lineEnd;
    text += "G04 SOURCE = " + std::string(programFile) + " *" + lineEnd;
    text += "G04 FORMAT = " + SafeName(m_formatName) + " *" + lineEnd;
    text += "G04 TITLE  = " + m_title + " *" + lineEnd;
    if (!layerName.empty())
        text += "G04 LAYER  = " + layerName + " *" + lineEnd;
    text += "G04 TIME   = " + SafeName(m_document.GetTimeStamp()) + " *" + lineEnd;
    text += "G04 Y AXIS = " + UpperTrimmed(COutputFrame::axisText) + " *" + lineEnd;
    text += std::string("*") + lineEnd;
    // One extended command per block: readers that meet several in one block miss some.
    text += "%FSLAX" + digits + "Y" + digits + "*%" + lineEnd;
    text += std::string("%MOIN*%") + lineEnd;
    for (const int32_t i : apertures) {
        for (const std::string& line : m_apertures[size_t(i)].GetMacroLines())
            text += line + lineEnd;
    }
    for (const int32_t i : apertures)
        text += m_apertures[size_t(i)].GetDefinition() + lineEnd;
    // Straight lines from the first draw on.
    text += std::string("G01*") + lineEnd;
    return text;
}

std::string CGerberWriter::ApertureReportText() const
{
    std::string text = std::string(lineEnd) + "; PCB Factory information file" + lineEnd + lineEnd;
    text += ReportLine("Project name", m_title);
    text += ReportLine("Created", m_document.GetTimeStamp());
    text += ReportLine("Program", programName) + lineEnd;
    // The photoplots written so far are the ones the report belongs to: it is written last.
    bool attached = false;
    for (const std::filesystem::path& file : m_written) {
        if (file.extension() != ".GBR")
            continue;
        text += ReportLine("Attached file", file.filename().string());
        attached = true;
    }
    if (attached)
        text += lineEnd;
    text += ReportLine("Device", m_formatName) + lineEnd;
    const int32_t width = m_document.GetBoardWidth();
    const int32_t height = m_document.GetBoardHeight();
    text += ReportLine("Board Width", FormatInch(width) + FormatMm(width));
    text += ReportLine("Board Height", FormatInch(height) + FormatMm(height));
    text += ReportLine("Y axis", COutputFrame::axisText);
    const int32_t offsetX = m_job ? m_job->GetOffsetX() : 0;
    const int32_t offsetY = m_job ? m_job->GetOffsetY() : 0;
    text += ReportLine("Board Offset X", FormatInch(offsetX) + FormatMm(offsetX));
    text += ReportLine("Board Offset Y", FormatInch(offsetY) + FormatMm(offsetY));
    text +=
        std::string("      Type          X       Y             X       Y        Used") + lineEnd;
    text += std::string("                     English               Metric") + lineEnd;
    for (const CGerberAperture& aperture : m_apertures) {
        const int64_t w = aperture.GetDefinedWidth();
        const int64_t h = aperture.GetDefinedHeight();
        std::string type = CGerberAperture::TypeName(aperture.GetType());
        if (aperture.IsCustom())
            type += "*";
        text += "D" + PadRight(CNumberText::FormatInt(aperture.GetDCode()), 5) +
                PadRight(type, 10) + CNumberText::FormatFixed(double(w) * 3.90625e-6, 4, 8) +
                CNumberText::FormatFixed(double(h) * 3.90625e-6, 4, 8) + "     " +
                CNumberText::FormatFixed(double(w) * 9.921875e-5, 3, 8) +
                CNumberText::FormatFixed(double(h) * 9.921875e-5, 3, 8) +
                CNumberText::FormatInt(aperture.GetUseCount(), 10) + lineEnd;
    }
    return text;
}

bool CGerberWriter::WriteFiles(const std::filesystem::path& folder, const std::string& title)
{
    // A single file is a plotter batch: one complete image per set, each with its own header
    // (whose comment names the set: the deprecated layer name block is refused by readers)
    // and its end of program, so that every image is read as its set alone.
    std::string batch;
    std::set<std::string> names;
    // The job's files replace the earlier run's together or not at all.
    CFileSet files;
    for (const SetBody& body : m_sets) {
        std::string text = HeaderText(body.name, Declared(body.apertures));
        text.reserve(text.size() + body.lines.size() + 8);
        text += body.lines;
        text += "M02*";
        text += lineEnd;
        if (m_singleFile) {
            batch += text;
            continue;
        }
        // Two sets of one name must not write one file.
        std::string name = title + "_" + body.name;
        for (int32_t n = 2; names.count(name) > 0; ++n)
            name = title + "_" + body.name + "_" + CNumberText::FormatInt(n);
        names.insert(name);
        if (!WriteFile(files, folder / (name + ".GBR"), text))
            return false;
    }
    if (m_singleFile && !WriteFile(files, folder / (title + ".GBR"), batch))
        return false;
    if (!WriteFile(files, folder / (title + ".TXT"), ApertureReportText()))
        return false;
    if (files.Commit())
        return true;
    TellNotWritten(files);
    return false;
}

std::vector<int32_t> CGerberWriter::Declared(const std::vector<int32_t>& used)
{
    // Readers take a file that defines no aperture for the older format without extended
    // commands: a file with nothing to plot defines the outline's stroke tip.
    if (!used.empty())
        return used;
    return {FindDrawAperture(outlineRadius)};
}

bool CGerberWriter::WriteFile(CFileSet& files, const std::filesystem::path& path,
                              const std::string& text)
{
    if (!files.Add(path, text)) {
        TellNotWritten(files);
        return false;
    }
    m_written.push_back(path);
    return true;
}

void CGerberWriter::TellNotWritten(const CFileSet& files)
{
    m_written.clear();
    CServices::Messages().FileMessageBox(
        COutputFiles::NotWrittenText(files.GetFailedFile(), files.GetFailure()), "", MB_OK,
        MB_ICONEXCLAMATION);
}
