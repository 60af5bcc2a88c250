#pragma once

#include <cstdint>

#include "dialogs/CTableDlg.h"

class CPadStackGrid;
class CShapeLib;
class CWevraDoc;

// "Padstack Table": the padstacks of one shape library with their pads layer by layer, as
// they were when it opened; the library's default padstack is the current row.
class CPadStackTableDlg : public CTableDlg {
    Q_OBJECT

public:
    static constexpr uint32_t dialogId = 161;
    static constexpr int32_t idPlaceholder = 1514;

    // The library is read while the window opens, and not kept.
    CPadStackTableDlg(CWevraDoc& document, CViewCommandHost& view, const CShapeLib& library,
                      QWidget* parent = nullptr);

    CPadStackGrid* GetPadStackGrid() const;
};
