#include "framework/qt/CQtDeviceContext.h"

#include <algorithm>
#include <atomic>
#include <bitset>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainterPath>
#include <QString>

#include "framework/CWorkPool.h"
#include "framework/qt/CQtFont.h"
#include "framework/qt/CQtText.h"

namespace {

// Dash patterns of one-pixel pens, in pixels: drawn, then left out.
constexpr int64_t dashOn = 18, dashOff = 6;
constexpr int64_t dotOn = 3, dotOff = 3;
constexpr int hatchPeriod = 8;

QPainter::CompositionMode CompositionFor(int32_t rop2)
{
    switch (rop2) {
    case R2_NOT:
        return QPainter::RasterOp_NotDestination;
    case R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MERGEPEN:
        return QPainter::RasterOp_SourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

int32_t Clamped(int32_t value)
{
    return std::clamp(value, -CPixelRaster::coordinateLimit, CPixelRaster::coordinateLimit);
}

QPointF ToQPointF(CPoint p)
{
    return QPointF(Clamped(p.x), Clamped(p.y));
}

CRect Normalized(CRect rect)
{
    rect.NormalizeRect();
    return CRect(Clamped(rect.left), Clamped(rect.top), Clamped(rect.right), Clamped(rect.bottom));
}

// The opaque pixel value of a colour, as QColor's rgba() gives it.
QRgb ToQRgb(COLORREF color)
{
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

QRect ToQRect(const CRect& rect) // rect normalised and clamped
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// The pixels of a horizontal or vertical one-pixel line as one run: the same pixels
// CPixelRaster::AppendLine gives, without listing them one by one (filled planes are made of
// such lines by the thousand). False for a slanted line; an empty run when nothing shows.
bool AxisRun(CPoint from, CPoint to, const CRect& bounds, QRect& run)
{
    const int64_t x0 = Clamped(from.x), y0 = Clamped(from.y);
    const int64_t dx = Clamped(to.x) - x0, dy = Clamped(to.y) - y0;
    if (dx != 0 && dy != 0)
        return false;
    run = QRect();
    const int64_t length = std::max(std::abs(dx), std::abs(dy));
    if (length == 0 || bounds.IsRectEmpty())
        return true;
    const bool xMajor = dy == 0;
    const int64_t major0 = xMajor ? x0 : y0, minor = xMajor ? y0 : x0;
    const bool forward = (xMajor ? dx : dy) > 0;
    const int64_t majorLow = xMajor ? bounds.left : bounds.top;
    const int64_t majorHigh = xMajor ? bounds.right : bounds.bottom;
    if (minor < (xMajor ? bounds.top : bounds.left) ||
        minor >= (xMajor ? bounds.bottom : bounds.right))
        return true;
    int64_t low = 0, high = 0; // the run covers low..high-1
    if (forward) {
        low = std::max(major0, majorLow);
        high = std::min(major0 + length, majorHigh);
    } else {
        low = std::max(major0 - length + 1, majorLow);
        high = std::min(major0 + 1, majorHigh);
    }
    if (low >= high)
        return true;
    run = xMajor ? QRect(int(low), int(minor), int(high - low), 1)
                 : QRect(int(minor), int(low), 1, int(high - low));
    return true;
}

// The columns of a row that a hatch draws: the whole row, or every eighth column from one or two
// starting residues.
struct HatchRow {
    bool whole = false;
    int residues[2] = {-1, -1};
};

HatchRow HatchRowOf(CBrush::Hatch hatch, int32_t y)
{
    const int mask = hatchPeriod - 1;
    const bool lineRow = (y & mask) == 0;
    const int down = y & mask;  // x - y = 0: runs down to the right
    const int up = (-y) & mask; // x + y = 0: runs up to the right
    HatchRow row;
    switch (hatch) {
    case CBrush::Hatch::Horizontal:
        row.whole = lineRow;
        break;
    case CBrush::Hatch::Vertical:
        row.residues[0] = 0;
        break;
    case CBrush::Hatch::ForwardDiagonal:
        row.residues[0] = down;
        break;
    case CBrush::Hatch::BackwardDiagonal:
        row.residues[0] = up;
        break;
    case CBrush::Hatch::Cross:
        row.whole = lineRow;
        row.residues[0] = 0;
        break;
    case CBrush::Hatch::DiagonalCross:
        row.residues[0] = down;
        row.residues[1] = up;
        break;
    }
    return row;
}

// Joins neighbouring pixels of a row or a column into one rectangle each.
void ToRuns(const std::vector<CPoint>& pixels, std::vector<QRect>& rects)
{
    rects.clear();
    for (const CPoint& p : pixels) {
        if (!rects.empty()) {
            QRect& r = rects.back();
            if (r.height() == 1 && p.y == r.top()) {
                if (p.x == r.right() + 1) {
                    r.setRight(p.x);
                    continue;
                }
                if (p.x == r.left() - 1) {
                    r.setLeft(p.x);
                    continue;
                }
            }
            if (r.width() == 1 && p.x == r.left()) {
                if (p.y == r.bottom() + 1) {
                    r.setBottom(p.y);
                    continue;
                }
                if (p.y == r.top() - 1) {
                    r.setTop(p.y);
                    continue;
                }
            }
        }
        rects.emplace_back(p.x, p.y, 1, 1);
    }
}

// The corners of a polygon that is an upright rectangle (four corners in order round it, the
// first maybe repeated at the end), as the smallest and largest corner; false for any other.
bool UprightRectangle(std::span<const CPoint> points, CRect& corners)
{
    if (points.size() == 5 && points[4] != points[0])
        return false;
    if (points.size() != 4 && points.size() != 5)
        return false;
    CPoint p[4];
    for (size_t k = 0; k < 4; ++k)
        p[k] = CPoint(Clamped(points[k].x), Clamped(points[k].y));
    const bool across =
        p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
    const bool down = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
    if (!across && !down)
        return false;
    corners = CRect(std::min(p[0].x, p[2].x), std::min(p[0].y, p[2].y), std::max(p[0].x, p[2].x),
                    std::max(p[0].y, p[2].y));
    return true;
}

// A drawing as it came out, on a transparent image at its place on the device.
class CQtCachedPicture : public CCachedPicture {
public:
    uint64_t key = 0;
    QRect area;
    QImage image;
};

} // namespace

CQtDeviceContext::CQtDeviceContext(QPainter& painter)
    : m_painter(painter), m_resolvedLabels(s_shared.resolved), m_glyphRuns(s_shared.runs),
      m_labelBatch(s_shared.batch)
{
    m_pendingLabels.swap(s_shared.sparePending);
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setCompositionMode(CompositionFor(m_rop2));
    m_painter.setBackgroundMode(Qt::TransparentMode);
    if (const QPaintDevice* device = m_painter.device())
        m_hairlines =
            device->devType() == QInternal::Printer || device->devType() == QInternal::Picture;
    m_hadClip = m_painter.hasClipping();
    if (m_hadClip)
        m_initialClip = m_painter.clipRegion();
    ApplyClip();
    ++s_shared.contexts;
}

CQtDeviceContext::~CQtDeviceContext()
{
    try {
        LayPendingLabels();
    } catch (...) {
        // Out of memory for the bands: the labels are missing from this paint only.
    }
    m_pendingLabels.clear();
    if (m_pendingLabels.capacity() > s_shared.sparePending.capacity())
        m_pendingLabels.swap(s_shared.sparePending);
    m_painter.restore();
}

QColor CQtDeviceContext::ToQColor(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

CPen CQtDeviceContext::SelectPen(const CPen& pen)
{
    return std::exchange(m_pen, pen);
}

CBrush CQtDeviceContext::SelectBrush(const CBrush& brush)
{
    return std::exchange(m_brush, brush);
}

CFontDesc CQtDeviceContext::SelectFont(const CFontDesc& font)
{
    // The same font again keeps what was made of it, and the labels waiting for it.
    if (font == m_font)
        return font;
    LayPendingLabels();
    m_qfont.reset();
    m_metrics.reset();
    m_fontOnPainter = false;
    m_labels = nullptr;
    m_labelPainter.reset();
    return std::exchange(m_font, font);
}

int32_t CQtDeviceContext::SetROP2(int32_t mode)
{
    if (!IsSupportedROP2(mode))
        return 0;
    m_painter.setCompositionMode(CompositionFor(mode));
    const int32_t previous = std::exchange(m_rop2, mode);
    m_directImage = FindDirectImage();
    return previous;
}

CPoint CQtDeviceContext::MoveTo(CPoint point)
{
    return std::exchange(m_position, point);
}

void CQtDeviceContext::LineTo(CPoint point)
{
    LayPendingLabels();
    const CPoint from = std::exchange(m_position, point);
    if (HasHairlinePen()) {
        if (from != point) {
            const CPoint line[] = {from, point};
            StrokeHairline(line, false);
        }
        return;
    }
    QRect run;
    if (HasThinPen() && m_pen.style == CPen::Style::Solid && AxisRun(from, point, m_clipBox, run)) {
        if (!run.isEmpty())
            PaintRects(&run, 1, m_pen.color);
    } else if (HasThinPen()) {
        // Kept from line to line: boards draw lines by the hundred thousand.
        std::vector<CPoint>& ink = m_scratchInk;
        std::vector<CPoint>& gaps = m_scratchGaps;
        ink.clear();
        gaps.clear();
        int64_t step = 0;
        AppendThinLine(from, point, ink, gaps, step);
        PaintThinLines(ink, gaps);
    } else if (HasWidePen()) {
        QPainterPath path(ToQPointF(from));
        path.lineTo(ToQPointF(point));
        StrokeWide(path);
    }
}

void CQtDeviceContext::Polyline(std::span<const CPoint> points)
{
    LayPendingLabels();
    if (points.size() < 2)
        return;
    if (HasHairlinePen()) {
        StrokeHairline(points, false);
    } else if (HasThinPen()) {
        std::vector<CPoint> ink, gaps;
        int64_t step = 0;
        for (size_t i = 0; i + 1 < points.size(); ++i)
            AppendThinLine(points[i], points[i + 1], ink, gaps, step);
        PaintThinLines(ink, gaps);
    } else if (HasWidePen()) {
        QPainterPath path(ToQPointF(points[0]));
        for (size_t i = 1; i < points.size(); ++i)
            path.lineTo(ToQPointF(points[i]));
        StrokeWide(path);
    }
}

void CQtDeviceContext::Polygon(std::span<const CPoint> points)
{
    LayPendingLabels();
    if (points.size() < 2)
        return;
    CRect corners;
    if (HasPlainTools() && !HasHairlinePen() && UprightRectangle(points, corners)) {
        // Pads are mostly upright rectangles of a few pixels, by the hundred thousand.
        FillUprightRectangle(corners);
        return;
    }
    QPainterPath path;
    if (HasWidePen()) {
        path.moveTo(ToQPointF(points[0]));
        for (size_t i = 1; i < points.size(); ++i)
            path.lineTo(ToQPointF(points[i]));
        path.closeSubpath();
    }
    FillAndOutline(points, points, path);
}

void CQtDeviceContext::Rectangle(const CRect& rect)
{
    LayPendingLabels();
    const CRect r = Normalized(rect);
    if (r.IsRectEmpty())
        return;
    const CPoint whole[] = {
        {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    // The outline runs through the outermost pixels, right and bottom included.
    const CPoint outline[] = {
        {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
    QPainterPath path;
    if (HasWidePen())
        path.addRect(QRectF(r.left, r.top, r.right - 1 - r.left, r.bottom - 1 - r.top));
    FillAndOutline(whole, outline, path);
}

void CQtDeviceContext::Ellipse(const CRect& rect)
{
    LayPendingLabels();
    const CRect r = Normalized(rect);
    if (r.IsRectEmpty())
        return;
    std::vector<CPixelRaster::Span>& border = m_scratchBorder;
    std::vector<CPixelRaster::Span>& inside = m_scratchInside;
    border.clear();
    inside.clear();
    CPixelRaster::Ellipse(r, m_clipBox, border, inside);
    if (HasThinPen() && !HasHairlinePen()) {
        if (m_brush.style != CBrush::Style::Null)
            FillSpans(inside);
        PaintSpans(border, m_pen.color);
        return;
    }
    if (m_brush.style != CBrush::Style::Null) {
        // Border and inside together in row order.
        std::vector<CPixelRaster::Span> whole(border);
        whole.insert(whole.end(), inside.begin(), inside.end());
        std::sort(whole.begin(), whole.end(), [](const auto& a, const auto& b) {
            return a.y != b.y ? a.y < b.y : a.left < b.left;
        });
        FillSpans(whole);
    }
    if (HasWidePen()) {
        // Centred on the outermost pixels, as the outline of a rectangle.
        QPainterPath path;
        path.addEllipse(QRectF(r.left, r.top, r.right - 1 - r.left, r.bottom - 1 - r.top));
        StrokeWide(path);
    } else if (HasHairlinePen()) {
        m_painter.setPen(QPen(ToQColor(m_pen.color), 0));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawEllipse(QRectF(r.left, r.top, r.right - 1 - r.left, r.bottom - 1 - r.top));
    }
}

void CQtDeviceContext::SetPixel(CPoint point, COLORREF color)
{
    LayPendingLabels();
    const QRect pixel(point.x, point.y, 1, 1);
    if (m_clipBox.PtInRect(point))
        PaintRects(&pixel, 1, color);
}

void CQtDeviceContext::FillSolidRect(const CRect& rect, COLORREF color)
{
    LayPendingLabels();
    const CRect r = Normalized(rect);
    if (r.IsRectEmpty())
        return;
    // In the copy mode on an image the colour's pixels go straight into its rows, as the runs
    // of other fills do (a whole picture's background is millions of them).
    if (m_directImage) {
        const QRect whole = ToQRect(r);
        PaintRects(&whole, 1, color);
        return;
    }
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.fillRect(ToQRect(r), ToQColor(color));
    m_painter.setCompositionMode(CompositionFor(m_rop2));
}

void CQtDeviceContext::TextOut(CPoint point, std::string_view text)
{
    if (text.empty())
        return;
    const int height = TextHeight();
    // Text under two pixels tall cannot be read and shows nothing.
    if (height < 2)
        return;
    // A cell clear of the clip box draws nothing: it is passed over before the text is laid
    // out, so that a zoomed-in view of a big board makes no pictures for the labels out of view.
    if (!CellMeetsClip(point, MostAdvance(text)))
        return;
    const QRgb ink = qRgb(GetRValue(m_textColor), GetGValue(m_textColor), GetBValue(m_textColor));
    QImage* image = height <= maxPictureHeight ? LabelImage() : nullptr;
    const uint64_t packed = image ? PackedText(text) : 0;
    if (packed && m_bkMode == BkMode::Transparent) {
        m_pendingLabels.push_back(PendingLabel{packed, ink, point});
        return;
    }
    LayPendingLabels();
    if (const InkedLabel* inked = packed ? InkedLabelFor(packed, text, ink, *image) : nullptr) {
        if (!CellMeetsClip(point, inked->advance))
            return;
        if (m_bkMode == BkMode::Opaque)
            FillTextBackground(point, inked->advance);
        LayPicture(*inked->picture, point);
        return;
    }
    Label& label = LabelFor(text, nullptr, image);
    if (!CellMeetsClip(point, label.advance))
        return;
    if (m_bkMode == BkMode::Opaque)
        FillTextBackground(point, label.advance);
    DrawLabel(label, point, ink, image);
}

void CQtDeviceContext::DrawLabel(Label& label, CPoint point, QRgb ink, QImage* image)
{
    // Glyphs may overhang their cell by a little on either side.
    Label::Kept* kept = image && label.advance + 2 * TextHeight() <= CQtLabelPicture::maxSide
                            ? PictureOf(label, ink, *image)
                            : nullptr;
    if (kept) {
        LayPicture(*kept, point);
        return;
    }
    // Labels come by the thousand: the painter's state is changed only where it differs.
    const bool copying = CompositionFor(m_rop2) == QPainter::CompositionMode_SourceOver;
    if (!copying)
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Setting a font resolves it afresh each time.
    if (!m_fontOnPainter) {
        m_painter.setFont(Font());
        m_fontOnPainter = true;
    }
    const QPen& pen = m_painter.pen();
    if (pen.style() != Qt::SolidLine || pen.color() != QColor(ink) || pen.widthF() != 1.0 ||
        pen.brush().style() != Qt::SolidPattern)
        m_painter.setPen(QColor(ink));
    m_painter.drawStaticText(QPoint(point.x, point.y), LaidOut(label));
    if (!copying)
        m_painter.setCompositionMode(CompositionFor(m_rop2));
}

bool CQtDeviceContext::CellMeetsClip(CPoint point, int advance) const
{
    // A cell clear of the clip box by more than its height draws nothing.
    const int64_t reach = TextHeight();
    return int64_t(point.x) + advance + reach > m_clipBox.left &&
           int64_t(point.x) - reach < m_clipBox.right &&
           int64_t(point.y) + 2 * reach > m_clipBox.top &&
           int64_t(point.y) - reach < m_clipBox.bottom;
}

void CQtDeviceContext::FillTextBackground(CPoint point, int advance)
{
    const bool copying = CompositionFor(m_rop2) == QPainter::CompositionMode_SourceOver;
    if (!copying)
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.fillRect(QRect(point.x, point.y, advance, TextHeight()), ToQColor(m_bkColor));
    if (!copying)
        m_painter.setCompositionMode(CompositionFor(m_rop2));
}

uint64_t CQtDeviceContext::PackedText(std::string_view text)
{
    if (text.empty() || text.size() > maxPackedLength)
        return 0;
    // The length leads, so that texts of different lengths differ.
    uint64_t packed = text.size();
    for (const char c : text)
        packed = packed << 8 | uint8_t(c);
    return packed;
}

const CQtDeviceContext::InkedLabel*
CQtDeviceContext::InkedLabelFor(uint64_t packed, std::string_view text, QRgb ink,
                                const QImage& device, Label* newLabel, CQtLabelPicture* made)
{
    FontLabels* labels = &Labels();
    if (const InkedLabel* found = FindInkedLabel(labels->inked, packed, ink))
        return found;
    // Either may forget every inked label, never the font's labels themselves.
    Label& label = LabelFor(text, newLabel, &device);
    Label::Kept* picture = PictureOf(label, ink, device, made);
    if (!picture)
        return nullptr;
    labels = &Labels();
    ReserveInkedLabels(*labels, labels->inkedCount + 1);
    ++labels->inkedCount;
    return &InsertInkedLabel(labels->inked, InkedLabel{packed, ink, label.advance, picture});
}

CQtDeviceContext::InkedLabel& CQtDeviceContext::InsertInkedLabel(std::vector<InkedLabel>& table,
                                                                 const InkedLabel& entry)
{
    size_t slot = InkedSlot(table, entry.text, entry.ink);
    while (table[slot].text != 0)
        slot = (slot + 1) & (table.size() - 1);
    return table[slot] = entry;
}

void CQtDeviceContext::ReserveInkedLabels(FontLabels& labels, size_t count)
{
    size_t size = std::max<size_t>(64, labels.inked.size());
    while (2 * count > size)
        size *= 2;
    if (size == labels.inked.size())
        return;
    std::vector<InkedLabel> grown(size);
    for (const InkedLabel& entry : labels.inked) {
        if (entry.text != 0)
            InsertInkedLabel(grown, entry);
    }
    labels.inked = std::move(grown);
}

size_t CQtDeviceContext::InkedSlot(const std::vector<InkedLabel>& table, uint64_t packed, QRgb ink)
{
    // The first slot to look at; the next ones follow it round.
    const uint64_t mixed = (packed ^ (uint64_t(ink) << 29)) * 0x9E3779B97F4A7C15ull;
    return size_t(mixed >> 32) & (table.size() - 1);
}

const CQtDeviceContext::InkedLabel*
CQtDeviceContext::FindInkedLabel(const std::vector<InkedLabel>& table, uint64_t packed, QRgb ink)
{
    if (table.empty())
        return nullptr;
    const size_t mask = table.size() - 1;
    for (size_t slot = InkedSlot(table, packed, ink);; slot = (slot + 1) & mask) {
        const InkedLabel& found = table[slot];
        if (found.text == packed && found.ink == ink)
            return &found;
        if (found.text == 0)
            return nullptr;
    }
}

std::string_view CQtDeviceContext::UnpackedText(uint64_t packed, char (&room)[maxPackedLength])
{
    // The length stands above the text's bytes, and is the only value that can stand there.
    size_t length = 1;
    while (length < maxPackedLength && packed >> (8 * length) != length)
        ++length;
    for (size_t k = 0; k < length; ++k)
        room[length - 1 - k] = char(uint8_t(packed >> (8 * k)));
    return std::string_view(room, length);
}

void CQtDeviceContext::LayPendingLabels()
{
    if (m_pendingLabels.empty())
        return;
    QImage* image = LabelImage();
    const size_t count = m_pendingLabels.size();
    // Each label's resolution is written whole by the composing.
    m_resolvedLabels.resize(count);
    // The thread's batch may hold what a laying cut short by a failure left.
    m_labelBatch.Clear();
    // A board's labels are mostly numbers: where all are laid from the font's glyphs, nothing
    // is looked up.
    const size_t laid = ComposePendingLabels(*image) < count ? ResolveOtherLabels(*image) : 0;
    LayResolvedLabels(laid, count);
    m_pendingLabels.clear();
}

size_t CQtDeviceContext::ResolveOtherLabels(QImage& image)
{
    const FontLabels& labels = Labels();
    const size_t count = m_pendingLabels.size();
    std::vector<ResolvedLabel>& resolved = m_resolvedLabels;
    const uint64_t context = s_shared.contexts;
    const auto resolve = [context](Label::Kept& kept) {
        // Threads that lay the same text note the same context; only the first writes it, as
        // every thread writing the few texts a board repeats by the thousand would make their
        // cores pass the pictures' lines to and fro.
        std::atomic_ref<uint64_t> lastUse(kept.lastUse);
        if (lastUse.load(std::memory_order_relaxed) != context)
            lastUse.store(context, std::memory_order_relaxed);
        const QRect box = kept.picture.Box();
        return ResolvedLabel{&kept, box.top(), box.bottom()};
    };
    // The labels seen before are looked up side by side. Each lookup is a wait for memory (the
    // table's slot, the picture, its first rows): each is asked for a few labels ahead.
    constexpr size_t lookupsPerItem = 2048;
    constexpr size_t ahead = 4;
    const std::vector<InkedLabel>& table = labels.inked;
    // `again`: those still without a picture, once the new texts have theirs.
    const auto lookUp = [&](bool again) {
        CWorkPool::Shared().ForEach(
            (count + lookupsPerItem - 1) / lookupsPerItem, [&](size_t item) {
                const size_t first = item * lookupsPerItem;
                const size_t last = std::min(count, first + lookupsPerItem);
                std::bitset<lookupsPerItem> found;
                for (size_t k = first; k < last; ++k) {
#if defined(__GNUC__)
                    if (k + 2 * ahead < last && !table.empty()) {
                        const PendingLabel& later = m_pendingLabels[k + 2 * ahead];
                        __builtin_prefetch(&table[InkedSlot(table, later.text, later.ink)]);
                    }
#endif
                    const PendingLabel& label = m_pendingLabels[k];
                    if (resolved[k].composed || (again && resolved[k].kept))
                        continue;
                    if (const InkedLabel* inked = FindInkedLabel(table, label.text, label.ink)) {
                        resolved[k].kept = inked->picture;
                        found.set(k - first);
#if defined(__GNUC__)
                        __builtin_prefetch(inked->picture);
#endif
                    }
                    if (k >= first + ahead && found.test(k - ahead - first))
                        resolved[k - ahead].kept->picture.Prefetch();
                }
                for (size_t k = first; k < last; ++k) {
                    if (found.test(k - first))
                        resolved[k] = resolve(*resolved[k].kept);
                }
            });
    };
    lookUp(false);
    // The others get their pictures in order, which may push out older ones. Where a board's
    // new texts got theirs all at once, the labels waiting for them are looked up side by side
    // again: a first paint would otherwise look up a hundred thousand in turn.
    Resolving resolving;
    m_resolving = &resolving;
    if (MakeNewLabels(image) && !resolving.stale)
        lookUp(true);
    for (size_t k = 0; k < count; ++k) {
        resolving.at = k;
        // Glyphs are held as long as the font's labels.
        if (resolving.stale && !resolved[k].composed)
            resolved[k] = ResolvedLabel();
        if (resolved[k].kept || resolved[k].composed)
            continue;
        const PendingLabel& label = m_pendingLabels[k];
        char room[maxPackedLength];
        const std::string_view text = UnpackedText(label.text, room);
        if (const InkedLabel* inked = InkedLabelFor(label.text, text, label.ink, image)) {
            resolved[k] = resolve(*inked->picture);
            continue;
        }
        // A text without a picture is drawn by Qt in its turn.
        LayResolvedLabels(resolving.laid, k);
        resolving.laid = k;
        Label& plain = LabelFor(text, nullptr, &image);
        if (CellMeetsClip(label.point, plain.advance))
            DrawLabel(plain, label.point, label.ink, &image);
        resolving.laid = k + 1;
    }
    m_resolving = nullptr;
    return resolving.laid;
}

size_t CQtDeviceContext::ComposePendingLabels(const QImage& device)
{
    const size_t count = m_pendingLabels.size();
    CQtLabelGlyphs* glyphs = LabelGlyphs(device);
    if (!glyphs) {
        std::fill_n(m_resolvedLabels.begin(), count, ResolvedLabel());
        return 0;
    }
    // The painting thread's runs, which the pool fills.
    std::vector<CQtLabelBatch::GlyphRun>& runs = m_glyphRuns;
    if (runs.size() < count)
        runs.resize(count);
    CQtLabelGlyphs::CMissing missing;
    std::atomic<size_t> composed{0};
    // `again`: only the labels not composed the first time.
    const auto compose = [&](bool again) {
        CWorkPool::Shared().ForEachRun(
            count, minComposedRun, [&](size_t, size_t first, size_t last) {
                size_t made = 0;
                for (size_t k = first; k < last; ++k) {
                    ResolvedLabel& resolved = m_resolvedLabels[k];
                    if (again && resolved.composed)
                        continue;
                    resolved = ResolvedLabel();
                    const PendingLabel& label = m_pendingLabels[k];
                    char room[maxPackedLength];
                    resolved.composed =
                        glyphs->Compose(UnpackedText(label.text, room), label.ink, runs[k],
                                        resolved.top, resolved.bottom, missing);
                    made += resolved.composed ? 1 : 0;
                }
                composed.fetch_add(made, std::memory_order_relaxed);
            });
    };
    compose(false);
    // A glyph is drawn once for the whole program, and is then held by each thread that lays it.
    if (!missing.Any())
        return composed;
    glyphs->Hold(LabelPainter(device), missing);
    compose(true);
    return composed;
}

CQtLabelGlyphs* CQtDeviceContext::LabelGlyphs(const QImage& device)
{
    FontLabels& labels = Labels();
    if (!labels.glyphsAsked) {
        labels.glyphsAsked = true;
        const CQtLabelPainter& painter = LabelPainter(device);
        if (painter.Pieces() != nullptr)
            labels.glyphs = std::make_unique<CQtLabelGlyphs>(painter);
    }
    return labels.glyphs.get();
}

void CQtDeviceContext::LayResolvedLabels(size_t first, size_t last)
{
    const std::vector<CQtLabelBatch::GlyphRun>& runs = m_glyphRuns;
    if (last > first)
        m_labelBatch.AddEach(last - first, [&](size_t k, const CQtLabelPicture*& picture,
                                               const CQtLabelBatch::GlyphRun*& run, QPoint& at,
                                               int& top, int& bottom) {
            const ResolvedLabel& label = m_resolvedLabels[first + k];
            const CPoint point = m_pendingLabels[first + k].point;
            picture = label.composed ? nullptr : &label.kept->picture;
            run = label.composed ? &runs[first + k] : nullptr;
            at = QPoint(point.x, point.y);
            top = label.top;
            bottom = label.bottom;
        });
    if (const CQtLabelGlyphs* glyphs = Labels().glyphs.get())
        m_labelBatch.SetGlyphPictures(glyphs->Pictures());
    const CRect& clip = m_clipBox;
    m_labelBatch.LayOver(
        m_labelTarget, QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top));
}

void CQtDeviceContext::BeforePicturesGo()
{
    if (!m_resolving)
        return;
    LayResolvedLabels(m_resolving->laid, m_resolving->at);
    m_resolving->laid = m_resolving->at;
    m_resolving->stale = true;
}

CQtDeviceContext::Label& CQtDeviceContext::LabelFor(std::string_view text, Label* made,
                                                    const QImage* device)
{
    LabelMap& labels = Labels().labels;
    const auto found = labels.find(text);
    if (found != labels.end())
        return found->second;
    Label label;
    if (made) {
        label = std::move(*made);
    } else {
        label.string = CQtText::FromDesignText(text);
        // Measured by the painter that draws its picture next, the text is shaped once.
        label.advance = device ? LabelPainter(*device).LayOut(label.string)
                               : Metrics().horizontalAdvance(label.string);
    }
    SharedLabels& shared = Shared();
    if (++shared.count > SharedLabels::limit) {
        BeforePicturesGo();
        // Past the bound the texts are laid out afresh; the maps stay, as contexts point at them.
        for (auto& entry : shared.byFont)
            entry.second.labels.clear();
        ForgetInkedLabels();
        shared.count = 1;
        shared.pictureBytes = 0;
    }
    return labels.emplace(std::string(text), std::move(label)).first->second;
}

const QStaticText& CQtDeviceContext::LaidOut(Label& label)
{
    if (!label.laidOut) {
        QStaticText& laidOut = label.laidOut.emplace(label.string);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), Font());
    }
    return *label.laidOut;
}

QImage* CQtDeviceContext::LabelImage() const
{
    if (m_labelImage)
        return *m_labelImage;
    m_labelImage = nullptr;
    // Text always copies; the painter may clip, but to no more than the clip box. Pictures
    // blend premultiplied pixels, which an image of unpremultiplied ones would misread.
    QImage* image = m_hadClip ? nullptr : UntransformedImage();
    if (!image || image->format() == QImage::Format_ARGB32)
        return nullptr;
    m_labelImage = image;
    m_labelTarget = CQtLabelPicture::TargetOf(*image);
    return image;
}

CQtDeviceContext::Label::Kept*
CQtDeviceContext::PictureOf(Label& label, QRgb ink, const QImage& device, CQtLabelPicture* made)
{
    for (const auto& kept : label.pictures) {
        if (kept->ink == ink)
            return kept.get();
    }
    // A board writes its labels in a colour or two; a few pictures per text are kept, and a
    // bounded number of bytes in all.
    SharedLabels& shared = Shared();
    if (shared.pictureBytes > shared.pictureLimit) {
        // Once per context at most: a board with more labels than fit keeps those it has.
        if (shared.sweptAt == shared.contexts)
            return nullptr;
        shared.sweptAt = shared.contexts;
        BeforePicturesGo();
        for (auto& entry : shared.byFont) {
            for (auto& [text, kept] : entry.second.labels) {
                std::erase_if(kept.pictures, [&shared](const std::unique_ptr<Label::Kept>& old) {
                    if (old->lastUse + SharedLabels::recentContexts >= shared.contexts)
                        return false;
                    shared.pictureBytes -= old->picture.Bytes();
                    return true;
                });
            }
        }
        ForgetInkedLabels();
        if (shared.pictureBytes > shared.pictureLimit)
            return nullptr;
    }
    if (label.pictures.size() >= 4) {
        BeforePicturesGo();
        shared.pictureBytes -= label.pictures.front()->picture.Bytes();
        label.pictures.erase(label.pictures.begin());
        ForgetInkedLabels();
    }
    label.pictures.push_back(std::make_unique<Label::Kept>(Label::Kept{
        ink, made ? std::move(*made) : NewPicture(label, ink, device), shared.contexts}));
    shared.pictureBytes += label.pictures.back()->picture.Bytes();
    return label.pictures.back().get();
}

void CQtDeviceContext::LayPicture(Label::Kept& kept, CPoint point)
{
    kept.lastUse = s_shared.contexts;
    const CRect& clip = m_clipBox;
    kept.picture.LayOver(
        m_labelTarget, QPoint(point.x, point.y),
        QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top));
}

CSize CQtDeviceContext::GetTextExtent(std::string_view text) const
{
    const QString string = CQtText::FromDesignText(text);
    const QFontMetrics& metrics = Metrics();
    return CSize(metrics.horizontalAdvance(string), metrics.height());
}

COLORREF CQtDeviceContext::SetTextColor(COLORREF color)
{
    return std::exchange(m_textColor, color);
}

COLORREF CQtDeviceContext::SetBkColor(COLORREF color)
{
    return std::exchange(m_bkColor, color);
}

CDeviceContext::BkMode CQtDeviceContext::SetBkMode(BkMode mode)
{
    return std::exchange(m_bkMode, mode);
}

void CQtDeviceContext::IntersectClipRect(const CRect& rect)
{
    LayPendingLabels();
    m_clipRect = m_clipRect ? CRect::Intersection(*m_clipRect, rect) : rect;
    ApplyClip();
}

void CQtDeviceContext::ResetClip()
{
    LayPendingLabels();
    m_clipRect.reset();
    ApplyClip();
}

bool CQtDeviceContext::HasThinPen() const
{
    return m_pen.style != CPen::Style::Null && m_pen.width <= 1;
}

bool CQtDeviceContext::HasWidePen() const
{
    return m_pen.style != CPen::Style::Null && m_pen.width > 1;
}

bool CQtDeviceContext::HasHairlinePen() const
{
    return m_hairlines && m_pen.style == CPen::Style::Solid && m_pen.width <= 1;
}

void CQtDeviceContext::StrokeHairline(std::span<const CPoint> points, bool closed)
{
    QPolygonF line;
    line.reserve(qsizetype(points.size()));
    for (const CPoint& point : points)
        line << ToQPointF(point);
    // Width 0: one pixel of whatever shows the device, at any scale.
    m_painter.setPen(QPen(ToQColor(m_pen.color), 0));
    m_painter.setBrush(Qt::NoBrush);
    if (closed)
        m_painter.drawPolygon(line);
    else
        m_painter.drawPolyline(line);
}

bool CQtDeviceContext::HasPlainTools() const
{
    const bool pen =
        m_pen.style == CPen::Style::Null || (m_pen.style == CPen::Style::Solid && m_pen.width <= 1);
    const bool brush =
        m_brush.style == CBrush::Style::Null || m_brush.style == CBrush::Style::Solid;
    return pen && brush;
}

void CQtDeviceContext::FillUprightRectangle(const CRect& corners)
{
    // The same pixels as the outline through the corners and the fill inside it: the outline
    // is the ring of pixels from corner to corner, both included; the brush fills left..right-1
    // by top..bottom-1 where the outline leaves it.
    const QRect clip(m_clipBox.left, m_clipBox.top, m_clipBox.right - m_clipBox.left,
                     m_clipBox.bottom - m_clipBox.top);
    const int l = corners.left, t = corners.top, r = corners.right, b = corners.bottom;
    QRect runs[5];
    int count = 0;
    const auto add = [&](int left, int top, int right, int bottom) { // both ends included
        if (right < left || bottom < top)
            return;
        const QRect run = QRect(QPoint(left, top), QPoint(right, bottom)) & clip;
        if (!run.isEmpty())
            runs[count++] = run;
    };
    const bool outline = m_pen.style != CPen::Style::Null;
    if (m_brush.style == CBrush::Style::Solid) {
        if (outline)
            add(l + 1, t + 1, r - 1, b - 1);
        else
            add(l, t, r - 1, b - 1);
        if (count > 0)
            PaintRects(runs, count, m_brush.color);
        count = 0;
    }
    if (!outline)
        return;
    add(l, t, r, t);
    if (b > t)
        add(l, b, r, b);
    add(l, t + 1, l, b - 1);
    if (r > l)
        add(r, t + 1, r, b - 1);
    if (count > 0)
        PaintRects(runs, count, m_pen.color);
}

void CQtDeviceContext::AppendThinLine(CPoint from, CPoint to, std::vector<CPoint>& ink,
                                      std::vector<CPoint>& gaps, int64_t& step) const
{
    const int64_t length = std::max(std::abs(int64_t(Clamped(to.x)) - Clamped(from.x)),
                                    std::abs(int64_t(Clamped(to.y)) - Clamped(from.y)));
    if (m_pen.style == CPen::Style::Solid) {
        CPixelRaster::AppendLine(from, to, m_clipBox, ink);
    } else {
        const int64_t on = m_pen.style == CPen::Style::Dash ? dashOn : dotOn;
        const int64_t period = on + (m_pen.style == CPen::Style::Dash ? dashOff : dotOff);
        std::vector<CPoint> pixels;
        std::vector<int64_t> steps;
        CPixelRaster::AppendLine(from, to, m_clipBox, pixels, &steps);
        for (size_t i = 0; i < pixels.size(); ++i)
            ((step + steps[i]) % period < on ? ink : gaps).push_back(pixels[i]);
    }
    step += length;
}

void CQtDeviceContext::PaintThinLines(const std::vector<CPoint>& ink,
                                      const std::vector<CPoint>& gaps)
{
    PaintPixels(ink, m_pen.color);
    if (m_bkMode == BkMode::Opaque)
        PaintPixels(gaps, m_bkColor);
}

void CQtDeviceContext::StrokeWide(const QPainterPath& path)
{
    // Qt centres a stroke on its path; half a pixel moves the path onto the pixel centres.
    const QTransform saved = m_painter.worldTransform();
    m_painter.translate(0.5, 0.5);
    m_painter.setPen(QPen(QBrush(ToQColor(m_pen.color)), m_pen.width, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(path);
    m_painter.setWorldTransform(saved);
}

void CQtDeviceContext::FillAndOutline(std::span<const CPoint> fillPolygon,
                                      std::span<const CPoint> outlinePoints,
                                      const QPainterPath& widePath)
{
    if (HasHairlinePen()) {
        if (m_brush.style != CBrush::Style::Null)
            FillSpans(CPixelRaster::FillSpans(fillPolygon, m_clipBox));
        StrokeHairline(outlinePoints, true);
        return;
    }
    std::vector<CPoint> ink, gaps;
    if (HasThinPen() && !outlinePoints.empty()) {
        int64_t step = 0;
        for (size_t i = 0; i < outlinePoints.size(); ++i) {
            AppendThinLine(outlinePoints[i], outlinePoints[(i + 1) % outlinePoints.size()], ink,
                           gaps, step);
        }
        // An outline shrunk to one point still shows that pixel.
        const CPoint first = outlinePoints.front();
        if (std::all_of(outlinePoints.begin(), outlinePoints.end(),
                        [first](const CPoint& p) { return p == first; }) &&
            m_clipBox.PtInRect(first)) {
            ink.push_back(first);
        }
        CPixelRaster::SortPixels(ink);
        CPixelRaster::SortPixels(gaps);
        // Where the outline crosses itself, ink wins over a gap.
        std::vector<CPoint> onlyGaps;
        std::set_difference(gaps.begin(), gaps.end(), ink.begin(), ink.end(),
                            std::back_inserter(onlyGaps), CPixelRaster::RowMajorLess);
        gaps = std::move(onlyGaps);
    }

    if (m_brush.style != CBrush::Style::Null) {
        std::vector<CPixelRaster::Span> spans = CPixelRaster::FillSpans(fillPolygon, m_clipBox);
        if (!ink.empty() || !gaps.empty()) {
            std::vector<CPoint> outline;
            std::merge(ink.begin(), ink.end(), gaps.begin(), gaps.end(),
                       std::back_inserter(outline), CPixelRaster::RowMajorLess);
            spans = CPixelRaster::Subtract(spans, outline);
        }
        FillSpans(spans);
    }

    if (HasThinPen())
        PaintThinLines(ink, gaps);
    else if (HasWidePen())
        StrokeWide(widePath);
}

void CQtDeviceContext::FillSpans(const std::vector<CPixelRaster::Span>& spans)
{
    if (m_brush.style == CBrush::Style::Solid) {
        PaintSpans(spans, m_brush.color);
        return;
    }
    if (m_brush.style != CBrush::Style::Hatched)
        return;
    std::vector<CPixelRaster::Span> ink, background;
    std::vector<int32_t> columns;
    for (const CPixelRaster::Span& span : spans) {
        const HatchRow row = HatchRowOf(m_brush.hatch, span.y);
        if (row.whole) {
            ink.push_back(span);
            continue;
        }
        columns.clear();
        for (int residue : row.residues) {
            if (residue < 0)
                continue;
            const int32_t first = span.left + ((residue - span.left) & (hatchPeriod - 1));
            for (int32_t x = first; x < span.right; x += hatchPeriod)
                columns.push_back(x);
        }
        std::sort(columns.begin(), columns.end());
        columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
        int32_t left = span.left;
        for (int32_t x : columns) {
            ink.push_back({span.y, x, x + 1});
            if (x > left)
                background.push_back({span.y, left, x});
            left = x + 1;
        }
        if (left < span.right)
            background.push_back({span.y, left, span.right});
    }
    PaintSpans(ink, m_brush.color);
    if (m_bkMode == BkMode::Opaque)
        PaintSpans(background, m_bkColor);
}

void CQtDeviceContext::PaintPixels(const std::vector<CPoint>& pixels, COLORREF color)
{
    if (pixels.empty())
        return;
    ToRuns(pixels, m_scratchRects);
    PaintRects(m_scratchRects, color);
}

void CQtDeviceContext::PaintSpans(const std::vector<CPixelRaster::Span>& spans, COLORREF color)
{
    std::vector<QRect>& rects = m_scratchRects;
    rects.clear();
    for (const CPixelRaster::Span& span : spans)
        rects.emplace_back(span.left, span.y, span.right - span.left, 1);
    if (!rects.empty())
        PaintRects(rects, color);
}

void CQtDeviceContext::PaintRects(const std::vector<QRect>& rects, COLORREF color)
{
    PaintRects(rects.data(), int(rects.size()), color);
}

QImage* CQtDeviceContext::FindDirectImage() const
{
    // Runs of one opaque colour in the copy mode come out of Qt as the colour's pixels, so on
    // a 32-bit image without transform, clipped to a rectangle at most, they are written
    // straight into its rows.
    if (m_rop2 != R2_COPYPEN || !IsClipRectangular() ||
        m_painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    return UntransformedImage();
}

bool CQtDeviceContext::IsClipRectangular() const
{
    // The clip set here is a rectangle; what the painter had before may be any region.
    return !m_hadClip || m_initialClip.rectCount() <= 1;
}

std::vector<CRect> CQtDeviceContext::Bands() const
{
    // Bands lower than this cost more in the drawing cut at their edges than they save.
    constexpr int minBandRows = 32;
    const QImage* image = UntransformedImage();
    // Written through its bits, a shared image would be copied away from under the painter.
    if (CWorkPool::ThreadCount() < 2 || m_hairlines || !IsClipRectangular() || !image ||
        !image->isDetached() || m_clipBox.IsRectEmpty())
        return {};
    const CRect area = m_clipBox;
    const int64_t rows = int64_t(area.bottom) - area.top;
    // Two a thread even out how unevenly a board fills the rows.
    const int64_t count = std::min<int64_t>(2 * CWorkPool::ThreadCount(), rows / minBandRows);
    if (count < 2)
        return {};
    std::vector<CRect> bands;
    for (int64_t band = 0; band < count; ++band)
        bands.emplace_back(area.left, int32_t(area.top + rows * band / count), area.right,
                           int32_t(area.top + rows * (band + 1) / count));
    return bands;
}

bool CQtDeviceContext::DrawInBands(const std::function<void(std::size_t, CDeviceContext&)>& draw)
{
    const std::vector<CRect> bands = Bands();
    if (bands.empty())
        return false;
    LayPendingLabels();
    // Each band paints through an image of its own over the same rows: a device takes one
    // painter at a time, and the bands write none of each other's pixels.
    QImage* image = UntransformedImage();
    uchar* const bits = image->bits();
    CWorkPool::Shared().ForEach(bands.size(), [&](size_t band) {
        QImage part(bits, image->width(), image->height(), image->bytesPerLine(), image->format());
        QPainter painter(&part);
        CQtDeviceContext dc(painter);
        dc.m_pen = m_pen;
        dc.m_brush = m_brush;
        dc.m_font = m_font;
        dc.m_position = m_position;
        dc.m_textColor = m_textColor;
        dc.m_bkColor = m_bkColor;
        dc.m_bkMode = m_bkMode;
        dc.SetROP2(m_rop2);
        dc.IntersectClipRect(bands[band]);
        draw(band, dc);
    });
    return true;
}

QImage* CQtDeviceContext::UntransformedImage() const
{
    QPaintDevice* device = m_painter.device();
    if (!device || device->devType() != QInternal::Image ||
        !m_painter.combinedTransform().isIdentity())
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    return image;
}

void CQtDeviceContext::PaintRects(const QRect* rects, int count, COLORREF color)
{
    if (QImage* image = m_directImage) {
        const QRect& bounds = m_directBounds;
        const QRgb pixel = ToQRgb(color);
        uchar* bits = image->bits();
        const qsizetype stride = image->bytesPerLine();
        const auto fillRows = [&](int top, int bottom) {
            const QRect rows(bounds.left(), top, bounds.width(), bottom - top);
            for (int k = 0; k < count; ++k) {
                if (rects[k].width() <= 0 || rects[k].height() <= 0)
                    continue;
                const QRect r = rects[k] & rows;
                if (r.isEmpty())
                    continue;
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
                    std::fill(row + r.left(), row + r.right() + 1, pixel);
                }
            }
        };
        // A whole picture's background or a board outline seen whole is millions of pixels:
        // bands of rows are written side by side.
        constexpr int64_t pixelsAlone = int64_t(1) << 18;
        constexpr size_t rowsAlone = 64;
        int64_t pixels = 0;
        for (int k = 0; k < count && pixels < pixelsAlone; ++k) {
            const QRect r = rects[k] & bounds;
            if (rects[k].width() > 0 && rects[k].height() > 0 && !r.isEmpty())
                pixels += int64_t(r.width()) * r.height();
        }
        if (pixels < pixelsAlone || bounds.isEmpty()) {
            fillRows(bounds.top(), bounds.bottom() + 1);
            return;
        }
        CWorkPool::Shared().ForEachRun(
            size_t(bounds.height()), rowsAlone, [&](size_t, size_t first, size_t last) {
                fillRows(bounds.top() + int(first), bounds.top() + int(last));
            });
        return;
    }
    // Setting the pen and brush again for every run of a line costs more than painting it.
    if (m_painter.pen().style() != Qt::NoPen)
        m_painter.setPen(Qt::NoPen);
    const QColor fill = ToQColor(color);
    const QBrush& brush = m_painter.brush();
    if (brush.style() != Qt::SolidPattern || brush.color() != fill)
        m_painter.setBrush(fill);
    m_painter.drawRects(rects, count);
}

const QFont& CQtDeviceContext::Font() const
{
    if (!m_qfont)
        m_qfont = MakeFont();
    return *m_qfont;
}

QFont CQtDeviceContext::MakeFont() const
{
    QFont font = CQtFont::ToQFont(m_font);
    if (m_font.height > 0) {
        // A cell height: scale the em size so that ascent plus descent come to it.
        const int cell = font.pixelSize();
        const int measured = QFontMetrics(font, m_painter.device()).height();
        if (measured > 0 && measured != cell)
            font.setPixelSize(std::max(1, int(std::lround(double(cell) * cell / measured))));
    }
    return font;
}

CQtLabelPainter& CQtDeviceContext::LabelPainter(const QImage& device)
{
    if (!m_labelPainter)
        m_labelPainter.emplace(Font(), device);
    return *m_labelPainter;
}

CQtLabelPicture CQtDeviceContext::NewPicture(const Label& label, QRgb ink, const QImage& device)
{
    CQtLabelPainter& painter = LabelPainter(device);
    painter.LayOut(label.string);
    return painter.Picture(ink);
}

bool CQtDeviceContext::MakeNewLabels(const QImage& device)
{
    SharedLabels& shared = Shared();
    // Once the pictures have taken their share, which labels get one is decided in turn.
    if (shared.pictureBytes > shared.pictureLimit)
        return false;
    struct NewLabel {
        uint64_t text = 0;
        QRgb ink = 0;
        // The text's entry in the font's labels with its one picture, made on the thread that
        // drew it: made in turn, a hundred thousand held up the first paint. Empty when the
        // text is too wide for a picture or has one in the ink already.
        LabelMap::node_type entry{};
        // The entry's picture and advance, kept here too: going in, the entries are only linked.
        Label::Kept* kept = nullptr;
        // The text and its picture until the entry is made.
        QString string{};
        std::unique_ptr<Label::Kept> picture{};
        int advance = 0;
        // The picture's bytes, noted where it was made: going in, the pictures are not read
        // again.
        size_t bytes = 0;
        // The font has a label for the text; and a picture of it in the ink.
        bool known = false;
        bool drawn = false;
    };
    std::vector<NewLabel> made;
    // A first paint has a hundred thousand: growing the list moved them again and again.
    made.reserve(m_pendingLabels.size());
    {
        // The texts met so far, by their packed bytes (never 0), over at least twice as many
        // slots as labels wait: a set of nodes allocates one for each of a hundred thousand
        // texts.
        const size_t count = m_pendingLabels.size();
        size_t slotCount = 64;
        while (slotCount < 2 * count)
            slotCount *= 2;
        std::vector<uint64_t> seen(slotCount, 0);
        const size_t mask = slotCount - 1;
        const auto slotOf = [mask](uint64_t text) {
            return size_t((text * 0x9E3779B97F4A7C15ull) >> 32) & mask;
        };
        constexpr size_t ahead = 8;
        for (size_t k = 0; k < count; ++k) {
#if defined(__GNUC__)
            if (k + ahead < count)
                __builtin_prefetch(&seen[slotOf(m_pendingLabels[k + ahead].text)]);
#endif
            const PendingLabel& label = m_pendingLabels[k];
            if (m_resolvedLabels[k].kept || m_resolvedLabels[k].composed)
                continue;
            // A new text in a second ink is rare: it waits for its turn.
            size_t slot = slotOf(label.text);
            while (seen[slot] != 0 && seen[slot] != label.text)
                slot = (slot + 1) & mask;
            if (seen[slot] != 0)
                continue;
            seen[slot] = label.text;
            made.push_back(NewLabel{label.text, label.ink});
        }
    }
    if (made.size() < minNewLabelsSpread)
        return false;
    // A thousand texts per painter: making one costs as much as some tens of texts.
    constexpr size_t perPainter = 1024;
    const int widest = CQtLabelPicture::maxSide - 2 * TextHeight();
    const size_t painters = (made.size() + perPainter - 1) / perPainter;
    const uint64_t context = shared.contexts;
    FontLabels& labels = Labels();
    // Whether the font has each text, and has its picture in the ink (one whose inked label
    // went with others), looked up side by side before any new entry goes in.
    if (!labels.labels.empty()) {
        const LabelMap& known = labels.labels;
        CWorkPool::Shared().ForEach(painters, [&](size_t part) {
            const size_t last = std::min(made.size(), (part + 1) * perPainter);
            for (size_t k = part * perPainter; k < last; ++k) {
                NewLabel& label = made[k];
                char room[maxPackedLength];
                const auto found = known.find(UnpackedText(label.text, room));
                if (found == known.end())
                    continue;
                label.known = true;
                label.drawn =
                    std::ranges::any_of(found->second.pictures, [&label](const auto& kept) {
                        return kept->ink == label.ink;
                    });
            }
        });
    }
    labels.labels.reserve(labels.labels.size() + made.size());
    ReserveInkedLabels(labels, labels.inkedCount + made.size());
    const auto draw = [&](size_t part) {
        std::optional<CQtLabelPainter> painter;
        LabelMap entries;
        const size_t last = std::min(made.size(), (part + 1) * perPainter);
        for (size_t k = part * perPainter; k < last; ++k) {
            NewLabel& label = made[k];
            if (label.drawn)
                continue;
            if (!painter)
                painter.emplace(MakeFont(), device);
            char room[maxPackedLength];
            const std::string_view text = UnpackedText(label.text, room);
            label.string = CQtText::FromDesignText(text);
            label.advance = painter->LayOut(label.string);
            // Wider texts are drawn by Qt, as in their turn.
            if (label.advance > widest)
                continue;
            label.picture = std::make_unique<Label::Kept>(
                Label::Kept{label.ink, painter->Picture(label.ink), context});
            label.kept = label.picture.get();
            label.bytes = label.kept->picture.Bytes();
        }
        // The entries are made after the pictures: a repaint reads the pictures one after
        // another, and finds them closer together.
        for (size_t k = part * perPainter; k < last; ++k) {
            NewLabel& label = made[k];
            if (!label.picture)
                continue;
            char room[maxPackedLength];
            label.entry = entries.extract(
                entries.try_emplace(std::string(UnpackedText(label.text, room))).first);
            Label& laidOut = label.entry.mapped();
            laidOut.string = std::move(label.string);
            laidOut.advance = label.advance;
            laidOut.pictures.push_back(std::move(label.picture));
        }
    };
    // A new text goes straight in while neither bound is reached; else, and for a text the font
    // knows, the picture goes in as in its turn, which makes room for it. Whether it went in.
    const auto goStraightIn = [&](NewLabel& label) {
        if (label.entry.empty())
            return true;
        if (label.known || shared.count >= SharedLabels::limit ||
            shared.pictureBytes > shared.pictureLimit)
            return false;
        auto inserted = labels.labels.insert(std::move(label.entry));
        if (!inserted.inserted) {
            label.entry = std::move(inserted.node);
            return false;
        }
        ++shared.count;
        shared.pictureBytes += label.bytes;
        ++labels.inkedCount;
        InsertInkedLabel(labels.inked,
                         InkedLabel{label.text, label.ink, label.advance, label.kept});
        return true;
    };
    // The parts are drawn side by side while one thread (item 0) puts the drawn ones in, in
    // order, and draws parts itself while the next to go in is not drawn yet: putting a hundred
    // thousand in after all were drawn held up the first paint. It stops putting in at the first
    // text that does not go straight in, and only draws from then on; that text and those after
    // it go in below, in turn. A part it waits for is being drawn on another thread.
    std::atomic<size_t> next{0};
    std::vector<std::atomic<bool>> drawn(painters);
    std::atomic<bool> failed{false};
    const auto drawNext = [&] {
        const size_t part = next.fetch_add(1);
        if (part >= painters)
            return false;
        try {
            draw(part);
        } catch (...) {
            failed = true;
            drawn[part].store(true, std::memory_order_release);
            drawn[part].notify_all();
            throw;
        }
        drawn[part].store(true, std::memory_order_release);
        drawn[part].notify_all();
        return true;
    };
    size_t wentIn = 0;
    const size_t threads = std::min(painters, size_t(std::max(CWorkPool::ThreadCount(), 1)));
    CWorkPool::Shared().ForEach(threads, [&](size_t item) {
        if (item != 0) {
            while (drawNext())
                ;
            return;
        }
        bool goingIn = true;
        for (size_t part = 0; goingIn && part < painters; ++part) {
            while (!drawn[part].load(std::memory_order_acquire)) {
                if (!drawNext())
                    drawn[part].wait(false, std::memory_order_acquire);
            }
            if (failed)
                return;
            const size_t last = std::min(made.size(), (part + 1) * perPainter);
            for (; wentIn < last; ++wentIn) {
#if defined(__GNUC__)
                // The inked labels' slots and the entries lie all over memory: each is asked
                // for a few labels ahead.
                if (wentIn + 8 < last) {
                    const NewLabel& later = made[wentIn + 8];
                    __builtin_prefetch(
                        &labels.inked[InkedSlot(labels.inked, later.text, later.ink)]);
                    if (!later.entry.empty())
                        __builtin_prefetch(&later.entry.key());
                }
#endif
                if (!goStraightIn(made[wentIn])) {
                    goingIn = false;
                    break;
                }
            }
        }
        while (drawNext())
            ;
    });
    for (size_t k = wentIn; k < made.size(); ++k) {
        NewLabel& label = made[k];
        if (goStraightIn(label))
            continue;
        Label& laidOut = label.entry.mapped();
        const std::unique_ptr<Label::Kept> kept = std::move(laidOut.pictures.front());
        laidOut.pictures.clear();
        char room[maxPackedLength];
        const std::string_view text = UnpackedText(label.text, room);
        InkedLabelFor(label.text, text, label.ink, device, &laidOut, &kept->picture);
    }
    return true;
}

thread_local CQtDeviceContext::SharedLabels CQtDeviceContext::s_shared;

CQtDeviceContext::SharedLabels& CQtDeviceContext::Shared()
{
    if (!s_shared.forgottenWithApplication && QCoreApplication::instance()) {
        // Laid-out texts hold the application's font engines, which end with it: a label kept
        // past it would crash the next paint of a new application and the exit of this one.
        s_shared.forgottenWithApplication = true;
        qAddPostRoutine(&CQtDeviceContext::ForgetSharedLabels);
    }
    return s_shared;
}

size_t CQtDeviceContext::SetLabelPictureLimit(size_t bytes)
{
    return std::exchange(s_shared.pictureLimit, bytes);
}

void CQtDeviceContext::ForgetSharedLabels()
{
    // The maps stay, as contexts may still point at them.
    for (auto& entry : s_shared.byFont)
        entry.second.labels.clear();
    ForgetInkedLabels();
    s_shared.count = 0;
    s_shared.pictureBytes = 0;
    s_shared.forgottenWithApplication = false;
}

void CQtDeviceContext::ForgetInkedLabels()
{
    for (auto& entry : s_shared.byFont) {
        std::fill(entry.second.inked.begin(), entry.second.inked.end(), InkedLabel());
        entry.second.inkedCount = 0;
    }
}

CQtDeviceContext::FontLabels& CQtDeviceContext::Labels()
{
    if (m_labels)
        return *m_labels;
    // The layout depends on the font as resolved and on the device's resolution.
    const QPaintDevice* device = m_painter.device();
    const QString key = Font().key() + QStringLiteral("@%1x%2")
                                           .arg(device ? device->logicalDpiX() : 0)
                                           .arg(device ? device->logicalDpiY() : 0);
    m_labels = &Shared().byFont[key.toStdString()];
    return *m_labels;
}

int CQtDeviceContext::MostAdvance(std::string_view text)
{
    std::array<int, 256>& advances = Labels().byteAdvances;
    int64_t most = 0;
    for (const char byte : text) {
        int& advance = advances[uint8_t(byte)];
        if (advance < 0)
            advance = std::max(
                Metrics().horizontalAdvance(CQtText::FromDesignText(std::string_view(&byte, 1))),
                0);
        most += advance;
    }
    return int(std::min<int64_t>(most, std::numeric_limits<int>::max()));
}

const QFontMetrics& CQtDeviceContext::Metrics() const
{
    if (!m_metrics) {
        m_metrics.emplace(Font(), m_painter.device());
        m_textHeight = m_metrics->height();
    }
    return *m_metrics;
}

int CQtDeviceContext::TextHeight() const
{
    if (!m_metrics)
        Metrics();
    return m_textHeight;
}

void CQtDeviceContext::ApplyClip()
{
    if (m_hadClip)
        m_painter.setClipRegion(m_initialClip);
    else
        m_painter.setClipping(false);
    if (m_clipRect) {
        const CRect r = m_clipRect->IsRectEmpty() ? CRect() : Normalized(*m_clipRect);
        m_painter.setClipRect(ToQRect(r), m_hadClip ? Qt::IntersectClip : Qt::ReplaceClip);
    }

    const QPaintDevice* device = m_painter.device();
    QRectF box = m_painter.combinedTransform().inverted().mapRect(
        QRectF(0, 0, device->width(), device->height()));
    if (m_painter.hasClipping())
        box &= m_painter.clipBoundingRect();
    if (box.isEmpty()) {
        m_clipBox = CRect();
    } else {
        auto toInt = [](double v) {
            return int32_t(std::clamp(v, double(-CPixelRaster::coordinateLimit),
                                      double(CPixelRaster::coordinateLimit)));
        };
        m_clipBox = CRect(toInt(std::floor(box.left())), toInt(std::floor(box.top())),
                          toInt(std::ceil(box.right())), toInt(std::ceil(box.bottom())));
    }
    m_directImage = FindDirectImage();
    if (m_directImage)
        m_directBounds =
            ToQRect(m_clipBox) & QRect(0, 0, m_directImage->width(), m_directImage->height());
}

void CQtDeviceContext::DrawCached(std::unique_ptr<CCachedPicture>& cache, uint64_t key,
                                  const CRect& bounds,
                                  const std::function<void(CDeviceContext&)>& draw)
{
    LayPendingLabels();
    const QPaintDevice* device = m_painter.device();
    if ((m_rop2 != R2_COPYPEN && m_rop2 != R2_MERGEPEN) || !device ||
        device->devType() != QInternal::Image || !m_painter.combinedTransform().isIdentity()) {
        draw(*this);
        return;
    }
    const QRect area = ToQRect(Normalized(bounds)) & QRect(0, 0, device->width(), device->height());
    if (area.isEmpty())
        return;
    auto* picture = dynamic_cast<CQtCachedPicture*>(cache.get());
    if (!picture || picture->key != key || picture->area != area) {
        auto fresh = std::make_unique<CQtCachedPicture>();
        fresh->key = key;
        fresh->area = area;
        fresh->image = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
        if (fresh->image.isNull()) {
            cache.reset();
            draw(*this);
            return;
        }
        fresh->image.fill(Qt::transparent);
        {
            QPainter painter(&fresh->image);
            painter.translate(-area.left(), -area.top());
            CQtDeviceContext pictureContext(painter);
            draw(pictureContext);
        }
        picture = fresh.get();
        cache = std::move(fresh);
    }
    m_painter.setCompositionMode(m_rop2 == R2_MERGEPEN ? QPainter::RasterOp_SourceOrDestination
                                                       : QPainter::CompositionMode_SourceOver);
    m_painter.drawImage(area.topLeft(), picture->image);
    m_painter.setCompositionMode(CompositionFor(m_rop2));
}
