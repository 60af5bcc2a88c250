#include "interchange/COutputFiles.h"

#include <set>

#include "framework/CNumberText.h"
#include "interchange/OutputText.h"
#include "model/COutput.h"
#include "model/COutputDevice.h"
#include "model/COutputRec.h"

namespace {

std::string TwoDigits(int32_t n)
{
    const std::string digits = CNumberText::FormatInt(n);
    return digits.size() < 2 ? "0" + digits : digits;
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
    const size_t first = designTitle.find_first_not_of(' ');
    if (first == std::string::npos)
        return SafeName(std::string());
    return SafeName(designTitle.substr(first, designTitle.find_last_not_of(' ') - first + 1));
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
