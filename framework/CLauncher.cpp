#include "framework/CLauncher.h"

CLauncher::~CLauncher() = default;
