#pragma once

#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

class QComboBox;
class QLineEdit;

// "Move User Offset": the user offset put at a typed distance from a component's pin, at
// (0, 0) or at the board's centre. Its cancel button, "Use cursor", leaves the offset to be
// picked on the board.
class CMoveUserOffsetDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idComponent = 1474;
    static constexpr int32_t idPin = 1475;
    static constexpr int32_t idXRelative = 1476;
    static constexpr int32_t idYRelative = 1477;
    static constexpr int32_t idCenter = 33007;
    static constexpr int32_t idReset = 33008;

    CMoveUserOffsetDlg(int32_t unit, const std::vector<CDialogService::PinnedComponent>& components,
                       CSize board, QWidget* parent = nullptr);

    // The offset chosen; meaningful after OK.
    CPoint GetOffset() const { return m_offset; }

private:
    // The board position of the chosen pin; (0, 0) without one.
    CPoint ChosenPin() const;
    void FillPins();
    void ShowPin();
    void Accept();

    int32_t m_unit;
    const std::vector<CDialogService::PinnedComponent>& m_components;
    CSize m_board;
    CPoint m_offset;
    QComboBox* m_component = nullptr;
    QComboBox* m_pin = nullptr;
    QLineEdit* m_xRelative = nullptr;
    QLineEdit* m_yRelative = nullptr;
};
