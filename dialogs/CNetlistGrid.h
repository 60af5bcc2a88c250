#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/CTableGrid.h"

class CDesign;
class CEditSession;
class CNet;
class CNetArrayDocument;

// The netlist table's grid: one row per net with its counts and rules. A click makes the row's
// net current; the name, the width and spacing rules and the ratsnest switch are edited in
// place and written into the net however the edit ends (Esc ends it without storing); the
// current width is chosen from a drop list; Find and Replace puts one width or spacing into
// every net that has another. Each row names its net by the number in its first column, which
// is checked against the nets the design has now.
class CNetlistGrid : public CTableGrid {
    Q_OBJECT

public:
    enum Column : int {
        colNr = 0,
        colName,
        colPads,
        colToDo,
        colVias,
        colSegm,
        colCurrentWidth,
        colMinWidth,
        colMaxWidth,
        colMinSpace,
        colRatsLines
    };
    // The drop list's button shows on every cell of the column.
    static constexpr int dropListParam = 512;
    static constexpr int findDialogItem = 1000;
    // Widths and spacings a typed value must lie strictly between.
    static constexpr int32_t minTypedLength = 49;
    static constexpr int32_t maxTypedLength = 50394;
    // Find and Replace: the smallest replacement and the largest value looked for.
    static constexpr int32_t minReplacement = 50;
    static constexpr int32_t maxFindWidth = 60472;
    static constexpr int32_t maxFindSpace = 151181;

    // The session gives the unit and the action and marks the design modified; `nets` is the
    // design as its nets see it, which redraws the ratsnest and refills the net list.
    CNetlistGrid(CDesign& design, CEditSession& session, CNetArrayDocument& nets,
                 CViewCommandHost& view, QWidget* parent = nullptr);

    static std::vector<std::string> RowTexts(const CDesign& design, const CEditSession& session,
                                             int32_t index);
    // The widths the drop list of a net offers: net 0's track widths within the net's limits.
    static std::string WidthChoices(const CDesign& design, const CEditSession& session,
                                    const CNet& net);

    // The net a row names, or nullptr when the design has no such net (any more).
    CNet* NetOfRow(int row);
    // Find and Replace on the column: every cell showing `find` takes `replacement` in its
    // net. False when a value is outside its limits, which the user is told, and nothing was
    // looked for.
    bool ReplaceAll(int col, const std::string& find, const std::string& replacement);

    void OnGridSetup() override;
    void OnCellClick(int col, int row, int down, const CRect& rect, CPoint point,
                     int processed) override;
    void OnCharTyped(uint32_t& ch, int processed) override;
    int OnCellTypeEvent(int typeIndex, int col, int row, int message, int value,
                        const QString& text) override;
    int OnEditFinish(int col, int row, QWidget* edit, const QString& text, bool cancelled) override;
    int OnEditContinue(int /*col*/, int /*row*/, int& /*nextCol*/, int& /*nextRow*/) override
    {
        return 0;
    }
    void OnStoreCell(int col, int row, CGridCell& cell) override;
    int OnPopupOpen(int col, int row, int section) override;
    void OnPopupCommand(int col, int row, int section, int id) override;
    int OnCompareCells(const CGridCell* cell1, const CGridCell* cell2, int flags) override;

private:
    CDesign& m_design;
    CEditSession& m_session;
    CNetArrayDocument& m_nets;

    // Writes an edited text into the row's net; returns what the cell is to show.
    std::string WriteBack(int col, int row, const std::string& text);
    std::string RenameNet(int row, CNet& net, const std::string& text);
    std::string Length(int32_t value) const;
    // A change the planes' fills depend on: they are stale, and the design modified.
    void SetCopperModified();
    void OpenFindReplace(int col);

    // The cell whose edit was accepted and is being stored.
    int m_storeCol = -1;
    int m_storeRow = -1;
};
