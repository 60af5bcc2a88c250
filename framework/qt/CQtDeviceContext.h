#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <QStaticText>

#include "framework/CDeviceContext.h"
#include "framework/qt/CPixelRaster.h"
#include "framework/qt/CQtLabelBatch.h"
#include "framework/qt/CQtLabelGlyphs.h"
#include "framework/qt/CQtLabelPainter.h"
#include "framework/qt/CQtLabelPicture.h"

// The device context over a QPainter: the view's back buffer (a QImage in Format_RGB32), a
// printer page or any other paint device. Coordinates are the painter's logical units, meant
// to be device pixels.
//
// One-pixel lines, outlines and all fills are computed pixel by pixel (CPixelRaster) and
// painted as runs, so lines stop one pixel short of their end point and no pixel of a shape is
// painted twice, as XOR and NOT drawings need. Where the pixels differ from the classic
// device-context rules: the minor coordinate of a slanted line is the exact line's rounded to
// the nearest pixel (ties go down or right) rather than chosen by a diamond test, so a few
// pixels of a slanted line may sit one row off, and the same line drawn backwards can differ
// in those pixels; an ellipse's outline is the border ring of the pixels inside the ellipse,
// and is always solid. Pens wider than one pixel are stroked by Qt with round ends and joins,
// centred on the pixel centres, over the filling. Raster modes other than copy need a raster
// paint device (images and pixmaps); on others they draw as copy.
//
// On a printer or a picture a solid one-pixel pen draws hairlines instead: one dot on paper,
// and one pixel wherever the page is shown smaller than it has dots (the print preview, a
// viewer of the PDF), where a run of single dots would fall between the pixels and vanish.
//
// The painter's state is saved on construction and restored on destruction; meanwhile draw on
// it only through this context.
class CQtDeviceContext : public CDeviceContext {
public:
    explicit CQtDeviceContext(QPainter& painter);
    ~CQtDeviceContext() override;
    CQtDeviceContext(const CQtDeviceContext&) = delete;
    CQtDeviceContext& operator=(const CQtDeviceContext&) = delete;

    CPen SelectPen(const CPen& pen) override;
    CBrush SelectBrush(const CBrush& brush) override;
    CFontDesc SelectFont(const CFontDesc& font) override;

    int32_t SetROP2(int32_t mode) override;
    int32_t GetROP2() const override { return m_rop2; }

    CPoint MoveTo(CPoint point) override;
    void LineTo(CPoint point) override;
    void Polyline(std::span<const CPoint> points) override;
    void Polygon(std::span<const CPoint> points) override;
    void Rectangle(const CRect& rect) override;
    void Ellipse(const CRect& rect) override;
    void SetPixel(CPoint point, COLORREF color) override;
    void FillSolidRect(const CRect& rect, COLORREF color) override;

    void TextOut(CPoint point, std::string_view text) override;
    CSize GetTextExtent(std::string_view text) const override;
    COLORREF SetTextColor(COLORREF color) override;
    COLORREF SetBkColor(COLORREF color) override;
    BkMode SetBkMode(BkMode mode) override;

    void IntersectClipRect(const CRect& rect) override;
    void ResetClip() override;
    CRect GetClipBox() const override { return m_clipBox; }

    // In the copy and merge modes on an image drawn in its own pixels, the picture is kept as
    // a transparent image of the bounds' part on the device and laid over it; the same pixels
    // as drawing, because painting a pixel again in those modes gives what the picture holds.
    void DrawCached(std::unique_ptr<CCachedPicture>& cache, uint64_t key, const CRect& bounds,
                    const std::function<void(CDeviceContext&)>& draw) override;

    // Two for each thread of the work pool, from two threads on, on an image painted without
    // transform and clipped to a rectangle at most.
    std::vector<CRect> Bands() const override;
    bool DrawInBands(const std::function<void(std::size_t band, CDeviceContext&)>& draw) override;

