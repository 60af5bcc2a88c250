#pragma once

#include <cstdint>

#include "dialogs/CWevraDialog.h"

class QButtonGroup;
class QCheckBox;

// "Padinfo": what the board shows on pads, and whether pins without a connection are marked.
class CPadInfoDlg : public CWevraDialog {
    Q_OBJECT

public:
    // The radio buttons are idFirstChoice + 0 ("Nothing") .. + 6 ("Net indexes").
    static constexpr int32_t idFirstChoice = 1515;
    static constexpr int32_t idMarkers = 1522;

    CPadInfoDlg(int32_t display, bool markers, QWidget* parent = nullptr);

    // 0..6; -1 while no choice is made.
    int32_t GetDisplay() const;
    bool GetMarkers() const;

private:
    QButtonGroup* m_choices;
    QCheckBox* m_markers;
};
