#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/CPrintJob.h"
#include "tests/support/CRecordingDC.h"

// What a fake print job printed: the setup it started with and each page's drawing as
// CRecordingDC writes it.
struct CPrintedPages {
    CPrintSetup setup;
    std::vector<std::vector<std::string>> pages;
    bool ended = false;
};

// A print job on US Letter paper at 300 pixels per inch that records its pages into a
// CPrintedPages kept by its owner.
class CFakePrintJob : public CPrintJob {
public:
    static constexpr int32_t pixelsPerInch = 300;
    static constexpr CSize pageSize{2400, 3150};

    explicit CFakePrintJob(CPrintedPages& printed) : m_printed(printed) {}
    ~CFakePrintJob() override;
    CFakePrintJob(const CFakePrintJob&) = delete;
    CFakePrintJob& operator=(const CFakePrintJob&) = delete;

    CDeviceContext& GetDC() override { return m_dc; }
    CSize GetPageSize() const override { return pageSize; }
    int32_t GetPixelsPerInchX() const override { return pixelsPerInch; }
    int32_t GetPixelsPerInchY() const override { return pixelsPerInch; }
    bool NewPage() override;
    bool End() override;

private:
    CPrintedPages& m_printed;
    CRecordingDC m_dc{pageSize.cx, pageSize.cy};
};
