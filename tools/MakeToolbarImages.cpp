// Draws the toolbar strip and the mouse cursors of the program as PNG files.
// Usage: MakeToolbarImages <toolbar.png> <cursor folder>
// The strip holds 29 images of 16 x 16 pixels side by side; the cursor folder receives
// cursor1025.png (pointer), cursor1443.png (crosshair) and cursor1587.png (move), 32 x 32.

#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

constexpr int iconSize = 16;

const QColor ink(32, 32, 32);
const QColor copper(196, 120, 0);
const QColor board(0, 140, 0);
const QColor highlight(0, 90, 200);
const QColor paper(250, 250, 240);
const QColor plane(220, 60, 60);

void Arrow(QPainter& p, bool forward)
{
    QPainterPath path;
    if (forward) {
        path.moveTo(3, 11);
        path.cubicTo(3, 4, 10, 3, 12, 7);
        p.drawPath(path);
        p.drawPolyline(QPolygon({QPoint(9, 7), QPoint(13, 8), QPoint(14, 4)}));
    } else {
        path.moveTo(13, 11);
        path.cubicTo(13, 4, 6, 3, 4, 7);
        p.drawPath(path);
        p.drawPolyline(QPolygon({QPoint(7, 7), QPoint(3, 8), QPoint(2, 4)}));
    }
}

void Magnifier(QPainter& p)
{
    p.drawEllipse(QRect(1, 1, 9, 9));
    p.setPen(QPen(ink, 2));
    p.drawLine(9, 9, 14, 14);
}

void Pad(QPainter& p, int x, int y, int r)
{
    p.setBrush(copper);
    p.setPen(QPen(ink, 1));
    p.drawEllipse(QPoint(x, y), r, r);
    p.setBrush(paper);
    p.drawEllipse(QPoint(x, y), r / 2, r / 2);
}

void Cursor(QPainter& p)
{
    QPolygon pointer({QPoint(3, 2), QPoint(3, 13), QPoint(6, 10), QPoint(9, 15), QPoint(11, 14),
                      QPoint(8, 9), QPoint(12, 9)});
    p.setBrush(Qt::white);
    p.setPen(QPen(ink, 1));
    p.drawPolygon(pointer);
}

