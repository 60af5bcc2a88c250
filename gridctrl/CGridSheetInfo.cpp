#include "gridctrl/CGridSheetInfo.h"

#include <QApplication>
#include <QStyle>

#include "gridctrl/CGridMemDataSource.h"
#include "gridctrl/GridPaint.h"

CGridSheetInfo::CGridSheetInfo()
    : m_memSource(std::make_unique<CGridMemDataSource>()), m_dataSource(m_memSource.get()),
      m_gridLinePen(QColor(220, 220, 220), 0)
{
    const int extent = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_vScrollWidth = extent;
    m_hScrollHeight = extent;
    m_defCell.SetBackColor(GetSysColor(COLOR_BTNFACE));
    m_defCell.SetBorder(0x2000);
    m_defCell.SetAlignment(GA_CENTER | GA_VCENTER);
}

CGridSheetInfo::~CGridSheetInfo() = default;
