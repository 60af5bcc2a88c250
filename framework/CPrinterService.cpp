#include "framework/CPrinterService.h"

CPrinterService::~CPrinterService() = default;

std::unique_ptr<CPrintJob> CPrinterService::StartJob(const CPrintSetup&)
{
    return nullptr;
}
