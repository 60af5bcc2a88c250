#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/CPaintState.h"
#include "document/CPaintedBoard.h"
#include "framework/CBrush.h"
#include "framework/CPen.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/ColorRef.h"
#include "model/CComponentArray.h"

class CDesign;
class CDeviceContext;
class CDocumentLink;
class CDocumentPlanes;
class CDocumentWindows;
class CEditSession;
class COutputRec;
class CViewState;
struct CDesignSettings;
struct CEditState;

// The document's drawing: the pens and colours it draws with, the board picture layer by layer,
// the selection and the tools' marks over it, the previews of the design configuration and the
// pages of the output jobs.
// It draws the design's collections at the view's scale and offset, which the design file's
// header keeps.
class CDocumentPaint {
public:
    // The view, the planes and the windows are made after the painting and used only once they
    // are there. `designName` answers the file title of the design, a printed job's title.
    CDocumentPaint(CDesign& design, CEditState& edit, CDocumentLink& link, CEditSession& session,
                   CViewState& view, CDocumentPlanes& planes, CDocumentWindows& windows,
                   std::function<std::string()> designName);
    CDocumentPaint(const CDocumentPaint&) = delete;
    CDocumentPaint& operator=(const CDocumentPaint&) = delete;

    // The colours in use, the pens built from them and whether the board is drawn afresh.
    CPaintState& State() { return m_paint; }
    const CPaintState& State() const { return m_paint; }

    // ---- Pens and colours -----------------------------------------------------------------------

    // Builds the 31 normal and 31 highlight pens and brushes and the component-text pens for a
    // target at a scale: the screen colours, the print colours, or black and white.
    void CreatePens(int32_t kind, int32_t scale);
    // Forgets them; drawing falls back to pens of the colours in use until they are built.
    void DeletePens();
    // A layer's colour, pen and brush in the normal or highlight set; a printed page draws
    // everything in the normal set.
    COLORREF LayerColor(int32_t layer, int32_t colorSet) const;
    CPen GetLayerPen(int32_t layer, int32_t colorSet) const;
    CBrush GetLayerBrush(int32_t layer, int32_t colorSet) const;
    CPen GetComponentTextPen(bool bottomSide, bool highlight) const;

    // ---- Board and overlays ---------------------------------------------------------------------

    // The board, layer by layer in the order of the current display layer set; pens are made
    // afresh for the screen when the scale or the target changed. True.
    bool DrawBoard(CDeviceContext& dc);
    // The selection in the highlight colours, over the board; nothing while component texts
    // are moved.
    void DrawSelection(CDeviceContext& dc);
    // The outline filled with layer 0's colour of the set; nothing below 5 points.
    void DrawBoardOutline(CDeviceContext& dc, int32_t offsetX, int32_t offsetY, int32_t scale,
                          int32_t colorSet) const;
    // A circle and a cross about pixel (x, y); nothing when the scale is too coarse for it.
    void DrawOriginMarker(CDeviceContext& dc, int32_t x, int32_t y, int32_t scale,
                          COLORREF color) const;
    // The default padstack of the current default kind at the snapped cursor: in the colours
    // of `colorSet` with `highlight`, else inverted (a second drawing erases it).
    void DrawPadAtCursor(CDeviceContext& dc, bool highlight, int32_t colorSet) const;
    // The same pad with the pen and brush selected.
    void DrawDefaultPadAtCursor(CDeviceContext& dc) const;
    // Ratsnest lines over the visible board: of the current net when there is one (the first
    // two), or of every other net.
    void DrawNetRatsnest(CDeviceContext& dc) const;
    void DrawCurrentRatsnest(CDeviceContext& dc) const;
    void DrawOtherRatsnest(CDeviceContext& dc) const;
    // The rubber band and the zoom rectangle, inverted.
    void DrawRubberBand(CDeviceContext& dc) const;
    void DrawSecondRubberBand(CDeviceContext& dc) const;

    // The board picture into a view's buffer of `buffer` pixels, `canvas`, which holds the
    // picture this drew last when that went to the same canvas: where only nets and components
    // changed since, in few places, just those places are drawn again (background first), else
    // the whole buffer. `over` draws what the view adds to the picture, clipped like the board.
    // True when the whole picture was drawn.
    bool RedrawBoard(CDeviceContext& dc, const void* canvas, const CRect& buffer,
                     COLORREF background, const std::function<void(CDeviceContext&)>& over);
    // The buffer no longer holds the last picture (a new buffer): the next one is drawn whole.
    void ForgetPaintedBoard() { m_painted.Forget(); }

    bool IsBoardDirty() const { return m_paint.boardDirty; }
    void SetBoardDirty() { m_paint.boardDirty = true; }
    bool IsUnconnectedPinMarks() const { return m_paint.unconnectedPinMarks; }
    void SetUnconnectedPinMarks(bool on) { m_paint.unconnectedPinMarks = on; }

