#include "analysis/CPlaneRefill.h"

#include <string>

#include "analysis/CPlaneBuild.h"
#include "analysis/CPlaneBuildDocument.h"
#include "model/CPour.h"

size_t CPlaneRefill::Run(CPlaneBuildDocument& document, std::span<CPour* const> planes)
{
    for (size_t k = 0; k < planes.size(); ++k) {
        const CPlaneBuild build(document, *planes[k]);
        if (!build.IsCancelled())
            continue;
        if (k + 1 < planes.size()) {
            std::string names;
            for (size_t later = k + 1; later < planes.size(); ++later)
                names += (names.empty() ? "" : ", ") + planes[later]->GetName();
            document.SetStatusBarText("Refill cancelled; not refilled: " + names);
        }
        return k + 1;
    }
    return planes.size();
}