    static QColor ToQColor(COLORREF color);
    // Sets the bytes of label pictures this thread keeps; gives the limit it replaces.
    static size_t SetLabelPictureLimit(size_t bytes);

private:
    bool HasThinPen() const;
    bool HasWidePen() const;
    // A solid one-pixel pen on a device where it draws hairlines.
    bool HasHairlinePen() const;
    void StrokeHairline(std::span<const CPoint> points, bool closed);
    // A solid one-pixel pen or none, and a solid brush or none.
    bool HasPlainTools() const;
    // Paints a polygon that is an upright rectangle with the plain tools, by runs.
    void FillUprightRectangle(const CRect& corners);
    // Appends the pixels of a one-pixel line in the pen's pattern: dash pixels to `ink`, gap
    // pixels to `gaps`. `step` carries the pattern position from line to line.
    void AppendThinLine(CPoint from, CPoint to, std::vector<CPoint>& ink, std::vector<CPoint>& gaps,
                        int64_t& step) const;
    void PaintThinLines(const std::vector<CPoint>& ink, const std::vector<CPoint>& gaps);
    void StrokeWide(const QPainterPath& path);
    // Fills with the brush, then draws the one-pixel outline (closed through outlinePoints)
    // or strokes the wide pen's path.
    void FillAndOutline(std::span<const CPoint> fillPolygon, std::span<const CPoint> outlinePoints,
                        const QPainterPath& widePath);
    void FillSpans(const std::vector<CPixelRaster::Span>& spans);
    void PaintPixels(const std::vector<CPoint>& pixels, COLORREF color);
    void PaintSpans(const std::vector<CPixelRaster::Span>& spans, COLORREF color);
    void PaintRects(const std::vector<QRect>& rects, COLORREF color);
    void PaintRects(const QRect* rects, int count, COLORREF color);
    // The image runs can be written into directly, or nullptr; kept in m_directImage while the
    // raster mode and clip stay. Needs m_clipBox.
    QImage* FindDirectImage() const;
    // The painter clips to m_clipBox exactly (or not at all).
    bool IsClipRectangular() const;
    // The painter's device when it is a 32-bit image painted without transform, or nullptr.
    QImage* UntransformedImage() const;
    const QFont& Font() const;
    const QFontMetrics& Metrics() const;
    // The selected font's cell height; asking the metrics each time locks the font engines.
    int TextHeight() const;
    // A text laid out once in the selected font: boards repeat the same few pad and via
    // numbers thousands of times, and shaping each again dominates a repaint.
    struct Label {
        QString string;
        // Laid out when Qt draws the text itself: pictures need no layout of their own.
        std::optional<QStaticText> laidOut;
        int advance = 0;
        // The text's pictures in the inks it was drawn in (kept apart, so that those found
        // through the inked labels stay where they are).
        struct Kept {
            QRgb ink = 0;
            CQtLabelPicture picture;
            // The context that last laid it (SharedLabels::contexts).
            uint64_t lastUse = 0;
        };
        std::vector<std::unique_ptr<Kept>> pictures;
    };
    // A new text's label is `made`, when given, laid out already; else it is measured, by the
    // label painter when the text may get a picture on `device`.
    Label& LabelFor(std::string_view text, Label* made = nullptr, const QImage* device = nullptr);
    const QStaticText& LaidOut(Label& label);
    // Taller text is drawn by Qt each time: a zoomed-in view shows few labels.
    static constexpr int maxPictureHeight = 64;
    // Nullptr once the pictures have taken their share of memory: the text is then drawn by
    // Qt, as remaking pictures that push others out would cost more on every repaint.
    // `made`, when given, is the picture, drawn already.
    Label::Kept* PictureOf(Label& label, QRgb ink, const QImage& device,
                           CQtLabelPicture* made = nullptr);
    // Lays the text's picture at the point, noting its use.
    void LayPicture(Label::Kept& kept, CPoint point);
    // Lays the text's picture or, when it gets none, has Qt draw the text.
    void DrawLabel(Label& label, CPoint point, QRgb ink, QImage* image);
    // Short texts in one ink, found by their bytes packed into an integer (PackedText):
    // hashing and comparing a string for each of a board's many labels would cost about as
    // much as laying its picture.
    struct InkedLabel {
        uint64_t text = 0; // 0 marks a free slot
        QRgb ink = 0;
        int32_t advance = 0;
        Label::Kept* picture = nullptr;
    };
    static constexpr size_t maxPackedLength = 7;
    // Nonzero, and one value per text of up to maxPackedLength bytes; else 0.
    static uint64_t PackedText(std::string_view text);
    // The text of a nonzero packed value, in `room`.
    static std::string_view UnpackedText(uint64_t packed, char (&room)[maxPackedLength]);
    // Nullptr when the text gets no picture.
    const InkedLabel* InkedLabelFor(uint64_t packed, std::string_view text, QRgb ink,
                                    const QImage& device, Label* newLabel = nullptr,
                                    CQtLabelPicture* made = nullptr);
    // The text's entry in the table, if it has one; reads the table only, so that threads may
    // look up side by side.
    static const InkedLabel* FindInkedLabel(const std::vector<InkedLabel>& table, uint64_t packed,
                                            QRgb ink);
    static size_t InkedSlot(const std::vector<InkedLabel>& table, uint64_t packed, QRgb ink);
    struct FontLabels;
    static InkedLabel& InsertInkedLabel(std::vector<InkedLabel>& table, const InkedLabel& entry);
    // Grows the font's table, if need be, to take `count` inked labels.
    static void ReserveInkedLabels(FontLabels& labels, size_t count);
    // Labels in the transparent mode with a short text wait here, and are laid together (on
    // every core) before anything else is drawn, the font or the clip changes, or the context
    // ends: a board writes them by the hundred thousand, one after another.
    struct PendingLabel {
        uint64_t text = 0;
        QRgb ink = 0;
        CPoint point;
    };
    // A label has its picture, or is laid from its glyphs (its run in m_glyphRuns).
    struct ResolvedLabel {
        Label::Kept* kept = nullptr;
        int top = 0;
        int bottom = 0;
        bool composed = false;
    };
    void LayPendingLabels();
    // The pending numbers the font writes in its kept glyphs are noted to be laid from them;
    // how many.
    size_t ComposePendingLabels(const QImage& device);
    // The other pending labels get their pictures, or are drawn by Qt in their turn; the first
    // label not laid yet.
    size_t ResolveOtherLabels(QImage& image);
    // Fewer pending labels are composed on the calling thread.
    static constexpr size_t minComposedRun = 4096;
    // The font's glyphs as this thread lays them; none where the font is always shaped.
    CQtLabelGlyphs* LabelGlyphs(const QImage& device);
    // The pending labels whose texts the font has no picture for yet in their ink get them,
    // drawn on every core: the first paint of a board meets a hundred thousand new texts.
    // Whether it drew any.
    bool MakeNewLabels(const QImage& device);
    // Fewer new texts are drawn on the calling thread: a painter for each thread would cost more.
    static constexpr size_t minNewLabelsSpread = 64;
    // The selected font made afresh, as Font() makes it: a thread of the pool draws with a font
    // of its own.
    QFont MakeFont() const;
    // Made for the selected font when a label is first measured or drawn by it.
    CQtLabelPainter& LabelPainter(const QImage& device);
    // The label's text drawn by the label painter.
    CQtLabelPicture NewPicture(const Label& label, QRgb ink, const QImage& device);
    // Lays the pending labels from `first` up to `last`, which have their pictures.
    void LayResolvedLabels(size_t first, size_t last);
    // While the pending labels get their pictures: the one at hand, those before it that are
    // laid, and whether pictures have gone since they were looked up.
    struct Resolving {
        size_t at = 0;
        size_t laid = 0;
        bool stale = false;
    };
    // Called before any kept picture goes: the pending labels that point at one are laid first.
    void BeforePicturesGo();
    // Whether a text cell of this width at the point may show pixels inside the clip box:
    // glyphs may overhang their cell by a little on either side.
    bool CellMeetsClip(CPoint point, int advance) const;
    void FillTextBackground(CPoint point, int advance);
    // The image a label can be laid straight into: a 32-bit image on which the painter clips
    // to the clip box at most; or nullptr.
    QImage* LabelImage() const;
    void ApplyClip();

