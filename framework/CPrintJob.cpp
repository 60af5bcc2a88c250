#include "framework/CPrintJob.h"

CPrintJob::~CPrintJob() = default;
