#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

class QLineEdit;
class QListWidget;

// "Move component array circular": the components to put on a circle, chosen from those
// available and put in the order they go round, with the centre, the radius, the angles of
// the first and the last place and the rotations. The total angle and the angle per component
// follow the begin and end angles and the number of components; typing a total moves the end.
class CCompCircularDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idAdd = 1051;
    static constexpr int32_t idAngleBegin = 1052;
    static constexpr int32_t idAngleEnd = 1053;
    static constexpr int32_t idAngleFirst = 1054;
    static constexpr int32_t idAngleTotal = 1055;
    static constexpr int32_t idAvailable = 1056;
    static constexpr int32_t idXCenter = 1057;
    static constexpr int32_t idYCenter = 1058;
    static constexpr int32_t idDown = 1061;
    static constexpr int32_t idAnglePer = 1064;
    static constexpr int32_t idRadius = 1068;
    static constexpr int32_t idRemove = 1069;
    static constexpr int32_t idMoved = 1070;
    static constexpr int32_t idUp = 1071;

    // `values` is shown and, on OK, takes what the dialog holds.
    CCompCircularDlg(const std::vector<std::string>& references,
                     CDialogService::CircularPlacement& values, QWidget* parent = nullptr);

    void accept() override;

private:
    void FillLists();
    void MoveSelected(bool toCircle);
    void Swap(int step);
    // The total and the angle per component after the list or the begin or end angle changed.
    void Recompute();
    // A typed total moves the end angle.
    void TotalTyped();
    void SetText(QLineEdit& edit, double value);

    const std::vector<std::string>& m_references;
    CDialogService::CircularPlacement& m_values;
    std::vector<int32_t> m_moved;
    // Texts set by the dialog itself are not typed ones.
    bool m_showing = false;
    QListWidget* m_available = nullptr;
    QListWidget* m_circle = nullptr;
    QLineEdit* m_xCenter = nullptr;
    QLineEdit* m_yCenter = nullptr;
    QLineEdit* m_radius = nullptr;
    QLineEdit* m_begin = nullptr;
    QLineEdit* m_end = nullptr;
    QLineEdit* m_total = nullptr;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_per = nullptr;
};
