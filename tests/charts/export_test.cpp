// Chart files: BMP and PNG that image readers open at the chart's size, valid SVG and PDF
// documents, and nothing written for a name the exporter cannot serve.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "chart_test_support.h"
#include "charts/chart_builders.h"

namespace zandor::charts {
namespace {

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* root = std::getenv("ZANDOR_TEST_TMP");
        if (root && *root)
            QDir().mkpath(QString::fromLocal8Bit(root));
        dir_ = std::make_unique<QTemporaryDir>(root && *root ? QString::fromLocal8Bit(root) + "/chart-export-XXXXXX"
                                                             : QDir::tempPath() + "/chart-export-XXXXXX");
        ASSERT_TRUE(dir_->isValid());
        chart_ = Chart(fieldChart(SeriesKind::Bar, {{"男性人口", {5, 7, 9, 8}}, {"女性人口", {6, 7, 8, 9}}}, "人口", true));
    }
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
    Chart chart_;
};

TEST_F(ExportTest, BitmapsOpenInAnImageReaderAtTheChartSize)
{
    for (const char* name : {"chart.bmp", "chart.PNG"}) {
        const QString file = path(name);
        exportChart(chart_, file, QSize(640, 360));
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), QByteArray(QString(name).endsWith("bmp") ? "bmp" : "png"));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), QSize(640, 360));
        // The same drawing as on screen.
        EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), renderToImage(chart_, QSize(640, 360)));
    }
}

TEST_F(ExportTest, SvgIsAValidDocumentOfTheChartSize)
{
    const QString file = path("chart.svg");
    exportChart(chart_, file, QSize(800, 600));
    QSvgRenderer svg(file);
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, 800, 600));
    QFile text(file);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(text.readAll()).contains("男性人口"));
}

TEST_F(ExportTest, PdfIsAOnePageDocumentOfTheChartSize)
{
    const QString file = path("chart.pdf");
    exportChart(chart_, file, QSize(800, 600));
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-1."));
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
    // 800 x 600 pixels at 96 per inch are 600 x 450 points.
    const QRegularExpression mediaBox(R"(/MediaBox \[0 0 600(\.0+)? 450(\.0+)?\])");
    EXPECT_TRUE(mediaBox.match(QString::fromLatin1(bytes)).hasMatch());
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
}

TEST_F(ExportTest, OtherExtensionsAndUnwritablePlacesAreRefusedWithoutWriting)
{
    const QString existing = path("keep.gif");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    EXPECT_THROW(exportChart(chart_, existing, QSize(100, 100)), ExportError);
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old"));
    EXPECT_THROW(exportChart(chart_, path("missing/folder/chart.png"), QSize(100, 100)), ExportError);
    EXPECT_THROW(exportChart(chart_, path("noext"), QSize(100, 100)), ExportError);
    EXPECT_THROW(exportChart(chart_, path("empty.png"), QSize(0, 100)), ExportError);
    EXPECT_FALSE(QFile::exists(path("empty.png")));
    EXPECT_EQ(QDir(dir_->path()).entryList(QDir::Files), QStringList{"keep.gif"});
}

TEST(ExportFormat, TheExtensionNamesTheFormatInAnyCase)
{
    EXPECT_EQ(exportFormatFor("a/b.BMP"), ExportFormat::Bmp);
    EXPECT_EQ(exportFormatFor("c.svg"), ExportFormat::Svg);
    EXPECT_EQ(exportFormatFor("c.Pdf"), ExportFormat::Pdf);
    EXPECT_EQ(exportFormatFor("c.png"), ExportFormat::Png);
    EXPECT_FALSE(exportFormatFor("c.jpg").has_value());
    EXPECT_FALSE(exportFormatFor("bmp").has_value());
}

}  // namespace
}  // namespace zandor::charts
