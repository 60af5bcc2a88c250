#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// Copies pixels from one image into another as they are, as a QPainter in the Source mode
// would. The view copies its whole board picture under the live items at every repaint: one
// thread took one to three milliseconds for a full-HD view, rows side by side take a third.
class CQtImageCopy {
public:
    // `area` of `from` into `to` at `at`, clipped to both images.
    static void Copy(const QImage& from, const QRect& area, QImage& to, QPoint at);
};
