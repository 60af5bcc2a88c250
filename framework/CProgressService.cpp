#include "framework/CProgressService.h"

CProgressService::~CProgressService() = default;
