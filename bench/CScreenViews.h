#pragma once

#include <cstdint>

#include "document/CDocumentViews.h"

// A full-HD view of the board, as the benchmarks paint it.
class CScreenViews : public CDocumentViews {
public:
    static constexpr int32_t width = 1920;
    static constexpr int32_t height = 1080;

    CSize GetClientSize() const override { return CSize(width, height); }
};
