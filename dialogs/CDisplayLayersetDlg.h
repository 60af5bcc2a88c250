#pragma once

#include <cstdint>

#include "dialogs/CWevraDialog.h"
#include "resources/CommandIds.h"

class COutput;
class CWevraDoc;
class QLineEdit;
class QListWidget;

// "Display Layerset": the display layer set to show, made current as soon as it is chosen so
// that the board shows it at once, with its work layer; Esc brings back the set of the start.
// "Edit..." opens the design configuration.
class CDisplayLayersetDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idList = 1246;
    static constexpr int32_t idWorkLayer = 1247;
    static constexpr int32_t idEdit = 1245;
    static constexpr uint32_t helpContext = 0x10000 + ID_VIEW_SELECT_LAYERSET;

    explicit CDisplayLayersetDlg(CWevraDoc& document, QWidget* parent = nullptr);

    void accept() override;
    void reject() override;

private:
    COutput* Sets() const;
    void Fill();
    void Select(int row);
    void ShowWorkLayer();
    void MakeCurrent(int32_t set);
    void Edit();

    CWevraDoc& m_document;
    QListWidget* m_list;
    QLineEdit* m_workLayer;
    int32_t m_startSet = 0;
};
