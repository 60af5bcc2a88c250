#include "framework/CProgressWindow.h"

CProgressWindow::~CProgressWindow() = default;
