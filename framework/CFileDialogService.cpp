#include "framework/CFileDialogService.h"

CFileDialogService::~CFileDialogService() = default;
