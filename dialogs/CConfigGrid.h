#pragma once

#include <array>
#include <cstdint>

#include <QWidget>

#include "model/CGridArr.h"

class QAbstractButton;
class QCheckBox;
class QLineEdit;

// The "Grid" page of the design configuration: the visible grid and the snap step of the
// drawing, block and text grids, each length shown in inch and in mm side by side. Leaving one
// of the texts stores it and rewrites its twin in the other unit; the show modes and snap
// switches reach the page's grids on Apply.
class CConfigGrid : public QWidget {
    Q_OBJECT

public:
    // Per grid (drawing, block, text): the radios Invisible, Dots, Lines; the visible grid's
    // X inch, X mm, Y inch, Y mm; the "Snap to Grid" box; the snap step's four texts.
    struct GridIds {
        std::array<int32_t, 3> show;
        std::array<int32_t, 4> spacing;
        int32_t snapOn;
        std::array<int32_t, 4> snap;
    };
    static constexpr std::array<GridIds, CGridArr::recordCount> ids = {{
        {{1159, 1157, 1158}, {1160, 1161, 1162, 1163}, 1164, {1165, 1166, 1167, 1168}},
        {{1147, 1145, 1146}, {1148, 1149, 1150, 1151}, 1152, {1153, 1154, 1155, 1156}},
        {{1171, 1169, 1170}, {1172, 1173, 1174, 1175}, 1176, {1177, 1178, 1179, 1180}},
    }};

    explicit CConfigGrid(QWidget* parent = nullptr);

    // The grids' lengths, show modes and snap switches into the page.
    void LoadFrom(const CGridArr& grids);
    // The show modes and snap switches into the page's grids.
    void Apply();
    const CGridArr& GetGrids() const { return m_grids; }

private:
    // The texts of one length of grid r: `snap` the snap step, else the visible grid; index 0
    // X inch, 1 X mm, 2 Y inch, 3 Y mm.
    QLineEdit* Edit(int32_t r, bool snap, int32_t index) const;
    void ShowLengths(int32_t r, bool snap, bool x, bool y);
    void EditLeft(int32_t r, bool snap, int32_t index);

    CGridArr m_grids;
    std::array<std::array<QAbstractButton*, 3>, CGridArr::recordCount> m_show{};
    std::array<QCheckBox*, CGridArr::recordCount> m_snapOn{};
    // [grid][0 visible, 1 snap][text]
    std::array<std::array<std::array<QLineEdit*, 4>, 2>, CGridArr::recordCount> m_edits{};
};
