// Helpers of the chart tests: drawing a model into an image and looking at its pixels.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <cstdlib>

#include "charts/chart.h"
#include "charts/chart_export.h"

namespace zandor::charts::testing {

inline QImage draw(const ChartModel& model, QSize size = {640, 480})
{
    return renderToImage(Chart(model), size);
}

inline bool near(QColor a, QColor b, int tolerance = 12)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

inline QColor pixel(const QImage& image, QPointF at)
{
    return image.pixelColor(at.toPoint());
}

// Pixels of `color` (within the tolerance) inside `area` (the whole image by default).
inline int countPixels(const QImage& image, QColor color, QRect area = {}, int tolerance = 6)
{
    if (area.isNull())
        area = image.rect();
    area = area.intersected(image.rect());
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (near(image.pixelColor(x, y), color, tolerance))
                ++n;
    return n;
}

// The bounding box of the pixels of `color`; null when there are none.
inline QRect extentOf(const QImage& image, QColor color, int tolerance = 6)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (near(image.pixelColor(x, y), color, tolerance))
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

// A model with one series of `kind` holding `values`, in `color`, legend hidden.
inline ChartModel oneSeries(SeriesKind kind, std::initializer_list<double> values, QColor color)
{
    ChartModel model;
    model.legendVisible = false;
    Series& s = model.addSeries(kind, "s", color);
    for (double v : values)
        s.add(v);
    return model;
}

}  // namespace zandor::charts::testing

// Readable test names for sizes.
inline void PrintTo(const QSize& size, std::ostream* os) { *os << size.width() << "x" << size.height(); }
