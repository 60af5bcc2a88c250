#pragma once

#include <cstdint>

#include "dialogs/CTableDlg.h"

class CLayerGrid;
class CWevraDoc;

// "Layer Table": the design's enabled layers with their colours, object counts and codes; the
// work layer is the current row. Its colours are edited in place.
class CLayerTableDlg : public CTableDlg {
    Q_OBJECT

public:
    static constexpr uint32_t dialogId = 149;
    static constexpr int32_t idPlaceholder = 1445;

    CLayerTableDlg(CWevraDoc& document, CViewCommandHost& view, QWidget* parent = nullptr);

    CLayerGrid* GetLayerGrid() const;
};
