#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QCursor>
#include <QPen>

#include "framework/CRect.h"
#include "gridctrl/CGridCell.h"

class QFont;
class CGridDataSource;
class CGridMemDataSource;

// One sheet of a grid: its counts, sizes, cursor, visible block, switches and data source.
// The grid and its child windows read and write the fields directly; the grid's operations
// keep them consistent.
class CGridSheetInfo {
public:
    // One grid column: its width, where its cells come from and what they default to.
    struct Column {
        int width = 75;
        CGridDataSource* source = nullptr;  // none: the sheet's source
        std::unique_ptr<CGridCell> defCell; // none: the sheet's default cell
        int sourceCol = 0;
    };

    // Mouse state while a button is handled; the selection rules depend on it.
    enum MouseState { MS_NONE = 0, MS_LEFT = 1, MS_RIGHT = 2, MS_MOVING = 3 };

    CGridSheetInfo();
    virtual ~CGridSheetInfo();

    int m_numCols = 0;
    int m_numRows = 0;
    int m_selCol = -1;
    int m_selRow = -1;
    int m_prevSelCol = -1;
    int m_prevSelRow = -1;
    int m_curCol = -1;
    int m_curRow = -1;
    int m_leftCol = 0;
    int m_prevLeftCol = 0;
    int m_rightCol = 0;
    int m_maxLeftCol = 0;
    int m_topRow = 0;
    int m_prevTopRow = 0;
    int m_bottomRow = 0;
    int m_maxTopRow = 0;
    int m_defColWidth = 75;
    int m_defRowHeight = 20;
    int m_uniformRowHeight = 0;
    std::vector<int> m_rowHeights;
    std::vector<Column> m_cols;
    std::vector<int> m_headingRowHeights{20};
    std::vector<int> m_headingColWidths{25};
    int m_topHeadingHeight = 20;
    int m_sideHeadingWidth = 40;
    int m_vScrollWidth = 16;
    int m_hScrollHeight = 16;
    int m_tabWidth = 0;
    int m_gridWidth = 0;
    int m_gridHeight = 0;
    CRect m_cellAreaRect;
    CRect m_topHeadingRect;
    CRect m_sideHeadingRect;
    CRect m_cornerRect;
    CRect m_vScrollRect;
    CRect m_hScrollRect;
    CRect m_tabsRect;
    int m_numLockCols = 0;
    int m_lockColWidth = 0;
    int m_numLockRows = 0;
    int m_lockRowHeight = 0;
    CGridCell m_defCell;
    std::unique_ptr<CGridMemDataSource> m_memSource;
    CGridDataSource* m_dataSource = nullptr;
    int m_mouseState = MS_NONE;
    int m_keyFlags = 0;
    QCursor m_arrowCursor{Qt::ArrowCursor};
    QCursor m_sizeWECursor{Qt::SizeHorCursor};
    QCursor m_sizeNSCursor{Qt::SizeVerCursor};
    const QFont* m_defFont = nullptr;
    QPen m_gridLinePen;
    int m_textMargin = 4;
    int m_drawGridLines = 1;
    int m_3DBorderWidth = 1;
    int m_highlightCurrentCell = 0;

    // Switches, 0 or 1.
    int m_enablePopupMenu = 0;
    int m_multiSelect = 0;
    int m_joinCells = 0;
    int m_textOverflow = 1;
    int m_sheetOption = 0;
    int m_drawingMode = 1;
    int m_highlightRow = 0;
    int m_endEditOnFocusLoss = 1;
    int m_toolTips = 0;
    int m_vScrollMode = 1;
    int m_hScrollMode = 1;
    int m_findWindowPlacement = 0;
    int m_userSizingMode = 1;
    int m_columnMoving = 0;
    int m_vScrollHint = 0;
    int m_hScrollHint = 0;
    int m_doubleBuffer = 0;
    // Where the last input came from (1 cell area ... 7 sheet tabs).
    int m_lastInputSection = 0;
};
