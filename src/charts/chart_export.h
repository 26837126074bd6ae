// Writing a chart to a file whose extension names the format: .bmp (Windows bitmap, the
// program's own format), .png, .svg or .pdf (one page of the chart's size). The chart is
// drawn in memory and written through the program's output writer (tables/output_file.h):
// only a regular file is written, beside the target and moved over it when complete, so a
// failure leaves any existing file as it was.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <stdexcept>

#include "charts/chart.h"

namespace zandor::charts {

class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ExportFormat { Bmp, Png, Svg, Pdf };

// The format a file name asks for (by its extension, any case); nullopt for others.
std::optional<ExportFormat> exportFormatFor(const QString& path);

// The chart drawn into an image of `size` pixels (32-bit RGB on white).
QImage renderToImage(const Chart& chart, const QSize& size);

// Writes the chart at `size` pixels to `path`. Throws ExportError naming the file when the
// extension is not one of the four or the file cannot be written.
void exportChart(const Chart& chart, const QString& path, const QSize& size);

// Writes an image already drawn (a window's chart as displayed) to a .bmp or .png path.
void saveImage(const QImage& image, const QString& path);
// The same in a given bitmap format (Bmp or Png), whatever the name's extension.
void saveImage(const QImage& image, const QString& path, ExportFormat format);

}  // namespace zandor::charts
