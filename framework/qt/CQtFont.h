#pragma once

#include <QFont>

#include "framework/CFontDesc.h"

// Fonts by description as Qt fonts and back. Heights are pixel sizes: a negative height is the
// character height, a positive one is taken as the pixel size too (a device context that
// knows its device scales it to the cell height).
class CQtFont {
public:
    static QFont ToQFont(const CFontDesc& desc);
    // A size in points becomes pixels at 96 per inch; the height comes back negative.
    static CFontDesc FromQFont(const QFont& font);
};