    QPainter& m_painter;
    CPen m_pen;
    CBrush m_brush;
    CFontDesc m_font;
    // Made on first use: fonts need the application object, which pure drawing does not.
    mutable std::optional<QFont> m_qfont;
    mutable std::optional<QFontMetrics> m_metrics;
    mutable int m_textHeight = 0;
    // Whether the painter holds the selected font already.
    bool m_fontOnPainter = false;
    // Emptied when another font is selected.
    // Looked up by the text's view, without making a string of it each time.
    struct LabelHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>()(text);
        }
    };
    using LabelMap = std::unordered_map<std::string, Label, LabelHash, std::equal_to<>>;
    struct FontLabels {
        LabelMap labels;
        // Open addressing over a power-of-two number of slots, at most half of them used.
        std::vector<InkedLabel> inked;
        size_t inkedCount = 0;
        // Each byte's own advance as a text of one character, -1 until asked.
        std::array<int, 256> byteAdvances = [] {
            std::array<int, 256> unknown{};
            unknown.fill(-1);
            return unknown;
        }();
        std::unique_ptr<CQtLabelGlyphs> glyphs;
        bool glyphsAsked = false;
    };
    // How far right the text runs at most: no more than its characters do one by one, as
    // kerning and ligatures only draw them closer. A label is passed over by this before its
    // text is laid out: a small repaint of a big board would otherwise look up every label
    // left of the changed area in the rows it crosses.
    int MostAdvance(std::string_view text);
    // The labels of the selected font on this device, shared by every context of the thread:
    // the view paints through a new context each time, and would lay them all out again.
    FontLabels& Labels();
    struct SharedLabels {
        // A board's labels are a few thousand texts.
        static constexpr size_t limit = 200000;
        // Past this many bytes of label pictures those not laid by the last few contexts
        // go, and while that leaves too many no more are made. A board of 32,000 components
        // seen whole writes some 100,000 different via numbers in about 140 MB: were they
        // remade or drawn by Qt on every repaint, it would take twice as long.
        size_t pictureLimit = size_t(256) << 20;
        static constexpr uint64_t recentContexts = 8;
        // Contexts made so far; when pictures last had to go.
        uint64_t contexts = 0;
        uint64_t sweptAt = 0;
        std::unordered_map<std::string, FontLabels> byFont;
        // Working room of the labels laid on the thread, kept from context to context: a
        // board's paint lays a couple of hundred thousand, and room taken afresh for each paint
        // came back from the system page by page. Only the waiting labels are a context's own;
        // the last context to end leaves their room here for the next.
        std::vector<PendingLabel> sparePending;
        std::vector<ResolvedLabel> resolved;
        std::vector<CQtLabelBatch::GlyphRun> runs;
        CQtLabelBatch batch;
        size_t count = 0;
        size_t pictureBytes = 0;
        bool forgottenWithApplication = false;
    };
    static SharedLabels& Shared();
    static void ForgetSharedLabels();
    // Every inked label points at a picture: they go whenever a picture may have gone.
    static void ForgetInkedLabels();
    static thread_local SharedLabels s_shared;
    FontLabels* m_labels = nullptr;
    // Made for the selected font when a picture is first drawn.
    std::optional<CQtLabelPainter> m_labelPainter;
    // Looked up once: text comes by the thousand, the device and its transform stay.
    mutable std::optional<QImage*> m_labelImage;
    mutable CQtLabelPicture::Target m_labelTarget;
    std::vector<PendingLabel> m_pendingLabels;
    // The thread's: the work pool reaches them through the context.
    std::vector<ResolvedLabel>& m_resolvedLabels;
    std::vector<CQtLabelBatch::GlyphRun>& m_glyphRuns;
    Resolving* m_resolving = nullptr;
    CQtLabelBatch& m_labelBatch;
    int32_t m_rop2 = R2_COPYPEN;
    // The device is a printer or a picture.
    bool m_hairlines = false;
    QImage* m_directImage = nullptr;
    // The part of m_directImage drawing may reach.
    QRect m_directBounds;
    // Working room of the shapes and lines, kept from one to the next.
    std::vector<CPoint> m_scratchInk;
    std::vector<CPoint> m_scratchGaps;
    std::vector<CPixelRaster::Span> m_scratchBorder;
    std::vector<CPixelRaster::Span> m_scratchInside;
    std::vector<QRect> m_scratchRects;
    CPoint m_position;
    COLORREF m_textColor = 0;
    COLORREF m_bkColor = 0x00FFFFFF;
    BkMode m_bkMode = BkMode::Opaque;
    // The painter's own clip when we got it stays the limit of every clip set here.
    bool m_hadClip = false;
    QRegion m_initialClip;
    std::optional<CRect> m_clipRect;
    CRect m_clipBox;
};
