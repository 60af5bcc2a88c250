#pragma once

#include <cstdint>

#include "dialogs/CTableDlg.h"

class CComponentGrid;
class CDesign;

// "Component Table": the design's components as they were when it opened.
class CComponentTableDlg : public CTableDlg {
    Q_OBJECT

public:
    static constexpr uint32_t dialogId = 115;
    static constexpr int32_t idPlaceholder = 1117;

    CComponentTableDlg(const CDesign& design, CViewCommandHost& view, QWidget* parent = nullptr);

    CComponentGrid* GetComponentGrid() const;
};
