#pragma once

#include <cstdint>

#include "dialogs/CWevraDialog.h"
#include "resources/CommandIds.h"

class CDesign;
class CDocumentPaint;
class CEditSession;
class QListWidget;

// "Select Default Layer": one of the design's enabled layers 1..30 (the drill program left
// out), the work layer chosen at first when it is listed. OK without a chosen row counts as
// Cancel.
class CSelectLayerDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idList = 1203;
    static constexpr uint32_t helpContext = 0x10000 + ID_SETTINGS_LAYER;

    CSelectLayerDlg(const CDesign& design, const CEditSession& session, const CDocumentPaint& paint,
                    QWidget* parent = nullptr);

    int32_t GetLayer() const { return m_layer; }

    void accept() override;

private:
    QListWidget* m_list;
    int32_t m_layer;
};
