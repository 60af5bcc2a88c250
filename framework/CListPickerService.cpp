#include "framework/CListPickerService.h"

CListPickerService::~CListPickerService() = default;
