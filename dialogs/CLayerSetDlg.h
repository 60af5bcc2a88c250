#pragma once

#include <cstdint>

#include "dialogs/CWevraDialog.h"

class CDesign;
class CDocumentPaint;
class CEditSession;
class COutput;
class COutputArray;
class COutputRec;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

// "Edit Item": one layer set (the current item of the current job of a list): its name, its
// layers in order, mirroring, component texts and hole options. The output items of jobs and
// the display layer sets share it; the output item adds the output and colour switches, the
// display set its work layer. Changes reach the layer set only on OK.
class CLayerSetDlg : public CWevraDialog {
    Q_OBJECT

public:
    // The control ids of one kind of item dialog.
    struct Ids {
        int32_t name;
        int32_t available;
        int32_t chosen;
        int32_t moveOver;
        int32_t moveBack;
        int32_t moveAllOver;
        int32_t moveAllBack;
        int32_t moveUp;
        int32_t moveDown;
        int32_t mirrored;
        int32_t reference;
        int32_t shape;
        int32_t type;
        int32_t minDiameter;
        int32_t percent;
        // 0 where the dialog has no such control.
        int32_t output;
        int32_t color;
        int32_t workLayer;
    };
    // Each list entry is this many blanks (room for the colour swatch) and the layer's name.
    static constexpr int32_t entryIndent = 11;
    // Minimal hole diameters of the index, in board units.
    static constexpr int32_t minDiameters[] = {3023, 4031, 5039, 6047};

    // A list row of the layer: its name after the indent, its colour beside it, the layer
    // number with it.
    static QListWidgetItem* NewLayerEntry(const CDesign& design, const CDocumentPaint& paint,
                                          int32_t layer);
    // The layer of row `row`; 0 for no row.
    static int32_t LayerOf(const QListWidget& list, int row);

    void accept() override;

protected:
    // An output item edits the current item of the current output job, else the current display
    // layer set. The session gives the unit and marks the design modified on OK; the painting
    // gives the layers' colours.
    CLayerSetDlg(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                 const Ids& ids, bool outputItem, QWidget* parent);

private:
    QListWidget* NewList(int32_t id);
    QCheckBox* NewSwitch(const char* text, int32_t id);
    void AddEntry(QListWidget& list, int32_t layer);
    bool ChosenHolds(int32_t layer) const;
    // Moves entry `row` (0 when none is chosen) of one list to the end of the other.
    void Move(QListWidget& from, QListWidget& to, int row);
    void MoveAll(QListWidget& from, QListWidget& to);
    void Swap(int offset);
    void ApplyEnableRule();
    void FillWorkLayers();

    CDesign& m_design;
    CEditSession& m_session;
    const CDocumentPaint& m_paint;
    COutput* m_job;
    COutputRec* m_item;
    bool m_outputItem;
    bool m_windowsDevice;
    QLineEdit* m_name;
    QListWidget* m_available;
    QListWidget* m_chosen;
    QCheckBox* m_mirrored;
    QCheckBox* m_reference;
    QCheckBox* m_shape;
    QCheckBox* m_type;
    QComboBox* m_minDiameter;
    QComboBox* m_percent;
    QCheckBox* m_output = nullptr;
    QCheckBox* m_color = nullptr;
    QComboBox* m_workLayer = nullptr;
};
