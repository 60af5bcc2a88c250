#pragma once

#include <cstdint>
#include <string>

#include "dialogs/CWevraDialog.h"
#include "model/CPadStackArray.h"

class CPadPreview;
class CWevraDoc;
class QComboBox;
class QListWidget;
class QPushButton;

// "Select Pad": the design's padstacks of one kind (free pad, shape pad or via), with the
// standard padstacks to add, the editor for new and changed padstacks, deletion, and on OK the
// chosen one as the kind's default.
class CSelectPadDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idAddToCache = 1599;
    static constexpr int32_t idStandard = 1600;
    static constexpr int32_t idDelete = 1601;
    static constexpr int32_t idEdit = 1602;
    static constexpr int32_t idList = 1603;
    static constexpr int32_t idNew = 1604;
    static constexpr int32_t idPreview = 1606;

    CSelectPadDlg(CWevraDoc& document, int32_t kind, QWidget* parent = nullptr);

    void accept() override;

    // Opens the padstack editor on padstack `index`; true on OK. Tests replace it.
    using Editor = bool (*)(CWevraDoc& document, int32_t index, QWidget* owner);
    static Editor SetEditor(Editor editor);

private:
    bool HasKind(int32_t index) const;
    // Lists the design's padstacks of the kind and selects `name` (the default's when empty).
    void FillList(const std::string& name);
    // The design's padstack of the listed name chosen, -1 for none.
    int32_t SelectedIndex() const;
    void ShowListPreview();
    void OnAdd();
    void OnNew();
    void OnEdit();
    void OnDelete();

    CWevraDoc& m_document;
    int32_t m_kind;
    CPadStackArray m_standard;
    QComboBox* m_standardCombo;
    QPushButton* m_add;
    QListWidget* m_list;
    CPadPreview* m_preview;
};
