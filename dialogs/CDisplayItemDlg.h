#pragma once

#include <cstdint>

#include "dialogs/CLayerSetDlg.h"

// "Edit Item" of the display: the current display layer set, with its work layer.
class CDisplayItemDlg : public CLayerSetDlg {
    Q_OBJECT

public:
    static constexpr Ids ids = {1309, 1306, 1307, 1297, 1311, 1296, 1310, 1308, 1305,
                                1300, 1301, 1302, 1303, 1298, 1299, 0,    0,    1312};

    CDisplayItemDlg(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                    QWidget* parent = nullptr);
};
