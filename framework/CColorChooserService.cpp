#include "framework/CColorChooserService.h"

CColorChooserService::~CColorChooserService() = default;
