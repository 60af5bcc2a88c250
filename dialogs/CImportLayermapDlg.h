#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/CWevraDialog.h"
#include "interchange/CDosConfig.h"

class QComboBox;
class QLineEdit;

// "Import Layermap": the tables of a DOS configuration file, the board layers the DOS layers
// 1..15 go to and the line widths of the DOS pens and of DOS layers 8..15. Browse reads the
// tables of another configuration file.
class CImportLayermapDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idPath = 1414;
    static constexpr int32_t idBrowse = 1415;
    static constexpr int32_t idFirstPen = 1534;
    static constexpr int32_t idFirstLayerCombo = 1571;
    // The width edits of DOS layers 8..15.
    static constexpr std::array<int32_t, 8> layerPenIds = {1547, 1548, 1541, 1542,
                                                           1543, 1544, 1545, 1546};
    static constexpr int32_t dosLayerCount = 15;

    // `layerNames` by board layer number; the layer map of `config` is preset in the combos.
    // Browse starts in `startFolder`.
    CImportLayermapDlg(const std::string& cnfPath, bool browse, uint32_t helpId,
                       const std::vector<std::string>& layerNames, const CDosConfig& config,
                       const std::string& startFolder, QWidget* parent = nullptr);

    // After OK: the tables read, the layer map chosen and the widths typed.
    const CDosConfig& GetConfig() const { return m_config; }

    void accept() override;

private:
    void Browse();
    void ShowWidths();
    static void TakeWidth(const QLineEdit& edit, int32_t& width);

    CDosConfig m_config;
    std::string m_startFolder;
    QLineEdit* m_path = nullptr;
    std::array<QComboBox*, dosLayerCount> m_layers{};
    std::array<QLineEdit*, 7> m_pens{};
    std::array<QLineEdit*, 8> m_layerPens{};
};
