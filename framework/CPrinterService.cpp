#include "framework/CPrinterService.h"

CPrinterService::~CPrinterService() = default;
