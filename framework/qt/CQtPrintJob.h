#pragma once

#include <memory>
#include <optional>

#include <QPainter>
#include <QPrinter>

#include "framework/CPrintJob.h"
#include "framework/qt/CQtDeviceContext.h"

// A print job on a QPrinter: a printer of the desktop or a PDF file.
class CQtPrintJob : public CPrintJob {
public:
    // The printer is set up but not started; Begin starts painting on its first page.
    explicit CQtPrintJob(std::unique_ptr<QPrinter> printer);
    // A printer someone else keeps, such as the one a preview window paints on.
    explicit CQtPrintJob(QPrinter& printer);
    ~CQtPrintJob() override;
    CQtPrintJob(const CQtPrintJob&) = delete;
    CQtPrintJob& operator=(const CQtPrintJob&) = delete;

    // False when the printer or the file cannot be opened.
    bool Begin();

    CDeviceContext& GetDC() override { return *m_dc; }
    CSize GetPageSize() const override;
    int32_t GetPixelsPerInchX() const override;
    int32_t GetPixelsPerInchY() const override;
    bool NewPage() override;
    bool End() override;

private:
    std::unique_ptr<QPrinter> m_ownPrinter;
    QPrinter* m_printer;
    QPainter m_painter;
    std::optional<CQtDeviceContext> m_dc;
};
