#pragma once

#include <filesystem>

// Hands a file to the desktop's mail program as the attachment of a new message, without
// waiting for it. This default sends nothing and answers false.
class CMailService {
public:
    virtual ~CMailService();

    // True when a mail program was started with the file attached.
    virtual bool SendFile(const std::filesystem::path& file);
};
