#pragma once

#include <cstdint>

#include <QWidget>

class CDesign;
class CDocumentPaint;
class CEditSession;
class COutput;
class CPreviewFrame;
class QListWidget;

// The "Display" page of the design configuration: the design's display layer sets, set 0 (the
// user's own arrangement) left out, with a picture of the board as the chosen set shows it.
// Add, Edit and Delete change the design at once.
class CConfigDisplay : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t idList = 1321;
    static constexpr int32_t idAdd = 1314;
    static constexpr int32_t idEdit = 1318;
    static constexpr int32_t idDelete = 1316;
    static constexpr int32_t idPreview = 1322;

    // Set 1 becomes current when set 0 was. The session marks the design modified.
    CConfigDisplay(CDesign& design, CEditSession& session, CDocumentPaint& paint,
                   QWidget* parent = nullptr);

    // Lists the sets and chooses the current one.
    void Fill();

private:
    COutput* Sets() const;
    void Select(int row);
    void Add();
    void Edit();
    void Delete();

    CDesign& m_design;
    CEditSession& m_session;
    CDocumentPaint& m_paint;
    QListWidget* m_list;
    CPreviewFrame* m_preview;
};
