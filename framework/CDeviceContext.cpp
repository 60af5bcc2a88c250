#include "framework/CDeviceContext.h"

CDeviceContext::~CDeviceContext() = default;

bool CDeviceContext::IsSupportedROP2(int32_t mode)
{
    return mode == R2_NOT || mode == R2_XORPEN || mode == R2_NOTXORPEN || mode == R2_COPYPEN ||
           mode == R2_MERGEPEN;
}

void CDeviceContext::DrawCached(std::unique_ptr<CCachedPicture>& /*cache*/, uint64_t /*key*/,
                                const CRect& /*bounds*/,
                                const std::function<void(CDeviceContext&)>& draw)
{
    draw(*this);
}

std::vector<CRect> CDeviceContext::Bands() const
{
    return {};
}

bool CDeviceContext::DrawInBands(const std::function<void(std::size_t, CDeviceContext&)>& /*draw*/)
{
    return false;
}
