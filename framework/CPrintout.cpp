#include "framework/CPrintout.h"

CPrintout::~CPrintout() = default;
