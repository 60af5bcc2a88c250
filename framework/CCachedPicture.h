#pragma once

// What a device context keeps of a drawing between paints (CDeviceContext::DrawCached): the
// owner of the drawing holds it, only the device that made it knows what is inside.
class CCachedPicture {
public:
    virtual ~CCachedPicture() = default;
};
