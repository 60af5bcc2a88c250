#include "framework/CMailService.h"

CMailService::~CMailService() = default;

bool CMailService::SendFile(const std::filesystem::path&)
{
    return false;
}
