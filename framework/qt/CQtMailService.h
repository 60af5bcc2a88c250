#pragma once

#include "framework/CMailService.h"

// Starts the desktop's mail composer through xdg-email with the file attached.
class CQtMailService : public CMailService {
public:
    bool SendFile(const std::filesystem::path& file) override;
};
