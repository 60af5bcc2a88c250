#include "framework/CDeviceContext.h"

CDeviceContext::~CDeviceContext() = default;

bool CDeviceContext::IsSupportedROP2(int32_t mode)
{
    return mode == R2_NOT || mode == R2_XORPEN || mode == R2_NOTXORPEN || mode == R2_COPYPEN ||
           mode == R2_MERGEPEN;
}
