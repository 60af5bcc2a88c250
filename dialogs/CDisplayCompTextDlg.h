#pragma once

#include <cstdint>

#include "dialogs/CWevraDialog.h"

class QCheckBox;

// "Display componentstext": which component texts the display layer set shows.
class CDisplayCompTextDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idReference = 1248;
    static constexpr int32_t idShape = 1249;
    static constexpr int32_t idType = 1250;

    CDisplayCompTextDlg(bool reference, bool shape, bool type, QWidget* parent = nullptr);

    bool IsReference() const;
    bool IsShape() const;
    bool IsType() const;

private:
    QCheckBox* NewSwitch(const char* text, int32_t id, bool on);

    QCheckBox* m_reference;
    QCheckBox* m_shape;
    QCheckBox* m_type;
};
