#include "analysis/CPlaneRefill.h"

#include "analysis/CPlaneBuild.h"
#include "model/CPour.h"

void CPlaneRefill::Run(CPlaneBuildDocument& document, std::span<CPour* const> planes)
{
    for (CPour* plane : planes)
        CPlaneBuild build(document, *plane);
}
