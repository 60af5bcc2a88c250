#pragma once

#include "framework/CClipboardService.h"

// The desktop's clipboard (QClipboard); each format is a MIME format of the same name.
class CQtClipboardService : public CClipboardService {
public:
    bool HasFormat(const std::string& format) const override;
    std::optional<std::vector<uint8_t>> GetData(const std::string& format) const override;
    bool SetData(const std::string& format, const std::vector<uint8_t>& data) override;
};