    // ---- Previews of the design configuration ---------------------------------------------------

    // The board units per pixel that show a board of that size whole in width x height pixels:
    // the smallest whole number that fits; 0 for a box without area.
    static int32_t PreviewScale(int32_t boardWidth, int32_t boardHeight, int32_t width,
                                int32_t height);
    // The whole board with the layers of the current display layer set, in the screen colours,
    // into a box of width x height pixels. False, drawing nothing, without a set or a box.
    bool DrawLayerSetPreview(CDeviceContext& dc, int32_t width, int32_t height);
    // The same for the current item of the current output job, in the colours it prints with.
    bool DrawOutputPreview(CDeviceContext& dc, int32_t width, int32_t height);

    // ---- Printing
    // --------------------------------------------------------------------------------

    // Paints item `record` of the current output job on a printer page of `pixelsPerInch`, at
    // the job's scale and offset. False, painting nothing, for a job scale that gives no
    // positive print scale or a record the job lacks.
    bool PrintJobPage(CDeviceContext& dc, int32_t record, int32_t pixelsPerInch);
    // The same for item `record` of output job `job`.
    bool PrintJobPage(CDeviceContext& dc, int32_t job, int32_t record, int32_t pixelsPerInch);
    // Prints every item of the current output job, one page each, without asking (CJobPrintout):
    // into the PDF file when `pdfPath` is not empty, else on the job's printer (the printer the
    // user chose last when the job asks for the default printer or its own is gone). A job
    // that does not print to "WINDOWS" gives way to the first one that does; without one, or
    // when the printer fails, the user is told. True when the pages were printed.
    bool PrintOutputJob(const std::string& pdfPath);

private:
    void PrintLayers(CDeviceContext& dc, const COutputRec& record, const CRect& clip);
    // Whether the pens suit the screen at the present scale and colours; the visible board area
    // with a margin around it; the parts of DrawBoard.
    bool AreScreenPensCurrent() const;
    // DrawBoard for the items that meet `clip` (board units); `padCounts` as
    // CNetArray::DrawViaLabels takes them; `ratsnestShown` the components whose ratsnest is shown
    // (CComponentArray::PickRatsnestShown).
    void DrawBoardWithin(CDeviceContext& dc, const CRect& clip, std::span<const int32_t> padCounts,
                         std::span<const size_t> ratsnestShown);
    // The settings as far as the board picture shows them.
    CDesignSettings PictureSettings() const;
    // Everything but the nets, the components and the settings that the board picture shows.
    std::vector<uint8_t> PictureFingerprint(const void* canvas);
    // The pixel rectangle to draw again for what changed since the last picture (empty when
    // nothing did), or none when the whole picture is to be drawn; `componentRatsnest` says whether
    // a component shows its ratsnest.
    std::optional<CRect> ChangedPixels(CDeviceContext& dc, const std::vector<uint8_t>& fingerprint,
                                       bool componentRatsnest);
    // The board rectangle that a rectangle of view pixels shows, grown by `margin`.
    CRect BoardRectOfPixels(const CRect& pixels, int32_t margin) const;
    CRect GetVisibleBoardRect(int32_t margin) const;
    // The nets meeting the clip with a vertex not selected and the components that meet it and
    // are not selected (the selection overlay draws the rest), picked out once for every layer
    // drawn.
    struct MeetingItems {
        std::vector<size_t> nets;
        CComponentArray::LayerUse components;
    };
    void DrawBoardLayer(CDeviceContext& dc, int32_t layer, const CRect& clip,
                        const MeetingItems& meeting);
    void DrawBoardHoles(CDeviceContext& dc, const COutputRec& set, const CRect& clip,
                        const MeetingItems& meeting);
    void DrawComponentTexts(CDeviceContext& dc, const CRect& clip, bool selected);
    void DrawConnectionLines(CDeviceContext& dc, std::span<const size_t> ratsnestShown);
    void DrawPadAt(CDeviceContext& dc, CPoint cursor, int32_t layer) const;
    void DrawInvertedRect(CDeviceContext& dc, const CRect& rect) const;
    // The preview's scale and offset 0, with pens of `penKind`; EndPreview puts the view's back
    // with the screen's pens.
    void BeginPreview(int32_t scale, int32_t penKind);
    void EndPreview(int32_t savedScale, CPoint savedOffset);
    void DrawPreviewOutline(CDeviceContext& dc, bool filled);

    CDesign& m_design;
    CDesignSettings& m_settings;
    CEditState& m_edit;
    CDocumentLink& m_link;
    CEditSession& m_session;
    CViewState& m_view;
    CDocumentPlanes& m_planes;
    CDocumentWindows& m_windows;
    std::function<std::string()> m_designName;
    CPaintState m_paint;
    CPaintedBoard m_painted;
};
