#pragma once

#include <string>

#include "dialogs/CWevraDialog.h"

// "PCB-design Info": the design's summary, display only.
class CPcbInfoDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idComponents = 1524;
    static constexpr int32_t idComponentPins = 1525;
    static constexpr int32_t idNets = 1526;
    static constexpr int32_t idBoardXSize = 1527;
    static constexpr int32_t idBoardYSize = 1528;

    // The board size as length texts, the counts as numbers.
    CPcbInfoDlg(const std::string& boardXSize, const std::string& boardYSize,
                const std::string& components, const std::string& componentPins,
                const std::string& nets, QWidget* parent = nullptr);
};
