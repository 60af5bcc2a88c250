// Feeds arbitrary bytes to the DOS component library reader the way the library import reads
// one ".LMC" file into a new shape.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "interchange/CLmcImport.h"
#include "model/CShapeLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("wevra-lmc-fuzz-" + std::to_string(getpid()));
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    CLmcImport import;
    CShapeLib library("FUZZ");
    const int32_t shape = library.AddShape("S");
    std::string error;
    if (import.ReadLmcFile(file.string(), library, shape, error))
        library.NormalizeAll();
    return 0;
}