void Track(QPainter& p)
{
    p.setPen(QPen(copper, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygon({QPoint(2, 13), QPoint(7, 8), QPoint(14, 8)}));
}

void Plane(QPainter& p, const std::function<void(QPainter&)>& outline)
{
    p.setPen(QPen(plane, 1));
    p.setBrush(QBrush(plane, Qt::BDiagPattern));
    outline(p);
}

// One drawing per image, in the order of the toolbar's images.
const std::vector<std::function<void(QPainter&)>>& Images()
{
    static const std::vector<std::function<void(QPainter&)>> images = {
        // 0 Open: a folder.
        [](QPainter& p) {
            p.setBrush(QColor(230, 190, 60));
            p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(6, 4), QPoint(7, 6), QPoint(14, 6),
                                    QPoint(14, 13), QPoint(1, 13)}));
        },
        // 1 Save: a disk.
        [](QPainter& p) {
            p.setBrush(highlight);
            p.drawRect(2, 2, 12, 12);
            p.setBrush(paper);
            p.drawRect(4, 2, 8, 5);
            p.drawRect(5, 10, 6, 4);
        },
        // 2 Undo, 3 Redo.
        [](QPainter& p) { Arrow(p, false); },
        [](QPainter& p) { Arrow(p, true); },
        // 4 Zoom All: a magnifier over a frame.
        [](QPainter& p) {
            p.drawRect(0, 0, 15, 15);
            Magnifier(p);
        },
        // 5 Zoom Window: a magnifier over a dashed box.
        [](QPainter& p) {
            p.setPen(QPen(ink, 1, Qt::DotLine));
            p.drawRect(6, 6, 9, 9);
            p.setPen(QPen(ink, 1));
            Magnifier(p);
        },
        // 6 Select: the mouse pointer.
        Cursor,
        // 7 Edit tracks and lines: a bent run.
        Track,
        // 8 Via and pad: a pad with its hole.
        [](QPainter& p) { Pad(p, 8, 8, 6); },
        // 9 Texts.
        [](QPainter& p) {
            p.setPen(QPen(ink, 2));
            p.drawLine(3, 3, 13, 3);
            p.drawLine(8, 3, 8, 14);
        },
        // 10 Move and rotate components: a part with four arrows.
        [](QPainter& p) {
            p.setBrush(QColor(90, 90, 90));
            p.drawRect(5, 5, 6, 6);
            p.drawLine(8, 0, 8, 4);
            p.drawLine(8, 12, 8, 15);
            p.drawLine(0, 8, 4, 8);
            p.drawLine(12, 8, 15, 8);
        },
        // 11 Points.
        [](QPainter& p) {
            p.setBrush(ink);
            for (QPoint point : {QPoint(3, 12), QPoint(8, 4), QPoint(13, 11)})
                p.drawRect(point.x() - 1, point.y() - 1, 3, 3);
        },
        // 12 Lines.
        [](QPainter& p) {
            p.setPen(QPen(board, 2));
            p.drawPolyline(QPolygon({QPoint(2, 13), QPoint(8, 4), QPoint(14, 12)}));
        },
        // 13 Nets: two pads joined.
        [](QPainter& p) {
            Track(p);
            Pad(p, 3, 12, 2);
            Pad(p, 13, 8, 2);
        },
        // 14 Blocks.
        [](QPainter& p) {
            p.setPen(QPen(ink, 1, Qt::DashLine));
            p.drawRect(1, 1, 13, 13);
            p.setPen(QPen(ink, 1));
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(4, 4, 7, 7);
        },
        // 15 Components: a chip.
        [](QPainter& p) {
            p.setBrush(QColor(60, 60, 60));
            p.drawRect(4, 2, 8, 12);
            for (int y = 4; y <= 12; y += 4) {
                p.drawLine(1, y, 4, y);
                p.drawLine(12, y, 15, y);
            }
        },
        // 16 Pads.
        [](QPainter& p) {
            Pad(p, 4, 4, 3);
            Pad(p, 12, 4, 3);
            Pad(p, 4, 12, 3);
            Pad(p, 12, 12, 3);
        },
        // 17 Non electrical objects: a drawn outline.
        [](QPainter& p) {
            p.setPen(QPen(board, 1));
            p.drawEllipse(QRect(2, 2, 12, 12));
            p.drawRect(5, 5, 6, 6);
        },
        // 18 Electrical objects: a flash.
        [](QPainter& p) {
            p.setBrush(QColor(240, 200, 0));
            p.drawPolygon(QPolygon({QPoint(9, 0), QPoint(3, 9), QPoint(8, 9), QPoint(6, 15),
                                    QPoint(13, 6), QPoint(8, 6)}));
        },
        // 19 Add net: a plus beside a run.
        [](QPainter& p) {
            Track(p);
            p.setPen(QPen(highlight, 2));
            p.drawLine(11, 1, 11, 6);
            p.drawLine(8, 3, 14, 3);
        },
        // 20 Seed point.
        [](QPainter& p) {
            p.setBrush(plane);
            p.drawEllipse(QPoint(8, 8), 3, 3);
            p.drawLine(8, 0, 8, 15);
            p.drawLine(0, 8, 15, 8);
        },
        // 21 Plane properties: a plane with a list.
        [](QPainter& p) {
            Plane(p, [](QPainter& q) { q.drawRect(1, 1, 10, 10); });
            p.setPen(QPen(ink, 1));
            p.setBrush(paper);
            p.drawRect(7, 7, 8, 8);
            p.drawLine(9, 10, 13, 10);
            p.drawLine(9, 12, 13, 12);
        },
        // 22 Delete plane: a crossed plane.
        [](QPainter& p) {
            Plane(p, [](QPainter& q) { q.drawRect(1, 1, 13, 13); });
            p.setPen(QPen(ink, 2));
            p.drawLine(3, 3, 12, 12);
            p.drawLine(12, 3, 3, 12);
        },
        // 23 New plane over the whole board.
        [](QPainter& p) { Plane(p, [](QPainter& q) { q.drawRect(0, 0, 15, 15); }); },
        // 24 Plane rectangle.
        [](QPainter& p) { Plane(p, [](QPainter& q) { q.drawRect(2, 4, 12, 8); }); },
        // 25 Plane polyline.
        [](QPainter& p) {
            Plane(p, [](QPainter& q) {
                q.drawPolygon(QPolygon(
                    {QPoint(1, 14), QPoint(3, 2), QPoint(9, 6), QPoint(14, 1), QPoint(14, 14)}));
            });
        },
        // 26 Plane circle.
        [](QPainter& p) { Plane(p, [](QPainter& q) { q.drawEllipse(QRect(1, 1, 13, 13)); }); },
        // 27 Snap to guidelines: a dotted guide with a snapped point.
        [](QPainter& p) {
            p.setPen(QPen(highlight, 1, Qt::DotLine));
            p.drawLine(0, 8, 15, 8);
            p.drawLine(8, 0, 8, 15);
            p.setPen(QPen(ink, 1));
            p.setBrush(ink);
            p.drawEllipse(QPoint(8, 8), 2, 2);
        },
        // 28 Planes as a selection filter: a plane with the pointer.
        [](QPainter& p) {
            Plane(p, [](QPainter& q) { q.drawRect(0, 0, 12, 12); });
            p.setPen(QPen(ink, 1));
            Cursor(p);
        },
        // 29 New: a blank sheet with a folded corner.
        [](QPainter& p) {
            p.setBrush(paper);
            p.drawPolygon(QPolygon(
                {QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
            p.drawPolyline(QPolygon({QPoint(10, 1), QPoint(10, 4), QPoint(13, 4)}));
        },
    };
    return images;
}

QImage DrawStrip()
{
    const auto& images = Images();
    QImage strip(iconSize * int(images.size()), iconSize, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    for (size_t i = 0; i < images.size(); ++i) {
        painter.save();
        painter.translate(double(i) * iconSize, 0);
        painter.setClipRect(0, 0, iconSize, iconSize);
        painter.setPen(QPen(ink, 1));
        painter.setBrush(Qt::NoBrush);
        images[i](painter);
        painter.restore();
    }
    return strip;
}

QImage DrawCursor(int kind)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // A white rim keeps the black shape visible on a dark board.
    for (auto [colour, width] : {std::pair(QColor(Qt::white), 3), std::pair(QColor(ink), 1)}) {
        p.setPen(QPen(colour, width));
        if (kind == 1025) {
            p.setBrush(Qt::white);
            p.setPen(QPen(ink, 1));
            p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(0, 16), QPoint(4, 12), QPoint(7, 18),
                                    QPoint(9, 17), QPoint(6, 11), QPoint(11, 11)}));
            break;
        }
        p.drawLine(16, 4, 16, 28);
        p.drawLine(4, 16, 28, 16);
        if (kind == 1587) {
            p.drawPolyline(QPolygon({QPoint(12, 8), QPoint(16, 4), QPoint(20, 8)}));
            p.drawPolyline(QPolygon({QPoint(12, 24), QPoint(16, 28), QPoint(20, 24)}));
            p.drawPolyline(QPolygon({QPoint(8, 12), QPoint(4, 16), QPoint(8, 20)}));
            p.drawPolyline(QPolygon({QPoint(24, 12), QPoint(28, 16), QPoint(24, 20)}));
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: MakeToolbarImages <toolbar.png> <cursor folder>\n";
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (!DrawStrip().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::cerr << "MakeToolbarImages: cannot write " << argv[1] << '\n';
        return 1;
    }
    for (int cursor : {1025, 1443, 1587}) {
        std::string path = std::string(argv[2]) + "/cursor" + std::to_string(cursor) + ".png";
        if (!DrawCursor(cursor).save(QString::fromStdString(path), "PNG")) {
            std::cerr << "MakeToolbarImages: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
