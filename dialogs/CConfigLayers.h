#pragma once

#include <cstdint>

#include <QWidget>

class CDesign;
class CDocumentPaint;
class CEditSession;
class QListWidget;

// The "Layers" page of the design configuration: which of the 31 layers the design uses, in
// an "Enabled" and a "Disabled" list sorted by layer, each row with the layer's colour. Apply
// (also when the page is left) enables and shows the layers of the first list, disables and
// hides the others and takes the disabled ones out of the display layer sets.
class CConfigLayers : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t idEnabled = 1185;
    static constexpr int32_t idDisabled = 1182;
    static constexpr int32_t idEnable = 1181;
    static constexpr int32_t idDisable = 1184;

    // The session marks the design modified; the painting gives the layers' colours.
    CConfigLayers(CDesign& design, CEditSession& session, const CDocumentPaint& paint,
                  QWidget* parent = nullptr);

    // Both lists from the layer table.
    void Fill();
    // False, after telling the user, when no layer is enabled; nothing changes then.
    bool Apply();

private:
    void AddRow(QListWidget& list, int32_t layer);
    // The chosen row (row 0 when none is) goes to the other list; false for an empty list.
    bool Move(QListWidget& from, QListWidget& to);
    void Disable();

    CDesign& m_design;
    CEditSession& m_session;
    const CDocumentPaint& m_paint;
    QListWidget* m_enabled;
    QListWidget* m_disabled;
};
