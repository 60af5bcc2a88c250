#pragma once

#include <string>
#include <vector>

#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;

// "Plane Properties": name, layer, net, fill style, pen width, hatch grid and rotation, start
// point and minimal space of a copper plane.
class CPlanePropDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idCross = 1275;
    static constexpr int32_t idDefault = 1276;
    static constexpr int32_t idHatchGrid = 1278;
    static constexpr int32_t idLayer = 1282;
    static constexpr int32_t idLine = 1283;
    static constexpr int32_t idMinSpace = 1284;
    static constexpr int32_t idName = 1285;
    static constexpr int32_t idNet = 1286;
    static constexpr int32_t idPenWidth = 1288;
    static constexpr int32_t idHatchRotation = 1289;
    static constexpr int32_t idStartX = 1290;
    static constexpr int32_t idStartY = 1291;
    static constexpr int32_t idSolid = 1293;
    // What "Default" sets: pen width, hatch grid (0.9 mm) and rotation.
    static constexpr int32_t defaultPenWidth = 3033;
    static constexpr int32_t defaultHatchGrid = 9070;

    // `layerNames` by layer number (empty: not offered), `netNames` by net number.
    CPlanePropDlg(int32_t unit, const std::vector<std::string>& layerNames,
                  const std::vector<std::string>& netNames,
                  const CDialogService::PlaneValues& plane, QWidget* parent = nullptr);

    // The values as typed, over the plane's own for what the dialog does not show.
    CDialogService::PlaneValues GetValues() const;

private:
    void ShowValues(const CDialogService::PlaneValues& plane);
    void ApplyStyleRule();
    void SetDefaults();
    int32_t Parse(const QLineEdit& edit) const { return ParseLength(edit, m_unit); }

    int32_t m_unit;
    CDialogService::PlaneValues m_plane;
    QLineEdit* m_name = nullptr;
    QComboBox* m_layer = nullptr;
    QComboBox* m_net = nullptr;
    QLineEdit* m_penWidth = nullptr;
    QLineEdit* m_hatchGrid = nullptr;
    QLineEdit* m_hatchRotation = nullptr;
    QButtonGroup* m_style = nullptr;
    QLineEdit* m_startX = nullptr;
    QLineEdit* m_startY = nullptr;
    QLineEdit* m_minSpace = nullptr;
};
