#include "document/COverviewMap.h"

#include <algorithm>
#include <cstdlib>

#include "document/CDesignSettings.h"
#include "document/CDocumentViews.h"
#include "document/CViewState.h"
#include "framework/Numeric.h"
#include "model/CNet.h"
#include "model/CNetArray.h"

namespace {

// The smallest d >= 100 with size / d <= client (integer division).
int64_t FittingDivisor(int64_t size, int32_t client)
{
    if (size <= 0)
        return COverviewMap::firstDivisor;
    const int64_t room = std::max(client, 0);
    return std::max<int64_t>(COverviewMap::firstDivisor, size / (room + 1) + 1);
}

int32_t ToPixel(int64_t boardUnits, int32_t divisor)
{
    return SaturateToInt(boardUnits / divisor);
}

} // namespace

int32_t COverviewMap::Divisor(int64_t boardWidth, int32_t clientWidth)
{
    return SaturateToInt(FittingDivisor(boardWidth, clientWidth));
}

int32_t COverviewMap::Divisor(int64_t boardWidth, int64_t boardHeight, CSize client)
{
    return SaturateToInt(
        std::max(FittingDivisor(boardWidth, client.cx), FittingDivisor(boardHeight, client.cy)));
}

CRect COverviewMap::VisibleRect(CPoint viewOffset, CSize viewPixels, int32_t scale, int32_t divisor)
{
    const int32_t left = ToPixel(-int64_t(viewOffset.x), divisor);
    const int32_t top = ToPixel(-int64_t(viewOffset.y), divisor);
    const int64_t width = int64_t(viewPixels.cx) * scale / divisor;
    const int64_t height = int64_t(viewPixels.cy) * scale / divisor;
    return CRect(left, top, SaturateToInt(left + width), SaturateToInt(top + height));
}

std::vector<CPoint> COverviewMap::Marks(const CNetArray& nets, int32_t divisor)
{
    std::vector<CPoint> marks;
    for (int32_t n = 0; n < nets.GetCount(); ++n) {
        const CNet& net = *nets.GetNet(n);
        for (int32_t p = 0; p < net.GetPinCount(); ++p) {
            const NetPinRec& pin = net.GetPin(p);
            marks.emplace_back(ToPixel(pin.x, divisor), ToPixel(pin.y, divisor));
        }
        // A pad or via is marked in the vertex's pen/layer word, not in its flags.
        for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
            const TrackRec& vertex = net.GetVertex(v);
            if (vertex.IsPad())
                marks.emplace_back(ToPixel(vertex.x, divisor), ToPixel(vertex.y, divisor));
        }
    }
    return marks;
}

bool COverviewMap::IsDrag(CPoint down, CPoint now)
{
    return std::abs(int64_t(now.x) - down.x) >= dragDistance &&
           std::abs(int64_t(now.y) - down.y) >= dragDistance;
}

COverviewMap::Target COverviewMap::Aim(CPoint down, CPoint up, bool dragged, int32_t divisor)
{
    if (!dragged || !IsDrag(down, up))
        return {CPoint(SaturateToInt(int64_t(down.x) * divisor),
                       SaturateToInt(int64_t(down.y) * divisor)),
                false, 0};
    CRect band(down.x, down.y, up.x, up.y);
    band.NormalizeRect();
    const int64_t centreX = (int64_t(band.left) + band.right) / 2;
    const int64_t centreY = (int64_t(band.top) + band.bottom) / 2;
    const int64_t side = std::max(band.Width(), band.Height());
    return {CPoint(SaturateToInt(centreX * divisor), SaturateToInt(centreY * divisor)), true,
            side * divisor / 1000};
}

void COverviewMap::Apply(CViewState& view, const Target& target)
{
    // A small rectangle asks for a scale below 1, which no pixel arithmetic survives.
    if (target.zoom)
        view.SetScale(int32_t(std::clamp<int64_t>(target.scale, CDesignSettings::minScale,
                                                  CDesignSettings::maxScale)));
    view.CenterOn(target.point.x, target.point.y);
    view.Windows().RedrawBoardView();
}
