#pragma once

#include <array>
#include <cstdint>

#include "dialogs/CWevraDialog.h"
#include "document/CComponentProperties.h"

class QCheckBox;
class QLineEdit;
class CToolDocument;

// "Component Properties": the names, position, rotation, side, group, cluster and flag bits of
// one component of the design, each lock shown inverted as "Enabled for Editing". OK asks
// before taking a reference another component bears (Yes swaps the two, No keeps the dialog
// open) and then edits the component after an undo state; Cancel changes nothing.
class CCompPropertiesDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idCluster = 1080;
    // The "Enabled for Editing" boxes in the order of CComponentProperties::locks.
    static constexpr std::array<int32_t, 13> idEnabled = {1094, 1082, 1090, 1093, 1089, 1091, 1092,
                                                          1087, 1084, 1083, 1086, 1088, 1085};
    static constexpr int32_t idFromPlaceComponent = 1095;
    static constexpr int32_t idFromNetlist = 1096;
    static constexpr int32_t idFromTemplate = 1097;
    static constexpr int32_t idGroup = 1098;
    static constexpr int32_t idMirrored = 1099;
    static constexpr int32_t idOppositeSilk = 1101;
    static constexpr int32_t idOppositeText = 1102;
    static constexpr int32_t idReference = 1103;
    static constexpr int32_t idRotation = 1104;
    static constexpr int32_t idShapeModified = 1105;
    static constexpr int32_t idShape = 1106;
    static constexpr int32_t idType = 1107;
    static constexpr int32_t idX = 1108;
    static constexpr int32_t idY = 1109;

    CCompPropertiesDlg(CToolDocument& document, int32_t component, QWidget* parent = nullptr);

    void accept() override;

private:
    QCheckBox* NewSwitch(const char* text, int32_t id, bool on);
    CComponentProperties::Values TypedValues() const;

    CToolDocument& m_document;
    int32_t m_component;
    CComponentProperties::Values m_shown;
    QLineEdit* m_reference = nullptr;
    QLineEdit* m_type = nullptr;
    QLineEdit* m_x = nullptr;
    QLineEdit* m_y = nullptr;
    QLineEdit* m_rotation = nullptr;
    QLineEdit* m_group = nullptr;
    QLineEdit* m_cluster = nullptr;
    QCheckBox* m_mirrored = nullptr;
    std::array<QCheckBox*, 13> m_enabled{};
    QCheckBox* m_oppositeText = nullptr;
    QCheckBox* m_oppositeSilk = nullptr;
};
