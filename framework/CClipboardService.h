#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The system clipboard, holding data under named formats. This default keeps the data in
// memory, visible to this process only; the application installs the desktop's clipboard.
class CClipboardService {
public:
    virtual ~CClipboardService();

    // Whether the clipboard holds data of the format.
    virtual bool HasFormat(const std::string& format) const;
    // The data of the format; none when the clipboard holds none or cannot be read.
    virtual std::optional<std::vector<uint8_t>> GetData(const std::string& format) const;
    // Replaces the clipboard's content with the data under the format; false when the
    // clipboard could not be written.
    virtual bool SetData(const std::string& format, const std::vector<uint8_t>& data);

private:
    std::map<std::string, std::vector<uint8_t>> m_data;
};
