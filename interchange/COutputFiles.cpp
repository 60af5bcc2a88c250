#include "interchange/COutputFiles.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "framework/CNumberText.h"
#include "framework/CResString.h"
#include "framework/TextTrim.h"
#include "interchange/OutputText.h"
#include "model/COutput.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"
#include "resources/StringIds.h"

namespace {

std::string TwoDigits(int32_t n)
{
    const std::string digits = CNumberText::FormatInt(n);
    return digits.size() < 2 ? "0" + digits : digits;
}

// "<title>.t01", "<title>.e12": a drill program or report of some item of the job.
bool IsDrillName(const std::string& name, const std::string& title)
{
    if (!name.starts_with(title + ".t") && !name.starts_with(title + ".e"))
        return false;
    const std::string number = name.substr(title.size() + 2);
    return number.size() >= 2 &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether the photoplot's header names the design of that title.
bool HasTitle(const std::filesystem::path& file, const std::string& title)
{
    std::ifstream in(file, std::ios::binary);
    std::string head(1024, '\0');
    in.read(head.data(), std::streamsize(head.size()));
    head.resize(size_t(in.gcount()));
    return head.find("\nG04 TITLE  = " + title + " *") != std::string::npos;
}

// Whether a file of that name in the folder is one the job writes when its sets are others.
bool FollowsGerberNaming(const std::filesystem::path& file, const std::string& title)
{
    const std::string name = file.filename().string();
    if (name == title + ".GBR" || name == title + ".TXT")
        return true;
    return name.starts_with(title + "_") && name.ends_with(".GBR") && HasTitle(file, title);
}

} // namespace

bool COutputFiles::IsGerberDevice(const std::string& device)
{
    for (const int32_t i : {COutputDevice::gerberSingle23, COutputDevice::gerberSingle24,
                            COutputDevice::gerber23, COutputDevice::gerber24}) {
        if (device == COutputDevice::Name(i))
            return true;
    }
    return false;
}

bool COutputFiles::IsDrillDevice(const std::string& device)
{
    return device == COutputDevice::Name(COutputDevice::excellon);
}

std::string COutputFiles::NotWrittenText(const std::filesystem::path& file, const std::string& why)
{
    return CResString::LoadWithFile(IDS_OUTPUT_FILE_NOT_WRITTEN,
                                    why.empty() ? file.string() : file.string() + " (" + why + ")");
}

std::string COutputFiles::GerberTitle(const std::string& designTitle)
{
    return SafeName(UpperTrimmed(designTitle));
}

std::string COutputFiles::DrillTitle(const std::string& designTitle)
{
    return SafeName(designTitle);
}

std::string COutputFiles::FolderTitle(const std::string& designTitle)
{
    return SafeName(TrimBlanks(designTitle));
}

std::filesystem::path COutputFiles::Folder(const COutput& job, const std::string& designTitle,
                                           const std::filesystem::path& designFolder)
{
    return Folder(job.GetDirectory(), designTitle, designFolder);
}

std::filesystem::path COutputFiles::Folder(const std::string& directory,
                                           const std::string& designTitle,
                                           const std::filesystem::path& designFolder)
{
    return OutputFolderOf(directory, designFolder, FolderTitle(designTitle));
}

std::vector<std::string> COutputFiles::Names(const COutput& job, const std::string& designTitle)
{
    std::vector<std::string> names;
    const std::string& device = job.GetDevice();
    if (IsDrillDevice(device)) {
        const std::string title = DrillTitle(designTitle);
        for (int32_t n = 1; n <= job.GetItemCount(); ++n) {
            names.push_back(title + ".t" + TwoDigits(n));
            names.push_back(title + ".e" + TwoDigits(n));
        }
        return names;
    }
    if (!IsGerberDevice(device))
        return names;
    const std::string title = GerberTitle(designTitle);
    if (device.find("Single File") != std::string::npos) {
        names.push_back(title + ".GBR");
    } else {
        std::set<std::string> taken;
        for (int32_t i = 0; i < job.GetItemCount(); ++i) {
            const COutputRec& set = *job.GetItem(i);
            if (!set.IsOutput())
                continue;
            // Two sets of one name write two files.
            const std::string base = title + "_" + SafeName(set.GetDisplayName());
            std::string name = base;
            for (int32_t n = 2; taken.count(name) > 0; ++n)
                name = base + "_" + CNumberText::FormatInt(n);
            taken.insert(name);
            names.push_back(name + ".GBR");
        }
    }
    names.push_back(title + ".TXT");
    return names;
}

std::vector<std::filesystem::path> COutputFiles::Stale(const COutput& job,
                                                       const std::string& designTitle,
                                                       const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> stale;
    const std::string& device = job.GetDevice();
    const bool gerber = IsGerberDevice(device);
    if (!gerber && !IsDrillDevice(device))
        return stale;
    const std::vector<std::string> names = Names(job, designTitle);
    const std::string title = gerber ? GerberTitle(designTitle) : DrillTitle(designTitle);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        const std::string name = it->path().filename().string();
        if (std::find(names.begin(), names.end(), name) != names.end())
            continue;
        if (gerber ? FollowsGerberNaming(it->path(), title) : IsDrillName(name, title))
            stale.push_back(it->path());
    }
    std::sort(stale.begin(), stale.end());
    return stale;
}
