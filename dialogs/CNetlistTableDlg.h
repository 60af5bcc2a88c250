#pragma once

#include <cstdint>

#include "dialogs/CTableDlg.h"

class CDesign;
class CEditSession;
class CNetArrayDocument;
class CNetlistGrid;

// "Netlist Table": the design's nets with their counts and rules, edited in place.
class CNetlistTableDlg : public CTableDlg {
    Q_OBJECT

public:
    static constexpr uint32_t dialogId = 156;
    static constexpr int32_t idPlaceholder = 1485;

    CNetlistTableDlg(CDesign& design, CEditSession& session, CNetArrayDocument& nets,
                     CViewCommandHost& view, QWidget* parent = nullptr);

    CNetlistGrid* GetNetlistGrid() const;
};
