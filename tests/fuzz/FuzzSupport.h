#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "framework/CMessageService.h"
#include "framework/CServices.h"

// What the fuzz targets share: no message box waits for an answer, and readers that take a
// path read the input from a file of this process's own.
class CSilentMessages : public CMessageService {
public:
    int32_t MessageBox(const std::string&, const std::string&, MessageButtons buttons,
                       MessageIcon) override
    {
        return FirstButtonAnswer(buttons);
    }
};

inline void SilenceMessages()
{
    static CSilentMessages messages;
    CServices::SetMessages(&messages);
}

// A folder of this process under the system's temporary folder, made once.
inline const std::filesystem::path& FuzzFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("wevra-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

inline std::filesystem::path WriteInput(const std::string& name, const uint8_t* data, size_t size)
{
    const std::filesystem::path path = FuzzFolder() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}
