#pragma once

#include <cstdint>

#include "dialogs/CTableDlg.h"

class CDesign;
class CShapeGrid;
class CShapeLib;

// "Shape Table": the pins and outlines of the shapes of one shape library as they were when it
// opened; the library's current shape is the current row.
class CShapeTableDlg : public CTableDlg {
    Q_OBJECT

public:
    static constexpr uint32_t dialogId = 176;
    static constexpr int32_t idPlaceholder = 1635;

    // The library is read while the window opens, and not kept.
    CShapeTableDlg(const CDesign& design, CViewCommandHost& view, const CShapeLib& library,
                   QWidget* parent = nullptr);

    CShapeGrid* GetShapeGrid() const;
};
