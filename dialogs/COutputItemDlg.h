#pragma once

#include <cstdint>

#include "dialogs/CLayerSetDlg.h"

// "Edit Item" of an output job: the current item of the current output job, with its output
// and colour switches; for jobs that write files, colour and mirror are off and output on.
class COutputItemDlg : public CLayerSetDlg {
    Q_OBJECT

public:
    static constexpr Ids ids = {1378, 1374, 1375, 1359, 1380, 1358, 1379, 1377, 1371,
                                1363, 1365, 1366, 1367, 1361, 1362, 1364, 1360, 0};

    COutputItemDlg(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                   QWidget* parent = nullptr);
};
