#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/CDesign.h"
#include "document/CDocumentOutput.h"
#include "document/CWevraDoc.h"
#include "model/CTextArray.h"
#include "model/CWevraText.h"
#include "tests/support/CTempFolder.h"

namespace fs = std::filesystem;

// The design as the writers see it, saved as `title` in `folder`, at a fixed time.
class CTestOutput : public CDocumentOutput {
public:
    CTestOutput(CWevraDoc& document, fs::path folder, std::string title)
        : CDocumentOutput(document.Design(), document.Planes(), document.GetDesignFolder(),
                          document.GetDesignName()),
          m_folder(std::move(folder)), m_title(std::move(title))
    {
    }
    std::string GetDesignTitle() const override { return m_title; }
    fs::path GetDesignFolder() const override { return m_folder; }
    std::string GetTimeStamp() const override { return "Monday, December 07, 2026  14:00:00"; }

private:
    fs::path m_folder;
    std::string m_title;
};

// A stroke-font text on the layer, as the output tests lay them.
inline void AddTestText(CWevraDoc& doc, const std::string& text, CPoint at, int32_t layer,
                        int32_t angle = 0, bool mirrored = false)
{
    CWevraText item;
    item.SetText(text);
    item.SetPosition(at);
    item.SetHeight(20157);
    item.SetLineWidth(2015);
    item.SetLayer(layer);
    item.SetAngle(angle);
    item.SetMirrored(mirrored);
    doc.Design().GetTexts().AddText(&item);
}

inline std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of the text without their line ends (CR LF or LF).
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The images of a batch of Gerber images: each ends with its end of program.
inline std::vector<std::string> SplitImages(const std::string& text)
{
    std::vector<std::string> images;
    const std::string end = "M02*\r\n";
    for (size_t start = 0; start < text.size();) {
        const size_t found = text.find(end, start);
        const size_t stop = found == std::string::npos ? text.size() : found + end.size();
        images.push_back(text.substr(start, stop - start));
        start = stop;
    }
    return images;
}

// Each image of the batch file written alone beside it ("NAME.GBR.1.gbr" ...), for readers that
// take one image a file.
inline std::vector<fs::path> WriteImages(const fs::path& batch)
{
    std::vector<fs::path> files;
    for (const std::string& image : SplitImages(ReadBytes(batch))) {
        files.push_back(batch.string() + "." + std::to_string(files.size() + 1) + ".gbr");
        std::ofstream(files.back(), std::ios::binary) << image;
    }
    return files;
}

// What the shell command writes to its standard output.
inline std::string CommandOutput(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return "could not run " + command;
    std::string output;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        output.append(buffer, n);
    return output;
}

// What two independent Gerber readers, a parser and a plotter fed by it, say of the files:
// every warning and error, one a line. Empty when both read every file silently.
inline std::vector<std::string> ParserComplaints(const std::vector<fs::path>& files)
{
    std::string command = std::string("node '") + WEVRA_GERBER_CHECK + "'";
    for (const fs::path& file : files)
        command += " '" + file.string() + "'";
    command += " 2>&1";
    std::vector<std::string> complaints;
    std::istringstream lines(CommandOutput(command));
    for (std::string line; std::getline(lines, line);)
        complaints.push_back(line);
    return complaints;
}

// Loads the file into gerbv and exports it again in `kind` ("rs274x" or "drill") to `exported`.
// Returns gerbv's complaints: every line of its error output that holds CRITICAL or WARNING,
// and its output when it exported nothing (it could not run). Its exit status tells nothing:
// 0 when it refuses a file, an abort after exporting an empty image.
inline std::vector<std::string> GerbvComplaints(const fs::path& file, const std::string& kind,
                                                const fs::path& exported)
{
    const std::string output = CommandOutput("gerbv -x " + kind + " -o '" + exported.string() +
                                             "' '" + file.string() + "' 2>&1 >/dev/null");
    std::vector<std::string> complaints;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("CRITICAL") != std::string::npos || line.find("WARNING") != std::string::npos)
            complaints.push_back(line);
    }
    if (!fs::exists(exported))
        complaints.push_back("gerbv exported nothing for " + file.string() + ": " + output);
    return complaints;
}
