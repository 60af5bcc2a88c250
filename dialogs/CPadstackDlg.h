#pragma once

#include <cstdint>
#include <vector>

#include "dialogs/CWevraDialog.h"
#include "model/CPadStackArray.h"

class CDesign;
class CDocumentPaint;
class CEditSession;
class CPadPreview;
class QComboBox;
class QLineEdit;

// "Edit Padstack": one padstack of the design, layer by layer, with a preview. The dialog edits
// a copy; OK writes it back under a unique name and normalises the table, Cancel leaves the
// design as it was.
class CPadstackDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idHole = 1263;
    static constexpr int32_t idLayer = 1265;
    static constexpr int32_t idName = 1266;
    static constexpr int32_t idOffsetX = 1267;
    static constexpr int32_t idOffsetY = 1268;
    static constexpr int32_t idSizeX = 1269;
    static constexpr int32_t idSizeY = 1270;
    static constexpr int32_t idType = 1271;
    static constexpr int32_t idPreview = 1272;

    // The session gives the work layer shown first and the unit, and marks the design modified
    // on OK; the painting gives the layers' colours.
    CPadstackDlg(CDesign& design, CEditSession& session, const CDocumentPaint& paint, int32_t index,
                 QWidget* parent = nullptr);
    ~CPadstackDlg() override;
    CPadstackDlg(const CPadstackDlg&) = delete;
    CPadstackDlg& operator=(const CPadstackDlg&) = delete;

    void accept() override;
    // The name the padstack was given on OK.
    std::string GetName() const;
    // The edited copy.
    const CPadStack& GetPadStack() const { return *m_work.GetPadStack(0); }

private:
    QComboBox* NewLengthCombo(int32_t id, const std::vector<int32_t>& values,
                              const std::vector<int32_t>& extra);
    void ShowLayer();
    void ShowPreview();
    CPad* CurrentPad();
    // The length typed into a list: its entry is chosen, or made, and taken as if chosen.
    void OnLengthTyped(QComboBox& combo);
    // The length of the combo's chosen entry.
    static int32_t Value(const QComboBox& combo);
    // The label of a length field, for messages about it.
    QString FieldName(const QComboBox& combo) const;
    static void SelectValue(QComboBox& combo, int32_t unit, int32_t value);
    void OnSize(bool x);
    void OnOffset(bool x);

    CDesign& m_design;
    CEditSession& m_session;
    const CDocumentPaint& m_paint;
    int32_t m_index;
    int32_t m_layer;
    // The padstack being edited, alone in a table of its own.
    CPadStackArray m_work;
    QLineEdit* m_name;
    QComboBox* m_layers;
    QComboBox* m_type;
    QComboBox* m_hole;
    QComboBox* m_sizeX;
    QComboBox* m_sizeY;
    QComboBox* m_offsetX;
    QComboBox* m_offsetY;
    CPadPreview* m_preview;
    bool m_showing = false;
};
