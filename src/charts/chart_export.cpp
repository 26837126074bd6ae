// Chart export to BMP, PNG, SVG and PDF, drawn in memory and saved whole or not at all.
#include "charts/chart_export.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <string_view>

#include "tables/output_file.h"

namespace zandor::charts {

namespace {

constexpr int kDpi = 96;

[[noreturn]] void fail(const QString& path, const QString& why)
{
    throw ExportError(QStringLiteral("cannot write %1: %2").arg(path, why).toStdString());
}

// Every export is drawn in memory and then written through the program's one output writer:
// a pipe or a device is refused, a failed write (a full disk) names the system's reason and
// leaves the old file as it was.
void writeWhole(const QByteArray& bytes, const QString& path)
{
    try {
        tables::writeOutputFile(path.toStdString(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const tables::OutputFileError& e) {
        fail(path, QString::fromStdString(e.reason()));
    }
}

}  // namespace

std::optional<ExportFormat> exportFormatFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return ExportFormat::Bmp;
    if (suffix == QLatin1String("png"))
        return ExportFormat::Png;
    if (suffix == QLatin1String("svg"))
        return ExportFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return ExportFormat::Pdf;
    return std::nullopt;
}

QImage renderToImage(const Chart& chart, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.render(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

void saveImage(const QImage& image, const QString& path)
{
    const auto format = exportFormatFor(path);
    if (format != ExportFormat::Bmp && format != ExportFormat::Png)
        fail(path, QStringLiteral("an image is saved as .bmp or .png"));
    saveImage(image, path, *format);
}

void saveImage(const QImage& image, const QString& path, ExportFormat format)
{
    if (format != ExportFormat::Bmp && format != ExportFormat::Png)
        fail(path, QStringLiteral("an image is saved as BMP or PNG"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format == ExportFormat::Bmp ? "BMP" : "PNG"))
        fail(path, QStringLiteral("the image could not be encoded"));
    writeWhole(buffer.data(), path);
}

void exportChart(const Chart& chart, const QString& path, const QSize& size)
{
    const auto format = exportFormatFor(path);
    if (!format)
        fail(path, QStringLiteral("the file name must end in .bmp, .png, .svg or .pdf"));
    if (size.width() < 1 || size.height() < 1)
        fail(path, QStringLiteral("the chart size is empty"));
    const QRectF target(QPointF(0, 0), QSizeF(size));
    switch (*format) {
    case ExportFormat::Bmp:
    case ExportFormat::Png:
        saveImage(renderToImage(chart, size), path);
        return;
    case ExportFormat::Svg: {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(target);
        svg.setResolution(kDpi);
        svg.setTitle(chart.model().title);
        {
            QPainter painter;
            if (!painter.begin(&svg))
                fail(path, QStringLiteral("the SVG writer could not start"));
            chart.render(painter, target);
        }
        writeWhole(buffer.data(), path);
        return;
    }
    case ExportFormat::Pdf: {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter pdf(&buffer);
            pdf.setResolution(kDpi);
            pdf.setTitle(chart.model().title);
            pdf.setCreator(QStringLiteral("Zandor"));
            const QSizeF points(size.width() * 72.0 / kDpi, size.height() * 72.0 / kDpi);
            pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                          QPageLayout::Portrait, QMarginsF()));
            QPainter painter;
            if (!painter.begin(&pdf))
                fail(path, QStringLiteral("the PDF writer could not start"));
            // The page may be a rounding larger than the chart: draw in the chart's pixels.
            const QRect page = painter.viewport();
            painter.scale(page.width() / target.width(), page.height() / target.height());
            chart.render(painter, target);
        }
        writeWhole(buffer.data(), path);
        return;
    }
    }
}

}  // namespace zandor::charts
