#pragma once

#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

class QCheckBox;
class QComboBox;

// "Clean": which unused items go and whether the padstacks get a minimal copper border
// around their drill holes.
class CCleanDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idBorder = 1019;
    static constexpr int32_t idUnusedNets = 1020;
    static constexpr int32_t idUnusedPads = 1021;
    static constexpr int32_t idUnusedShapes = 1022;
    static constexpr int32_t idMinimalPadSize = 1023;
    // The borders offered, 0.15 to 0.35 mm, in board units.
    static constexpr int32_t borders[] = {1511, 2015, 2519, 3023, 3527};

    explicit CCleanDlg(int32_t unit, QWidget* parent = nullptr);

    CDialogService::CleanChoices GetChoices() const;

private:
    int32_t m_unit;
    QCheckBox* m_nets = nullptr;
    QCheckBox* m_shapes = nullptr;
    QCheckBox* m_pads = nullptr;
    QCheckBox* m_minimal = nullptr;
    QComboBox* m_border = nullptr;
};
