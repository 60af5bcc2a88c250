#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;

// "Edit Component Set Position": a point of the component (the mouse position, the centre of
// its box or one of its pins) shown as absolute coordinates, and the offset to move it by as
// relative ones. Typing an absolute value changes the offset by as much; typing an offset puts
// the absolute value at the point plus the offset. Choosing another point starts again from it
// with no offset.
class CCompSetPositionDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idPin = 113;
    static constexpr int32_t idCenter = 1110;
    static constexpr int32_t idPinNumber = 1113;
    static constexpr int32_t idMouse = 1114;
    static constexpr int32_t idXAbsolute = 1422;
    static constexpr int32_t idYAbsolute = 1423;
    static constexpr int32_t idXRelative = 1424;
    static constexpr int32_t idYRelative = 1425;

    // The choices of the "Reference point" group.
    static constexpr int32_t choiceMouse = 0;
    static constexpr int32_t choiceCenter = 1;
    static constexpr int32_t choicePin = 2;

    // Every point relative to the user offset, shown in `unit`.
    CCompSetPositionDlg(int32_t unit, const CDialogService::PinnedComponent& component,
                        CPoint center, CPoint mouse, QWidget* parent = nullptr);

    // The offset to move by; meaningful after OK.
    CPoint GetOffset() const { return m_relative; }

    void accept() override;

private:
    enum Field : size_t { xAbsolute, yAbsolute, xRelative, yRelative, fieldCount };

    CPoint ReferencePoint() const;
    // The absolute values at the chosen point, no offset.
    void StartFromPoint();
    void ShowFields();
    // Takes what a field holds when it differs from what it was shown with: the length texts
    // are rounded, so a field left alone never changes the offset.
    void TakeField(Field field);

    int32_t m_unit;
    std::vector<CPoint> m_pins;
    CPoint m_center;
    CPoint m_mouse;
    CPoint m_absolute;
    CPoint m_relative;
    QButtonGroup* m_choice = nullptr;
    QComboBox* m_pin = nullptr;
    std::array<QLineEdit*, fieldCount> m_fields{};
    std::array<std::string, fieldCount> m_shownTexts;
};
