#pragma once

#include <cstdint>
#include <string>

#include "dialogs/CWevraDialog.h"

class CPenTables;
class QListWidget;
class QPushButton;

// "Pens": the list of a pen table with its widths and uses, and the buttons that add, change and
// delete widths. Every change is made at once through the pen tables; the caller undoes them
// when the dialog is cancelled.
class CPensDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idList = 1549;
    static constexpr int32_t idNew = 1491;
    static constexpr int32_t idChange = 1033;
    static constexpr int32_t idDelete = 1207;

    explicit CPensDlg(CPenTables& pens, QWidget* parent = nullptr);

    void accept() override;

    // The width entry of New and Change; tests replace it by a scripted answer. Returns false
    // when cancelled.
    using WidthEntry = bool (*)(QWidget* owner, const char* title, std::string& width);
    static WidthEntry SetWidthEntry(WidthEntry entry);

private:
    // Fills the list from the table and selects `row` (the table's current pen when -1).
    void Refill(int32_t row);
    void UpdateButtons();
    void OnNew();
    void OnChange();
    void OnDelete();
    int32_t SelectedRow() const;

    CPenTables& m_pens;
    QListWidget* m_list;
    QPushButton* m_new;
    QPushButton* m_change;
    QPushButton* m_delete;
    bool m_filling = false;
};
