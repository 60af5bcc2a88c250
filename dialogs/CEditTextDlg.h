#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/CTextFields.h"
#include "dialogs/CWevraDialog.h"

class QCheckBox;
class QComboBox;

// "Edit Text": the characters, height, line width and rotation of one free text as typed, its
// layer chosen by name and its mirror switch. OK gives them back.
class CEditTextDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idText = 1559;
    static constexpr int32_t idLayer = 1562;
    static constexpr int32_t idMirror = 1563;
    static constexpr int32_t idWidth = 1564;
    static constexpr int32_t idRotation = 1565;
    static constexpr int32_t idSize = 1566;

    struct Values {
        std::string text;
        std::string size;
        std::string width;
        std::string rotation;
        int32_t layer = 0;
        bool mirrored = false;
    };

    // `layerNames` is indexed by layer number; the signal layers and the ones above them are
    // offered, the drill program and the common layer not.
    CEditTextDlg(Values& values, const std::vector<std::string>& layerNames,
                 QWidget* parent = nullptr);

    void accept() override;

private:
    Values& m_values;
    CTextFields m_fields;
    QComboBox* m_layer;
    QCheckBox* m_mirror;
};
