#include "framework/qt/CQtPrintJob.h"

#include <utility>

CQtPrintJob::CQtPrintJob(std::unique_ptr<QPrinter> printer)
    : m_ownPrinter(std::move(printer)), m_printer(m_ownPrinter.get())
{
}

CQtPrintJob::CQtPrintJob(QPrinter& printer) : m_printer(&printer) {}

CQtPrintJob::~CQtPrintJob()
{
    End();
}

bool CQtPrintJob::Begin()
{
    if (!m_painter.begin(m_printer))
        return false;
    m_dc.emplace(m_painter);
    return true;
}

CSize CQtPrintJob::GetPageSize() const
{
    const QRect page = m_printer->pageLayout().paintRectPixels(m_printer->resolution());
    return CSize(page.width(), page.height());
}

int32_t CQtPrintJob::GetPixelsPerInchX() const
{
    return m_printer->logicalDpiX();
}

int32_t CQtPrintJob::GetPixelsPerInchY() const
{
    return m_printer->logicalDpiY();
}

bool CQtPrintJob::NewPage()
{
    return m_painter.isActive() && m_printer->newPage();
}

bool CQtPrintJob::End()
{
    if (!m_painter.isActive())
        return false;
    // The context puts the painter's state back, which it must do before the painter ends.
    m_dc.reset();
    return m_painter.end();
}
