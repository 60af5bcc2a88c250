#include "interchange/CMentorNetlist.h"

#include <cstdint>
#include <filesystem>

#include "framework/CFileSet.h"
#include "framework/CPathHelper.h"
#include "interchange/OutputText.h"
#include "model/CComponentArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"

namespace {

constexpr size_t columnWidth = 20;
constexpr int32_t pinsPerLine = 5;

std::string WithExtension(const std::string& path, const char* extension)
{
    return path.substr(0, path.size() - CPathHelper::GetExtension(path).size()) + extension;
}

// The file the netlist load reads for this name: an earlier one whose name differs only in case
// is replaced, not left beside the new one to be read in its place.
std::filesystem::path LoadedAs(const std::string& path)
{
    const std::filesystem::path given(path);
    if (given.parent_path().empty())
        return CPathHelper::FindIgnoringCase(".", path).filename();
    return CPathHelper::FindIgnoringCase(given.parent_path(), given.filename().string());
}

} // namespace

std::string CMentorNetlist::PartListPath(const std::string& path)
{
    return WithExtension(path, ".CMP");
}

std::string CMentorNetlist::NetListPath(const std::string& path)
{
    return WithExtension(path, ".NET");
}

std::string CMentorNetlist::PartListText(const CComponentArray& components)
{
    std::string text = "# Wevra Formatted Netlist for MENTOR Board Station V6\r\n"
                       "# Reference         .... Value Field         Module Field\r\n";
    for (int32_t i = 0; i < components.GetCount(); ++i) {
        text += PadRight(components.GetReference(i), columnWidth) + "PART ";
        text += PadRight(components.GetType(i), columnWidth);
        text += PadRight(components.GetShapeName(i), columnWidth) + "\r\n";
    }
    return text;
}

std::string CMentorNetlist::NetListText(const CComponentArray& components, const CNetArray& nets)
{
    std::string text;
    for (int32_t n = 1; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        const std::string prefix = "NET '" + net.GetName() + "'";
        std::string line = prefix;
        int32_t onLine = 0;
        for (int32_t p = 0; p < net.GetPinCount(); ++p) {
            const NetPinRec& pin = net.GetPin(p);
            line += " " + components.GetReference(pin.component) + "-" +
                    std::to_string(int32_t(pin.pad) + 1);
            if (++onLine == pinsPerLine) {
                text += line + "\r\n";
                line = prefix;
                onLine = 0;
            }
        }
        if (onLine > 0)
            text += line + "\r\n";
    }
    return text;
}

bool CMentorNetlist::Write(const CComponentArray& components, const CNetArray& nets,
                           const std::string& path, std::string& failedPath)
{
    // The part list and the net list are read as one netlist: both are replaced, or neither.
    CFileSet files;
    if (files.Add(LoadedAs(PartListPath(path)), PartListText(components)) &&
        files.Add(LoadedAs(NetListPath(path)), NetListText(components, nets)) && files.Commit())
        return true;
    failedPath = files.GetFailedFile().string() + " (" + files.GetFailure() + ")";
    return false;
}
